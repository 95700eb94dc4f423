#include "tools/TwipsGeometry.h"

#include <QAbstractButton>
#include <QFont>
#include <QWidget>

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

void useDesignFont(QWidget* window)
{
    QFont font = window->font();
    if (font.pointSizeF() > 8) {
        font.setPointSizeF(8);
        window->setFont(font);
    }
}

void fitCaptions(QWidget* window)
{
    const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        QFont font = button->font();
        while (button->sizeHint().width() > button->width() && font.pointSizeF() > 6) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            button->setFont(font);
        }
    }
}

} // namespace tools
