#pragma once

#include "Geometry.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace player::swf {

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : uint8_t { Normal = 0, LinearRgb = 1 };

struct GradientRecord {
    uint8_t ratio = 0;
    Rgba color;
    bool operator==(const GradientRecord&) const = default;
};

struct Gradient {
    Matrix matrix; // maps the gradient square (-16384..16384 twips) into shape space
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientRecord> records;
    double focalPoint = 0.0; // focal gradients only, -1..1
    bool operator==(const Gradient&) const = default;
};

enum class FillType : uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;          // Solid
    Gradient gradient;   // the three gradient types
    uint16_t bitmapId = 0xFFFF; // bitmap fills; 0xFFFF means no bitmap
    Matrix bitmapMatrix; // bitmap fills: bitmap pixels to shape twips (20 = one pixel per twip unit scale)
    bool operator==(const FillStyle&) const = default;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 0; // twips
    Rgba color;
    // LineStyle2 (DefineShape4); defaults are what DefineShape1-3 lines behave like.
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3.0;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    bool hasFill = false;
    FillStyle fill; // when hasFill
    bool operator==(const LineStyle&) const = default;
};

// Shape records as stored, with coordinates made absolute (twips) by the reader so the
// renderer need not track the pen.
struct StyleChangeRecord {
    bool hasMove = false;
    int32_t moveX = 0;
    int32_t moveY = 0;
    bool hasFill0 = false;
    bool hasFill1 = false;
    bool hasLine = false;
    uint32_t fill0 = 0; // 1-based index into the current fill styles, 0 = none
    uint32_t fill1 = 0;
    uint32_t line = 0;  // 1-based index into the current line styles, 0 = none
    bool hasNewStyles = false;
    std::vector<FillStyle> newFillStyles;
    std::vector<LineStyle> newLineStyles;
    bool operator==(const StyleChangeRecord&) const = default;
};

struct StraightEdgeRecord {
    int32_t toX = 0;
    int32_t toY = 0;
    bool operator==(const StraightEdgeRecord&) const = default;
};

struct CurvedEdgeRecord {
    int32_t controlX = 0;
    int32_t controlY = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    bool operator==(const CurvedEdgeRecord&) const = default;
};

using ShapeRecord = std::variant<StyleChangeRecord, StraightEdgeRecord, CurvedEdgeRecord>;

struct Shape {
    uint16_t id = 0;
    int version = 1; // 1..4 for DefineShape..DefineShape4
    Rect bounds;
    Rect edgeBounds; // DefineShape4; equals bounds otherwise
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    // DefineShape4 may ask for the non-zero winding rule; every other shape fills even-odd.
    bool usesNonZeroWinding = false;
    std::vector<FillStyle> fillStyles;
    std::vector<LineStyle> lineStyles;
    std::vector<ShapeRecord> records;
    bool operator==(const Shape&) const = default;
};

// DefineMorphShape/2: start and end share one record structure; each style has a start and an
// end value, interpolated by the ratio (0..65535) at which the instance is placed.
struct MorphFillStyle {
    FillStyle start;
    FillStyle end; // same type as start; gradients have the same record count
    bool operator==(const MorphFillStyle&) const = default;
};

struct MorphLineStyle {
    LineStyle start;
    LineStyle end;
    bool operator==(const MorphLineStyle&) const = default;
};

struct MorphShape {
    uint16_t id = 0;
    int version = 1; // 1 or 2
    Rect startBounds;
    Rect endBounds;
    std::vector<MorphFillStyle> fillStyles;
    std::vector<MorphLineStyle> lineStyles;
    // The end edges correspond one to one with the start edges; style changes live in the start
    // records only (the end records' style changes carry just moves).
    std::vector<ShapeRecord> startRecords;
    std::vector<ShapeRecord> endRecords;
    bool operator==(const MorphShape&) const = default;
};

} // namespace player::swf
