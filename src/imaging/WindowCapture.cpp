#include "imaging/WindowCapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

namespace imaging {

bool canCaptureScreen()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("offscreen");
}

QImage captureScreenArea(const QRect& area)
{
    if (!canCaptureScreen() || area.isEmpty())
        return {};
    QScreen* screen = QGuiApplication::screenAt(area.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 is the desktop itself, addressed in desktop coordinates.
    const QPixmap pixels = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (pixels.isNull())
        return {};
    QImage image = pixels.toImage().convertToFormat(QImage::Format_RGB32);
    // On a screen with a scale factor the grab comes back in device pixels.
    if (image.size() != area.size())
        image = image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image;
}

QImage captureWindowPart(const QWindow& window, bool clientArea, const QRect& area)
{
    const QRect origin = clientArea ? window.geometry() : window.frameGeometry();
    return captureScreenArea(area.translated(origin.topLeft()));
}

QImage captureWindow(const QWindow& window)
{
    return captureWindowPart(window, false, QRect(QPoint(0, 0), window.frameGeometry().size()));
}

} // namespace imaging
