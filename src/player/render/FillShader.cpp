#include "FillShader.h"

#include "CoverageFill.h"

#include <algorithm>
#include <cmath>
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

// The table entries of `length` positions along a gradient, given in table entries (1024 to the
// gradient's length) by `positionAt(index)`, under the ramp's spread. Positions are held within
// a range that keeps them clear of the integer limits; a NaN takes the lower end.
template <typename PositionAt>
void lookUpEntries(const GradientRamp& ramp, int length, QRgb* out, PositionAt&& positionAt)
{
    constexpr double size = GradientRamp::Size;
    const QRgb* colors = ramp.entries();
    switch (ramp.spread()) {
    case QGradient::PadSpread:
        for (int index = 0; index < length; ++index) {
            const double position = std::min(size - 0.5, std::max(0.0, positionAt(index)));
            out[index] = colors[static_cast<int>(position)];
        }
        return;
    case QGradient::RepeatSpread:
    case QGradient::ReflectSpread: {
        // Shifted by a whole number of periods so that truncating rounds down.
        constexpr double shift = 1 << 30;
        constexpr double limit = 1 << 29;
        const bool reflect = ramp.spread() == QGradient::ReflectSpread;
        for (int index = 0; index < length; ++index) {
            const double position = std::min(limit, std::max(-limit, positionAt(index))) + shift;
            const int entry = static_cast<int>(position);
            if (reflect) {
                const int phase = entry & (2 * GradientRamp::Size - 1);
                out[index] = colors[phase < GradientRamp::Size ? phase : 2 * GradientRamp::Size - 1 - phase];
            } else {
                out[index] = colors[entry & (GradientRamp::Size - 1)];
            }
        }
        return;
    }
    }
}

} // namespace

void FillShader::shadeLinear(int x, int y, int length, QRgb* out) const
{
    constexpr double size = GradientRamp::Size;
    const double rowStart = (m_toFill.m21() * (y + 0.5) + m_toFill.dx()) * size;
    const double step = m_toFill.m11() * size;
    const double first = x + 0.5;
    lookUpEntries(*m_ramp, length, out, [=](int index) { return rowStart + step * (first + index); });
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
    const double first = x + 0.5;
    if (m_focusX == 0.0 && m_focusY == 0.0) {
        lookUpEntries(*m_ramp, length, out, [=](int index) {
            const double centerX = first + index;
            const double dx = rowX + stepX * centerX;
            const double dy = rowY + stepY * centerX;
            return std::sqrt(dx * dx + dy * dy) * size;
        });
        return;
    }
    const double inside = 1.0 - (m_focusX * m_focusX + m_focusY * m_focusY);
    const double scale = size / inside;
    const double focusX = m_focusX;
    const double focusY = m_focusY;
    lookUpEntries(*m_ramp, length, out, [=](int index) {
        const double centerX = first + index;
        const double dx = rowX + stepX * centerX;
        const double dy = rowY + stepY * centerX;
        const double towards = dx * focusX + dy * focusY;
        return (towards + std::sqrt(towards * towards + inside * (dx * dx + dy * dy))) * scale;
    });
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
    for (int index = 0; index < length; ++index) {
        const double centerX = x + index + 0.5;
        const int u = placeTexel(toTexel(rowU + stepU * centerX), width, m_clamped);
        const int v = placeTexel(toTexel(rowV + stepV * centerX), height, m_clamped);
        out[index] = reinterpret_cast<const QRgb*>(bits + v * stride)[u];
    }
}

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
    const auto* bits = m_image.constBits();
    const qsizetype stride = m_image.bytesPerLine();
    const bool clamped = m_clamped;
    // The texel after `texel` across or down, `placed` being `texel` brought into range.
    const auto nextOf = [clamped](int texel, int placed, int size) {
        if (clamped)
            return placeTexel(texel + 1, size, true);
        return placed + 1 < size ? placed + 1 : 0;
    };
    const double first = x + 0.5;
    if (length > 1) {
        // The point moves along a straight line, so its coordinates along the run lie between
        // those at its ends. When both ends are inside the image, a 256th of a texel clear of
        // its edges and of the last column and row, the four texels around every point are
        // inside it: no wrapping or holding at the edges, and the coordinates, all positive,
        // are made whole by truncation. The pixels are the same as below.
        const double last = first + (length - 1);
        const int firstU = toTexel(rowU + stepU * first);
        const int lastU = toTexel(rowU + stepU * last);
        const int firstV = toTexel(rowV + stepV * first);
        const int lastV = toTexel(rowV + stepV * last);
        const bool insideAcross = std::min(firstU, lastU) >= 1 && ((std::max(firstU, lastU) + 1) >> 8) + 1 < width;
        const bool insideDown = std::min(firstV, lastV) >= 1 && ((std::max(firstV, lastV) + 1) >> 8) + 1 < height;
        if (insideAcross && insideDown) {
            for (int index = 0; index < length; ++index) {
                const double centerX = first + index;
                const int u = static_cast<int>(rowU + stepU * centerX);
                const int v = static_cast<int>(rowV + stepV * centerX);
                const auto* top = reinterpret_cast<const QRgb*>(bits + (v >> 8) * stride) + (u >> 8);
                const auto* bottom = reinterpret_cast<const QRgb*>(reinterpret_cast<const uchar*>(top) + stride);
                const unsigned across = static_cast<unsigned>(u & 255);
                out[index] = mixPixels(mixPixels(top[0], top[1], across), mixPixels(bottom[0], bottom[1], across),
                                       static_cast<unsigned>(v & 255));
            }
            return;
        }
    }
    for (int index = 0; index < length; ++index) {
        const double centerX = first + index;
        const int u = toTexel(rowU + stepU * centerX);
        const int v = toTexel(rowV + stepV * centerX);
        const int left = placeTexel(u >> 8, width, clamped);
        const int up = placeTexel(v >> 8, height, clamped);
        const int right = nextOf(u >> 8, left, width);
        const auto* top = reinterpret_cast<const QRgb*>(bits + up * stride);
        const auto* bottom = reinterpret_cast<const QRgb*>(bits + nextOf(v >> 8, up, height) * stride);
        const unsigned across = static_cast<unsigned>(u & 255);
        const unsigned down = static_cast<unsigned>(v & 255);
        out[index] = mixPixels(mixPixels(top[left], top[right], across), mixPixels(bottom[left], bottom[right], across), down);
    }
}

} // namespace player::render
