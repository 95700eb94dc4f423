#include "InputDispatcher.h"

#include "ActionQueue.h"
#include "display/ButtonInstance.h"
#include "display/MovieClip.h"
#include "display/ScriptHost.h"
#include "display/Stage.h"

#include <algorithm>
#include <vector>

namespace player {

namespace {

constexpr int MaximumNesting = 64;

constexpr uint32_t ButtonLikeClipEvents = swf::clip_event::Press | swf::clip_event::Release
    | swf::clip_event::ReleaseOutside | swf::clip_event::RollOver | swf::clip_event::RollOut
    | swf::clip_event::DragOver | swf::clip_event::DragOut;

constexpr const char* ButtonLikeHandlers[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                              "onRollOut", "onDragOver", "onDragOut"};

// Button key-press conditions and keyPress clip events use codes of their own for the special
// keys; printable characters are their ASCII codes.
int buttonKeyCode(int keyCode, int ascii)
{
    if (ascii >= 32 && ascii <= 126)
        return ascii;
    switch (keyCode) {
    case 37: return 1;  // left
    case 39: return 2;  // right
    case 36: return 3;  // home
    case 35: return 4;  // end
    case 45: return 5;  // insert
    case 46: return 6;  // delete
    case 8: return 8;   // backspace
    case 13: return 13; // enter
    case 38: return 14; // up
    case 40: return 15; // down
    case 33: return 16; // page up
    case 34: return 17; // page down
    case 9: return 18;  // tab
    case 27: return 19; // escape
    default: return 0;
    }
}

void collectObjects(display::DisplayObject& object, std::vector<std::shared_ptr<display::DisplayObject>>& objects,
                    int nesting)
{
    objects.push_back(object.sharedFromThis());
    if (nesting > MaximumNesting || object.kind() == display::DisplayKind::Button)
        return;
    if (display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (child)
                collectObjects(*child, objects, nesting + 1);
        }
    }
}

// The mask (clipDepth) that covers a child at a depth, if any.
display::DisplayObject* maskOver(const display::DisplayContainer& container, int depth)
{
    display::DisplayObject* found = nullptr;
    for (const auto& [maskDepth, child] : container.children()) {
        if (maskDepth >= depth)
            break;
        if (child && child->clipDepth() && *child->clipDepth() >= depth)
            found = child.get();
    }
    return found;
}

bool isInside(const display::DisplayObject& object, const display::DisplayObject& ancestor)
{
    for (const display::DisplayObject* link = &object; link; link = link->parent()) {
        if (link == &ancestor)
            return true;
    }
    return false;
}

} // namespace

InputDispatcher::InputDispatcher(display::Stage& stage, ActionQueue& queue) : m_stage(stage), m_queue(queue)
{
}

bool InputDispatcher::takesClicks(display::ScriptHost* host, display::DisplayObject& object) const
{
    if (object.isRemoved())
        return false;
    if (object.kind() == display::DisplayKind::Button) {
        const auto& button = static_cast<const display::ButtonInstance&>(object);
        if (!button.isEnabled())
            return false;
        return !host || host->booleanProperty(object, "enabled").value_or(true);
    }
    display::MovieClip* clip = object.asMovieClip();
    if (!clip || !clip->isEnabled())
        return false;
    if (clip->clipEventMask() & ButtonLikeClipEvents)
        return true;
    if (!host)
        return false;
    return std::any_of(std::begin(ButtonLikeHandlers), std::end(ButtonLikeHandlers),
                       [&](const char* name) { return host->hasHandler(object, name); });
}

std::shared_ptr<display::DisplayObject> InputDispatcher::pick(display::ScriptHost* host, QPointF stagePoint)
{
    const auto& levels = m_stage.levels();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        display::MovieClip& root = *it->second;
        if (!root.isVisible())
            continue;
        if (takesClicks(host, root))
            return m_hitTester.hitsContent(root, stagePoint, true) ? root.sharedFromThis() : nullptr;
        if (auto found = pickIn(host, root, stagePoint, 0))
            return found;
    }
    return nullptr;
}

