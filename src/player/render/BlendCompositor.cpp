#include "BlendCompositor.h"

#include <algorithm>
#include <optional>

namespace player::render {

namespace {

std::optional<QPainter::CompositionMode> compositionMode(swf::BlendMode mode)
{
    switch (mode) {
    case swf::BlendMode::Normal:
    case swf::BlendMode::Layer:
        return QPainter::CompositionMode_SourceOver;
    case swf::BlendMode::Multiply:
        return QPainter::CompositionMode_Multiply;
    case swf::BlendMode::Screen:
        return QPainter::CompositionMode_Screen;
    case swf::BlendMode::Lighten:
        return QPainter::CompositionMode_Lighten;
    case swf::BlendMode::Darken:
        return QPainter::CompositionMode_Darken;
    case swf::BlendMode::Difference:
        return QPainter::CompositionMode_Difference;
    case swf::BlendMode::Add:
        return QPainter::CompositionMode_Plus;
    case swf::BlendMode::Overlay:
        return QPainter::CompositionMode_Overlay;
    case swf::BlendMode::HardLight:
        return QPainter::CompositionMode_HardLight;
    // Erase acts on the layer below (the parent's, when the parent is a layer): its alpha is
    // taken away where the object's alpha is.
    case swf::BlendMode::Erase:
        return QPainter::CompositionMode_DestinationOut;
    case swf::BlendMode::Alpha:
    case swf::BlendMode::Subtract:
    case swf::BlendMode::Invert:
        break;
    }
    return std::nullopt;
}

// Subtract takes the source's premultiplied colour away from what lies below, clamped at
// black: a half-transparent white takes half of each channel away, whatever the channel was,
// so a dark channel goes to black rather than keeping what the source does not cover.
QRgb subtractPixel(QRgb source, QRgb destination)
{
    const int sourceAlpha = qAlpha(source);
    if (sourceAlpha == 0)
        return destination;
    const int alpha = sourceAlpha + qAlpha(destination) * (255 - sourceAlpha) / 255;
    auto channel = [alpha](int sourceValue, int destinationValue) {
        return std::min(std::max(destinationValue - sourceValue, 0), alpha);
    };
    return qRgba(channel(qRed(source), qRed(destination)), channel(qGreen(source), qGreen(destination)),
                 channel(qBlue(source), qBlue(destination)), alpha);
}

// Invert, on premultiplied pixels: the inverse of what lies below weighted by the source's
// alpha, over what the source does not cover. Both parts are summed before the one rounding to
// the nearest value, so that a half-transparent invert over a flat colour stays flat.
QRgb invertPixel(QRgb source, QRgb destination)
{
    const int sourceAlpha = qAlpha(source);
    if (sourceAlpha == 0)
        return destination;
    const int destinationAlpha = qAlpha(destination);
    auto channel = [&](int destinationValue) {
        // In 255ths of 255ths: the inverted straight colour times both alphas, plus the premultiplied
        // colour below where the source leaves it.
        const int straightDestination = destinationAlpha ? destinationValue * 255 / destinationAlpha : 0;
        const int inverted = (255 - straightDestination) * sourceAlpha * destinationAlpha;
        const int kept = destinationValue * (255 - sourceAlpha) * 255;
        return std::clamp((inverted + kept + 255 * 255 / 2) / (255 * 255), 0, destinationAlpha);
    };
    return qRgba(channel(qRed(destination)), channel(qGreen(destination)), channel(qBlue(destination)), destinationAlpha);
}

// Alpha keeps the layer below as much as the object is opaque, but only where the object has
// some alpha at all: where it is wholly transparent, inside its shape or out, the layer below
// stays as it was.
QRgb alphaPixel(QRgb source, QRgb destination)
{
    const int sourceAlpha = qAlpha(source);
    if (sourceAlpha == 0)
        return destination;
    auto scaled = [sourceAlpha](int value) { return value * sourceAlpha / 255; };
    return qRgba(scaled(qRed(destination)), scaled(qGreen(destination)), scaled(qBlue(destination)),
                 scaled(qAlpha(destination)));
}

QRgb blendPixel(QRgb source, QRgb destination, swf::BlendMode mode)
{
    switch (mode) {
    case swf::BlendMode::Alpha:
        return alphaPixel(source, destination);
    case swf::BlendMode::Subtract:
        return subtractPixel(source, destination);
    default:
        return invertPixel(source, destination);
    }
}

} // namespace

bool BlendCompositor::needsLayer(swf::BlendMode mode)
{
    return mode != swf::BlendMode::Normal && static_cast<int>(mode) != 0;
}

void BlendCompositor::composite(QPainter& painter, const QImage& layer, const QPoint& topLeft, swf::BlendMode mode)
{
    painter.save();
    painter.resetTransform();
    const std::optional<QPainter::CompositionMode> qtMode = compositionMode(mode);
    auto* target = dynamic_cast<QImage*>(painter.device());
    if (qtMode || !target || target->format() != QImage::Format_ARGB32_Premultiplied) {
        painter.setCompositionMode(qtMode.value_or(QPainter::CompositionMode_SourceOver));
        painter.drawImage(topLeft, layer);
        painter.restore();
        return;
    }
    // Blend against a copy of what lies below, then put the result in place of it.
    const QRect area = QRect(topLeft, layer.size()) & target->rect();
    QImage result = target->copy(area);
    const QImage source = layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* sourceLine = reinterpret_cast<const QRgb*>(source.constScanLine(y + area.y() - topLeft.y()));
        for (int x = 0; x < result.width(); ++x)
            line[x] = blendPixel(sourceLine[x + area.x() - topLeft.x()], line[x], mode);
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), result);
    painter.restore();
}

} // namespace player::render
