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
    // Called without new, Error makes nothing.
    defineClass(machine, QStringLiteral("Error"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); },
                initialise);
    prototype->define(QStringLiteral("name"), Value("Error"), property_flag::DontEnum);
    prototype->define(QStringLiteral("message"), Value("Error"), property_flag::DontEnum);
    // toString gives the message as it is, text or not.
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        return self ? self->get(machine, QStringLiteral("message")) : Value("Error");
    });
}

} // namespace player::avm1::builtins
