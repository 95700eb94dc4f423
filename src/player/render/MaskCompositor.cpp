#include "MaskCompositor.h"

#include "CoverageFill.h"
#include "PixelVectors.h"
#include "RowWorkers.h"
#include "WidePixels.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace player::render {

namespace {

// Layers with at least this many pixels are put down in two bands of rows, one on each thread.
constexpr std::int64_t SplitPixels = 65536;

#if SKRV_PIXEL_VECTORS

// Pixels 0 to length - length % 4, four at a time; returns how many were done.
int compositeVector(QRgb* target, const QRgb* content, const QRgb* coverage, int length)
{
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xff000000u));
    const __m128i zero = _mm_setzero_si128();
    int index = 0;
    for (; index + 4 <= length; index += 4) {
        const __m128i alpha = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + index)), alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xffff)
            continue;
        __m128i color = _mm_loadu_si128(reinterpret_cast<const __m128i*>(content + index));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) != 0xffff) {
            // Every channel times the mask's alpha.
            __m128i amounts = _mm_srli_epi32(alpha, 24);
            amounts = _mm_or_si128(amounts, _mm_slli_epi32(amounts, 16));
            color = vectors::scaleChannels(color, _mm_unpacklo_epi32(amounts, amounts), _mm_unpackhi_epi32(amounts, amounts));
        }
        vectors::putOver(reinterpret_cast<__m128i*>(target + index), color);
    }
    return index;
}

#endif

// Rows `from` to `to` of the part `source` of the layers, put down with its top left at `at`.
void compositeRows(uchar* bits, qsizetype stride, const QPoint& at, const QImage& content, const QImage& coverage,
                   const QRect& source, int from, int to)
{
    for (int row = from; row < to; ++row) {
        auto* target = reinterpret_cast<QRgb*>(bits + (at.y() + row) * stride) + at.x();
        const auto* colors = reinterpret_cast<const QRgb*>(content.constScanLine(source.top() + row)) + source.left();
        const auto* mask = reinterpret_cast<const QRgb*>(coverage.constScanLine(source.top() + row)) + source.left();
        MaskCompositor::compositeRow(target, colors, mask, source.width());
    }
}

bool compositeInto(uchar* bits, qsizetype stride, const QSize& size, const QPoint& at, const QImage& content,
                   const QImage& coverage)
{
    if (content.format() != QImage::Format_ARGB32_Premultiplied || coverage.format() != QImage::Format_ARGB32_Premultiplied
        || content.size() != coverage.size())
        return false;
    // The part of the layers inside the target.
    const QRect placed = QRect(at, content.size()) & QRect(QPoint(0, 0), size);
    if (placed.isEmpty())
        return true;
    const QRect source(placed.topLeft() - at, placed.size());
    const int rows = placed.height();
    if (!RowWorkers::enabled() || rows < 2 || std::int64_t(placed.width()) * rows < SplitPixels) {
        compositeRows(bits, stride, placed.topLeft(), content, coverage, source, 0, rows);
        return true;
    }
    RowWorkers::split([&](int part) {
        if (part == 0)
            compositeRows(bits, stride, placed.topLeft(), content, coverage, source, 0, rows / 2);
        else
            compositeRows(bits, stride, placed.topLeft(), content, coverage, source, rows / 2, rows);
    });
    return true;
}

#if SKRV_PIXEL_VECTORS
// Whether the four pixels at `pixels` all have alpha 0.
inline bool fourUncovered(const QRgb* pixels)
{
    const __m128i alpha = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)),
                                        _mm_set1_epi32(static_cast<int>(0xff000000u)));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xffff;
}
#endif

// The first of `length` pixels whose alpha is not 0, or `length` when there is none.
int firstCovered(const QRgb* pixels, int length)
{
    int index = 0;
#if SKRV_PIXEL_VECTORS
    while (index + 4 <= length && fourUncovered(pixels + index))
        index += 4;
#endif
    while (index < length && qAlpha(pixels[index]) == 0)
        ++index;
    return index;
}

// One past the last of `length` pixels whose alpha is not 0, or 0 when there is none.
int lastCovered(const QRgb* pixels, int length)
{
    int end = length;
#if SKRV_PIXEL_VECTORS
    while (end >= 4 && fourUncovered(pixels + end - 4))
        end -= 4;
#endif
    while (end > 0 && qAlpha(pixels[end - 1]) == 0)
        --end;
    return end;
}

} // namespace

QRect MaskCompositor::coveredArea(const QImage& coverage, const QRect& area)
{
    const QRect cut = area & coverage.rect();
    if (cut.isEmpty() || coverage.format() != QImage::Format_ARGB32_Premultiplied)
        return {};
    const int width = cut.width();
    const auto row = [&](int y) { return reinterpret_cast<const QRgb*>(coverage.constScanLine(y)) + cut.left(); };
    // The first and last rows with anything covered are searched whole; the rows between them
    // count whatever they hold, and only their ends beyond the columns found so far are searched.
    int top = cut.top();
    int left = width;
    while (top <= cut.bottom()) {
        left = firstCovered(row(top), width);
        if (left < width)
            break;
        ++top;
    }
    if (top > cut.bottom())
        return {};
    int right = lastCovered(row(top), width);
    int bottom = cut.bottom();
    while (bottom > top) {
        const QRgb* pixels = row(bottom);
        const int first = firstCovered(pixels, width);
        if (first < width) {
            left = std::min(left, first);
            right = std::max(right, lastCovered(pixels, width));
            break;
        }
        --bottom;
    }
    for (int y = top + 1; y < bottom; ++y) {
        const QRgb* pixels = row(y);
        if (left > 0)
            left = std::min(left, firstCovered(pixels, left));
        if (right < width)
            right = std::max(right, right + lastCovered(pixels + right, width - right));
    }
    return QRect(cut.left() + left, top, right - left, bottom - top + 1);
}

void MaskCompositor::compositeRow(QRgb* target, const QRgb* content, const QRgb* coverage, int length)
{
    int index = 0;
#if SKRV_PIXEL_VECTORS
    if (PixelVectors::enabled()) {
#if SKRV_WIDE_PIXELS
        if (PixelVectors::wide())
            index = wide::compositeMasked(target, content, coverage, length);
#endif
        index += compositeVector(target + index, content + index, coverage + index, length - index);
    }
#endif
    for (; index < length; ++index) {
        const unsigned alpha = qAlpha(coverage[index]);
        if (alpha == 0)
            continue;
        QRgb color = content[index];
        if (alpha != 255)
            color = CoverageFill::scaledPixel(color, alpha);
        target[index] = qAlpha(color) == 255 ? color
                                             : color + CoverageFill::scaledPixel(target[index], 255u - qAlpha(color));
    }
}

bool MaskCompositor::composite(QImage& target, const QPoint& at, const QImage& content, const QImage& coverage)
{
    if (target.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    return compositeInto(target.bits(), target.bytesPerLine(), target.size(), at, content, coverage);
}

bool MaskCompositor::composite(QPainter& painter, const QPoint& at, const QImage& content, const QImage& coverage)
{
    if (!painter.isActive())
        return false;
    const QImage* image = CoverageFill::plainTarget(painter);
    if (!image)
        return false;
    // The painter draws into the image's pixels as they are, shared or not; so does this.
    return compositeInto(const_cast<uchar*>(image->constBits()), image->bytesPerLine(), image->size(), at, content,
                         coverage);
}

} // namespace player::render
