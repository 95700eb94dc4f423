#pragma once

#include <cstdint>
#include <vector>

namespace player::render {

// A point on an integer grid finer than the device pixel: the aliased rasterizer works in
// fractions of a device twip, so that the points along a curve need not be rounded to twips.
struct GridPoint {
    int64_t x = 0;
    int64_t y = 0;
    bool operator==(const GridPoint&) const = default;
};

// How curves become the straight edges that the aliased rasterizer fills.
class CurveFlattening {
public:
    // How many straight edges of equal steps along the curve stand for a quadratic curve.
    static int quadraticSegments(GridPoint from, GridPoint control, GridPoint to, int unitsPerPixel);

    // Appends the points after `from` of the quadratic curve from `from` through `control` to
    // `to`; the last point appended is `to`. All points are in grid units of which
    // `unitsPerPixel` make one device pixel.
    static void appendQuadratic(std::vector<GridPoint>& points, GridPoint from, GridPoint control, GridPoint to,
                                int unitsPerPixel);

    // The same for a cubic curve whose points are given in (unrounded) grid units; every point
    // appended is rounded to the grid.
    static void appendCubic(std::vector<GridPoint>& points, const double (&x)[4], const double (&y)[4], int unitsPerPixel);
};

} // namespace player::render
