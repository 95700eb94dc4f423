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
        // The pixels whose centres lie inside show: an edge halfway between two pixel
        // boundaries goes up or left.
        const QRectF device = objectToDevice.mapRect(area);
        const auto snap = [](double edge) { return int(std::ceil(edge - 0.5)); };
        const QRect snapped(QPoint(snap(device.left()), snap(device.top())),
                            QPoint(snap(device.right()) - 1, snap(device.bottom()) - 1));
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
