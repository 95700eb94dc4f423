#pragma once

#include "app/ScreenMetrics.h"

#include <QRect>

namespace tools {

// A control's place given in twips (1/1440 inch), as whole pixels of the screen; neighbouring
// places share their edges.
QRect pixelRectFromTwips(double left, double top, double width, double height, const app::ScreenMetrics& metrics);

// A size in twips as whole pixels.
QSize pixelSizeFromTwips(double width, double height, const app::ScreenMetrics& metrics);

} // namespace tools
