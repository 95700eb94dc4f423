#include "ShapeBuilder.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace authoring {

bool FillStyle::isGradient() const
{
    return kind == Kind::LinearGradient || kind == Kind::RadialGradient || kind == Kind::FocalGradient;
}

bool FillStyle::isBitmap() const
{
    return uint8_t(kind) >= 0x40;
}

void Path::moveTo(int32_t x, int32_t y)
{
    m_commands.push_back({PathCommand::Kind::MoveTo, 0, 0, x, y});
}

void Path::lineTo(int32_t x, int32_t y)
{
    m_commands.push_back({PathCommand::Kind::LineTo, 0, 0, x, y});
}

void Path::curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y)
{
    m_commands.push_back({PathCommand::Kind::CurveTo, controlX, controlY, x, y});
}

void Path::addRectangle(const Rect& rect)
{
    moveTo(rect.xMin, rect.yMin);
    lineTo(rect.xMax, rect.yMin);
    lineTo(rect.xMax, rect.yMax);
    lineTo(rect.xMin, rect.yMax);
    lineTo(rect.xMin, rect.yMin);
}

void Path::addRoundedRectangle(const Rect& rect, int32_t radius)
{
    radius = std::clamp(radius, 0, std::min(rect.xMax - rect.xMin, rect.yMax - rect.yMin) / 2);
    if (radius == 0) {
        addRectangle(rect);
        return;
    }
    moveTo(rect.xMin + radius, rect.yMin);
    lineTo(rect.xMax - radius, rect.yMin);
    curveTo(rect.xMax, rect.yMin, rect.xMax, rect.yMin + radius);
    lineTo(rect.xMax, rect.yMax - radius);
    curveTo(rect.xMax, rect.yMax, rect.xMax - radius, rect.yMax);
    lineTo(rect.xMin + radius, rect.yMax);
    curveTo(rect.xMin, rect.yMax, rect.xMin, rect.yMax - radius);
    lineTo(rect.xMin, rect.yMin + radius);
    curveTo(rect.xMin, rect.yMin, rect.xMin + radius, rect.yMin);
}

void Path::addEllipse(const Rect& rect)
{
    // Eight quadratic curves, each spanning 45 degrees; the control point sits on the tangents'
    // crossing, at radius / cos(22.5 degrees).
    const double centerX = (rect.xMin + rect.xMax) / 2.0;
    const double centerY = (rect.yMin + rect.yMax) / 2.0;
    const double radiusX = (rect.xMax - rect.xMin) / 2.0;
    const double radiusY = (rect.yMax - rect.yMin) / 2.0;
    const double step = M_PI / 4.0;
    const double controlScale = 1.0 / std::cos(step / 2.0);
    moveTo(int32_t(std::lround(centerX + radiusX)), int32_t(std::lround(centerY)));
    for (int segment = 1; segment <= 8; ++segment) {
        const double angle = segment * step;
        const double middle = angle - step / 2.0;
        curveTo(int32_t(std::lround(centerX + radiusX * controlScale * std::cos(middle))),
                int32_t(std::lround(centerY + radiusY * controlScale * std::sin(middle))),
                int32_t(std::lround(centerX + radiusX * std::cos(angle))),
                int32_t(std::lround(centerY + radiusY * std::sin(angle))));
    }
}

void ShapeBuilder::addLayer(ShapeLayer layer)
{
    m_layers.push_back(std::move(layer));
}

bool ShapeBuilder::needsDefineShape4() const
{
    return std::any_of(m_layers.begin(), m_layers.end(), [](const ShapeLayer& layer) {
        return layer.fill && layer.fill->kind == FillStyle::Kind::FocalGradient;
    });
}

