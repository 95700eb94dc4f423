#include "AliasedGeometry.h"

#include "AliasedScanConverter.h"
#include "CurveFlattening.h"
#include "DeviceGrid.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// The converter works on a grid of 256ths of a device twip. Flash does not round a fill's
// points to whole device twips (an edge a fifth of a twip before a pixel centre leaves the
// centre inside), but it does hold them in fixed point with 8 bits below the pixel: every point,
// the ends of the pieces of a cut curve included, moves to the nearest 256th of a pixel before
// the pixels are decided. A slanted edge that passes within a few hundredths of a twip of a
// centre can land on either side of it that way.
constexpr int UnitsPerPixel = 20 * 256;
constexpr int64_t UnitsPerFixedStep = UnitsPerPixel / 256;

constexpr double TwipsPerPixel = 20.0;
constexpr double HalfTwip = 0.5 / TwipsPerPixel;

// Far beyond any stage (some hundred million pixels), yet small enough that the converter's
// products of two coordinates stay within its 128-bit arithmetic.
constexpr double GridLimit = 1e12;

double toGrid(double pixels)
{
    return std::clamp(pixels * UnitsPerPixel, -GridLimit, GridLimit);
}

GridPoint toGridPoint(const QPointF& point)
{
    return GridPoint { static_cast<int64_t>(std::llround(toGrid(point.x()))),
                       static_cast<int64_t>(std::llround(toGrid(point.y()))) };
}

// The nearest multiple of a 256th of a pixel, halves rounded up.
int64_t roundToFixedStep(int64_t units)
{
    const int64_t shifted = units + UnitsPerFixedStep / 2;
    const int64_t remainder = ((shifted % UnitsPerFixedStep) + UnitsPerFixedStep) % UnitsPerFixedStep;
    return shifted - remainder;
}

bool allFinite(const QPainterPath& path)
{
    for (int index = 0; index < path.elementCount(); ++index) {
        const QPainterPath::Element element = path.elementAt(index);
        if (!std::isfinite(element.x) || !std::isfinite(element.y))
            return false;
    }
    return true;
}

// A Qt path keeps a quadratic curve as a cubic one whose controls lie two thirds of the way
// from each end to the quadratic control; that control is found again so that the curve can be
// cut up as Flash cuts up its quadratic curves.
bool quadraticControl(const QPointF& from, const QPointF& first, const QPointF& second, const QPointF& to,
                      QPointF& control)
{
    const QPointF fromFirst = (3.0 * first - from) / 2.0;
    const QPointF fromSecond = (3.0 * second - to) / 2.0;
    const double tolerance = 1e-6 * (1.0 + std::abs(fromFirst.x()) + std::abs(fromFirst.y()));
    if (std::abs(fromFirst.x() - fromSecond.x()) > tolerance || std::abs(fromFirst.y() - fromSecond.y()) > tolerance)
        return false;
    control = (fromFirst + fromSecond) / 2.0;
    return true;
}

// The path's contours in grid units, curves cut into straight edges.
std::vector<AliasedScanConverter::Polygon> toPolygons(const QPainterPath& path, const QTransform& toDevice)
{
    std::vector<AliasedScanConverter::Polygon> polygons;
    const QPainterPath device = toDevice.map(path);
    if (!allFinite(device))
        return polygons;
    QPointF current;
    for (int index = 0; index < device.elementCount(); ++index) {
        const QPainterPath::Element element = device.elementAt(index);
        const QPointF point(element.x, element.y);
        if (element.type == QPainterPath::MoveToElement || polygons.empty()) {
            polygons.emplace_back();
            polygons.back().push_back(toGridPoint(point));
        } else if (element.type == QPainterPath::LineToElement) {
            polygons.back().push_back(toGridPoint(point));
        } else if (element.type == QPainterPath::CurveToElement && index + 2 < device.elementCount()) {
            const QPointF second(device.elementAt(index + 1).x, device.elementAt(index + 1).y);
            const QPointF to(device.elementAt(index + 2).x, device.elementAt(index + 2).y);
            QPointF control;
            if (quadraticControl(current, point, second, to, control)) {
                CurveFlattening::appendQuadratic(polygons.back(), polygons.back().back(), toGridPoint(control),
                                                 toGridPoint(to), UnitsPerPixel);
            } else {
                const double xs[4] = { toGrid(current.x()), toGrid(point.x()), toGrid(second.x()), toGrid(to.x()) };
                const double ys[4] = { toGrid(current.y()), toGrid(point.y()), toGrid(second.y()), toGrid(to.y()) };
                CurveFlattening::appendCubic(polygons.back(), xs, ys, UnitsPerPixel);
                polygons.back().back() = toGridPoint(to);
            }
            index += 2;
            current = to;
            continue;
        }
        current = point;
    }
    for (AliasedScanConverter::Polygon& polygon : polygons) {
        for (GridPoint& point : polygon) {
            point.x = roundToFixedStep(point.x);
            point.y = roundToFixedStep(point.y);
        }
    }
    return polygons;
}

} // namespace

QPainterPath AliasedGeometry::fillToDevice(const QPainterPath& path, const QTransform& toDevice, const QRect& area)
{
    return AliasedScanConverter::coveredPixels(toPolygons(path, toDevice), path.fillRule(),
                                               UnitsPerPixel, area);
}

QPainterPath AliasedGeometry::lineOutlineToDevice(const QPainterPath& outline, const QTransform& toDevice)
{
    // Line outlines are still filled by Qt: its round ends and joins come closer to Flash's than
    // the outline's own curves cut up finely do.
    return DeviceGrid::mapToGrid(outline, toDevice, TwipsPerPixel, -HalfTwip);
}

} // namespace player::render