// A clip with mouse handlers takes the clicks of everything in it; otherwise the topmost child
// that takes clicks does.
std::shared_ptr<display::DisplayObject> InputDispatcher::pickIn(display::ScriptHost* host,
                                                                display::DisplayContainer& container,
                                                                QPointF stagePoint, int nesting)
{
    if (nesting > MaximumNesting)
        return nullptr;
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        display::DisplayObject* child = it->second.get();
        if (!child || !child->isVisible() || child->clipDepth())
            continue;
        if (display::DisplayObject* mask = maskOver(container, it->first)) {
            if (!m_hitTester.hitsContent(*mask, stagePoint, false))
                continue;
        }
        if (takesClicks(host, *child)) {
            if (m_hitTester.hitsContent(*child, stagePoint, true))
                return child->sharedFromThis();
            continue;
        }
        if (child->kind() == display::DisplayKind::Button)
            continue;
        if (display::DisplayContainer* inner = child->asContainer()) {
            if (auto found = pickIn(host, *inner, stagePoint, nesting + 1))
                return found;
        }
    }
    return nullptr;
}

bool InputDispatcher::wantsHandCursor(display::ScriptHost* host) const
{
    std::shared_ptr<display::DisplayObject> object = m_hovered.lock();
    if (!object || !takesClicks(host, *object))
        return false;
    return !host || host->booleanProperty(*object, "useHandCursor").value_or(true);
}

void InputDispatcher::mouseMove(display::ScriptHost* host, QPointF stagePoint)
{
    m_state.mouse = stagePoint;
    moveDraggedObject();
    if (host)
        host->broadcastInput("Mouse", "onMouseMove");
    queueClipEventEverywhere(swf::clip_event::MouseMove, "onMouseMove");
    updateHover(host);
}

void InputDispatcher::mouseDown(display::ScriptHost* host)
{
    updateHover(host);
    m_state.mouseButtonDown = true;
    if (host)
        host->broadcastInput("Mouse", "onMouseDown");
    queueClipEventEverywhere(swf::clip_event::MouseDown, "onMouseDown");
    if (std::shared_ptr<display::DisplayObject> target = m_hovered.lock()) {
        m_pressed = target;
        m_pressedIsOver = true;
        transition(host, *target, Transition::Press);
    }
}

void InputDispatcher::mouseUp(display::ScriptHost* host)
{
    m_state.mouseButtonDown = false;
    if (host)
        host->broadcastInput("Mouse", "onMouseUp");
    queueClipEventEverywhere(swf::clip_event::MouseUp, "onMouseUp");
    std::shared_ptr<display::DisplayObject> pressed = m_pressed.lock();
    m_pressed.reset();
    if (pressed && !pressed->isRemoved()) {
        if (m_pressedIsOver) {
            transition(host, *pressed, Transition::Release);
        } else {
            transition(host, *pressed, Transition::ReleaseOutside);
            // The object was left when the drag went out; now that the button is up it is idle.
            if (m_hovered.lock() == pressed)
                m_hovered.reset();
        }
    }
    updateHover(host);
}

void InputDispatcher::mouseLeft(display::ScriptHost* host)
{
    // Far outside any stage.
    m_state.mouse = QPointF(-1.0e9, -1.0e9);
    updateHover(host);
}

void InputDispatcher::updateHover(display::ScriptHost* host)
{
    std::shared_ptr<display::DisplayObject> under = pick(host, m_state.mouse);
    if (std::shared_ptr<display::DisplayObject> pressed = m_pressed.lock()) {
        // While pressed, only the pressed object hears the mouse: it is dragged out and back.
        const bool over = under == pressed;
        if (over != m_pressedIsOver) {
            m_pressedIsOver = over;
            transition(host, *pressed, over ? Transition::DragOver : Transition::DragOut);
        }
        return;
    }
    std::shared_ptr<display::DisplayObject> previous = m_hovered.lock();
    if (previous && previous->isRemoved())
        previous.reset();
    if (under == previous)
        return;
    // With the button held down (pressed outside anything), Flash rolls nothing over.
    if (m_state.mouseButtonDown && under) {
        if (previous)
            transition(host, *previous, Transition::RollOut);
        m_hovered.reset();
        return;
    }
    m_hovered = under;
    if (previous)
        transition(host, *previous, Transition::RollOut);
    if (under)
        transition(host, *under, Transition::RollOver);
}

void InputDispatcher::hoverForFocus(display::DisplayObject* object)
{
    std::shared_ptr<display::DisplayObject> previous = m_hovered.lock();
    if (previous && previous->isRemoved())
        previous.reset();
    m_hovered = object ? object->sharedFromThis() : nullptr;
    auto hears = [](const display::DisplayObject& target) { return target.kind() != display::DisplayKind::EditText; };
    if (previous && hears(*previous))
        transition(nullptr, *previous, Transition::RollOut);
    if (object && hears(*object))
        transition(nullptr, *object, Transition::RollOver);
}

