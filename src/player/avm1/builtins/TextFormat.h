#pragma once

#include "player/display/TextFormat.h"

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// The TextFormat class: a plain object whose properties are the fields of a format, null for
// what is unset.
void installTextFormat(Machine& machine);
// A new TextFormat object holding a format.
Object* makeTextFormatObject(Machine& machine, const display::TextFormat& format);
// The format a script object describes; null and undefined properties are unset.
display::TextFormat readTextFormatObject(Machine& machine, Object* object);

} // namespace builtins

} // namespace player::avm1
