#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

ArrayObject* listenersOf(Machine& machine, Object* self)
{
    if (!self)
        return nullptr;
    Object* listeners = self->get(machine, QStringLiteral("_listeners")).asObject();
    return listeners && listeners->kind() == ObjectKind::Array ? static_cast<ArrayObject*>(listeners) : nullptr;
}

Value addListener(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* listeners = listenersOf(machine, self);
    if (!listeners)
        return Value(false);
    Value listener = argument(arguments, 0);
    // A listener added twice is kept once.
    for (const Value& existing : listeners->values(machine)) {
        if (existing.strictlyEquals(listener))
            return Value(true);
    }
    listeners->append(machine, listener);
    return Value(true);
}

Value removeListener(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* listeners = listenersOf(machine, self);
    if (!listeners)
        return Value(false);
    Value listener = argument(arguments, 0);
    std::vector<Value> elements = listeners->values(machine);
    for (auto it = elements.begin(); it != elements.end(); ++it) {
        if (it->strictlyEquals(listener)) {
            elements.erase(it);
            listeners->assign(machine, elements);
            return Value(true);
        }
    }
    return Value(false);
}

Value broadcastMessage(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* listeners = listenersOf(machine, self);
    if (!listeners || arguments.empty())
        return Value();
    QString name = machine.toString(arguments[0]);
    Arguments rest(arguments.begin() + 1, arguments.end());
    // Listeners may remove themselves while the message goes round: work on a copy.
    std::vector<Value> copy = listeners->values(machine);
    for (const Value& listener : copy)
        machine.callMethod(listener, name, rest);
    return Value(!copy.empty());
}

Value initialize(Machine& machine, Object*, const Arguments& arguments)
{
    broadcasterInitialize(machine, argument(arguments, 0).asObject());
    return Value();
}

Value constructBroadcaster(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration broadcasterDeclarations[] = {
    method("addListener", addListener, attributes::hidden),
    method("removeListener", removeListener, attributes::hidden),
    method("broadcastMessage", broadcastMessage, attributes::hidden).native(101, 12),
    method("initialize", initialize, attributes::hidden),
};

} // namespace

void broadcasterInitialize(Machine& machine, Object* target)
{
    if (!target)
        return;
    Object* broadcaster = machine.global()->get(machine, QStringLiteral("AsBroadcaster")).asObject();
    const uint8_t hidden = property_flag::DontEnum;
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
        Value method = broadcaster ? broadcaster->get(machine, QString::fromLatin1(name)) : Value();
        target->define(QString::fromLatin1(name), method, hidden);
    }
    target->define(QStringLiteral("_listeners"), Value(machine.makeArray()), hidden);
}

void installAsBroadcaster(Machine& machine)
{
    Object* prototype = machine.makeObject();
    FunctionObject* constructor = defineClass(machine, QStringLiteral("AsBroadcaster"), prototype, constructBroadcaster);
    installDeclarations(machine, constructor, broadcasterDeclarations);
}

} // namespace player::avm1::builtins
