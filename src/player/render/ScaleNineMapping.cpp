#include "ScaleNineMapping.h"

#include "FillBrush.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

swf::Matrix toMatrix(const QTransform& transform)
{
    return swf::Matrix { transform.m11(), transform.m12(), transform.m21(), transform.m22(), transform.dx(), transform.dy() };
}

} // namespace

std::optional<ScaleNineMapping::Axis> ScaleNineMapping::Axis::make(double start, double gridStart, double gridEnd,
                                                                    double end, double clipScale)
{
    if (!(end > start) || !(gridEnd > gridStart) || !(clipScale > 0.0) || !std::isfinite(clipScale))
        return std::nullopt;
    Axis axis;
    axis.start = start;
    axis.end = end;
    // A grid reaching beyond the content cuts it at the content's edge.
    axis.gridStart = std::clamp(gridStart, start, end);
    axis.gridEnd = std::clamp(gridEnd, axis.gridStart, end);
    const double near = axis.gridStart - start;
    const double far = end - axis.gridEnd;
    const double middle = axis.gridEnd - axis.gridStart;
    const double room = end - start; // what the whole takes, in the clip's units
    double cornerScale = 1.0 / clipScale;
    if ((near + far) * cornerScale > room)
        cornerScale = room / (near + far);
    axis.startScale = cornerScale;
    axis.endScale = cornerScale;
    const double middleRoom = room - (near + far) * cornerScale;
    axis.middleScale = middle > 0.0 ? middleRoom / middle : 1.0;
    return axis;
}

double ScaleNineMapping::Axis::map(double value) const
{
    if (value <= gridStart)
        return start + (value - start) * startScale;
    if (value >= gridEnd)
        return end - (end - value) * endScale;
    return middleOffset() + value * middleScale;
}

double ScaleNineMapping::Axis::middleOffset() const
{
    // The middle part begins where the near corner, shrunk, ends.
    const double mappedGridStart = start + (gridStart - start) * startScale;
    return mappedGridStart - gridStart * middleScale;
}

std::optional<ScaleNineMapping> ScaleNineMapping::forClip(const swf::Rect& grid, const swf::Rect& contentBounds,
                                                          const swf::Matrix& clipMatrix)
{
    // Rotation and skew turn nine-slice scaling off.
    if (clipMatrix.b != 0.0 || clipMatrix.c != 0.0)
        return std::nullopt;
    const std::optional<Axis> horizontal = Axis::make(contentBounds.xMin, grid.xMin, grid.xMax, contentBounds.xMax,
                                                      std::abs(clipMatrix.a));
    const std::optional<Axis> vertical = Axis::make(contentBounds.yMin, grid.yMin, grid.yMax, contentBounds.yMax,
                                                    std::abs(clipMatrix.d));
    if (!horizontal || !vertical)
        return std::nullopt;
    return ScaleNineMapping(*horizontal, *vertical);
}

QPointF ScaleNineMapping::map(const QPointF& point) const
{
    return QPointF(m_horizontal.map(point.x()), m_vertical.map(point.y()));
}

QPainterPath ScaleNineMapping::map(const QPainterPath& path) const
{
    // Each point moves on its own: exact for straight edges, and for curves within one part.
    QPainterPath mapped = path;
    for (int index = 0; index < mapped.elementCount(); ++index) {
        const QPainterPath::Element element = mapped.elementAt(index);
        const QPointF point = map(QPointF(element.x, element.y));
        mapped.setElementPositionAt(index, point.x(), point.y());
    }
    return mapped;
}

ConvertedShape ScaleNineMapping::map(const ConvertedShape& shape, const QTransform& shapeToClip) const
{
    ConvertedShape mapped = shape;
    for (ConvertedShape::DrawPath& drawPath : mapped.paths)
        drawPath.path = map(shapeToClip.map(drawPath.path));
    const QTransform centreStretch(m_horizontal.middleScale, 0.0, 0.0, m_vertical.middleScale,
                                   m_horizontal.middleOffset(), m_vertical.middleOffset());
    const QTransform patternToClip = shapeToClip * centreStretch;
    for (swf::FillStyle& fill : mapped.fillStyles) {
        fill.gradient.matrix = toMatrix(toTransform(fill.gradient.matrix) * patternToClip);
        fill.bitmapMatrix = toMatrix(toTransform(fill.bitmapMatrix) * patternToClip);
    }
    // Line widths follow the shape's own scale; the clip's scale applies as it does elsewhere.
    const double widthScale = std::sqrt(std::abs(shapeToClip.determinant()));
    for (swf::LineStyle& line : mapped.lineStyles) {
        line.width = static_cast<uint16_t>(std::clamp(std::lround(line.width * widthScale), 0L, 65535L));
        line.fill.gradient.matrix = toMatrix(toTransform(line.fill.gradient.matrix) * patternToClip);
        line.fill.bitmapMatrix = toMatrix(toTransform(line.fill.bitmapMatrix) * patternToClip);
    }
    return mapped;
}

} // namespace player::render