namespace {

Rect pathBounds(const std::vector<ShapeLayer>& layers, bool withStrokes)
{
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;
    for (const ShapeLayer& layer : layers) {
        const int32_t margin = withStrokes && layer.line ? layer.line->width / 2 : 0;
        for (const PathCommand& command : layer.path.commands()) {
            // Control points bound the curve; a little loose, never too small.
            const int32_t xs[] = {command.x, command.kind == PathCommand::Kind::CurveTo ? command.controlX : command.x};
            const int32_t ys[] = {command.y, command.kind == PathCommand::Kind::CurveTo ? command.controlY : command.y};
            for (int32_t x : xs) {
                xMin = std::min(xMin, x - margin);
                xMax = std::max(xMax, x + margin);
            }
            for (int32_t y : ys) {
                yMin = std::min(yMin, y - margin);
                yMax = std::max(yMax, y + margin);
            }
        }
    }
    if (xMin > xMax)
        return {};
    return {xMin, xMax, yMin, yMax};
}

void writeGradient(ByteWriter& out, const FillStyle& fill)
{
    // Pad spread, normal RGB interpolation; at most 15 stops fit the field.
    const size_t count = std::min<size_t>(fill.stops.size(), 15);
    out.u8(uint32_t(count));
    for (size_t i = 0; i < count; ++i) {
        out.u8(fill.stops[i].ratio);
        writeRgba(out, fill.stops[i].color);
    }
    if (fill.kind == FillStyle::Kind::FocalGradient)
        out.fixed8(std::clamp(fill.focalPoint, -1.0, 1.0));
}

void writeStyles(ByteWriter& out, const ShapeLayer& layer, bool shape4)
{
    out.u8(layer.fill ? 1 : 0);
    if (layer.fill) {
        const FillStyle& fill = *layer.fill;
        out.u8(uint8_t(fill.kind));
        if (fill.kind == FillStyle::Kind::Solid) {
            writeRgba(out, fill.color);
        } else if (fill.isGradient()) {
            writeMatrix(out, fill.transform);
            writeGradient(out, fill);
        } else {
            out.u16(fill.bitmapId);
            writeMatrix(out, fill.transform);
        }
    }
    out.u8(layer.line ? 1 : 0);
    if (layer.line) {
        out.u16(layer.line->width);
        if (shape4) {
            // Round caps and joins, no fill of its own, scaling strokes.
            out.u8(0x00);
            out.u8(0x00);
        }
        writeRgba(out, layer.line->color);
    }
}

// Edge records hold their deltas in at most 17 bits (a 4-bit count plus 2), so longer edges
// are written as pieces.
constexpr int maximumEdgeBits = 17;

void writeEdge(BitWriter& bits, const PathCommand& command, int32_t& penX, int32_t& penY)
{
    if (command.kind == PathCommand::Kind::LineTo) {
        const int32_t dx = command.x - penX;
        const int32_t dy = command.y - penY;
        if (std::max(signedBitCount(dx), signedBitCount(dy)) > maximumEdgeBits) {
            writeEdge(bits, {PathCommand::Kind::LineTo, 0, 0, penX + dx / 2, penY + dy / 2}, penX, penY);
            writeEdge(bits, command, penX, penY);
            return;
        }
    } else {
        const int32_t controlDx = command.controlX - penX;
        const int32_t controlDy = command.controlY - penY;
        const int32_t anchorDx = command.x - command.controlX;
        const int32_t anchorDy = command.y - command.controlY;
        if (std::max({signedBitCount(controlDx), signedBitCount(controlDy), signedBitCount(anchorDx),
                      signedBitCount(anchorDy)}) > maximumEdgeBits) {
            // Split the curve in the middle (de Casteljau); each half has half-length deltas.
            const int32_t startX = penX, startY = penY;
            const int32_t firstControlX = (startX + command.controlX) / 2;
            const int32_t firstControlY = (startY + command.controlY) / 2;
            const int32_t secondControlX = (command.controlX + command.x) / 2;
            const int32_t secondControlY = (command.controlY + command.y) / 2;
            const int32_t middleX = (firstControlX + secondControlX) / 2;
            const int32_t middleY = (firstControlY + secondControlY) / 2;
            writeEdge(bits, {PathCommand::Kind::CurveTo, firstControlX, firstControlY, middleX, middleY}, penX, penY);
            writeEdge(bits, {PathCommand::Kind::CurveTo, secondControlX, secondControlY, command.x, command.y}, penX, penY);
            return;
        }
    }
    if (command.kind == PathCommand::Kind::LineTo) {
        const int32_t dx = command.x - penX;
        const int32_t dy = command.y - penY;
        const int count = std::max({2, signedBitCount(dx), signedBitCount(dy)});
        bits.writeUnsigned(1, 1); // edge
        bits.writeUnsigned(1, 1); // straight
        bits.writeUnsigned(uint32_t(count - 2), 4);
        if (dx != 0 && dy != 0) {
            bits.writeFlag(true); // general line
            bits.writeSigned(dx, count);
            bits.writeSigned(dy, count);
        } else {
            bits.writeFlag(false);
            bits.writeFlag(dx == 0); // vertical
            bits.writeSigned(dx == 0 ? dy : dx, count);
        }
    } else {
        const int32_t controlDx = command.controlX - penX;
        const int32_t controlDy = command.controlY - penY;
        const int32_t anchorDx = command.x - command.controlX;
        const int32_t anchorDy = command.y - command.controlY;
        const int count = std::max({2, signedBitCount(controlDx), signedBitCount(controlDy),
                                    signedBitCount(anchorDx), signedBitCount(anchorDy)});
        bits.writeUnsigned(1, 1);
        bits.writeUnsigned(0, 1); // curved
        bits.writeUnsigned(uint32_t(count - 2), 4);
        bits.writeSigned(controlDx, count);
        bits.writeSigned(controlDy, count);
        bits.writeSigned(anchorDx, count);
        bits.writeSigned(anchorDy, count);
    }
    penX = command.x;
    penY = command.y;
}

// A style-change record that moves the pen; the caller writes the style indices it announces.
void writeStyleChangeMove(BitWriter& bits, bool newStyles, bool lineStyle, bool fillStyle0, const PathCommand& move)
{
    bits.writeUnsigned(0, 1);
    bits.writeFlag(newStyles);
    bits.writeFlag(lineStyle);
    bits.writeFlag(false); // fill style 1
    bits.writeFlag(fillStyle0);
    bits.writeFlag(true); // move to
    const int count = std::max(signedBitCount(move.x), signedBitCount(move.y));
    bits.writeUnsigned(uint32_t(count), 5);
    bits.writeSigned(move.x, count);
    bits.writeSigned(move.y, count);
}

} // namespace

