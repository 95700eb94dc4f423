#pragma once

#include <QRect>
#include <QRectF>

class QScreen;

namespace app {

// The screen as the layout sees it: its size in pixels and how many twips (1/1440 inch) one
// pixel is, across and down.
struct ScreenMetrics {
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    int widthPixels = 1024;
    int heightPixels = 768;

    static ScreenMetrics fromScreen(const QScreen* screen);

    double widthTwips() const { return widthPixels * twipsPerPixelX; }
    double heightTwips() const { return heightPixels * twipsPerPixelY; }

    // A rectangle in twips as whole pixels; neighbouring rectangles share their edges.
    QRect pixelRect(const QRectF& twips) const;
};

} // namespace app
