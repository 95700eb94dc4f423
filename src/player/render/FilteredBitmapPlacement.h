#pragma once

#include <QPointF>
#include <QRectF>

namespace player::render {

// Flash draws an object with filters into a bitmap of its own whose corner lies on a whole
// device pixel, and the content moves with it, so edges and hairlines land on other pixels than
// when the object is drawn straight. The corner is the bounds' corner rounded to the nearest
// pixel with halves going right and down, as for a cached bitmap. An object that is also cached
// as a bitmap (cacheAsBitmap) sends a half in y up instead: Flash draws such a ring whose bounds
// start at 40.5 from row 40, where the same ring without filters starts at row 41.
class FilteredBitmapPlacement {
public:
    // How far the content moves, in device pixels; nothing for empty or absurd bounds.
    static QPointF shiftFor(const QRectF& deviceBounds, bool cachedAsBitmap);
};

} // namespace player::render
