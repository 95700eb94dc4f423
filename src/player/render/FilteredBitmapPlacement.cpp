#include "FilteredBitmapPlacement.h"

#include <cmath>

namespace player::render {

QPointF FilteredBitmapPlacement::shiftFor(const QRectF& deviceBounds)
{
    const double left = deviceBounds.left();
    const double top = deviceBounds.top();
    // Beyond this a double no longer holds fractions of a pixel worth moving.
    constexpr double limit = 1 << 24;
    if (deviceBounds.isEmpty() || !std::isfinite(left) || !std::isfinite(top) || std::abs(left) > limit
        || std::abs(top) > limit)
        return {};
    // std::nearbyint rounds halves to even in the default rounding mode.
    return QPointF(std::nearbyint(left) - left, std::nearbyint(top) - top);
}

} // namespace player::render
