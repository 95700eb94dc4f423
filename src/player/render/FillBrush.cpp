#include "FillBrush.h"

#include "ColorTransforms.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// Gradients are defined on a square from -16384 to 16384 twips that their matrix places.
constexpr double GradientHalfSize = 16384.0;

double srgbToLinear(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double linearToSrgb(double value)
{
    return value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1.0 / 2.4) - 0.055;
}

QColor mixLinearRgb(const QColor& from, const QColor& to, double amount)
{
    auto mix = [amount](double first, double second) {
        return linearToSrgb(srgbToLinear(first) + (srgbToLinear(second) - srgbToLinear(first)) * amount);
    };
    QColor result;
    result.setRgbF(static_cast<float>(mix(from.redF(), to.redF())),
                   static_cast<float>(mix(from.greenF(), to.greenF())),
                   static_cast<float>(mix(from.blueF(), to.blueF())),
                   static_cast<float>(from.alphaF() + (to.alphaF() - from.alphaF()) * amount));
    return result;
}

QGradientStops gradientStops(const swf::Gradient& gradient, const swf::ColorTransform& colorTransform)
{
    QGradientStops stops;
    double lastPosition = -1.0;
    for (const swf::GradientRecord& record : gradient.records) {
        // Records with equal ratios make a hard edge; Qt needs increasing positions for that.
        double position = record.ratio / 255.0;
        if (position <= lastPosition)
            position = std::min(1.0, lastPosition + 1e-6);
        const QColor color = applyColorTransform(colorTransform, record.color);
        if (gradient.interpolation == swf::InterpolationMode::LinearRgb && !stops.isEmpty()) {
            // Qt mixes in sRGB: intermediate stops mixed in linear light stand in for the
            // linear-RGB interpolation that Flash does.
            const QGradientStop previous = stops.last();
            constexpr int steps = 16;
            for (int step = 1; step < steps; ++step) {
                const double amount = static_cast<double>(step) / steps;
                stops.append({ previous.first + (position - previous.first) * amount,
                               mixLinearRgb(previous.second, color, amount) });
            }
        }
        stops.append({ position, color });
        lastPosition = position;
    }
    if (stops.isEmpty())
        stops.append({ 0.0, Qt::transparent });
    return stops;
}

QGradient::Spread toSpread(swf::SpreadMode mode)
{
    switch (mode) {
    case swf::SpreadMode::Reflect:
        return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat:
        return QGradient::RepeatSpread;
    case swf::SpreadMode::Pad:
        break;
    }
    return QGradient::PadSpread;
}

// Flash mixes the colours of neighbouring stops channel by channel before applying alpha, so a
// fade from transparent black to white passes through half-transparent grey; Qt's default mixes
// premultiplied colours, which would pass through half-transparent white. Component
// interpolation is the straight mixing.
QBrush gradientBrush(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform)
{
    const swf::Gradient& gradient = fill.gradient;
    QBrush brush;
    if (fill.type == swf::FillType::LinearGradient) {
        QLinearGradient linear(-GradientHalfSize, 0.0, GradientHalfSize, 0.0);
        linear.setStops(gradientStops(gradient, colorTransform));
        linear.setSpread(toSpread(gradient.spread));
        linear.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(linear);
    } else {
        // The focal point lies on the x axis of the gradient square, -1..1 of its radius.
        // Qt misbehaves with the focus exactly on the circle, so it is kept just inside.
        const double focal = fill.type == swf::FillType::FocalGradient ? std::clamp(gradient.focalPoint, -0.998, 0.998) : 0.0;
        QRadialGradient radial(QPointF(0.0, 0.0), GradientHalfSize, QPointF(focal * GradientHalfSize, 0.0));
        radial.setStops(gradientStops(gradient, colorTransform));
        radial.setSpread(toSpread(gradient.spread));
        radial.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(radial);
    }
    brush.setTransform(toTransform(gradient.matrix));
    return brush;
}

} // namespace

QTransform toTransform(const swf::Matrix& matrix)
{
    return QTransform(matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty);
}

bool isBitmapFill(swf::FillType type)
{
    return type == swf::FillType::RepeatingBitmap || type == swf::FillType::ClippedBitmap
        || type == swf::FillType::NonSmoothedRepeatingBitmap || type == swf::FillType::NonSmoothedClippedBitmap;
}

bool isClippedBitmapFill(swf::FillType type)
{
    return type == swf::FillType::ClippedBitmap || type == swf::FillType::NonSmoothedClippedBitmap;
}

bool isSmoothedBitmapFill(swf::FillType type)
{
    return type == swf::FillType::RepeatingBitmap || type == swf::FillType::ClippedBitmap;
}

QBrush makeFillBrush(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform, const QImage& bitmap)
{
    switch (fill.type) {
    case swf::FillType::Solid:
        return QBrush(applyColorTransform(colorTransform, fill.color));
    case swf::FillType::LinearGradient:
    case swf::FillType::RadialGradient:
    case swf::FillType::FocalGradient:
        return gradientBrush(fill, colorTransform);
    case swf::FillType::RepeatingBitmap:
    case swf::FillType::ClippedBitmap:
    case swf::FillType::NonSmoothedRepeatingBitmap:
    case swf::FillType::NonSmoothedClippedBitmap: {
        if (bitmap.isNull())
            return QBrush(Qt::NoBrush);
        QBrush brush(bitmap);
        brush.setTransform(toTransform(fill.bitmapMatrix));
        return brush;
    }
    }
    // Unknown fill types from a malformed file paint nothing.
    return QBrush(Qt::NoBrush);
}

} // namespace player::render
