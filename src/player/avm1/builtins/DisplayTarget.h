#pragma once

#include "player/avm1/Value.h"

namespace player::display {
class DisplayObject;
} // namespace player::display

namespace player::avm1 {

class Machine;

namespace builtins {

// The display object a script names by a clip reference or by a target path text, or null
// when it names nothing on the stage. Paths are followed from _level0.
display::DisplayObject* displayObjectOf(Machine& machine, const Value& target);

// Flash keeps colour transform terms in 16 bits and wraps numbers that do not fit; what is not
// a finite number becomes 0.
int16_t wrapToInt16(double number);

} // namespace builtins

} // namespace player::avm1
