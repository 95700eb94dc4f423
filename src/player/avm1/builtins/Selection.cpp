#include "Builtins.h"
#include "SelectionFocus.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/DisplayBridge.h"
#include "player/avm1/InputPort.h"
#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"
#include "player/avm1/TargetPath.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"
#include "player/swf/Movie.h"

#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

// The Selection object remembers which clip, button or text field has the focus. The player
// has no keyboard focus of its own, so focus moves only when scripts move it.
class SelectionObject : public Object {
public:
    using Object::Object;

    Object* focus = nullptr;

    void traceReferences(Marker& marker) override
    {
        Object::traceReferences(marker);
        marker.mark(focus);
    }
};

Value focusValue(Object* focus)
{
    return focus ? Value(focus) : Value::null();
}

display::EditTextInstance* fieldOf(Object* object)
{
    display::DisplayObject* displayObject = displayObjectOfClip(object);
    if (!displayObject || displayObject->kind() != display::DisplayKind::EditText)
        return nullptr;
    return static_cast<display::EditTextInstance*>(displayObject);
}

// A selection index of the focused text field, or -1 when the focus is elsewhere or the field
// has selected nothing yet.
Value selectionIndex(SelectionObject* selection, qsizetype (display::EditTextInstance::*index)() const)
{
    display::EditTextInstance* field = fieldOf(selection->focus);
    return field && field->hasSelection() ? Value(double((field->*index)())) : Value(-1);
}

// A movie clip takes the focus only when focusEnabled is set or it handles the mouse as a
// button does; buttons and text fields always take it.
bool canTakeFocus(Machine& machine, Object* object)
{
    display::DisplayObject* displayObject = static_cast<ClipObject*>(object)->displayObject();
    display::MovieClip* clip = displayObject ? displayObject->asMovieClip() : nullptr;
    if (!clip)
        return true;
    constexpr uint32_t buttonLikeEvents = swf::clip_event::Press | swf::clip_event::Release
        | swf::clip_event::ReleaseOutside | swf::clip_event::RollOver | swf::clip_event::RollOut
        | swf::clip_event::DragOver | swf::clip_event::DragOut;
    if (clip->clipEventMask() & buttonLikeEvents)
        return true;
    if (machine.toBoolean(object->get(machine, QStringLiteral("focusEnabled"))))
        return true;
    static const char* const handlers[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                           "onRollOut", "onDragOver", "onDragOut"};
    return std::any_of(std::begin(handlers), std::end(handlers), [&](const char* name) {
        return object->get(machine, QString::fromLatin1(name)).asObject() != nullptr;
    });
}

// Moving the focus tells the object losing it, then the one gaining it, then the listeners
// of Selection. A text field that gains the focus has all its text selected after them.
void moveFocus(Machine& machine, SelectionObject* selection, Object* target)
{
    Object* old = selection->focus;
    if (old == target)
        return;
    selection->focus = target;
    // A text field losing the focus forgets its selection.
    if (display::EditTextInstance* field = fieldOf(old))
        field->clearSelection();
    if (old)
        machine.callMethod(Value(old), QStringLiteral("onKillFocus"), {focusValue(target)});
    if (target)
        machine.callMethod(Value(target), QStringLiteral("onSetFocus"), {focusValue(old)});
    machine.callMethod(Value(selection), QStringLiteral("broadcastMessage"),
                       {Value(QStringLiteral("onSetFocus")), focusValue(old), focusValue(target)});
    if (display::EditTextInstance* field = fieldOf(selection->focus); field && selection->focus == target)
        field->setSelection(0, field->text().size());
}

} // namespace

void loseFocusWhenHidden(Machine& machine, Object* object)
{
    Object* global = machine.global();
    const Property* property = global ? global->findOwn(QStringLiteral("Selection"), true) : nullptr;
    auto* selection = property && !property->isVirtual() ? dynamic_cast<SelectionObject*>(property->value.asObject()) : nullptr;
    if (selection && object && selection->focus == object)
        moveFocus(machine, selection, nullptr);
}

void installSelection(Machine& machine)
{
    auto* selection = machine.make<SelectionObject>(machine.prototypes().object);
    machine.global()->define(QStringLiteral("Selection"), Value(static_cast<Object*>(selection)), property_flag::DontEnum);
    broadcasterInitialize(machine, selection);
    const uint16_t flags = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;

    // null or undefined clears the focus; a path that leads nowhere does too. Anything else
    // that is not on the stage is refused.
    machine.defineMethod(selection, QStringLiteral("setFocus"), [selection](Machine& machine, Object*, const Arguments& arguments) {
        Value target = argument(arguments, 0);
        Object* object = nullptr;
        if (target.isString())
            object = target_path::resolve(machine, machine.bridge().level(0), target.asString());
        else if (target.isObject())
            object = target.asObject();
        else if (!target.isNullish())
            return Value(false);
        if (object && object->kind() != ObjectKind::Clip) {
            if (target.isObject())
                return Value(false);
            object = nullptr;
        }
        if (object && !canTakeFocus(machine, object))
            return Value(false);
        if (InputPort* input = machine.bridge().input())
            input->hoverForFocus(object ? static_cast<ClipObject*>(object)->displayObject() : nullptr);
        moveFocus(machine, selection, object);
        return Value(true);
    }, flags);
    machine.defineMethod(selection, QStringLiteral("getFocus"), [selection](Machine& machine, Object*, const Arguments&) {
        return selection->focus ? Value(machine.bridge().targetPath(selection->focus, false)) : Value::null();
    }, flags);
    machine.defineMethod(selection, QStringLiteral("getBeginIndex"), [selection](Machine&, Object*, const Arguments&) {
        return selectionIndex(selection, &display::EditTextInstance::selectionBegin);
    }, flags);
    machine.defineMethod(selection, QStringLiteral("getEndIndex"), [selection](Machine&, Object*, const Arguments&) {
        return selectionIndex(selection, &display::EditTextInstance::selectionEnd);
    }, flags);
    machine.defineMethod(selection, QStringLiteral("getCaretIndex"), [selection](Machine&, Object*, const Arguments&) {
        return selectionIndex(selection, &display::EditTextInstance::caretIndex);
    }, flags);
    // setSelection(anchor, caret) selects in the focused text field; the caret goes where the
    // second index says, and a missing one means the end of the text.
    machine.defineMethod(selection, QStringLiteral("setSelection"), [selection](Machine& machine, Object*, const Arguments& arguments) {
        display::EditTextInstance* field = fieldOf(selection->focus);
        if (!field || arguments.empty())
            return Value();
        const qsizetype length = field->text().size();
        auto index = [&](const Value& value) {
            const double number = machine.toNumber(value);
            return std::isfinite(number) ? qsizetype(std::clamp(number, 0.0, double(length))) : length;
        };
        field->setSelection(index(arguments[0]), index(argument(arguments, 1)));
        return Value();
    }, flags);
}

} // namespace player::avm1::builtins
