#include "Builtins.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"
#include "player/avm1/TargetPath.h"

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

// Moving the focus tells the object losing it, then the one gaining it, then the listeners
// of Selection.
void moveFocus(Machine& machine, SelectionObject* selection, Object* target)
{
    Object* old = selection->focus;
    if (old == target)
        return;
    selection->focus = target;
    if (old)
        machine.callMethod(Value(old), QStringLiteral("onKillFocus"), {focusValue(target)});
    if (target)
        machine.callMethod(Value(target), QStringLiteral("onSetFocus"), {focusValue(old)});
    machine.callMethod(Value(selection), QStringLiteral("broadcastMessage"),
                       {Value(QStringLiteral("onSetFocus")), focusValue(old), focusValue(target)});
}

} // namespace

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
        moveFocus(machine, selection, object);
        return Value(true);
    }, flags);
    machine.defineMethod(selection, QStringLiteral("getFocus"), [selection](Machine& machine, Object*, const Arguments&) {
        return selection->focus ? Value(machine.bridge().targetPath(selection->focus, false)) : Value::null();
    }, flags);
    // Text selection belongs to text fields being edited, which the player never does.
    for (const char* name : {"getBeginIndex", "getEndIndex", "getCaretIndex"})
        machine.defineMethod(selection, QString::fromLatin1(name), [](Machine&, Object*, const Arguments&) { return Value(-1); }, flags);
    machine.defineMethod(selection, QStringLiteral("setSelection"), [](Machine&, Object*, const Arguments&) { return Value(); }, flags);
}

} // namespace player::avm1::builtins
