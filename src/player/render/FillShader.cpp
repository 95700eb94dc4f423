#include "FillShader.h"

#include "CoverageFill.h"
#include "PixelVectors.h"
#include "WidePixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace player::render {

namespace {

// Image coordinates beyond this are held here before they are turned into integers; the
// farther texels are the same under both edge rules (the edge, or a wrap of the same period).
constexpr double CoordinateLimit = 1 << 30;

// The largest integer not above `coordinate` (held within the limit; NaN gives the limit).
int toTexel(double coordinate)
{
    if (!(coordinate > -CoordinateLimit))
        coordinate = -CoordinateLimit;
    else if (coordinate > CoordinateLimit)
        coordinate = CoordinateLimit;
    const int whole = static_cast<int>(coordinate);
    return whole - (static_cast<double>(whole) > coordinate ? 1 : 0);
}

// `value` brought into 0..size - 1 by wrapping or by holding it at the edges.
int placeTexel(int value, int size, bool clamped)
{
    if (static_cast<unsigned>(value) < static_cast<unsigned>(size))
        return value;
    if (clamped)
        return value < 0 ? 0 : size - 1;
    value %= size;
    return value < 0 ? value + size : value;
}

// Texels of one axis brought into the image along a run, where they move by a texel or a few
// from one pixel to the next: a repeated image keeps the start of the tile the last texel lay
// in and moves it by a tile when a texel leaves it, so that no pixel needs a division. Gives
// placeTexel()'s results.
class TexelTrack {
public:
    TexelTrack(int size, bool clamped)
        : m_size(size)
        , m_clamped(clamped)
    {
    }

    int place(int texel)
    {
        if (m_clamped)
            return texel < 0 ? 0 : (texel < m_size ? texel : m_size - 1);
        // Texels lie within ±2^22 (image coordinates are held within ±2^30 256ths), so the
        // differences below stay far from the integer limits.
        int placed = texel - m_tileStart;
        if (static_cast<unsigned>(placed) < static_cast<unsigned>(m_size))
            return placed;
        if (placed >= m_size && placed < 2 * m_size) {
            m_tileStart += m_size;
            return placed - m_size;
        }
        if (placed < 0 && placed >= -m_size) {
            m_tileStart -= m_size;
            return placed + m_size;
        }
        placed = placeTexel(texel, m_size, false);
        m_tileStart = texel - placed;
        return placed;
    }

    // The texel after the one `place()` brought to `placed` (from `texel`).
    int next(int texel, int placed) const
    {
        if (m_clamped)
            return texel + 1 < 0 ? 0 : (texel + 1 < m_size ? texel + 1 : m_size - 1);
        return placed + 1 < m_size ? placed + 1 : 0;
    }

private:
    int m_size;
    bool m_clamped;
    int m_tileStart = 0;
};

// Two premultiplied pixels mixed channel by channel, `weight` / 256 of the way from the first to
// the second (weight 0 to 256), each channel truncated.
QRgb mixPixels(QRgb first, QRgb second, unsigned weight)
{
    const unsigned keep = 256u - weight;
    const unsigned redBlue = (((first & 0xff00ff) * keep + (second & 0xff00ff) * weight) >> 8) & 0xff00ff;
    const unsigned alphaGreen = ((((first >> 8) & 0xff00ff) * keep + ((second >> 8) & 0xff00ff) * weight)) & 0xff00ff00;
    return alphaGreen | redBlue;
}

bool imageOpaque(const QImage& image)
{
    return !image.hasAlphaChannel();
}

} // namespace

FillShader FillShader::solid(QRgb premultiplied)
{
    FillShader shader;
    shader.m_kind = Kind::Solid;
    shader.m_solid = premultiplied;
    shader.m_opaque = qAlpha(premultiplied) == 255;
    return shader;
}

FillShader FillShader::linear(std::shared_ptr<const GradientRamp> ramp, const QPointF& start, const QPointF& end,
                              const QTransform& toDevice)
{
    FillShader shader;
    shader.m_kind = Kind::Linear;
    shader.m_opaque = ramp->opaque();
    shader.m_ramp = std::move(ramp);
    // The unit interval along x to start..end, y across it at the same scale.
    const QPointF along = end - start;
    shader.setMapping(QTransform(along.x(), along.y(), -along.y(), along.x(), start.x(), start.y()) * toDevice);
    return shader;
}

