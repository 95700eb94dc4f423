#include "ScrollRectClip.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace player::render {

QTransform ScrollRectClip::contentOffset(const display::DisplayObject& object)
{
    const std::optional<swf::Rect>& rect = object.scrollRect();
    return rect ? QTransform::fromTranslate(-rect->xMin, -rect->yMin) : QTransform();
}

namespace {

// The pixels whose centres lie inside show: an edge halfway between two pixel boundaries goes
// up or left.
int snapEdge(double edge)
{
    return int(std::ceil(edge - 0.5));
}

} // namespace

QTransform ScrollRectClip::contentToDevice(const display::DisplayObject& object, const QTransform& objectToDevice)
{
    const QTransform content = contentOffset(object) * objectToDevice;
    if (!object.scrollRect() || objectToDevice.type() > QTransform::TxScale)
        return content;
    const QPointF corner = objectToDevice.map(QPointF(0.0, 0.0));
    // Beyond this a double no longer holds fractions of a pixel worth moving.
    constexpr double limit = 1 << 24;
    if (!std::isfinite(corner.x()) || !std::isfinite(corner.y()) || std::abs(corner.x()) > limit
        || std::abs(corner.y()) > limit)
        return content;
    return content * QTransform::fromTranslate(snapEdge(corner.x()) - corner.x(), snapEdge(corner.y()) - corner.y());
}

QRectF ScrollRectClip::visibleArea(const swf::Rect& scrollRect)
{
    return QRectF(0.0, 0.0, std::max(0, scrollRect.width()), std::max(0, scrollRect.height()));
}

void ScrollRectClip::clip(QPainter& painter, const swf::Rect& scrollRect, const QTransform& objectToDevice)
{
    const QRectF area = visibleArea(scrollRect);
    const QTransform saved = painter.worldTransform();
    painter.resetTransform();
    if (objectToDevice.type() <= QTransform::TxScale) {
        const QRectF device = objectToDevice.mapRect(area);
        const QRect snapped(QPoint(snapEdge(device.left()), snapEdge(device.top())),
                            QPoint(snapEdge(device.right()) - 1, snapEdge(device.bottom()) - 1));
        painter.setClipRect(snapped, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    } else {
        QPainterPath outline;
        outline.addPolygon(objectToDevice.map(QPolygonF(area)));
        outline.closeSubpath();
        painter.setClipPath(outline, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    painter.setWorldTransform(saved);
}

} // namespace player::render
