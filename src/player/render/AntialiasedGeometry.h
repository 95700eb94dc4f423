#pragma once

#include <QPainterPath>
#include <QTransform>

namespace player::render {

// Where Flash's antialiased ("high" quality) fills put their partly covered pixels.
//
// Flash does not measure the area an edge covers: it tests 4 by 4 sample points in every pixel
// and counts those inside. An edge anywhere between two rows of samples covers the same count,
// so it looks as if it lay on the quarter-pixel line between them: a square starting at
// x = 273.45 leaves its first column half covered, as one starting at 273.5 would. Moving the
// points of a fill to the nearest quarter pixel lets Qt's exact-area antialiasing give the same
// coverage along straight edges.
class AntialiasedGeometry {
public:
    // A fill path in device pixels with its points on the quarter-pixel grid, keeping its fill
    // rule.
    static QPainterPath fillToDevice(const QPainterPath& path, const QTransform& toDevice);
};

} // namespace player::render
