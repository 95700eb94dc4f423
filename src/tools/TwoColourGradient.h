#pragma once

#include "tools/ColourReference.h"

#include <QImage>
#include <QSize>

namespace tools {

// The background of a gradient canvas before anything is drawn on it: the button face colour.
ColourReference gradientCanvasBackground();

// A two-colour gradient picture as the gradient window paints its canvas: `direction` is the
// window's direction value (its slider and its "Angle" setting, 0 to 360), where 0 puts the
// first colour at the left, 90 at the top, 180 at the right and 270 at the bottom. Made for use
// without windows: nothing is shown, and a null picture says that nothing could be painted (a
// side below two pixels, or a picture too large to make or draw).
QImage renderTwoColourGradient(ColourReference colour0, ColourReference colour1, int direction, QSize size);

} // namespace tools
