#pragma once

#include "player/swf/Shape.h"

#include <QColor>
#include <QImage>

// Builds shapes record by record for the renderer tests. Coordinates are given in pixels and
// stored in twips, as a movie would store them.
class ShapeBuilder {
public:
    ShapeBuilder& fill(player::swf::FillStyle style)
    {
        m_shape.fillStyles.push_back(std::move(style));
        return *this;
    }
    ShapeBuilder& solid(QRgb color) { return fill(solidFill(color)); }
    ShapeBuilder& line(uint16_t widthTwips, QRgb color)
    {
        player::swf::LineStyle style;
        style.width = widthTwips;
        style.color = rgba(color);
        m_shape.lineStyles.push_back(style);
        return *this;
    }
    // A style change: move to a point and pick styles (-1 leaves a style as it is).
    ShapeBuilder& change(double x, double y, int fill0, int fill1, int line = -1)
    {
        player::swf::StyleChangeRecord record;
        record.hasMove = true;
        record.moveX = twips(x);
        record.moveY = twips(y);
        record.hasFill0 = fill0 >= 0;
        record.fill0 = static_cast<uint32_t>(std::max(fill0, 0));
        record.hasFill1 = fill1 >= 0;
        record.fill1 = static_cast<uint32_t>(std::max(fill1, 0));
        record.hasLine = line >= 0;
        record.line = static_cast<uint32_t>(std::max(line, 0));
        m_shape.records.push_back(record);
        return *this;
    }
    // A style change without a move.
    ShapeBuilder& style(int fill0, int fill1, int line = -1)
    {
        player::swf::StyleChangeRecord record;
        record.hasFill0 = fill0 >= 0;
        record.fill0 = static_cast<uint32_t>(std::max(fill0, 0));
        record.hasFill1 = fill1 >= 0;
        record.fill1 = static_cast<uint32_t>(std::max(fill1, 0));
        record.hasLine = line >= 0;
        record.line = static_cast<uint32_t>(std::max(line, 0));
        m_shape.records.push_back(record);
        return *this;
    }
    // A style change that brings new style arrays (a new drawing group).
    ShapeBuilder& newStyles(std::vector<player::swf::FillStyle> fills, std::vector<player::swf::LineStyle> lines)
    {
        player::swf::StyleChangeRecord record;
        record.hasNewStyles = true;
        record.newFillStyles = std::move(fills);
        record.newLineStyles = std::move(lines);
        m_shape.records.push_back(record);
        return *this;
    }
    ShapeBuilder& lineTo(double x, double y)
    {
        m_shape.records.push_back(player::swf::StraightEdgeRecord { twips(x), twips(y) });
        return *this;
    }
    ShapeBuilder& curveTo(double controlX, double controlY, double x, double y)
    {
        m_shape.records.push_back(player::swf::CurvedEdgeRecord { twips(controlX), twips(controlY), twips(x), twips(y) });
        return *this;
    }
    // A closed rectangle, clockwise on screen, from the current styles.
    ShapeBuilder& rectangle(double left, double top, double right, double bottom, int fill0, int fill1, int line = -1)
    {
        change(left, top, fill0, fill1, line);
        return lineTo(right, top).lineTo(right, bottom).lineTo(left, bottom).lineTo(left, top);
    }
    player::swf::Shape build() const { return m_shape; }

    static int32_t twips(double pixels) { return static_cast<int32_t>(pixels * 20.0); }
    static player::swf::Rgba rgba(QRgb color)
    {
        return player::swf::Rgba { static_cast<uint8_t>(qRed(color)), static_cast<uint8_t>(qGreen(color)),
                                   static_cast<uint8_t>(qBlue(color)), static_cast<uint8_t>(qAlpha(color)) };
    }
    static player::swf::FillStyle solidFill(QRgb color)
    {
        player::swf::FillStyle style;
        style.type = player::swf::FillType::Solid;
        style.color = rgba(color);
        return style;
    }

private:
    player::swf::Shape m_shape;
};

// Pixel comparison with a tolerance per channel, for antialiased and interpolated colours.
inline bool closeTo(QRgb actual, QRgb expected, int tolerance = 3)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance && std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

inline QString describe(QRgb color)
{
    return QStringLiteral("#%1").arg(color, 8, 16, QLatin1Char('0'));
}
