#include "BoxBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace player::render {

namespace {

// The box of one blur size: every pixel within `radius` of the centre counts whole, the two just
// beyond count `endWeight`/255, and the sum is divided by the size itself. Flash keeps the end
// weight in 8-bit fixed point, rounded down, so an even size such as 4 weighs its ends 127/255
// rather than a half.
struct Box {
    int radius = 0;
    int endWeight = 0;
    uint32_t fixedSize = 0; // 16.16
    // 2^72 / (255 * size) rounded up: multiplying by it and shifting divides exactly (see below).
    uint64_t reciprocal = 0;

    bool blurs() const { return fixedSize > 65536; }
    int reach() const { return blurs() ? radius + (endWeight > 0 ? 1 : 0) : 0; }

    // The weighted sum, in 255ths, divided by the size with the fraction dropped. The sum is
    // below 2^24, so the scaled sum is below 2^40, and the reciprocal's excess over 2^72 / divisor
    // adds less than 2^-32 to a quotient whose fraction is at least 1 / divisor (< 2^-32) short
    // of the next whole number: the result is exactly the rounded-down quotient.
    int average(uint64_t weightedSum) const
    {
        const auto scaled = static_cast<unsigned __int128>(weightedSum << 16) * reciprocal;
        return static_cast<int>(std::min<uint64_t>(255, static_cast<uint64_t>(scaled >> 72)));
    }
};

Box boxFor(double blurSize)
{
    Box box;
    // Sizes are kept in 16.16 fixed point, as in the file, so a size that picked up a rounding
    // error on the way (from the stage's scale) still blurs as the whole size it stands for.
    box.fixedSize = static_cast<uint32_t>(std::lround(BoxBlur::clampSize(blurSize) * 65536.0));
    if (!box.blurs())
        return box;
    // Half the size beyond the centre pixel; of that, all but the last (possibly partial) pixel
    // counts whole.
    const double halfSpan = (box.fixedSize / 65536.0 - 1.0) / 2.0;
    box.radius = static_cast<int>(std::ceil(halfSpan)) - 1;
    box.endWeight = std::clamp(static_cast<int>(std::floor((halfSpan - box.radius) * 255.0)), 0, 255);
    const uint64_t divisor = 255ULL * box.fixedSize;
    box.reciprocal = static_cast<uint64_t>((static_cast<unsigned __int128>(1) << 72) / divisor) + 1;
    return box;
}

// One box pass over `count` values spaced `stride` apart. `scratch` holds a copy of the input.
void blurLine(uint8_t* values, int count, int stride, const Box& box, std::vector<int>& scratch)
{
    scratch.resize(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index)
        scratch[static_cast<size_t>(index)] = values[static_cast<ptrdiff_t>(index) * stride];
    auto at = [&](int index) { return index < 0 || index >= count ? 0 : scratch[static_cast<size_t>(index)]; };

    // Running sum of the pixels weighted whole.
    uint64_t inner = 0;
    for (int offset = -box.radius; offset <= box.radius; ++offset)
        inner += static_cast<uint64_t>(at(offset));
    const auto endWeight = static_cast<uint64_t>(box.endWeight);
    for (int index = 0; index < count; ++index) {
        const auto ends = static_cast<uint64_t>(at(index - box.radius - 1) + at(index + box.radius + 1));
        // Flash drops the fraction of the average rather than rounding it.
        values[static_cast<ptrdiff_t>(index) * stride] = static_cast<uint8_t>(box.average(255 * inner + endWeight * ends));
        inner += static_cast<uint64_t>(at(index + box.radius + 1));
        inner -= static_cast<uint64_t>(at(index - box.radius));
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
    return boxFor(blurSize).reach() * clampPasses(passes);
}

void BoxBlur::blur(QImage& image, double blurX, double blurY, int passes)
{
    if (image.isNull())
        return;
    const bool alphaOnly = image.format() == QImage::Format_Alpha8;
    if (!alphaOnly && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int channels = alphaOnly ? 1 : 4;
    const Box boxX = boxFor(blurX);
    const Box boxY = boxFor(blurY);
    const int passCount = clampPasses(passes);
    std::vector<int> scratch;
    const int bytesPerLine = static_cast<int>(image.bytesPerLine());
    for (int pass = 0; pass < passCount; ++pass) {
        if (boxX.blurs()) {
            for (int y = 0; y < image.height(); ++y) {
                uint8_t* line = image.scanLine(y);
                for (int channel = 0; channel < channels; ++channel)
                    blurLine(line + channel, image.width(), channels, boxX, scratch);
            }
        }
        if (boxY.blurs()) {
            uint8_t* bits = image.bits();
            for (int x = 0; x < image.width(); ++x) {
                for (int channel = 0; channel < channels; ++channel)
                    blurLine(bits + static_cast<ptrdiff_t>(x) * channels + channel, image.height(), bytesPerLine, boxY,
                             scratch);
            }
        }
    }
}

} // namespace player::render
