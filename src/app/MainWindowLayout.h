#pragma once

#include <QList>
#include <QRectF>

namespace app {

// What the main window's layout depends on, in twips.
struct LayoutInput {
    float playerWidth = 0;  // W
    float playerHeight = 0; // H
    int frameWidth = 0;     // outer width minus client width
    int frameHeight = 0;    // outer height minus client height
    double firstRowButtonHeight = 375;
    double secondRowButtonHeight = 375;
    double eyedropperBarHeight = 375;
    int firstRowButtonCount = 3;
    int secondRowButtonCount = 3;
    bool eyedropperShown = true;
};

// Where everything goes, in twips; rectangles are in client coordinates.
struct LayoutResult {
    double outerWidth = 0;
    double outerHeight = 0;
    QRectF player;
    QList<QRectF> firstRow;
    QList<QRectF> secondRow;
    QRectF eyedropperBar;

    double clientWidth(const LayoutInput& input) const { return outerWidth - input.frameWidth; }
    double clientHeight(const LayoutInput& input) const { return outerHeight - input.frameHeight; }
};

// The window is sized around the player: two rows of equal buttons directly below it and the
// eyedropper bar below them when it is shown. The window's outer width is first asked for as
// W + frame; the window system may limit it, so the buttons and the bar are then shaped by the
// width that the window reports (the same value when nothing limits it).
double requestedOuterWidth(const LayoutInput& input);
LayoutResult layOutMainWindow(const LayoutInput& input, double reportedOuterWidth);

} // namespace app
