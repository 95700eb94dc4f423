#include "ConvolutionFilter.h"

#include <algorithm>
#include <cmath>

namespace player::render {

void ConvolutionFilter::apply(QImage& image, const swf::Filter& filter)
{
    const int columns = filter.matrixX;
    const int rows = filter.matrixY;
    if (image.isNull() || columns <= 0 || rows <= 0
        || filter.convolutionMatrix.size() != static_cast<size_t>(columns) * static_cast<size_t>(rows))
        return;
    // Flash takes matrices up to 15 by 15; larger ones from a damaged file are left undone
    // rather than run for minutes.
    if (columns > MaximumSide || rows > MaximumSide)
        return;
    // A divisor of zero would divide by nothing; Flash then leaves the sums undivided.
    const double divisor = filter.divisor != 0.0f && std::isfinite(filter.divisor) ? filter.divisor : 1.0;
    const double bias = std::isfinite(filter.bias) ? filter.bias : 0.0;

    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    const QRgb fallback = qRgba(filter.defaultColor.r, filter.defaultColor.g, filter.defaultColor.b, filter.defaultColor.a);
    auto pixelAt = [&](int x, int y) -> QRgb {
        if (x < 0 || y < 0 || x >= source.width() || y >= source.height()) {
            if (!filter.clamp)
                return fallback;
            x = std::clamp(x, 0, source.width() - 1);
            y = std::clamp(y, 0, source.height() - 1);
        }
        return reinterpret_cast<const QRgb*>(source.constScanLine(y))[x];
    };
    auto toChannel = [&](double sum) {
        const double value = sum / divisor + bias;
        return std::isfinite(value) ? static_cast<int>(std::clamp(std::lround(value), 0L, 255L)) : 0;
    };
    for (int y = 0; y < source.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            double red = 0.0, green = 0.0, blue = 0.0, alpha = 0.0;
            for (int row = 0; row < rows; ++row) {
                for (int column = 0; column < columns; ++column) {
                    const double weight = filter.convolutionMatrix[static_cast<size_t>(row * columns + column)];
                    const QRgb pixel = pixelAt(x + column - columns / 2, y + row - rows / 2);
                    red += weight * qRed(pixel);
                    green += weight * qGreen(pixel);
                    blue += weight * qBlue(pixel);
                    alpha += weight * qAlpha(pixel);
                }
            }
            const int keptAlpha = filter.preserveAlpha ? qAlpha(pixelAt(x, y)) : toChannel(alpha);
            line[x] = qRgba(toChannel(red), toChannel(green), toChannel(blue), keptAlpha);
        }
    }
    image = result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace player::render
