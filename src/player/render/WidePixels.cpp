#include "WidePixels.h"

#if SKRV_WIDE_PIXELS

#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace player::render::wide {

namespace {

// Every channel of eight premultiplied pixels times an amount / 255, rounded as
// CoverageFill::scaledPixel rounds; `low` holds the amounts of the channels
// _mm256_unpacklo_epi8 gives (pixels 0, 1, 4 and 5), `high` those of the others. Every step stays
// within 16 bits (255 × 255 + 254 + 128 < 65536).
SKRV_WIDE inline __m256i scaleChannels(__m256i pixels, __m256i low, __m256i high)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i half = _mm256_set1_epi16(0x80);
    __m256i first = _mm256_mullo_epi16(_mm256_unpacklo_epi8(pixels, zero), low);
    __m256i second = _mm256_mullo_epi16(_mm256_unpackhi_epi8(pixels, zero), high);
    first = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(first, _mm256_srli_epi16(first, 8)), half), 8);
    second = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(second, _mm256_srli_epi16(second, 8)), half), 8);
    return _mm256_packus_epi16(first, second);
}

// One 16-bit value a pixel (below 65536, in the pixel's 32-bit lane) copied into the lanes of each
// of its four channels, laid out as scaleChannels() takes them.
SKRV_WIDE inline void channelLanes(__m256i values, __m256i& low, __m256i& high)
{
    const __m256i both = _mm256_or_si256(values, _mm256_slli_epi32(values, 16));
    low = _mm256_unpacklo_epi32(both, both);
    high = _mm256_unpackhi_epi32(both, both);
}

SKRV_WIDE inline bool allOpaque(__m256i pixels)
{
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xff000000u));
    return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(pixels, alpha), alpha)) == -1;
}

SKRV_WIDE inline __m256i load(const QRgb* at)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

SKRV_WIDE inline void store(QRgb* at, __m256i pixels)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), pixels);
}

// Eight premultiplied pixels `color` over the eight at `at`; opaque ones are simply stored, and
// so is anything over eight clear pixels (a clear pixel scaled by any amount stays clear), as in
// a layer's first shape. The sums are 32-bit words, as the scalar code adds them.
SKRV_WIDE inline void putOver(QRgb* at, __m256i color)
{
    if (allOpaque(color)) {
        store(at, color);
        return;
    }
    const __m256i below = load(at);
    if (_mm256_testz_si256(below, below)) {
        store(at, color);
        return;
    }
    __m256i low;
    __m256i high;
    channelLanes(_mm256_sub_epi32(_mm256_set1_epi32(255), _mm256_srli_epi32(color, 24)), low, high);
    store(at, _mm256_add_epi32(color, scaleChannels(below, low, high)));
}

// `from` + (`to` - `from`) × w / 256 rounded down, channel by channel in 16-bit lanes, with
// `weights` holding w × 128 (w below 256): that is (from × (256 - w) + to × w) / 256 truncated,
// as the scalar mix gives it. The difference doubled (within ±510) times w × 128 (within 32767)
// is the exact product × 256, whose upper 16 bits are the quotient rounded down.
SKRV_WIDE inline __m256i mixLanes(__m256i from, __m256i to, __m256i weights)
{
    return _mm256_add_epi16(from, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(to, from), 1), weights));
}

// Two groups of four doubles' integer parts as eight 32-bit lanes, the first group first.
SKRV_WIDE inline __m256i truncated(__m256d first, __m256d second)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(first)), _mm256_cvttpd_epi32(second), 1);
}

// The two halves of eight 32-bit lanes as doubles.
SKRV_WIDE inline void toDoubles(__m256i values, __m256d& first, __m256d& second)
{
    first = _mm256_cvtepi32_pd(_mm256_castsi256_si128(values));
    second = _mm256_cvtepi32_pd(_mm256_extracti128_si256(values, 1));
}

// The first `count` of eight pixels (all of them from 8 on) stored at `at`.
SKRV_WIDE inline void storeFirst(QRgb* at, __m256i pixels, int count)
{
    if (count >= 8) {
        store(at, pixels);
        return;
    }
    alignas(32) QRgb all[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(all), pixels);
    std::memcpy(at, all, sizeof(QRgb) * static_cast<std::size_t>(count));
}

