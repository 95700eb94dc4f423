#include "tools/TwipsGeometry.h"

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

int toPixels(double twips, double twipsPerPixel)
{
    return int(std::lround(twips / twipsPerPixel));
}

} // namespace

QRect pixelRectFromTwips(double left, double top, double width, double height, const app::ScreenMetrics& metrics)
{
    const int x = toPixels(left, metrics.twipsPerPixelX);
    const int y = toPixels(top, metrics.twipsPerPixelY);
    const int right = toPixels(left + width, metrics.twipsPerPixelX);
    const int bottom = toPixels(top + height, metrics.twipsPerPixelY);
    return QRect(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

QSize pixelSizeFromTwips(double width, double height, const app::ScreenMetrics& metrics)
{
    return QSize(toPixels(width, metrics.twipsPerPixelX), toPixels(height, metrics.twipsPerPixelY));
}

} // namespace tools
