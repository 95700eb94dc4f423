#pragma once

#include "app/ScreenMetrics.h"

#include <QRect>

class QWidget;

namespace tools {

// A control's place given in twips (1/1440 inch), as whole pixels of the screen; neighbouring
// places share their edges.
QRect pixelRectFromTwips(double left, double top, double width, double height, const app::ScreenMetrics& metrics);

// A size in twips as whole pixels.
QSize pixelSizeFromTwips(double width, double height, const app::ScreenMetrics& metrics);

// The tool windows' places in twips were made for 8-point type: a window gets that size (or
// the default, when it is smaller), and a button or check box whose caption is still too wide
// for its place (a wide typeface) gets a smaller type until it fits.
void useDesignFont(QWidget* window);
void fitCaptions(QWidget* window);

} // namespace tools
