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

namespace {

// Where the cuts of a curve lie: pieces stray equally far from the curve, so a piece is longer
// where the curve bends less. A piece of parameter length h strays by about h^2 |A x T| / (4 |T|),
// with A the (constant) second difference and T the tangent, and A x T does not change along a
// quadratic curve; equal strays therefore need equal steps of the integral of |T|^(-1/2).
class EvenStrayCuts {
public:
    EvenStrayCuts(GridPoint from, GridPoint control, GridPoint to)
        : m_bx(2.0 * double(control.x - from.x))
        , m_by(2.0 * double(control.y - from.y))
        , m_ax(2.0 * double(from.x - 2 * control.x + to.x))
        , m_ay(2.0 * double(from.y - 2 * control.y + to.y))
    {
        m_sums[0] = 0;
        for (int panel = 1; panel <= Panels; ++panel)
            m_sums[panel] = m_sums[panel - 1] + integral(double(panel - 1) / Panels, double(panel) / Panels);
    }

    // The curve parameter of cut `index` of `count`.
    double cut(int index, int count)
    {
        const double target = m_sums[Panels] * index / count;
        while (m_panel < Panels - 1 && m_sums[m_panel + 1] < target)
            ++m_panel;
        const double start = double(m_panel) / Panels;
        const double span = m_sums[m_panel + 1] - m_sums[m_panel];
        double t = start + (span > 0 ? (target - m_sums[m_panel]) / span : 0.0) / Panels;
        for (int step = 0; step < 3; ++step)
            t += (target - m_sums[m_panel] - integral(start, t)) / weight(t);
        return std::clamp(std::round(t * ParameterSteps) / ParameterSteps, 0.0, 1.0);
    }

private:
    static constexpr int Panels = 64;
    // Flash holds the parameter of a cut in fixed point.
    static constexpr double ParameterSteps = 1024;

    double weight(double t) const
    {
        return 1.0 / std::sqrt(std::max(std::hypot(m_bx + m_ax * t, m_by + m_ay * t), 1e-9));
    }
    double integral(double a, double b) const
    {
        return (b - a) / 6.0 * (weight(a) + 4.0 * weight((a + b) / 2.0) + weight(b));
    }

    double m_bx, m_by, m_ax, m_ay;
    double m_sums[Panels + 1];
    int m_panel = 0;
};

} // namespace

void CurveFlattening::appendQuadratic(std::vector<GridPoint>& points, GridPoint from, GridPoint control, GridPoint to,
                                      int unitsPerPixel)
{
    const int segments = quadraticSegments(from, control, to, unitsPerPixel);
    if (segments > 1) {
        EvenStrayCuts cuts(from, control, to);
        for (int index = 1; index < segments; ++index) {
            const double t = cuts.cut(index, segments);
            const double u = 1.0 - t;
            points.push_back(rounded(u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                                     u * u * from.y + 2 * u * t * control.y + t * t * to.y));
        }
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
