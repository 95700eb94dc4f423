#pragma once

#include <QPainterPath>
#include <QTransform>

namespace player::render {

// Paths taken to device pixels with every point moved to the nearest line of a grid finer than
// the pixel: Flash's rasterizer only sees positions on such grids (twips for its aliased fills,
// its sample rows for antialiased ones).
class DeviceGrid {
public:
    // `path` mapped by `toDevice`, each coordinate rounded to a multiple of 1 / `cellsPerPixel`
    // and then moved by `shift` pixels, keeping the fill rule. Non-finite coordinates stay.
    static QPainterPath mapToGrid(const QPainterPath& path, const QTransform& toDevice, double cellsPerPixel,
                                  double shift = 0.0);
};

} // namespace player::render
