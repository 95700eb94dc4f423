#pragma once

#include <cstdint>

namespace player::avm1 {
class Machine;
class Object;
} // namespace player::avm1

namespace player::avm1::builtins {

// The tabIndex of movie clips and buttons, a property of their prototype: undefined until set,
// null and undefined unset it, and anything else becomes a signed 32-bit number, with what
// is not a number or lies outside that range becoming -2147483648.
void defineTabIndex(Machine& machine, Object* prototype, uint16_t flags);

} // namespace player::avm1::builtins