Rect ShapeBuilder::bounds() const
{
    return pathBounds(m_layers, true);
}

QByteArray ShapeBuilder::tagBody(uint16_t characterId) const
{
    const bool shape4 = needsDefineShape4();
    ByteWriter out;
    out.u16(characterId);
    writeRect(out, bounds());
    if (shape4) {
        writeRect(out, pathBounds(m_layers, false));
        out.u8(0x01); // scaling strokes only
    }
    const ShapeLayer emptyLayer;
    writeStyles(out, m_layers.empty() ? emptyLayer : m_layers.front(), shape4);
    out.u8(0x11); // one bit each for the fill and line style indices
    BitWriter bits(out);
    int32_t penX = 0, penY = 0;
    for (size_t index = 0; index < m_layers.size(); ++index) {
        const ShapeLayer& layer = m_layers[index];
        bool styled = false;
        for (const PathCommand& command : layer.path.commands()) {
            if (command.kind != PathCommand::Kind::MoveTo) {
                writeEdge(bits, command, penX, penY);
                continue;
            }
            // Style change: new styles for every layer after the first, then the move.
            const bool newStyles = index > 0 && !styled;
            writeStyleChangeMove(bits, newStyles, !styled, !styled, command);
            if (!styled) {
                bits.writeUnsigned(layer.fill ? 1 : 0, 1);
                bits.writeUnsigned(layer.line ? 1 : 0, 1);
            }
            if (newStyles) {
                bits.flush();
                writeStyles(out, layer, shape4);
                bits.writeUnsigned(1, 4);
                bits.writeUnsigned(1, 4);
            }
            styled = true;
            penX = command.x;
            penY = command.y;
        }
    }
    bits.writeUnsigned(0, 6); // end of shape
    bits.flush();
    return out.bytes();
}

QByteArray glyphShapeRecords(const Path& outline)
{
    ByteWriter out;
    out.u8(0x10); // one bit for the fill style index, none for lines
    BitWriter bits(out);
    int32_t penX = 0, penY = 0;
    bool filled = false;
    for (const PathCommand& command : outline.commands()) {
        if (command.kind != PathCommand::Kind::MoveTo) {
            writeEdge(bits, command, penX, penY);
            continue;
        }
        writeStyleChangeMove(bits, false, false, !filled, command); // fill style 0 is set once
        if (!filled)
            bits.writeUnsigned(1, 1);
        filled = true;
        penX = command.x;
        penY = command.y;
    }
    bits.writeUnsigned(0, 6); // end of shape
    bits.flush();
    return out.bytes();
}

} // namespace authoring
