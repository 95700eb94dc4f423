#pragma once

#include <QPointF>
#include <QRectF>

namespace player::render {

// Flash draws an object with filters into a bitmap of its own whose corner lies on a whole
// device pixel, and the content moves with it, so edges and hairlines land on other pixels than
// when the object is drawn straight. The corner is the bounds' corner rounded to the nearest
// pixel, with halves going to the even pixel (105.5 goes to 106 but 40.5 to 40). This is not
// how a cached bitmap without filters is placed: there halves always go down and right.
class FilteredBitmapPlacement {
public:
    // How far the content moves, in device pixels; nothing for empty or absurd bounds.
    static QPointF shiftFor(const QRectF& deviceBounds);
};

} // namespace player::render
