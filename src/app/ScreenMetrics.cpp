#include "app/ScreenMetrics.h"

#include <QScreen>
#include <algorithm>
#include <cmath>

namespace app {

ScreenMetrics ScreenMetrics::fromScreen(const QScreen* screen)
{
    ScreenMetrics metrics;
    if (!screen)
        return metrics;
    if (screen->logicalDotsPerInchX() > 0)
        metrics.twipsPerPixelX = 1440.0 / screen->logicalDotsPerInchX();
    if (screen->logicalDotsPerInchY() > 0)
        metrics.twipsPerPixelY = 1440.0 / screen->logicalDotsPerInchY();
    metrics.widthPixels = screen->size().width();
    metrics.heightPixels = screen->size().height();
    return metrics;
}

QRect ScreenMetrics::pixelRect(const QRectF& twips) const
{
    const auto pixels = [](double value, double twipsPerPixel) { return int(std::lround(value / twipsPerPixel)); };
    const int left = pixels(twips.left(), twipsPerPixelX);
    const int top = pixels(twips.top(), twipsPerPixelY);
    const int right = pixels(twips.left() + twips.width(), twipsPerPixelX);
    const int bottom = pixels(twips.top() + twips.height(), twipsPerPixelY);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace app
