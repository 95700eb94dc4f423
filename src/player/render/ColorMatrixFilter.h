#pragma once

#include <QImage>
#include <vector>

namespace player::render {

// The colour matrix filter: each straight (not premultiplied) channel becomes a sum of the four
// channels times a row of the 4x5 matrix, plus the row's fifth value in channel units
// (0..255), clamped. A matrix of the wrong length leaves the image as it is.
class ColorMatrixFilter {
public:
    static void apply(QImage& image, const std::vector<float>& matrix);
};

} // namespace player::render