void InputDispatcher::transition(display::ScriptHost*, display::DisplayObject& object, Transition change)
{
    struct Effect {
        uint32_t clipEvent;
        const char* handler;
        uint16_t conditions;
        display::ButtonInstance::State state;
    };
    using State = display::ButtonInstance::State;
    Effect effect{};
    switch (change) {
    case Transition::RollOver:
        effect = {swf::clip_event::RollOver, "onRollOver", swf::IdleToOverUp, State::Over};
        break;
    case Transition::RollOut:
        effect = {swf::clip_event::RollOut, "onRollOut", swf::OverUpToIdle, State::Up};
        break;
    case Transition::Press:
        effect = {swf::clip_event::Press, "onPress", swf::OverUpToOverDown, State::Down};
        break;
    case Transition::Release:
        effect = {swf::clip_event::Release, "onRelease", swf::OverDownToOverUp, State::Over};
        break;
    case Transition::ReleaseOutside:
        effect = {swf::clip_event::ReleaseOutside, "onReleaseOutside", swf::OutDownToIdle, State::Up};
        break;
    case Transition::DragOver:
        effect = {swf::clip_event::DragOver, "onDragOver", swf::OutDownToOverDown, State::Down};
        break;
    case Transition::DragOut:
        effect = {swf::clip_event::DragOut, "onDragOut", swf::OverDownToOutDown, State::Over};
        break;
    }
    if (object.kind() == display::DisplayKind::Button) {
        auto& button = static_cast<display::ButtonInstance&>(object);
        uint16_t conditions = effect.conditions;
        // A menu button tracks the mouse while it is held elsewhere: dragging onto it is a press
        // from idle, and dragging off lets it go idle.
        if (button.button().trackAsMenu) {
            if (change == Transition::DragOver)
                conditions |= swf::IdleToOverDown;
            else if (change == Transition::DragOut) {
                conditions |= swf::OverDownToIdle;
                effect.state = State::Up;
            }
        }
        button.setState(effect.state);
        runButtonConditions(button, conditions);
        m_queue.queueEvent(object.sharedFromThis(), 0, effect.handler);
        return;
    }
    m_queue.queueEvent(object.sharedFromThis(), effect.clipEvent, effect.handler);
}

void InputDispatcher::runButtonConditions(display::ButtonInstance& button, uint16_t conditions)
{
    // Button actions run on the timeline the button is on.
    display::MovieClip* scope = button.parentClip();
    if (!scope)
        return;
    auto shared = std::static_pointer_cast<display::MovieClip>(scope->sharedFromThis());
    for (const swf::ButtonAction& action : button.button().actions) {
        if (action.conditions & conditions)
            m_queue.queueActions(shared, action.actions);
    }
}

void InputDispatcher::queueClipEventEverywhere(uint32_t eventBit, const char* handlerName)
{
    std::vector<std::shared_ptr<display::DisplayObject>> objects;
    for (const auto& [number, root] : m_stage.levels())
        collectObjects(*root, objects, 0);
    // Newest first, as enterFrame runs.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if ((*it)->isMovieClip())
            m_queue.queueEvent(*it, eventBit, handlerName);
    }
}

void InputDispatcher::keyDown(display::ScriptHost* host, int keyCode, int ascii)
{
    m_state.keysDown.insert(keyCode);
    m_state.lastKeyCode = keyCode;
    m_state.lastAscii = ascii;
    if (host)
        host->broadcastInput("Key", "onKeyDown");
    queueClipEventEverywhere(swf::clip_event::KeyDown, nullptr);
    queueKeyPressConditions(keyCode, ascii);
}

void InputDispatcher::keyUp(display::ScriptHost* host, int keyCode)
{
    m_state.keysDown.erase(keyCode);
    m_state.lastKeyCode = keyCode;
    if (host)
        host->broadcastInput("Key", "onKeyUp");
    queueClipEventEverywhere(swf::clip_event::KeyUp, nullptr);
}

