#include "BoxBlur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace player::render {

namespace {

int boxWidth(double blurSize)
{
    return static_cast<int>(std::lround(BoxBlur::clampSize(blurSize)));
}

// One box pass over `count` values spaced `stride` apart, with twice the weights so that the
// half-weighted ends of an even box stay whole numbers. `scratch` holds a copy of the input.
void blurLine(uint8_t* values, int count, int stride, int width, std::vector<int>& scratch)
{
    scratch.resize(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index)
        scratch[static_cast<size_t>(index)] = values[static_cast<ptrdiff_t>(index) * stride];
    auto at = [&](int index) { return index < 0 || index >= count ? 0 : scratch[static_cast<size_t>(index)]; };

    const bool even = width % 2 == 0;
    const int half = width / 2;
    // Doubled running sum of the inner part of the box (the pixels weighted by one).
    const int innerRadius = even ? half - 1 : half;
    long long inner = 0;
    for (int offset = -innerRadius; offset <= innerRadius; ++offset)
        inner += at(offset);
    const long long divisor = 2LL * width;
    for (int index = 0; index < count; ++index) {
        long long total = 2 * inner;
        if (even)
            total += at(index - half) + at(index + half);
        // Flash drops the fraction of the average rather than rounding it.
        values[static_cast<ptrdiff_t>(index) * stride] = static_cast<uint8_t>(total / divisor);
        inner += at(index + innerRadius + 1) - at(index - innerRadius);
    }
}

} // namespace

double BoxBlur::clampSize(double blurSize)
{
    if (!std::isfinite(blurSize))
        return 0.0;
    return std::clamp(blurSize, 0.0, 255.0);
}

int BoxBlur::clampPasses(int passes)
{
    return std::clamp(passes, 0, 15);
}

int BoxBlur::reach(double blurSize, int passes)
{
    const int width = boxWidth(blurSize);
    if (width <= 1)
        return 0;
    return (width / 2) * clampPasses(passes);
}

void BoxBlur::blur(QImage& image, double blurX, double blurY, int passes)
{
    if (image.isNull())
        return;
    const bool alphaOnly = image.format() == QImage::Format_Alpha8;
    if (!alphaOnly && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int channels = alphaOnly ? 1 : 4;
    const int widthX = boxWidth(blurX);
    const int widthY = boxWidth(blurY);
    const int passCount = clampPasses(passes);
    std::vector<int> scratch;
    const int bytesPerLine = static_cast<int>(image.bytesPerLine());
    for (int pass = 0; pass < passCount; ++pass) {
        if (widthX > 1) {
            for (int y = 0; y < image.height(); ++y) {
                uint8_t* line = image.scanLine(y);
                for (int channel = 0; channel < channels; ++channel)
                    blurLine(line + channel, image.width(), channels, widthX, scratch);
            }
        }
        if (widthY > 1) {
            uint8_t* bits = image.bits();
            for (int x = 0; x < image.width(); ++x) {
                for (int channel = 0; channel < channels; ++channel)
                    blurLine(bits + static_cast<ptrdiff_t>(x) * channels + channel, image.height(), bytesPerLine, widthY, scratch);
            }
        }
    }
}

} // namespace player::render
