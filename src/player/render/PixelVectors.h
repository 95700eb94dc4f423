#pragma once

#include <QRgb>

#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#define SKRV_PIXEL_VECTORS 1
#else
#define SKRV_PIXEL_VECTORS 0
#endif

// AVX2 versions of the loops, compiled for that processor function by function and taken only
// when the processor running the program has it.
#if SKRV_PIXEL_VECTORS && defined(__x86_64__) && defined(__GNUC__)
#define SKRV_WIDE_PIXELS 1
#define SKRV_WIDE __attribute__((target("avx2")))
#else
#define SKRV_WIDE_PIXELS 0
#endif

namespace player::render {

// Whether the per-pixel work of fills (blending runs, sampling bitmaps, gradients) takes the
// processor's vector instructions, four or two pixels at a time. The vector code gives the same
// pixels as the scalar code, to the unit; the switch is there so that tests can compare the two.
// Without vector instructions (builds for other processors) it is always off.
//
// Where the processor has AVX2, the loops take eight pixels at a time with it (`wide`), unless
// switched off; the four- and two-pixel code then does only the pixels left over.
class PixelVectors {
public:
    static bool enabled() { return level() >= Narrow; }
    static void setEnabled(bool enabled);
    // Whether the AVX2 loops are taken: vectors on, the processor has AVX2, not switched off.
    static bool wide() { return level() >= Wide; }
    static void setWide(bool wide);
    // Whether this processor has AVX2 (and this build its loops).
    static bool wideSupported();

private:
    enum Level { Unknown = -1, Scalar, Narrow, Wide };

    // Asked for every run, so kept in one word, worked out on first use and when switched.
    static int level()
    {
        const int known = s_level.load(std::memory_order_relaxed);
        return known != Unknown ? known : update();
    }
    static int update();

    static inline std::atomic<int> s_level { Unknown };
};

#if SKRV_PIXEL_VECTORS

namespace vectors {

// Four premultiplied pixels with every channel times `amount` / 255 (one 16-bit amount a channel,
// `low` for the first two pixels and `high` for the last two), rounded as
// CoverageFill::scaledPixel rounds: (x + x / 256 + 128) / 256 of x = channel × amount. Every step
// stays within 16 bits (255 × 255 + 254 + 128 < 65536), so the lanes give the scalar result.
inline __m128i scaleChannels(__m128i pixels, __m128i low, __m128i high)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(0x80);
    __m128i first = _mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), low);
    __m128i second = _mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), high);
    first = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(first, _mm_srli_epi16(first, 8)), half), 8);
    second = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(second, _mm_srli_epi16(second, 8)), half), 8);
    return _mm_packus_epi16(first, second);
}

// 255 less the alpha of each of four pixels, in every 16-bit lane of the pixel's channels: the
// first two pixels' in `low`, the last two's in `high`.
inline void uncoveredAmounts(__m128i pixels, __m128i& low, __m128i& high)
{
    __m128i alpha = _mm_srli_epi32(pixels, 24);
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
    const __m128i uncovered = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    low = _mm_unpacklo_epi32(uncovered, uncovered);
    high = _mm_unpackhi_epi32(uncovered, uncovered);
}

// Whether all four pixels are opaque.
inline bool allOpaque(__m128i pixels)
{
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, alpha), alpha)) == 0xffff;
}

// Four premultiplied pixels `color` put over the four at `at` (source over, with
// CoverageFill::scaledPixel's rounding); opaque ones are simply stored.
inline void putOver(__m128i* at, __m128i color)
{
    if (allOpaque(color)) {
        _mm_storeu_si128(at, color);
        return;
    }
    __m128i low;
    __m128i high;
    uncoveredAmounts(color, low, high);
    _mm_storeu_si128(at, _mm_add_epi32(color, scaleChannels(_mm_loadu_si128(at), low, high)));
}

// The pair of weights (256 - weight, weight) in every 32-bit lane, for _mm_madd_epi16 on
// interleaved channels.
inline __m128i weightPair(unsigned weight)
{
    return _mm_set1_epi32(static_cast<int>((weight << 16) | (256u - weight)));
}

// The four texels around a point mixed as FillShader mixes them: across first, `across` / 256
// from the left texels to the right ones, each channel truncated, then down, `down` / 256 from
// the top mix to the bottom one. `top` holds the top-left texel in its first lane and the
// top-right one in its second; `bottom` likewise. Every product stays within 16 bits
// (255 × 256), so the lanes give the scalar result.
inline QRgb mixFour(__m128i top, __m128i bottom, unsigned across, unsigned down)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i acrossWeights = weightPair(across);
    // Channel by channel, left and right side by side: (left, right) pairs of 16 bits.
    const __m128i topPairs = _mm_unpacklo_epi8(_mm_unpacklo_epi8(top, _mm_srli_si128(top, 4)), zero);
    const __m128i bottomPairs = _mm_unpacklo_epi8(_mm_unpacklo_epi8(bottom, _mm_srli_si128(bottom, 4)), zero);
    const __m128i topMix = _mm_srli_epi32(_mm_madd_epi16(topPairs, acrossWeights), 8);
    const __m128i bottomMix = _mm_srli_epi32(_mm_madd_epi16(bottomPairs, acrossWeights), 8);
    const __m128i downPairs = _mm_or_si128(topMix, _mm_slli_epi32(bottomMix, 16));
    const __m128i mixed = _mm_srli_epi32(_mm_madd_epi16(downPairs, weightPair(down)), 8);
    const __m128i packed = _mm_packs_epi32(mixed, mixed);
    return static_cast<QRgb>(_mm_cvtsi128_si32(_mm_packus_epi16(packed, packed)));
}

} // namespace vectors

#endif

} // namespace player::render
