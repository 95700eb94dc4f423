#pragma once

#include "InputState.h"
#include "avm1/InputPort.h"
#include "render/HitTester.h"

#include <memory>

namespace player {

class ActionQueue;

namespace display {
class ButtonInstance;
class DisplayContainer;
class DisplayObject;
class ScriptHost;
class Stage;
} // namespace display

// Turns mouse and key input into the movie's events, as Flash Player does: buttons change state
// and run their condition actions, clips with mouse handlers behave as buttons, clip events and
// Mouse/Key listeners hear every press, and startDrag moves its clip with the mouse.
//
// The dispatcher queues clip events and button actions; the caller runs the queue afterwards.
// Listener broadcasts and function handlers go through the script host, which may be null. Scripts
// see the mouse and the keyboard through the input port it implements.
class InputDispatcher : public avm1::InputPort {
public:
    InputDispatcher(display::Stage& stage, ActionQueue& queue);

    const InputState& state() const { return m_state; }
    render::HitTester& hitTester() { return m_hitTester; }

    // The mouse moved to a stage point in twips.
    void mouseMove(display::ScriptHost* host, QPointF stagePoint);
    void mouseDown(display::ScriptHost* host);
    void mouseUp(display::ScriptHost* host);
    // The mouse left the player: whatever it was over rolls out (a press in progress stays).
    void mouseLeft(display::ScriptHost* host);
    // Keys by Flash key code, with the character typed (0 for none).
    void keyDown(display::ScriptHost* host, int keyCode, int ascii);
    void keyUp(display::ScriptHost* host, int keyCode);

    // The object the mouse is over that takes clicks (a button or a clip with mouse handlers).
    std::shared_ptr<display::DisplayObject> hovered() const { return m_hovered.lock(); }
    // Whether the pointer should be a hand: over an enabled button or clip with handlers whose
    // useHandCursor is not false.
    bool wantsHandCursor(display::ScriptHost* host) const;

    // The topmost object at a stage point that takes clicks, or null.
    std::shared_ptr<display::DisplayObject> pick(display::ScriptHost* host, QPointF stagePoint);

    // InputPort
    bool isKeyDown(int keyCode) const override;
    int lastKeyCode() const override { return m_state.lastKeyCode; }
    int lastAscii() const override { return m_state.lastAscii; }
    QPointF mouseIn(const display::DisplayObject& object) const override;
    bool hitTestPoint(const display::DisplayObject& object, QPointF stagePoint, bool shapeOnly) override;
    void startDrag(display::DisplayObject& object, bool lockCenter, std::optional<QRectF> bounds) override;
    void stopDrag() override;
    QString dropTargetPath(const display::DisplayObject& object) const override;
    void hoverForFocus(display::DisplayObject* object) override;

private:
    enum class Transition { RollOver, RollOut, Press, Release, ReleaseOutside, DragOver, DragOut };

    std::shared_ptr<display::DisplayObject> pickIn(display::ScriptHost* host, display::DisplayContainer& container,
                                                   QPointF stagePoint, int nesting);
    bool takesClicks(display::ScriptHost* host, display::DisplayObject& object) const;
    void updateHover(display::ScriptHost* host);
    void moveDraggedObject();
    void transition(display::ScriptHost* host, display::DisplayObject& object, Transition change);
    void runButtonConditions(display::ButtonInstance& button, uint16_t conditions);
    void queueClipEventEverywhere(uint32_t eventBit, const char* handlerName);
    void queueKeyPressConditions(int keyCode, int ascii);

    display::Stage& m_stage;
    ActionQueue& m_queue;
    render::HitTester m_hitTester;
    InputState m_state;
    std::weak_ptr<display::DisplayObject> m_hovered;
    std::weak_ptr<display::DisplayObject> m_pressed;
    bool m_pressedIsOver = false;
    std::weak_ptr<display::DisplayObject> m_lastDragged;
};

} // namespace player
