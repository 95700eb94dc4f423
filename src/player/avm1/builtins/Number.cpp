#include "Builtins.h"

#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

Value boxedOrSelf(Object* self, ObjectKind kind)
{
    if (self && self->kind() == kind)
        return static_cast<BoxedValue*>(self)->value();
    return Value();
}

} // namespace

void installNumber(Machine& machine)
{
    Object* prototype = machine.make<BoxedValue>(machine.prototypes().object, ObjectKind::Number, Value(0.0));
    machine.prototypes().number = prototype;
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        double number = arguments.empty() ? 0.0 : machine.toNumber(arguments[0]);
        return Value(machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().number, ObjectKind::Number, Value(number)));
    };
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Number"), prototype, [](Machine& machine, Object*, const Arguments& arguments) {
        return Value(arguments.empty() ? 0.0 : machine.toNumber(arguments[0]));
    }, construct);
    const uint8_t constant = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;
    constructor->define(QStringLiteral("MAX_VALUE"), Value(DBL_MAX), constant);
    constructor->define(QStringLiteral("MIN_VALUE"), Value(std::numeric_limits<double>::denorm_min()), constant);
    constructor->define(QStringLiteral("NaN"), Value(std::numeric_limits<double>::quiet_NaN()), constant);
    constructor->define(QStringLiteral("NEGATIVE_INFINITY"), Value(-std::numeric_limits<double>::infinity()), constant);
    constructor->define(QStringLiteral("POSITIVE_INFINITY"), Value(std::numeric_limits<double>::infinity()), constant);

    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Value value = boxedOrSelf(self, ObjectKind::Number);
        if (!value.isNumber())
            return Value(QStringLiteral("[object Object]"));
        int radix = arguments.empty() || arguments[0].isUndefined() ? 10 : machine.toInt32(arguments[0]);
        if (radix < 2 || radix > 36)
            radix = 10;
        return Value(number_text::toTextInRadix(value.asNumber(), radix));
    });
    machine.defineMethod(prototype, QStringLiteral("valueOf"), [](Machine&, Object* self, const Arguments&) {
        Value value = boxedOrSelf(self, ObjectKind::Number);
        return value.isNumber() ? value : Value(self);
    });
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
