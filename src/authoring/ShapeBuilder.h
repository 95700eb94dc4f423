#pragma once

#include "SwfRecords.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace authoring {

struct GradientStop {
    uint8_t ratio = 0; // 0 at the gradient's start, 255 at its end
    Rgba color;
};

struct FillStyle {
    enum class Kind : uint8_t {
        Solid = 0x00,
        LinearGradient = 0x10,
        RadialGradient = 0x12,
        FocalGradient = 0x13,
        RepeatingBitmap = 0x40,
        ClippedBitmap = 0x41,
        RepeatingBitmapUnsmoothed = 0x42,
        ClippedBitmapUnsmoothed = 0x43,
    };
    Kind kind = Kind::Solid;
    Rgba color;
    std::vector<GradientStop> stops;
    // Gradients: maps the gradient square (-16384..16384 twips) into the shape. Bitmaps: maps
    // bitmap pixels into the shape (20 = one pixel to one pixel).
    Matrix transform;
    double focalPoint = 0.0; // -1..1, focal gradients only
    uint16_t bitmapId = 0;

    bool isGradient() const;
    bool isBitmap() const;
};

struct LineStyle {
    uint16_t width = 20; // twips
    Rgba color;
};

struct PathCommand {
    enum class Kind : uint8_t { MoveTo, LineTo, CurveTo };
    Kind kind = Kind::MoveTo;
    int32_t controlX = 0; // twips, curves only
    int32_t controlY = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// A path in twips with the outline helpers that the templates draw with.
class Path {
public:
    void moveTo(int32_t x, int32_t y);
    void lineTo(int32_t x, int32_t y);
    void curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y);
    void addRectangle(const Rect& rect);
    void addRoundedRectangle(const Rect& rect, int32_t radius);
    void addEllipse(const Rect& rect);

    const std::vector<PathCommand>& commands() const { return m_commands; }
    bool isEmpty() const { return m_commands.empty(); }

private:
    std::vector<PathCommand> m_commands;
};

// One drawing layer: a path with at most one fill and one line style. Later layers are drawn
// above earlier ones, as Flash's own drawing layers are.
struct ShapeLayer {
    std::optional<FillStyle> fill;
    std::optional<LineStyle> line;
    Path path;
};

// Builds DefineShape3, or DefineShape4 when a focal gradient needs it.
class ShapeBuilder {
public:
    void addLayer(ShapeLayer layer);
    bool isEmpty() const { return m_layers.empty(); }
    bool needsDefineShape4() const;
    Rect bounds() const;
    // The tag body, starting with the character id.
    QByteArray tagBody(uint16_t characterId) const;

private:
    std::vector<ShapeLayer> m_layers;
};

// The outline of a font glyph: a shape with no style arrays whose every path fills with the
// font's one fill, as DefineFont2 stores its glyphs. Coordinates are units of the em square.
QByteArray glyphShapeRecords(const Path& outline);

} // namespace authoring
