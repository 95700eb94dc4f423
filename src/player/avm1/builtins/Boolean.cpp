#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

Value constructBoolean(Machine& machine, Object* self, const Arguments& arguments)
{
    bool value = !arguments.empty() && machine.toBoolean(arguments[0]);
    if (self && self->kind() == ObjectKind::Boolean) {
        static_cast<BoxedValue*>(self)->setValue(Value(value));
        return Value(self);
    }
    return Value(machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().boolean, ObjectKind::Boolean, Value(value)));
}

Value callBoolean(Machine& machine, Object*, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    return Value(machine.toBoolean(arguments[0]));
}

Value booleanToString(Machine& machine, Object* self, const Arguments&)
{
    Value value = boxedValueOf(machine, self, ObjectKind::Boolean);
    if (!value.isBoolean())
        return Value(QStringLiteral("[object Object]"));
    return Value(value.asBoolean() ? QStringLiteral("true") : QStringLiteral("false"));
}

Value booleanValueOf(Machine& machine, Object* self, const Arguments&)
{
    Value value = boxedValueOf(machine, self, ObjectKind::Boolean);
    return value.isBoolean() ? value : Value(self);
}

constexpr Declaration prototypeDeclarations[] = {
    method("toString", booleanToString),
    method("valueOf", booleanValueOf),
};

} // namespace

void installBoolean(Machine& machine)
{
    Object* prototype = machine.make<BoxedValue>(machine.prototypes().object, ObjectKind::Boolean, Value(false));
    machine.prototypes().boolean = prototype;
    defineClass(machine, QStringLiteral("Boolean"), prototype, callBoolean, constructBoolean);
    installDeclarations(machine, prototype, prototypeDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