void InputDispatcher::queueKeyPressConditions(int keyCode, int ascii)
{
    const int code = buttonKeyCode(keyCode, ascii);
    if (code == 0)
        return;
    std::vector<std::shared_ptr<display::DisplayObject>> objects;
    for (const auto& [number, root] : m_stage.levels())
        collectObjects(*root, objects, 0);
    for (const auto& object : objects) {
        if (object->kind() == display::DisplayKind::Button) {
            auto& button = static_cast<display::ButtonInstance&>(*object);
            display::MovieClip* scope = button.parentClip();
            if (!scope || !button.isEnabled())
                continue;
            for (const swf::ButtonAction& action : button.button().actions) {
                if (action.keyCode == code)
                    m_queue.queueActions(std::static_pointer_cast<display::MovieClip>(scope->sharedFromThis()), action.actions);
            }
            continue;
        }
        display::MovieClip* clip = object->asMovieClip();
        if (!clip)
            continue;
        for (const swf::ClipAction& action : clip->clipActions()) {
            if ((action.events & swf::clip_event::KeyPress) && action.keyCode == code)
                m_queue.queueActions(std::static_pointer_cast<display::MovieClip>(object), action.actions);
        }
    }
}

bool InputDispatcher::isKeyDown(int keyCode) const
{
    return m_state.keysDown.count(keyCode) > 0;
}

bool InputDispatcher::hitTestPoint(const display::DisplayObject& object, QPointF stagePoint, bool shapeOnly)
{
    return m_hitTester.hitTestPoint(object, stagePoint, shapeOnly);
}

void InputDispatcher::startDrag(display::DisplayObject& object, bool lockCenter, std::optional<QRectF> bounds)
{
    m_lastDragged.reset();
    InputState::Drag drag;
    drag.object = object.sharedFromThis();
    drag.bounds = bounds;
    if (!lockCenter) {
        QPointF mouse = m_state.mouse;
        if (display::DisplayObject* parent = object.parent())
            mouse = render::HitTester::stageTransform(*parent).inverted().map(mouse);
        drag.offset = QPointF(object.matrix().tx, object.matrix().ty) - mouse;
    }
    m_state.drag = drag;
    moveDraggedObject();
}

void InputDispatcher::stopDrag()
{
    if (m_state.drag)
        m_lastDragged = m_state.drag->object;
    m_state.drag.reset();
}

QString InputDispatcher::dropTargetPath(const display::DisplayObject& object) const
{
    std::shared_ptr<display::DisplayObject> dragged = m_state.drag ? m_state.drag->object.lock() : m_lastDragged.lock();
    if (dragged.get() != &object)
        return QString();
    std::shared_ptr<display::DisplayObject> target = m_state.dropTarget.lock();
    return target && !target->isRemoved() ? target->slashPath() : QString();
}

QPointF InputDispatcher::mouseIn(const display::DisplayObject& object) const
{
    const QTransform toStage = render::HitTester::stageTransform(object);
    if (!toStage.isInvertible())
        return QPointF();
    return toStage.inverted().map(m_state.mouse) / 20.0;
}

void InputDispatcher::moveDraggedObject()
{
    if (!m_state.drag)
        return;
    std::shared_ptr<display::DisplayObject> object = m_state.drag->object.lock();
    if (!object || object->isRemoved()) {
        m_state.drag.reset();
        return;
    }
    QPointF mouse = m_state.mouse;
    if (display::DisplayObject* parent = object->parent()) {
        const QTransform toStage = render::HitTester::stageTransform(*parent);
        if (!toStage.isInvertible())
            return;
        mouse = toStage.inverted().map(mouse);
    }
    QPointF position = (mouse + m_state.drag->offset) / 20.0;
    if (const std::optional<QRectF>& bounds = m_state.drag->bounds) {
        position.setX(std::clamp(position.x(), bounds->left(), std::max(bounds->left(), bounds->right())));
        position.setY(std::clamp(position.y(), bounds->top(), std::max(bounds->top(), bounds->bottom())));
    }
    object->setX(position.x());
    object->setY(position.y());
    object->setTransformedByScript(true);

    // The drop target is what lies under the mouse apart from the dragged object: the clip a hit
    // shape is in, or the hit clip itself.
    m_state.dropTarget.reset();
    std::vector<std::shared_ptr<display::DisplayObject>> objects;
    for (const auto& [number, root] : m_stage.levels())
        collectObjects(*root, objects, 0);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        display::DisplayObject& candidate = **it;
        if (isInside(candidate, *object) || candidate.asContainer() || candidate.clipDepth())
            continue;
        if (!m_hitTester.hitsContent(candidate, m_state.mouse, true))
            continue;
        m_state.dropTarget = candidate.parent() ? candidate.parent()->sharedFromThis() : nullptr;
        break;
    }
}

} // namespace player
