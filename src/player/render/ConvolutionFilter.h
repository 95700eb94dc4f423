#pragma once

#include "player/swf/Filter.h"

#include <QImage>

namespace player::render {

// The convolution filter: each straight channel becomes the sum of its neighbours weighted by
// the matrixX by matrixY matrix (centred on the pixel, rounding the centre down), divided by
// the divisor, plus the bias. Beyond the image the edge pixels repeat (clamp) or the default
// colour stands in. With preserveAlpha the alpha channel is kept as it was.
class ConvolutionFilter {
public:
    static constexpr int MaximumSide = 15;
    static void apply(QImage& image, const swf::Filter& filter);
};

} // namespace player::render