// Gradient positions (table entries, as doubles) to the entries' colours under the spread.
SKRV_WIDE inline __m256i entriesAt(const GradientTable& table, __m256d first, __m256d second)
{
    constexpr double size = 1024.0;
    constexpr double shift = 1 << 30;
    constexpr double limit = 1 << 29;
    const bool pad = table.spread == 0;
    // max() takes its second operand for a NaN, as the scalar code takes the lower end.
    const __m256d lower = _mm256_set1_pd(pad ? 0.0 : -limit);
    const __m256d upper = _mm256_set1_pd(pad ? size - 0.5 : limit);
    first = _mm256_min_pd(_mm256_max_pd(first, lower), upper);
    second = _mm256_min_pd(_mm256_max_pd(second, lower), upper);
    if (!pad) {
        // Shifted by a whole number of periods so that truncating rounds down.
        first = _mm256_add_pd(first, _mm256_set1_pd(shift));
        second = _mm256_add_pd(second, _mm256_set1_pd(shift));
    }
    __m256i entries = truncated(first, second);
    if (table.spread == 1) {
        entries = _mm256_and_si256(entries, _mm256_set1_epi32(1023));
    } else if (table.spread == 2) {
        // Back and forth: phases 0..1023 forwards, 1024..2047 back (2047 - phase).
        const __m256i phase = _mm256_and_si256(entries, _mm256_set1_epi32(2047));
        entries = _mm256_min_epi32(phase, _mm256_sub_epi32(_mm256_set1_epi32(2047), phase));
    }
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(table.colors), entries, 4);
}

// Texel coordinates (256ths) of eight pixels, held within ±limit and rounded down: the floor
// of a held value is what the scalar code gets by truncating and stepping back below it.
SKRV_WIDE inline __m256i texelsAt(__m256d row, __m256d step, __m256d first, __m256d second, __m256d low, __m256d high)
{
    first = _mm256_floor_pd(_mm256_min_pd(_mm256_max_pd(_mm256_add_pd(row, _mm256_mul_pd(step, first)), low), high));
    second = _mm256_floor_pd(_mm256_min_pd(_mm256_max_pd(_mm256_add_pd(row, _mm256_mul_pd(step, second)), low), high));
    return truncated(first, second);
}

// A bitmap row's texel coordinates, in every lane: where the row starts, how far a pixel moves
// them, and the limits they are held within.
struct TexelLanes {
    __m256d rowU;
    __m256d rowV;
    __m256d stepU;
    __m256d stepV;
    __m256d low;
    __m256d high;
};

SKRV_WIDE inline TexelLanes texelLanes(const SmoothRow& row)
{
    return TexelLanes { _mm256_set1_pd(row.rowU),   _mm256_set1_pd(row.rowV),   _mm256_set1_pd(row.stepU),
                        _mm256_set1_pd(row.stepV),  _mm256_set1_pd(-row.limit), _mm256_set1_pd(row.limit) };
}

// The centres of the first four pixels of a run starting at `first`.
SKRV_WIDE inline __m256d firstCenters(double first)
{
    return _mm256_set_pd(first + 3.0, first + 2.0, first + 1.0, first);
}

// Both texel coordinates (256ths) of eight pixels, the first four centred at `first`, the next
// four at `second`.
SKRV_WIDE inline void texelsAt(const TexelLanes& lanes, __m256d first, __m256d second, __m256i& u, __m256i& v)
{
    u = texelsAt(lanes.rowU, lanes.stepU, first, second, lanes.low, lanes.high);
    v = texelsAt(lanes.rowV, lanes.stepV, first, second, lanes.low, lanes.high);
}

// Texels brought into 0..size - 1 by wrapping: less size × floor(texel / size). Texels lie within
// ±2^22, so the quotient of doubles is never rounded onto the next whole number.
SKRV_WIDE inline __m256i wrapped(__m256i texels, int size)
{
    const __m256d sizes = _mm256_set1_pd(size);
    __m256d first;
    __m256d second;
    toDoubles(texels, first, second);
    const __m256i tiles = truncated(_mm256_floor_pd(_mm256_div_pd(first, sizes)), _mm256_floor_pd(_mm256_div_pd(second, sizes)));
    return _mm256_sub_epi32(texels, _mm256_mullo_epi32(tiles, _mm256_set1_epi32(size)));
}

