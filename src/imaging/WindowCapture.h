#pragma once

#include <QImage>
#include <QRect>

class QWindow;

namespace imaging {

// What a window shows on the screen, read back from the screen: the pixels of whatever is on
// top there, other windows included. This works where the display server lets a program read
// the screen (X11, and the offscreen platform of tests); on Wayland it does not, and every
// capture gives a null image. Areas are in the screen's device-independent pixels.

// Whether this session lets a program read the screen's pixels.
bool canCaptureScreen();

// The pixels the screen shows in a rectangle of the desktop, at the rectangle's size; a null
// image when the screen cannot be read there.
QImage captureScreenArea(const QRect& area);

// The pixels shown in a rectangle of a window: `area` is relative to the window's client area
// or, when `clientArea` is false, to the whole window with its frame.
QImage captureWindowPart(const QWindow& window, bool clientArea, const QRect& area);

// The whole window, frame included, at its size on the screen.
QImage captureWindow(const QWindow& window);

} // namespace imaging
