#include "app/ScreenMetrics.h"

#include <QScreen>

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

} // namespace app
