#pragma once

#include "CurveFlattening.h"

#include <QPainterPath>
#include <QRect>

#include <vector>

namespace player::render {

// Decides which device pixels an aliased fill covers, exactly, in integer arithmetic.
//
// A pixel is covered when its centre lies inside the outline under the fill rule. A centre that
// lies exactly on an edge is judged as if it sat an infinitely small step to the left and up:
// the pixel on a fill's left (or top) edge stays empty and the one on its right (or bottom)
// edge is filled. Qt's own aliased rasterizer cannot be used for this, because it first rounds
// every point to 1/64 of a pixel, which moves edges over centres that Flash's twips leave alone.
class AliasedScanConverter {
public:
    using Polygon = std::vector<GridPoint>;

    // The covered pixels as whole-pixel rectangles (which any fill rule fills alike), within
    // `area`. The polygons are closed implicitly and given in grid units of which `unitsPerPixel`
    // (an even number) make one pixel.
    static QPainterPath coveredPixels(const std::vector<Polygon>& polygons, Qt::FillRule fillRule, int unitsPerPixel,
                                      const QRect& area);
};

} // namespace player::render
