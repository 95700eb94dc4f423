#pragma once

#include "Value.h"

namespace player::display {
class MovieClip;
}

namespace player::avm1 {

class Machine;

// The class that Object.registerClass bound to the symbol a clip was made from; undefined when
// there is none. Flash binds the class to the symbol rather than to the name: a symbol exported
// under two names gets the class registered under either of them.
Value registeredClassOf(Machine& machine, const display::MovieClip& clip);

} // namespace player::avm1