// The texels of one axis (`texels`) and the ones after them, brought into the image.
SKRV_WIDE inline void placeTexels(__m256i texels, int size, bool clamped, bool inside, __m256i& placed, __m256i& next)
{
    const __m256i one = _mm256_set1_epi32(1);
    if (inside) {
        placed = texels;
        next = _mm256_add_epi32(texels, one);
        return;
    }
    const __m256i last = _mm256_set1_epi32(size - 1);
    if (clamped) {
        const __m256i zero = _mm256_setzero_si256();
        placed = _mm256_min_epi32(_mm256_max_epi32(texels, zero), last);
        next = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(texels, one), zero), last);
        return;
    }
    // A power of two wraps by its low bits (two's complement numbers below zero too).
    placed = (size & (size - 1)) == 0 ? _mm256_and_si256(texels, last) : wrapped(texels, size);
    // The one after the last texel is the first.
    next = _mm256_andnot_si256(_mm256_cmpeq_epi32(placed, last), _mm256_add_epi32(placed, one));
}

// The texels at `rows` + `columns` (offsets in pixels) and the ones just after them in memory,
// for eight pixels: one 64-bit read a pixel instead of two 32-bit ones. Pixels 0, 1, 4 and 5
// are read by the first gather and 2, 3, 6 and 7 by the second, so that taking every other word
// of the two within each 128-bit half puts them back in order.
SKRV_WIDE inline void texelPairs(const QRgb* bits, __m256i rows, __m256i columns, __m256i& first, __m256i& after)
{
    const __m256i offsets = _mm256_permute4x64_epi64(_mm256_add_epi32(rows, columns), _MM_SHUFFLE(3, 1, 2, 0));
    const auto* base = reinterpret_cast<const long long*>(bits);
    const __m256 low = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_castsi256_si128(offsets), 4));
    const __m256 high = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_extracti128_si256(offsets, 1), 4));
    first = _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
    after = _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
}

// A radial row's numbers in every lane.
struct RadialLanes {
    __m256d rowX;
    __m256d rowY;
    __m256d stepX;
    __m256d stepY;
    __m256d focusX;
    __m256d focusY;
    __m256d inside;
    __m256d scale;
    bool centered;
};

// The positions of four pixel centres on a radial gradient, with the same operations in the same
// order as the scalar code.
SKRV_WIDE inline __m256d radialPositions(const RadialLanes& lanes, __m256d centers)
{
    const __m256d dx = _mm256_add_pd(lanes.rowX, _mm256_mul_pd(lanes.stepX, centers));
    const __m256d dy = _mm256_add_pd(lanes.rowY, _mm256_mul_pd(lanes.stepY, centers));
    const __m256d squared = _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy));
    if (lanes.centered)
        return _mm256_mul_pd(_mm256_sqrt_pd(squared), lanes.scale);
    const __m256d towards = _mm256_add_pd(_mm256_mul_pd(dx, lanes.focusX), _mm256_mul_pd(dy, lanes.focusY));
    const __m256d root
        = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(towards, towards), _mm256_mul_pd(lanes.inside, squared)));
    return _mm256_mul_pd(_mm256_add_pd(towards, root), lanes.scale);
}

} // namespace

int fill(QRgb* pixels, int length, QRgb color)
{
    const __m256i colors = _mm256_set1_epi32(static_cast<int>(color));
    int index = 0;
    for (; index + 8 <= length; index += 8)
        store(pixels + index, colors);
    return index;
}

int blendSolid(QRgb* pixels, int length, QRgb covered, unsigned uncovered)
{
    const __m256i color = _mm256_set1_epi32(static_cast<int>(covered));
    const __m256i amount = _mm256_set1_epi16(static_cast<short>(uncovered));
    int index = 0;
    for (; index + 8 <= length; index += 8)
        store(pixels + index, _mm256_add_epi32(color, scaleChannels(load(pixels + index), amount, amount)));
    return index;
}

int blendColors(QRgb* pixels, const QRgb* colors, int length, int coverage)
{
    const __m256i amount = _mm256_set1_epi16(static_cast<short>(coverage));
    int index = 0;
    for (; index + 8 <= length; index += 8) {
        __m256i color = load(colors + index);
        if (coverage != 255)
            color = scaleChannels(color, amount, amount);
        putOver(pixels + index, color);
    }
    return index;
}

