#pragma once

#include "player/swf/ActionCodeList.h"

#include <cstdint>

namespace player::avm1 {

// The interpreter's switch and the names for messages are made from the shared action list.
#define SKRV_AVM1_ACTIONS(X) SKRV_ACTION_CODES(X)

enum class Action : uint8_t {
#define SKRV_AVM1_ACTION_ENUM(name, code) name = code,
    SKRV_AVM1_ACTIONS(SKRV_AVM1_ACTION_ENUM)
#undef SKRV_AVM1_ACTION_ENUM
};

// The two-operand actions whose result on two numbers is a boolean (or undefined, for NaN).
constexpr bool comparesNumbers(Action action)
{
    return action == Action::Less || action == Action::Less2 || action == Action::Greater || action == Action::Equals
           || action == Action::Equals2 || action == Action::StrictEquals;
}

// The action's name, or nullptr for a code no SWF version defines.
const char* actionName(uint8_t code);

} // namespace player::avm1
