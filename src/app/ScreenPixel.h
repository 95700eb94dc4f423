#pragma once

#include <QColor>
#include <QPoint>
#include <optional>

namespace app {

// True where the display server lets a program read any pixel of the screen (X11). Elsewhere
// (Wayland, headless platforms) only the program's own windows can be read.
bool canReadWholeScreen();

// The colour of the screen pixel at a position in global screen coordinates. Where the whole
// screen can be read, any pixel of any screen; elsewhere only pixels of this program's own
// windows. Nothing for a pixel that cannot be read.
std::optional<QColor> screenPixelAt(const QPoint& globalPosition);

} // namespace app
