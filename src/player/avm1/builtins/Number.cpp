#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

Value constructNumber(Machine& machine, Object* self, const Arguments& arguments)
{
    double number = arguments.empty() ? 0.0 : machine.toNumber(arguments[0]);
    if (self && self->kind() == ObjectKind::Number) {
        static_cast<BoxedValue*>(self)->setValue(Value(number));
        return Value(self);
    }
    return Value(machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().number, ObjectKind::Number, Value(number)));
}

Value callNumber(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(arguments.empty() ? 0.0 : machine.toNumber(arguments[0]));
}

Value numberToString(Machine& machine, Object* self, const Arguments& arguments)
{
    Value value = boxedValueOf(machine, self, ObjectKind::Number);
    if (!value.isNumber())
        return Value(QStringLiteral("[object Object]"));
    int radix = arguments.empty() || arguments[0].isUndefined() ? 10 : machine.toInt32(arguments[0]);
    if (radix < 2 || radix > 36)
        radix = 10;
    return Value(number_text::toTextInRadix(value.asNumber(), radix));
}

Value numberValueOf(Machine& machine, Object* self, const Arguments&)
{
    Value value = boxedValueOf(machine, self, ObjectKind::Number);
    return value.isNumber() ? value : Value(self);
}

constexpr Declaration numberDeclarations[] = {
    number("MAX_VALUE", DBL_MAX),
    number("MIN_VALUE", std::numeric_limits<double>::denorm_min()),
    number("NaN", std::numeric_limits<double>::quiet_NaN()),
    number("NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity()),
    number("POSITIVE_INFINITY", std::numeric_limits<double>::infinity()),
};

constexpr Declaration prototypeDeclarations[] = {
    method("toString", numberToString),
    method("valueOf", numberValueOf),
};

} // namespace

void installNumber(Machine& machine)
{
    Object* prototype = machine.make<BoxedValue>(machine.prototypes().object, ObjectKind::Number, Value(0.0));
    machine.prototypes().number = prototype;
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Number"), prototype, callNumber, constructNumber);
    installDeclarations(machine, constructor, numberDeclarations);
    installDeclarations(machine, prototype, prototypeDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
