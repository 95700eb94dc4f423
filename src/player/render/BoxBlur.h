#pragma once

#include <QImage>

namespace player::render {

// Flash's blur: `passes` box blurs (the filter's quality) one after the other, first along rows
// then along columns. A box of size s is centred on the pixel and reaches (s - 1) / 2 pixels to
// each side; pixels it covers whole count whole, and the two pixels it covers only in part count
// by that part (kept in 8-bit fixed point, rounded down). The sum is divided by s and the fraction
// dropped. So an odd whole size is a plain average, an even one weighs its two ends by about a
// half, and a fractional size blurs by a fraction more. A size of one or less leaves the image
// as it is.
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
