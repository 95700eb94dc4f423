#include "RunBlender.h"

#include "CoverageFill.h"
#include "PixelVectors.h"
#include "WidePixels.h"

#include <algorithm>

namespace player::render {

namespace {

// One pixel: `covered` (the colour already scaled by its coverage) over `below`.
QRgb over(QRgb covered, QRgb below)
{
    return covered + CoverageFill::scaledPixel(below, 255u - qAlpha(covered));
}

#if SKRV_PIXEL_VECTORS

// The 16-bit lanes of one amount for every channel of four pixels.
__m128i amountLanes(unsigned amount)
{
    return _mm_set1_epi16(static_cast<short>(amount));
}

// Pixels 0 to length - length % 4 of a run, four at a time; returns how many were done.
int blendSolidVector(QRgb* pixels, int length, QRgb covered, unsigned uncovered)
{
    const __m128i color = _mm_set1_epi32(static_cast<int>(covered));
    const __m128i amount = amountLanes(uncovered);
    int index = 0;
    for (; index + 4 <= length; index += 4) {
        auto* at = reinterpret_cast<__m128i*>(pixels + index);
        const __m128i below = _mm_loadu_si128(at);
        // Added as 32-bit words, as the scalar code adds (a carry out of a channel, from an
        // invalid premultiplied colour, runs on into the next one there too).
        _mm_storeu_si128(at, _mm_add_epi32(color, vectors::scaleChannels(below, amount, amount)));
    }
    return index;
}

int blendColorsVector(QRgb* pixels, const QRgb* colors, int length, int coverage)
{
    const __m128i coverageLanes = amountLanes(static_cast<unsigned>(coverage));
    int index = 0;
    for (; index + 4 <= length; index += 4) {
        __m128i color = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + index));
        if (coverage != 255)
            color = vectors::scaleChannels(color, coverageLanes, coverageLanes);
        vectors::putOver(reinterpret_cast<__m128i*>(pixels + index), color);
    }
    return index;
}

#endif

} // namespace

void RunBlender::blendSolidRun(QRgb* pixels, int length, QRgb color, int coverage)
{
    const QRgb covered = coverage == 255 ? color : CoverageFill::scaledPixel(color, static_cast<unsigned>(coverage));
    const unsigned uncovered = 255u - qAlpha(covered);
    if (uncovered == 0) {
        int filled = 0;
#if SKRV_WIDE_PIXELS
        if (PixelVectors::wide())
            filled = wide::fill(pixels, length, covered);
#endif
        std::fill(pixels + filled, pixels + length, covered);
        return;
    }
    int index = 0;
#if SKRV_PIXEL_VECTORS
    if (PixelVectors::enabled()) {
#if SKRV_WIDE_PIXELS
        if (PixelVectors::wide())
            index = wide::blendSolid(pixels, length, covered, uncovered);
#endif
        index += blendSolidVector(pixels + index, length - index, covered, uncovered);
    }
#endif
    for (; index < length; ++index)
        pixels[index] = covered + CoverageFill::scaledPixel(pixels[index], uncovered);
}

void RunBlender::blendColorsRun(QRgb* pixels, const QRgb* colors, int length, int coverage)
{
    int index = 0;
#if SKRV_PIXEL_VECTORS
    if (PixelVectors::enabled()) {
#if SKRV_WIDE_PIXELS
        if (PixelVectors::wide())
            index = wide::blendColors(pixels, colors, length, coverage);
#endif
        index += blendColorsVector(pixels + index, colors + index, length - index, coverage);
    }
#endif
    if (coverage == 255) {
        for (; index < length; ++index) {
            const QRgb color = colors[index];
            pixels[index] = qAlpha(color) == 255 ? color : over(color, pixels[index]);
        }
        return;
    }
    for (; index < length; ++index)
        pixels[index] = over(CoverageFill::scaledPixel(colors[index], static_cast<unsigned>(coverage)), pixels[index]);
}

void RunBlender::blendScattered(QRgb* row, const int* columns, const QRgb* colors, const int* coverages, int count)
{
    int index = 0;
#if SKRV_WIDE_PIXELS
    if (PixelVectors::wide())
        index = wide::blendScattered(row, columns, colors, coverages, count);
#endif
    for (; index < count; ++index) {
        const int coverage = coverages[index];
        const QRgb covered = coverage == 255 ? colors[index] : CoverageFill::scaledPixel(colors[index], static_cast<unsigned>(coverage));
        QRgb& pixel = row[columns[index]];
        pixel = covered + CoverageFill::scaledPixel(pixel, 255u - qAlpha(covered));
    }
}

} // namespace player::render
