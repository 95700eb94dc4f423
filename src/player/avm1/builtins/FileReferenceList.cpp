// flash.net.FileReferenceList: the player has no file dialog, so a browse that Flash would let
// open is cancelled at once, and its listeners hear onCancel once the running script is done.
#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"
#include "player/avm1/ScriptExceptions.h"

#include <optional>

namespace player::avm1::builtins {

namespace {

// A filter's own field, read through its getter if it has one; a getter that throws counts as
// a missing field, and inherited fields do not count at all.
std::optional<Value> ownField(Machine& machine, Object* filter, const QString& name)
{
    if (!filter->hasOwnPropertyForScripts(machine, name))
        return std::nullopt;
    try {
        Value value = filter->get(machine, name);
        if (value.isUndefined())
            return std::nullopt;
        return value;
    } catch (const ScriptThrow&) {
        return std::nullopt;
    }
}

// A type list is an array of filters, each with a description and an extension that are not
// empty. Texts are made of them as Flash does, so a toString that throws reaches the script.
bool isValidTypeList(Machine& machine, const Value& typeList)
{
    Object* list = typeList.asObject();
    if (!list)
        return false;
    const int32_t length = machine.toInt32(list->get(machine, QStringLiteral("length")));
    if (length <= 0)
        return false;
    for (int32_t i = 0; i < length; ++i) {
        Object* filter = list->get(machine, QString::number(i)).asObject();
        if (!filter)
            return false;
        const std::optional<Value> description = ownField(machine, filter, QStringLiteral("description"));
        const std::optional<Value> extension = ownField(machine, filter, QStringLiteral("extension"));
        if (!description || !extension)
            return false;
        if (machine.toString(*description).isEmpty() || machine.toString(*extension).isEmpty())
            return false;
        if (const std::optional<Value> macType = ownField(machine, filter, QStringLiteral("macType")))
            machine.toString(*macType);
    }
    return true;
}

// Only one dialog is open at a time, for all lists together: until the cancel arrives, browse
// gives false.
class BrowseDialog : public Object {
public:
    BrowseDialog()
        : Object(nullptr)
    {
    }

    bool open = false;
};

Value browse(Machine& machine, Object* state, Object* self, const Arguments& arguments)
{
    auto* dialog = static_cast<BrowseDialog*>(state);
    if (!self)
        return Value(false);
    if (!arguments.empty() && !isValidTypeList(machine, arguments[0]))
        return Value(false);
    if (dialog->open)
        return Value(false);
    dialog->open = true;
    NativeFunction cancel = [dialog, self](Machine& machine, Object*, const Arguments&) {
        dialog->open = false;
        machine.callMethod(Value(self), QStringLiteral("broadcastMessage"), {Value(QStringLiteral("onCancel")), Value(self)});
        return Value();
    };
    machine.addDeferredCall(self, Value(machine.makeNative(std::move(cancel))), QString(), {});
    return Value(true);
}

constexpr Declaration prototypeDeclarations[] = {
    method("browse", browse, attributes::hidden).native(2205, 0),
};

} // namespace

void installFileReferenceList(Machine& machine, Object* holder)
{
    Object* prototype = machine.makeObject();
    NativeFunction construct = [](Machine& machine, Object* self, const Arguments&) -> Value {
        broadcasterInitialize(machine, self);
        return Value();
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    holder->define(QStringLiteral("FileReferenceList"), Value(constructor), property_flag::DontEnum);
    Object* dialog = machine.make<BrowseDialog>();
    machine.addRoot(dialog);
    installDeclarations(machine, prototype, prototypeDeclarations, dialog);
}

} // namespace player::avm1::builtins