FillShader FillShader::radial(std::shared_ptr<const GradientRamp> ramp, const QPointF& center, double radius,
                              const QPointF& focus, const QTransform& toDevice)
{
    FillShader shader;
    shader.m_kind = Kind::Radial;
    shader.m_opaque = ramp->opaque();
    shader.m_ramp = std::move(ramp);
    shader.setMapping(QTransform(radius, 0, 0, radius, center.x(), center.y()) * toDevice);
    if (radius > 0.0) {
        shader.m_focusX = (focus.x() - center.x()) / radius;
        shader.m_focusY = (focus.y() - center.y()) / radius;
    }
    return shader;
}

FillShader FillShader::bitmap(const QImage& image, const QTransform& toDevice, bool clamped, bool smooth)
{
    FillShader shader;
    shader.m_kind = Kind::Bitmap;
    shader.m_image = image.format() == QImage::Format_ARGB32_Premultiplied
        ? image
        : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    shader.m_opaque = imageOpaque(image);
    shader.setMapping(toDevice);
    shader.m_clamped = clamped;
    shader.m_smooth = smooth;
    return shader;
}

std::optional<FillShader> FillShader::fromBrush(const QBrush& brush, bool smoothTextures)
{
    std::optional<FillShader> shader;
    switch (brush.style()) {
    case Qt::SolidPattern:
        return solid(CoverageFill::premultipliedColor(brush.color()));
    case Qt::LinearGradientPattern: {
        const auto* gradient = static_cast<const QLinearGradient*>(brush.gradient());
        if (gradient->coordinateMode() != QGradient::LogicalMode || gradient->start() == gradient->finalStop())
            return std::nullopt;
        shader = linear(GradientRamp::fromStops(gradient->stops(), gradient->spread(), gradient->interpolationMode()),
                        gradient->start(), gradient->finalStop(), QTransform());
        break;
    }
    case Qt::RadialGradientPattern: {
        const auto* gradient = static_cast<const QRadialGradient*>(brush.gradient());
        const QPointF focus = gradient->focalPoint() - gradient->center();
        const double radius = gradient->centerRadius();
        // Only a focus strictly inside the circle, of no radius of its own.
        if (gradient->coordinateMode() != QGradient::LogicalMode || gradient->focalRadius() != 0.0 || !(radius > 0.0)
            || std::hypot(focus.x(), focus.y()) >= radius * 0.999)
            return std::nullopt;
        shader = radial(GradientRamp::fromStops(gradient->stops(), gradient->spread(), gradient->interpolationMode()),
                        gradient->center(), radius, gradient->focalPoint(), QTransform());
        break;
    }
    case Qt::TexturePattern: {
        const QImage image = brush.textureImage();
        if (image.isNull())
            return std::nullopt;
        shader = bitmap(image, QTransform(), false, smoothTextures);
        break;
    }
    default:
        return std::nullopt;
    }
    return shader->mapped(brush.transform());
}

std::optional<FillShader> FillShader::mapped(const QTransform& transform) const
{
    FillShader result(*this);
    if (m_kind == Kind::Solid)
        return result;
    if (!result.setMapping(m_toDevice * transform))
        return std::nullopt;
    return result;
}

bool FillShader::setMapping(const QTransform& toDevice)
{
    m_toDevice = toDevice;
    m_inverted = false;
    if (toDevice.type() == QTransform::TxProject)
        return false;
    bool invertible = false;
    const QTransform inverse = toDevice.inverted(&invertible);
    if (!invertible || !std::isfinite(inverse.m11()) || !std::isfinite(inverse.m12()) || !std::isfinite(inverse.m21())
        || !std::isfinite(inverse.m22()) || !std::isfinite(inverse.dx()) || !std::isfinite(inverse.dy()))
        return false;
    m_toFill = inverse;
    m_inverted = true;
    return true;
}

void FillShader::shade(int x, int y, int length, QRgb* out) const
{
    if (m_kind != Kind::Solid && !m_inverted) {
        std::fill(out, out + length, QRgb(0));
        return;
    }
    switch (m_kind) {
    case Kind::Solid:
        std::fill(out, out + length, m_solid);
        return;
    case Kind::Linear:
        shadeLinear(x, y, length, out);
        return;
    case Kind::Radial:
        shadeRadial(x, y, length, out);
        return;
    case Kind::Bitmap:
        if (m_smooth)
            shadeSmoothBitmap(x, y, length, out);
        else
            shadeBitmap(x, y, length, out);
        return;
    }
}

