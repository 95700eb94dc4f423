#pragma once

#include <QImage>

namespace player::render {

// Flash's blur: `passes` box blurs (the filter's quality) one after the other, first along rows
// then along columns. A box of odd width w averages w pixels centred on the pixel; an even width
// reaches one pixel further on each side and weighs those two end pixels by half, so the box
// stays centred and its weights still add up to w. Widths are rounded to whole pixels and a
// width of one or less leaves the image as it is.
class BoxBlur {
public:
    // How far one blur of this size can spread colour beyond the object, in pixels per side.
    static int reach(double blurSize, int passes);

    // Blurs all four channels of a premultiplied image in place (or the one channel of an Alpha8
    // image). Pixels outside the image count as transparent.
    static void blur(QImage& image, double blurX, double blurY, int passes);

    // Flash clamps blur sizes to 0..255 and quality to 0..15.
    static double clampSize(double blurSize);
    static int clampPasses(int passes);
};

} // namespace player::render
