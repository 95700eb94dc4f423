#include "Builtins.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

void installError(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().error = prototype;
    auto initialise = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (self && !arguments.empty() && !arguments[0].isUndefined())
            self->set(machine, QStringLiteral("message"), arguments[0]);
        return Value();
    };
    defineClass(machine, QStringLiteral("Error"), prototype, [](Machine& machine, Object*, const Arguments& arguments) {
        Object* error = machine.make<Object>(machine.prototypes().error);
        if (!arguments.empty() && !arguments[0].isUndefined())
            error->set(machine, QStringLiteral("message"), arguments[0]);
        return Value(error);
    }, initialise);
    prototype->define(QStringLiteral("name"), Value("Error"), property_flag::DontEnum);
    prototype->define(QStringLiteral("message"), Value("Error"), property_flag::DontEnum);
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        return self ? Value(machine.toString(self->get(machine, QStringLiteral("message")))) : Value("Error");
    });
}

} // namespace player::avm1::builtins