namespace {

#if SKRV_WIDE_PIXELS
// A ramp's table and spread as the eight-pixel code takes them.
wide::GradientTable wideTable(const GradientRamp& ramp)
{
    const int spread = ramp.spread() == QGradient::RepeatSpread ? 1 : (ramp.spread() == QGradient::ReflectSpread ? 2 : 0);
    return { ramp.entries(), spread };
}

// Whether the eight-pixel code is on and can reach every texel of an image by 32-bit offsets.
bool wideOffsets(int width, int height, qsizetype stride)
{
    return PixelVectors::wide() && width > 0 && height > 0 && stride % 4 == 0
        && std::int64_t(height) * stride < std::numeric_limits<int>::max();
}
#endif

#if SKRV_PIXEL_VECTORS
using PositionPair = __m128d;
#else
using PositionPair = std::nullptr_t;
#endif

// The table entries of `length` positions along a gradient, given in table entries (1024 to the
// gradient's length) by `positionAt(index)`, under the ramp's spread. Positions are held within
// a range that keeps them clear of the integer limits; a NaN takes the lower end. With vector
// instructions, `positionsAt(index)` gives the positions of pixels index and index + 1, worked
// out with the same operations in the same order as positionAt(), and the entries are found two
// at a time the same way.
template <typename PositionAt, typename PositionsAt>
void lookUpEntries(const GradientRamp& ramp, int length, QRgb* out, PositionAt&& positionAt, PositionsAt&& positionsAt)
{
    constexpr double size = GradientRamp::Size;
    const QRgb* colors = ramp.entries();
    const bool pad = ramp.spread() == QGradient::PadSpread;
    const bool reflect = ramp.spread() == QGradient::ReflectSpread;
    // Repeat and reflect: shifted by a whole number of periods so that truncating rounds down.
    constexpr double shift = 1 << 30;
    constexpr double limit = 1 << 29;
    const auto entryOf = [&](int whole) {
        if (pad)
            return colors[whole];
        if (reflect) {
            const int phase = whole & (2 * GradientRamp::Size - 1);
            return colors[phase < GradientRamp::Size ? phase : 2 * GradientRamp::Size - 1 - phase];
        }
        return colors[whole & (GradientRamp::Size - 1)];
    };
    int index = 0;
#if SKRV_PIXEL_VECTORS
    if (PixelVectors::enabled()) {
        // max() takes its second operand for a NaN, as std::max(lower, position) takes lower.
        const __m128d lower = _mm_set1_pd(pad ? 0.0 : -limit);
        const __m128d upper = _mm_set1_pd(pad ? size - 0.5 : limit);
        const __m128d offset = _mm_set1_pd(pad ? 0.0 : shift);
        alignas(16) int wholes[4];
        for (; index + 2 <= length; index += 2) {
            __m128d position = _mm_min_pd(_mm_max_pd(positionsAt(index), lower), upper);
            if (!pad)
                position = _mm_add_pd(position, offset);
            _mm_store_si128(reinterpret_cast<__m128i*>(wholes), _mm_cvttpd_epi32(position));
            out[index] = entryOf(wholes[0]);
            out[index + 1] = entryOf(wholes[1]);
        }
    }
#else
    (void)positionsAt;
#endif
    for (; index < length; ++index) {
        if (pad)
            out[index] = entryOf(static_cast<int>(std::min(size - 0.5, std::max(0.0, positionAt(index)))));
        else
            out[index] = entryOf(static_cast<int>(std::min(limit, std::max(-limit, positionAt(index))) + shift));
    }
}

} // namespace

