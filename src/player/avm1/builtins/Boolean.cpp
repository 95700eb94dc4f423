#include "Builtins.h"

#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

Value boxedOrSelf(Object* self, ObjectKind kind)
{
    if (self && self->kind() == kind)
        return static_cast<BoxedValue*>(self)->value();
    return Value();
}

} // namespace

void installBoolean(Machine& machine)
{
    Object* prototype = machine.make<BoxedValue>(machine.prototypes().object, ObjectKind::Boolean, Value(false));
    machine.prototypes().boolean = prototype;
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        bool value = !arguments.empty() && machine.toBoolean(arguments[0]);
        return Value(machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().boolean, ObjectKind::Boolean, Value(value)));
    };
    defineClass(machine, QStringLiteral("Boolean"), prototype, [](Machine& machine, Object*, const Arguments& arguments) {
        if (arguments.empty())
            return Value();
        return Value(machine.toBoolean(arguments[0]));
    }, construct);
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine&, Object* self, const Arguments&) {
        Value value = boxedOrSelf(self, ObjectKind::Boolean);
        if (!value.isBoolean())
            return Value(QStringLiteral("[object Object]"));
        return Value(value.asBoolean() ? QStringLiteral("true") : QStringLiteral("false"));
    });
    machine.defineMethod(prototype, QStringLiteral("valueOf"), [](Machine&, Object* self, const Arguments&) {
        Value value = boxedOrSelf(self, ObjectKind::Boolean);
        return value.isBoolean() ? value : Value(self);
    });
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