int blendScattered(QRgb* row, const int* columns, const QRgb* colors, const int* coverages, int count)
{
    const auto* rowWords = reinterpret_cast<const int*>(row);
    const __m256i lanes = _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    for (int index = 0; index < count; index += 8) {
        const int inGroup = std::min(count - index, 8);
        const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + index));
        __m256i low;
        __m256i high;
        channelLanes(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverages + index)), low, high);
        const __m256i color = scaleChannels(load(colors + index), low, high);
        channelLanes(_mm256_sub_epi32(_mm256_set1_epi32(255), _mm256_srli_epi32(color, 24)), low, high);
        // Lanes past the last pixel read nothing from the row and are not written back.
        const __m256i inRun = _mm256_cmpgt_epi32(_mm256_set1_epi32(inGroup), lanes);
        const __m256i below = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), rowWords, at, inRun, 4);
        alignas(32) QRgb blended[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(blended), _mm256_add_epi32(color, scaleChannels(below, low, high)));
        for (int lane = 0; lane < inGroup; ++lane)
            row[columns[index + lane]] = blended[lane];
    }
    return count;
}

int compositeMasked(QRgb* target, const QRgb* content, const QRgb* coverage, int length)
{
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xff000000u));
    int index = 0;
    for (; index + 8 <= length; index += 8) {
        const __m256i alpha = _mm256_and_si256(load(coverage + index), alphaMask);
        if (_mm256_testz_si256(alpha, alpha))
            continue;
        __m256i color = load(content + index);
        // Nothing drawn there: the target stays as it is.
        if (_mm256_testz_si256(color, color))
            continue;
        // A pixel the mask leaves uncovered becomes clear, and a clear pixel over another leaves it
        // as it is (scaling by 255 gives every channel back).
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alphaMask)) != -1) {
            __m256i low;
            __m256i high;
            channelLanes(_mm256_srli_epi32(alpha, 24), low, high);
            color = scaleChannels(color, low, high);
        }
        putOver(target + index, color);
    }
    return index;
}

int linearEntries(const GradientTable& table, double rowStart, double step, double first, int length, QRgb* out)
{
    const __m256d rows = _mm256_set1_pd(rowStart);
    const __m256d steps = _mm256_set1_pd(step);
    const __m256d four = _mm256_set1_pd(4.0);
    __m256d centers = firstCenters(first);
    int index = 0;
    // The last pixels too: every entry looked up is in the table, whatever the position.
    for (; index < length; index += 8) {
        const __m256d next = _mm256_add_pd(centers, four);
        const __m256d low = _mm256_add_pd(rows, _mm256_mul_pd(steps, centers));
        const __m256d high = _mm256_add_pd(rows, _mm256_mul_pd(steps, next));
        storeFirst(out + index, entriesAt(table, low, high), length - index);
        centers = _mm256_add_pd(next, four);
    }
    return length;
}

int radialEntries(const GradientTable& table, const RadialRow& row, int length, QRgb* out)
{
    const RadialLanes lanes {
        _mm256_set1_pd(row.rowX),   _mm256_set1_pd(row.rowY),   _mm256_set1_pd(row.stepX),
        _mm256_set1_pd(row.stepY),  _mm256_set1_pd(row.focusX), _mm256_set1_pd(row.focusY),
        _mm256_set1_pd(row.inside), _mm256_set1_pd(row.centered ? 1024.0 : row.scale), row.centered,
    };
    const __m256d four = _mm256_set1_pd(4.0);
    __m256d centers = firstCenters(row.first);
    int index = 0;
    for (; index < length; index += 8) {
        const __m256d next = _mm256_add_pd(centers, four);
        storeFirst(out + index, entriesAt(table, radialPositions(lanes, centers), radialPositions(lanes, next)),
                   length - index);
        centers = _mm256_add_pd(next, four);
    }
    return length;
}

