#pragma once

#include <QPointF>
#include <QRectF>
#include <memory>
#include <optional>
#include <set>

namespace player {

namespace display {
class DisplayObject;
}

// What the movie knows of the mouse and the keyboard: read by scripts (_xmouse, Key.isDown,
// Key.getCode) and kept by the input dispatcher.
struct InputState {
    QPointF mouse;                  // stage twips
    bool mouseButtonDown = false;
    std::set<int> keysDown;         // Flash key codes
    int lastKeyCode = 0;
    int lastAscii = 0;

    // startDrag: the object follows the mouse, keeping its offset unless locked to the centre;
    // with bounds, its position (pixels in its parent) stays inside them.
    struct Drag {
        std::weak_ptr<display::DisplayObject> object;
        QPointF offset;             // object position minus mouse position, parent twips
        std::optional<QRectF> bounds; // parent pixels
    };
    std::optional<Drag> drag;
    // The object under the dragged one when it last moved (_droptarget).
    std::weak_ptr<display::DisplayObject> dropTarget;
};

} // namespace player