void FillShader::shadeLinear(int x, int y, int length, QRgb* out) const
{
    constexpr double size = GradientRamp::Size;
    const double rowStart = (m_toFill.m21() * (y + 0.5) + m_toFill.dx()) * size;
    const double step = m_toFill.m11() * size;
    int done = 0;
#if SKRV_WIDE_PIXELS
    // Runs shorter than eight cost less two pixels at a time.
    if (length >= 8 && PixelVectors::wide()) {
        done = wide::linearEntries(wideTable(*m_ramp), rowStart, step, x + 0.5, length, out);
        out += done;
        length -= done;
    }
#endif
    const double first = x + 0.5 + done;
#if SKRV_PIXEL_VECTORS
    const __m128d rowStarts = _mm_set1_pd(rowStart);
    const __m128d steps = _mm_set1_pd(step);
    const __m128d firsts = _mm_set_pd(first + 1.0, first);
    const auto pairs = [=](int index) {
        const __m128d centers = _mm_add_pd(firsts, _mm_set1_pd(static_cast<double>(index)));
        return _mm_add_pd(rowStarts, _mm_mul_pd(steps, centers));
    };
#else
    const PositionPair pairs = nullptr;
#endif
    lookUpEntries(*m_ramp, length, out, [=](int index) { return rowStart + step * (first + index); }, pairs);
}

// The position of a point on a radial gradient seen from focus f inside the unit circle: the
// ratio of its distance from the focus to the distance from the focus to the circle along the
// same ray, the root of t²(1 - |f|²) - 2t (d·f) - |d|² = 0 with d the point less the focus.
void FillShader::shadeRadial(int x, int y, int length, QRgb* out) const
{
    constexpr double size = GradientRamp::Size;
    const double centerY = y + 0.5;
    const double rowX = m_toFill.m21() * centerY + m_toFill.dx() - m_focusX;
    const double rowY = m_toFill.m22() * centerY + m_toFill.dy() - m_focusY;
    const double stepX = m_toFill.m11();
    const double stepY = m_toFill.m12();
    const double inside = 1.0 - (m_focusX * m_focusX + m_focusY * m_focusY);
    const double scale = size / inside;
    const double focusX = m_focusX;
    const double focusY = m_focusY;
    const bool centered = m_focusX == 0.0 && m_focusY == 0.0;
    int done = 0;
#if SKRV_WIDE_PIXELS
    if (length >= 8 && PixelVectors::wide()) {
        const wide::RadialRow row { rowX, rowY, stepX, stepY, x + 0.5, focusX, focusY, inside, scale, centered };
        done = wide::radialEntries(wideTable(*m_ramp), row, length, out);
        out += done;
        length -= done;
    }
#endif
    const double first = x + 0.5 + done;
#if SKRV_PIXEL_VECTORS
    const __m128d firsts = _mm_set_pd(first + 1.0, first);
    const auto pairs = [=](int index) {
        const __m128d centers = _mm_add_pd(firsts, _mm_set1_pd(static_cast<double>(index)));
        const __m128d dx = _mm_add_pd(_mm_set1_pd(rowX), _mm_mul_pd(_mm_set1_pd(stepX), centers));
        const __m128d dy = _mm_add_pd(_mm_set1_pd(rowY), _mm_mul_pd(_mm_set1_pd(stepY), centers));
        const __m128d squared = _mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy));
        if (centered)
            return _mm_mul_pd(_mm_sqrt_pd(squared), _mm_set1_pd(size));
        const __m128d towards = _mm_add_pd(_mm_mul_pd(dx, _mm_set1_pd(focusX)), _mm_mul_pd(dy, _mm_set1_pd(focusY)));
        const __m128d root = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(towards, towards), _mm_mul_pd(_mm_set1_pd(inside), squared)));
        return _mm_mul_pd(_mm_add_pd(towards, root), _mm_set1_pd(scale));
    };
#else
    const PositionPair pairs = nullptr;
#endif
    if (centered) {
        lookUpEntries(*m_ramp, length, out, [=](int index) {
            const double centerX = first + index;
            const double dx = rowX + stepX * centerX;
            const double dy = rowY + stepY * centerX;
            return std::sqrt(dx * dx + dy * dy) * size;
        }, pairs);
        return;
    }
    lookUpEntries(*m_ramp, length, out, [=](int index) {
        const double centerX = first + index;
        const double dx = rowX + stepX * centerX;
        const double dy = rowY + stepY * centerX;
        const double towards = dx * focusX + dy * focusY;
        return (towards + std::sqrt(towards * towards + inside * (dx * dx + dy * dy))) * scale;
    }, pairs);
}

