#include "ColorMatrixFilter.h"

#include <algorithm>
#include <cmath>

namespace player::render {

void ColorMatrixFilter::apply(QImage& image, const std::vector<float>& matrix)
{
    if (image.isNull() || matrix.size() != 20)
        return;
    for (float value : matrix) {
        if (!std::isfinite(value))
            return;
    }
    QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    auto row = [&matrix](int index, const int channels[4]) {
        const float* coefficients = matrix.data() + index * 5;
        double sum = coefficients[4];
        for (int channel = 0; channel < 4; ++channel)
            sum += static_cast<double>(coefficients[channel]) * channels[channel];
        return static_cast<int>(std::clamp(std::lround(sum), 0L, 255L));
    };
    for (int y = 0; y < straight.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(straight.scanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            const int channels[4] = { qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]) };
            line[x] = qRgba(row(0, channels), row(1, channels), row(2, channels), row(3, channels));
        }
    }
    image = straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace player::render
