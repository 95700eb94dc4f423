#include "Builtins.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

void installMovieClip(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().movieClip = prototype;
    defineClass(machine, QStringLiteral("MovieClip"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); });
}

} // namespace player::avm1::builtins