void FillShader::shadeBitmap(int x, int y, int length, QRgb* out) const
{
    const double centerY = y + 0.5;
    const double rowU = m_toFill.m21() * centerY + m_toFill.dx();
    const double rowV = m_toFill.m22() * centerY + m_toFill.dy();
    const double stepU = m_toFill.m11();
    const double stepV = m_toFill.m12();
    const int width = m_image.width();
    const int height = m_image.height();
    const auto* bits = m_image.constBits();
    const qsizetype stride = m_image.bytesPerLine();
#if SKRV_WIDE_PIXELS
    if (wideOffsets(width, height, stride)) {
        const wide::SmoothRow row { reinterpret_cast<const QRgb*>(bits), stride / 4, width, height, m_clamped, false,
                                    rowU, rowV, stepU, stepV, x + 0.5, CoordinateLimit };
        if (wide::nearestPixels(row, length, out) == length)
            return;
    }
#endif
    TexelTrack across(width, m_clamped);
    TexelTrack down(height, m_clamped);
    for (int index = 0; index < length; ++index) {
        const double centerX = x + index + 0.5;
        const int u = across.place(toTexel(rowU + stepU * centerX));
        const int v = down.place(toTexel(rowV + stepV * centerX));
        out[index] = reinterpret_cast<const QRgb*>(bits + v * stride)[u];
    }
}

namespace {

// toTexel() of `row` + `step` × (`from` + index) for `count` indices, two at a time with vector
// instructions when `vector` is set (the same operations in the same order, so the same results).
void texelCoordinates(double row, double step, double from, int count, int* out, bool vector)
{
    int index = 0;
#if SKRV_PIXEL_VECTORS
    if (vector) {
        const __m128d rows = _mm_set1_pd(row);
        const __m128d steps = _mm_set1_pd(step);
        const __m128d low = _mm_set1_pd(-CoordinateLimit);
        const __m128d high = _mm_set1_pd(CoordinateLimit);
        __m128d centers = _mm_set_pd(from + 1.0, from);
        const __m128d two = _mm_set1_pd(2.0);
        for (; index + 2 <= count; index += 2) {
            // max() takes its second operand for a NaN, as toTexel() takes the lower limit.
            const __m128d coordinate = _mm_min_pd(_mm_max_pd(_mm_add_pd(rows, _mm_mul_pd(steps, centers)), low), high);
            const __m128i whole = _mm_cvttpd_epi32(coordinate);
            const __m128d above = _mm_cmpgt_pd(_mm_cvtepi32_pd(whole), coordinate);
            const __m128i lessOne = _mm_shuffle_epi32(_mm_castpd_si128(above), _MM_SHUFFLE(3, 3, 2, 0));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + index), _mm_add_epi32(whole, lessOne));
            centers = _mm_add_pd(centers, two);
        }
    }
#else
    (void)vector;
#endif
    for (; index < count; ++index)
        out[index] = toTexel(row + step * (from + index));
}

// Smoothed pixels from the texel coordinates (in 256ths) `us` and `vs`, the texels brought into
// the image by `across` and `down` (or taken as they are, when `inside`). Neighbouring pixels of a
// magnified image mostly lie between the same four texels, which are then fetched only once.
template <bool Vector>
void mixTexels(const uchar* bits, qsizetype stride, const int* us, const int* vs, int count, bool inside,
               TexelTrack& across, TexelTrack& down, QRgb* out)
{
    // The four texels of the last pixel, and which they were (no texel has these numbers).
    int lastU = std::numeric_limits<int>::min();
    int lastV = std::numeric_limits<int>::min();
    QRgb topLeft = 0;
    QRgb topRight = 0;
    QRgb bottomLeft = 0;
    QRgb bottomRight = 0;
#if SKRV_PIXEL_VECTORS
    __m128i topPair = _mm_setzero_si128();
    __m128i bottomPair = _mm_setzero_si128();
#endif
    for (int index = 0; index < count; ++index) {
        const int u = us[index];
        const int v = vs[index];
        const unsigned weightAcross = static_cast<unsigned>(u & 255);
        const unsigned weightDown = static_cast<unsigned>(v & 255);
        if ((u >> 8) != lastU || (v >> 8) != lastV) {
            lastU = u >> 8;
            lastV = v >> 8;
            int left = lastU;
            int right = left + 1;
            int up = lastV;
            int under = up + 1;
            if (!inside) {
                left = across.place(lastU);
                right = across.next(lastU, left);
                up = down.place(lastV);
                under = down.next(lastV, up);
            }
            const auto* top = reinterpret_cast<const QRgb*>(bits + up * stride);
            const auto* bottom = reinterpret_cast<const QRgb*>(bits + under * stride);
#if SKRV_PIXEL_VECTORS
            if constexpr (Vector) {
                if (right == left + 1) {
                    topPair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + left));
                    bottomPair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + left));
                } else {
                    topPair = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(top[left])),
                                                 _mm_cvtsi32_si128(static_cast<int>(top[right])));
                    bottomPair = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(bottom[left])),
                                                    _mm_cvtsi32_si128(static_cast<int>(bottom[right])));
                }
                out[index] = vectors::mixFour(topPair, bottomPair, weightAcross, weightDown);
                continue;
            }
