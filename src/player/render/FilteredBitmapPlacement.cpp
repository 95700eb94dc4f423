#include "FilteredBitmapPlacement.h"

#include <cmath>

namespace player::render {

QPointF FilteredBitmapPlacement::shiftFor(const QRectF& deviceBounds, bool cachedAsBitmap)
{
    const double left = deviceBounds.left();
    const double top = deviceBounds.top();
    // Beyond this a double no longer holds fractions of a pixel worth moving.
    constexpr double limit = 1 << 24;
    if (deviceBounds.isEmpty() || !std::isfinite(left) || !std::isfinite(top) || std::abs(left) > limit
        || std::abs(top) > limit)
        return {};
    const double column = std::floor(left + 0.5);
    const double row = cachedAsBitmap ? std::ceil(top - 0.5) : std::floor(top + 0.5);
    return QPointF(column - left, row - top);
}

} // namespace player::render
