#pragma once

#include "ConvertedShape.h"

#include "player/swf/Geometry.h"

#include <QPainterPath>
#include <QPointF>
#include <QTransform>
#include <optional>

namespace player::render {

// Nine-slice scaling (scale9Grid, DefineScalingGrid) of the shapes directly inside a clip.
//
// The grid cuts the clip's content into nine parts. However the clip is scaled, the corners keep
// their size on the screen, the edges stretch along their length only and the centre takes what
// is left. The mapping works in the clip's own twips, before the clip's matrix: it shrinks the
// corners by the clip's scale so that the matrix brings them back to their size. When the clip
// is smaller than its corners, the corners share the room in proportion and the centre vanishes.
class ScaleNineMapping {
public:
    // The mapping for a clip with this grid, content bounds and matrix; nothing when Flash would
    // scale the clip as usual: an empty grid or content, or a matrix that rotates or skews.
    static std::optional<ScaleNineMapping> forClip(const swf::Rect& grid, const swf::Rect& contentBounds,
                                                   const swf::Matrix& clipMatrix);

    QPointF map(const QPointF& point) const;
    QPainterPath map(const QPainterPath& path) const;
    // A shape of the clip's (placed through `shapeToClip`) in the clip's own twips, mapped.
    // Fill patterns (gradients, bitmaps) follow the centre's stretch.
    ConvertedShape map(const ConvertedShape& shape, const QTransform& shapeToClip) const;

private:
    // One axis: the content's span [start, end] cut at [gridStart, gridEnd].
    struct Axis {
        double start = 0.0;
        double gridStart = 0.0;
        double gridEnd = 0.0;
        double end = 0.0;
        double startScale = 1.0;  // of the near part
        double middleScale = 1.0; // of the middle part
        double endScale = 1.0;    // of the far part
        static std::optional<Axis> make(double start, double gridStart, double gridEnd, double end, double clipScale);
        double map(double value) const;
        // The middle part's mapping is value * middleScale + middleOffset().
        double middleOffset() const;
    };

    ScaleNineMapping(const Axis& horizontal, const Axis& vertical) : m_horizontal(horizontal), m_vertical(vertical) {}

    Axis m_horizontal;
    Axis m_vertical;
};

} // namespace player::render
