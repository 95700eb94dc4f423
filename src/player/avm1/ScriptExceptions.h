#pragma once

#include "Value.h"

#include <QString>

namespace player::avm1 {

// A value thrown by the Throw action, on its way to the nearest try block.
struct ScriptThrow {
    Value value;
};

// The machine gave up on the running scripts: recursion too deep, the time limit reached,
// or memory refused. Everything up to the top-level action list unwinds.
struct ScriptAbort {
    QString reason;
};

} // namespace player::avm1
