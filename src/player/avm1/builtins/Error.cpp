#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

Value initializeError(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self && !arguments.empty() && !arguments[0].isUndefined())
        self->set(machine, QStringLiteral("message"), arguments[0]);
    return Value();
}

// Called without new, Error makes nothing.
Value callError(Machine&, Object*, const Arguments&)
{
    return Value();
}

// toString gives the message as it is, text or not.
Value errorToString(Machine& machine, Object* self, const Arguments&)
{
    return self ? self->get(machine, QStringLiteral("message")) : Value("Error");
}

constexpr Declaration prototypeDeclarations[] = {
    method("toString", errorToString),
};

} // namespace

void installError(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().error = prototype;
    defineClass(machine, QStringLiteral("Error"), prototype, callError, initializeError);
    prototype->define(QStringLiteral("name"), Value("Error"), property_flag::DontEnum);
    prototype->define(QStringLiteral("message"), Value("Error"), property_flag::DontEnum);
    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
