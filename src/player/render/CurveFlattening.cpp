#include "CurveFlattening.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// Flash cuts a curve into straight edges that stay within a tenth of a device pixel of it:
// finer or coarser cuts put the pixels along small curves elsewhere than Flash does.
constexpr double Tolerance = 0.1;
constexpr int MaximumSegments = 256;

GridPoint rounded(double x, double y)
{
    return GridPoint { static_cast<int64_t>(std::llround(x)), static_cast<int64_t>(std::llround(y)) };
}

} // namespace

int CurveFlattening::quadraticSegments(GridPoint from, GridPoint control, GridPoint to, int unitsPerPixel)
{
    // A quadratic curve strays from its chord by half the distance from the control point to
    // the chord's middle; n equal steps of the curve parameter cut that by n squared.
    const double deviation = std::hypot(control.x - (from.x + to.x) / 2.0, control.y - (from.y + to.y) / 2.0) / 2.0;
    const double segments = std::ceil(std::sqrt(deviation / (Tolerance * unitsPerPixel)));
    return static_cast<int>(std::clamp(segments, 1.0, double(MaximumSegments)));
}

void CurveFlattening::appendQuadratic(std::vector<GridPoint>& points, GridPoint from, GridPoint control, GridPoint to,
                                      int unitsPerPixel)
{
    const int segments = quadraticSegments(from, control, to, unitsPerPixel);
    for (int index = 1; index < segments; ++index) {
        const double t = double(index) / segments;
        const double u = 1.0 - t;
        points.push_back(rounded(u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                                 u * u * from.y + 2 * u * t * control.y + t * t * to.y));
    }
    points.push_back(to);
}

void CurveFlattening::appendCubic(std::vector<GridPoint>& points, const double (&x)[4], const double (&y)[4],
                                  int unitsPerPixel)
{
    // Shapes only hold quadratic curves; other cubic curves are cut by the same tolerance,
    // measured on the control polygon.
    const double deviation = std::max(std::hypot(x[1] - (2 * x[0] + x[3]) / 3.0, y[1] - (2 * y[0] + y[3]) / 3.0),
                                      std::hypot(x[2] - (x[0] + 2 * x[3]) / 3.0, y[2] - (y[0] + 2 * y[3]) / 3.0));
    const int segments = static_cast<int>(
        std::clamp(std::ceil(std::sqrt(deviation / (Tolerance * unitsPerPixel))), 1.0, double(MaximumSegments)));
    for (int index = 1; index <= segments; ++index) {
        const double t = double(index) / segments;
        const double u = 1.0 - t;
        const double a = u * u * u;
        const double b = 3 * u * u * t;
        const double c = 3 * u * t * t;
        const double d = t * t * t;
        points.push_back(rounded(a * x[0] + b * x[1] + c * x[2] + d * x[3], a * y[0] + b * y[1] + c * y[2] + d * y[3]));
    }
}

} // namespace player::render