int smoothPixels(const SmoothRow& row, int length, QRgb* out)
{
    const TexelLanes texels = texelLanes(row);
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256i fraction = _mm256_set1_epi32(255);
    const __m256i rowPixels = _mm256_set1_epi32(static_cast<int>(row.rowPixels));
    const __m256i zero = _mm256_setzero_si256();
    const auto* bits = reinterpret_cast<const int*>(row.bits);
    __m256d centers = firstCenters(row.first);
    const __m256i lanes = _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int index = 0;
    for (; index < length; index += 8) {
        const __m256d next = _mm256_add_pd(centers, four);
        __m256i u;
        __m256i v;
        texelsAt(texels, centers, next, u, v);
        centers = _mm256_add_pd(next, four);

        __m256i left;
        __m256i right;
        __m256i up;
        __m256i under;
        placeTexels(_mm256_srai_epi32(u, 8), row.width, row.clamped, row.inside, left, right);
        placeTexels(_mm256_srai_epi32(v, 8), row.height, row.clamped, row.inside, up, under);
        __m256i top = _mm256_mullo_epi32(up, rowPixels);
        __m256i bottom = _mm256_mullo_epi32(under, rowPixels);
        __m256i topLeft;
        __m256i topRight;
        __m256i bottomLeft;
        __m256i bottomRight;
        if (length - index >= 8
            && _mm256_movemask_epi8(_mm256_cmpeq_epi32(right, _mm256_add_epi32(left, _mm256_set1_epi32(1)))) == -1) {
            // No texel is wrapped or held at the right edge: each right texel follows its left
            // one in memory.
            texelPairs(row.bits, top, left, topLeft, topRight);
            texelPairs(row.bits, bottom, left, bottomLeft, bottomRight);
        } else {
            if (length - index < 8) {
                // Beyond the run (where texels taken as they are may lie outside the image), the
                // first texel of the image instead.
                const __m256i inRun = _mm256_cmpgt_epi32(_mm256_set1_epi32(length - index), lanes);
                top = _mm256_and_si256(top, inRun);
                bottom = _mm256_and_si256(bottom, inRun);
                left = _mm256_and_si256(left, inRun);
                right = _mm256_and_si256(right, inRun);
            }
            topLeft = _mm256_i32gather_epi32(bits, _mm256_add_epi32(top, left), 4);
            topRight = _mm256_i32gather_epi32(bits, _mm256_add_epi32(top, right), 4);
            bottomLeft = _mm256_i32gather_epi32(bits, _mm256_add_epi32(bottom, left), 4);
            bottomRight = _mm256_i32gather_epi32(bits, _mm256_add_epi32(bottom, right), 4);
        }

        __m256i acrossLow;
        __m256i acrossHigh;
        __m256i downLow;
        __m256i downHigh;
        channelLanes(_mm256_slli_epi32(_mm256_and_si256(u, fraction), 7), acrossLow, acrossHigh);
        channelLanes(_mm256_slli_epi32(_mm256_and_si256(v, fraction), 7), downLow, downHigh);

        const __m256i topLow = mixLanes(_mm256_unpacklo_epi8(topLeft, zero), _mm256_unpacklo_epi8(topRight, zero), acrossLow);
        const __m256i topHigh = mixLanes(_mm256_unpackhi_epi8(topLeft, zero), _mm256_unpackhi_epi8(topRight, zero), acrossHigh);
        const __m256i bottomLow
            = mixLanes(_mm256_unpacklo_epi8(bottomLeft, zero), _mm256_unpacklo_epi8(bottomRight, zero), acrossLow);
        const __m256i bottomHigh
            = mixLanes(_mm256_unpackhi_epi8(bottomLeft, zero), _mm256_unpackhi_epi8(bottomRight, zero), acrossHigh);
        storeFirst(out + index,
                   _mm256_packus_epi16(mixLanes(topLow, bottomLow, downLow), mixLanes(topHigh, bottomHigh, downHigh)),
                   length - index);
    }
    return length;
}

int nearestPixels(const SmoothRow& row, int length, QRgb* out)
{
    const TexelLanes texels = texelLanes(row);
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256i rowPixels = _mm256_set1_epi32(static_cast<int>(row.rowPixels));
    const auto* bits = reinterpret_cast<const int*>(row.bits);
    __m256d centers = firstCenters(row.first);
    for (int index = 0; index < length; index += 8) {
        const __m256d next = _mm256_add_pd(centers, four);
        __m256i u;
        __m256i v;
        __m256i unused;
        texelsAt(texels, centers, next, u, v);
        placeTexels(u, row.width, row.clamped, false, u, unused);
        placeTexels(v, row.height, row.clamped, false, v, unused);
        centers = _mm256_add_pd(next, four);
        // Every placed texel is in the image, beyond the run too.
        const __m256i offsets = _mm256_add_epi32(_mm256_mullo_epi32(v, rowPixels), u);
        storeFirst(out + index, _mm256_i32gather_epi32(bits, offsets, 4), length - index);
    }
    return length;
}

} // namespace player::render::wide

#endif
