#pragma once

namespace player::avm1 {
class Machine;
class Object;
} // namespace player::avm1

namespace player::avm1::builtins {

// An object that is hidden (_visible set to false) loses the focus when it has it: the focus
// moves to nothing, with the events any move of the focus sends.
void loseFocusWhenHidden(Machine& machine, Object* object);

} // namespace player::avm1::builtins
