#include "CachedBitmapPlacement.h"

#include <cmath>

namespace player::render {

CachedBitmapPlacement CachedBitmapPlacement::forBounds(const QRectF& deviceBounds)
{
    CachedBitmapPlacement placement;
    if (deviceBounds.isEmpty() || !std::isfinite(deviceBounds.left()) || !std::isfinite(deviceBounds.top())
        || !std::isfinite(deviceBounds.width()) || !std::isfinite(deviceBounds.height()))
        return placement;
    const double left = std::floor(deviceBounds.left() + 0.5);
    const double top = std::floor(deviceBounds.top() + 0.5);
    // Bounds beyond what a pixel grid can hold are left as they are.
    constexpr double limit = 1 << 24;
    if (std::abs(left) > limit || std::abs(top) > limit || deviceBounds.width() > limit || deviceBounds.height() > limit)
        return placement;
    placement.origin = QPoint(int(left), int(top));
    placement.size = QSize(int(std::ceil(deviceBounds.width())), int(std::ceil(deviceBounds.height())));
    placement.shift = QPointF(left - deviceBounds.left(), top - deviceBounds.top());
    return placement;
}

} // namespace player::render