#endif
            topLeft = top[left];
            topRight = top[right];
            bottomLeft = bottom[left];
            bottomRight = bottom[right];
        }
#if SKRV_PIXEL_VECTORS
        if constexpr (Vector) {
            out[index] = vectors::mixFour(topPair, bottomPair, weightAcross, weightDown);
            continue;
        }
#endif
        out[index] = mixPixels(mixPixels(topLeft, topRight, weightAcross), mixPixels(bottomLeft, bottomRight, weightAcross),
                               weightDown);
    }
}

} // namespace

// Between the four texels whose centres surround the point, in 256ths of a texel.
void FillShader::shadeSmoothBitmap(int x, int y, int length, QRgb* out) const
{
    const double centerY = y + 0.5;
    const double rowU = (m_toFill.m21() * centerY + m_toFill.dx() - 0.5) * 256.0;
    const double rowV = (m_toFill.m22() * centerY + m_toFill.dy() - 0.5) * 256.0;
    const double stepU = m_toFill.m11() * 256.0;
    const double stepV = m_toFill.m12() * 256.0;
    const int width = m_image.width();
    const int height = m_image.height();
    const double first = x + 0.5;
    // The point moves along a straight line, so its coordinates along the run lie between those
    // at its ends. When both ends are inside the image, a 256th of a texel clear of its edges and
    // of the last column and row, the four texels around every point are inside it: no wrapping
    // or holding at the edges.
    bool inside = false;
    if (length > 1) {
        const double last = first + (length - 1);
        const int firstU = toTexel(rowU + stepU * first);
        const int lastU = toTexel(rowU + stepU * last);
        const int firstV = toTexel(rowV + stepV * first);
        const int lastV = toTexel(rowV + stepV * last);
        inside = std::min(firstU, lastU) >= 1 && ((std::max(firstU, lastU) + 1) >> 8) + 1 < width
            && std::min(firstV, lastV) >= 1 && ((std::max(firstV, lastV) + 1) >> 8) + 1 < height;
    }
    const auto* bits = m_image.constBits();
    const qsizetype stride = m_image.bytesPerLine();
    const bool vector = PixelVectors::enabled();
    TexelTrack across(width, m_clamped);
    TexelTrack down(height, m_clamped);
    int done = 0;
#if SKRV_WIDE_PIXELS
    // Eight pixels at a time, their texels gathered by 32-bit offsets from the first pixel.
    if (wideOffsets(width, height, stride)) {
        const wide::SmoothRow row { reinterpret_cast<const QRgb*>(bits), stride / 4, width, height, m_clamped, inside,
                                    rowU, rowV, stepU, stepV, first, CoordinateLimit };
        done = wide::smoothPixels(row, length, out);
    }
#endif
    constexpr int Chunk = 64;
    int us[Chunk];
    int vs[Chunk];
    for (int start = done; start < length; start += Chunk) {
        const int count = std::min(Chunk, length - start);
        texelCoordinates(rowU, stepU, first + start, count, us, vector);
        texelCoordinates(rowV, stepV, first + start, count, vs, vector);
        if (vector)
            mixTexels<true>(bits, stride, us, vs, count, inside, across, down, out + start);
        else
            mixTexels<false>(bits, stride, us, vs, count, inside, across, down, out + start);
    }
}

} // namespace player::render
