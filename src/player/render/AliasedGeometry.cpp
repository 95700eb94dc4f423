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

// Thin lines are measured on a grid of 512ths of a pixel: pixel centres and the points of the
// cut-up path (held in 256ths) are then whole numbers, so that a centre lying exactly half a
// pixel from the line is known to be exactly there.
constexpr int64_t LineUnitsPerPixel = 512;
constexpr int64_t LineRadius = LineUnitsPerPixel / 2;
constexpr int64_t GridUnitsPerLineUnit = UnitsPerPixel / LineUnitsPerPixel;

struct LinePoint {
    int64_t x = 0;
    int64_t y = 0;
};

// Whether the pixel centre `centre` lies within half a pixel of the piece from `from` to `to`.
// A centre exactly half a pixel away belongs to the line when it lies up or left of it, the
// way the centre of a thicker line's edge does.
bool withinHalfPixel(LinePoint centre, LinePoint from, LinePoint to)
{
    using Wide = __int128;
    const int64_t dx = to.x - from.x;
    const int64_t dy = to.y - from.y;
    const Wide along = Wide(centre.x - from.x) * dx + Wide(centre.y - from.y) * dy;
    const Wide lengthSquared = Wide(dx) * dx + Wide(dy) * dy;
    auto nearPoint = [&centre](LinePoint point) {
        const Wide ox = centre.x - point.x;
        const Wide oy = centre.y - point.y;
        const Wide distanceSquared = ox * ox + oy * oy;
        const Wide radiusSquared = Wide(LineRadius) * LineRadius;
        return distanceSquared < radiusSquared || (distanceSquared == radiusSquared && ox + oy < 0);
    };
    if (along <= 0 || lengthSquared == 0)
        return nearPoint(from);
    if (along >= lengthSquared)
        return nearPoint(to);
    // The distance from the piece is |cross| / length.
    const Wide cross = Wide(dx) * (centre.y - from.y) - Wide(dy) * (centre.x - from.x);
    const double length = std::sqrt(double(lengthSquared));
    if (std::abs(double(cross)) > (LineRadius + 1) * length)
        return false;
    const Wide crossSquared = cross * cross;
    const Wide limit = Wide(LineRadius) * LineRadius * lengthSquared;
    // On the edge, the centre lies up or left of the line when the way from the line to it
    // points against (1, 1).
    return crossSquared < limit || (crossSquared == limit && cross * Wide(dx - dy) < 0);
}

} // namespace

QPainterPath AliasedGeometry::thinLineToDevice(const QPainterPath& path, const QTransform& toDevice, const QRect& area)
{
    QPainterPath covered;
    if (area.isEmpty())
        return covered;
    std::vector<uint8_t> mask(std::size_t(area.width()) * std::size_t(area.height()), 0);
    const auto markPiece = [&mask, &area](LinePoint from, LinePoint to) {
        const auto floorPixel = [](double units) { return std::floor(units / LineUnitsPerPixel); };
        const double top = std::max(floorPixel(std::min(from.y, to.y)) - 1, double(area.top()));
        const double bottom = std::min(floorPixel(std::max(from.y, to.y)) + 1, double(area.bottom()));
        for (double row = top; row <= bottom; ++row) {
            const int64_t y = static_cast<int64_t>(row);
            // The part of the piece within the rows whose centres it can reach, and the
            // columns around it.
            const double bandTop = double((y - 1) * LineUnitsPerPixel);
            const double bandBottom = double((y + 2) * LineUnitsPerPixel);
            double low = std::min(from.x, to.x);
            double high = std::max(from.x, to.x);
            if (from.y != to.y) {
                const double slope = double(to.x - from.x) / double(to.y - from.y);
                const double atTop = from.x + (std::clamp(bandTop, double(std::min(from.y, to.y)), double(std::max(from.y, to.y))) - from.y) * slope;
                const double atBottom = from.x + (std::clamp(bandBottom, double(std::min(from.y, to.y)), double(std::max(from.y, to.y))) - from.y) * slope;
                low = std::min(atTop, atBottom);
                high = std::max(atTop, atBottom);
            }
            const int64_t left = static_cast<int64_t>(std::max(floorPixel(low) - 1, double(area.left())));
            const int64_t right = static_cast<int64_t>(std::min(floorPixel(high) + 1, double(area.right())));
            uint8_t* line = mask.data() + std::size_t(y - area.top()) * std::size_t(area.width());
            for (int64_t x = left; x <= right; ++x) {
                const LinePoint centre { x * LineUnitsPerPixel + LineRadius, y * LineUnitsPerPixel + LineRadius };
                if (!line[x - area.left()] && withinHalfPixel(centre, from, to))
                    line[x - area.left()] = 1;
            }
        }
    };
    const auto toLinePoint = [](const GridPoint& point) {
        return LinePoint { point.x / GridUnitsPerLineUnit, point.y / GridUnitsPerLineUnit };
    };
    for (const AliasedScanConverter::Polygon& polygon : toPolygons(path, toDevice)) {
        if (polygon.size() == 1)
            markPiece(toLinePoint(polygon.front()), toLinePoint(polygon.front()));
        for (std::size_t index = 1; index < polygon.size(); ++index)
            markPiece(toLinePoint(polygon[index - 1]), toLinePoint(polygon[index]));
    }
    for (int y = 0; y < area.height(); ++y) {
        const uint8_t* row = mask.data() + std::size_t(y) * std::size_t(area.width());
        for (int x = 0; x < area.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < area.width() && row[x])
                ++x;
            covered.addRect(QRectF(area.left() + start, area.top() + y, x - start, 1));
        }
    }
    return covered;
}

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
