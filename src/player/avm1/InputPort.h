#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

namespace player::display {
class DisplayObject;
}

namespace player::avm1 {

// The mouse and the keyboard as scripts see them: what Key, hitTest, _xmouse, _ymouse,
// _droptarget, startDrag and stopDrag ask of the player. The engine's input dispatcher answers;
// the virtual machine knows nothing else of how input arrives.
class InputPort {
public:
    virtual ~InputPort() = default;

    // Key.isDown, by Flash key code.
    virtual bool isKeyDown(int keyCode) const = 0;
    // Key.getCode and Key.getAscii: the last key pressed and the character it typed (0 for none).
    virtual int lastKeyCode() const = 0;
    virtual int lastAscii() const = 0;

    // _xmouse and _ymouse: the mouse in the object's own coordinates, in pixels.
    virtual QPointF mouseIn(const display::DisplayObject& object) const = 0;
    // hitTest(x, y, shapeFlag), with the point on the stage in twips.
    virtual bool hitTestPoint(const display::DisplayObject& object, QPointF stagePoint, bool shapeOnly) = 0;

    // The object follows the mouse until stopDrag; bounds are in its parent's pixels.
    virtual void startDrag(display::DisplayObject& object, bool lockCenter, std::optional<QRectF> bounds) = 0;
    virtual void stopDrag() = 0;
    // _droptarget of an object being dragged or dragged last: the slash path of what it was
    // dropped on, or empty.
    virtual QString dropTargetPath(const display::DisplayObject& object) const = 0;

    // Selection.setFocus: the mouse is taken to be over what gets the focus (null for
    // nothing). What it was over rolls out and the focused object rolls over, even when both
    // are the same object; text fields hear neither. The events run after the running script.
    virtual void hoverForFocus(display::DisplayObject* object) { (void)object; }
};

} // namespace player::avm1
