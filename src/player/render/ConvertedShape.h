#pragma once

#include "FillShader.h"

#include "player/swf/Shape.h"

#include <QBrush>
#include <QPainterPath>
#include <QRectF>
#include <cstddef>
#include <optional>
#include <vector>

namespace player::render {

// A shape made ready to paint: closed fill paths and stroke paths in twips, in the order they
// must be drawn. Styles are copied here (with the styles of every group appended) so that the
// drawing does not depend on the record it came from; morphs make their shapes on the fly.
struct ConvertedShape {
    enum class Kind { Fill, Stroke };

    struct DrawPath {
        Kind kind = Kind::Fill;
        std::size_t styleIndex = 0; // into fillStyles or lineStyles by kind
        QPainterPath path;          // fills use the odd-even rule
        bool closed = false;        // strokes: the path ends where it began
    };

    std::vector<swf::FillStyle> fillStyles;
    std::vector<swf::LineStyle> lineStyles;
    std::vector<DrawPath> paths;

    // The area covered by fills and by strokes at their nominal width, in twips. Masks use it.
    QPainterPath coverage() const;

    // The brush last made for a gradient style, with the colour transform it was made for. A
    // gradient's brush is costly to make (hundreds of stops) and a shape is usually drawn frame
    // after frame in the same colours, so the painter keeps it here, by style index, with the
    // shader that colours its pixels (in shape coordinates; none if it cannot).
    struct GradientBrush {
        swf::ColorTransform colorTransform;
        bool highQuality = true;
        QBrush brush;
        std::optional<FillShader> shader;
    };
    mutable std::vector<std::optional<GradientBrush>> fillGradientBrushes;
    mutable std::vector<std::optional<GradientBrush>> lineGradientBrushes;

    // The outline of each stroke path as Qt's stroker makes it for a line of scalable width, by
    // index into paths. A line of scalable width is stroked in shape coordinates whatever the
    // transform, so its outline is made once and filled at every frame. The path it was made
    // from is kept with it: a copy of the shape with its paths changed (nine-slice scaling)
    // must not use the outlines of the original.
    struct StrokeOutline {
        QPainterPath source;
        QPainterPath outline;
    };
    mutable std::vector<std::optional<StrokeOutline>> strokeOutlines;
};

} // namespace player::render
