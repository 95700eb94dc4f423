#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace player::render {

// Where Flash puts the bitmap of an object drawn through cacheAsBitmap. The bitmap is as large
// as the object's bounds rounded up to whole pixels, its top left corner lies on the pixel
// nearest to the bounds' corner (halves go down and right), and the content is drawn into it
// with the bounds' corner on the bitmap's corner. So the whole object moves by up to half a
// pixel, and its hairlines and edges fall on other pixels than when drawn straight.
struct CachedBitmapPlacement {
    QPoint origin;  // the bitmap's top left corner, device pixels
    QSize size { 0, 0 }; // whole device pixels
    QPointF shift;  // how far the content moves to get there

    // The area of the device the bitmap covers.
    QRect area() const { return QRect(origin, size); }

    // Nothing for empty bounds.
    static CachedBitmapPlacement forBounds(const QRectF& deviceBounds);
};

} // namespace player::render
