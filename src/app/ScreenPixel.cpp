#include "app/ScreenPixel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace app {

namespace {

std::optional<QColor> colourOf(const QPixmap& pixmap)
{
    if (pixmap.isNull())
        return std::nullopt;
    const QImage image = pixmap.toImage();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return std::nullopt;
    return QColor(image.pixel(0, 0)).toRgb();
}

// A pixel of one of the program's own windows, drawn afresh from the widgets.
std::optional<QColor> ownWindowPixelAt(const QPoint& globalPosition)
{
    QWidget* window = QApplication::topLevelAt(globalPosition);
    if (!window)
        return std::nullopt;
    const QPoint local = window->mapFromGlobal(globalPosition);
    if (!window->rect().contains(local))
        return std::nullopt;
    return colourOf(window->grab(QRect(local, QSize(1, 1))));
}

} // namespace

bool canReadWholeScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

std::optional<QColor> screenPixelAt(const QPoint& globalPosition)
{
    if (!canReadWholeScreen())
        return ownWindowPixelAt(globalPosition);
    QScreen* screen = QGuiApplication::screenAt(globalPosition);
    if (!screen)
        return std::nullopt;
    const QPoint onScreen = globalPosition - screen->geometry().topLeft();
    return colourOf(screen->grabWindow(0, onScreen.x(), onScreen.y(), 1, 1));
}

} // namespace app
