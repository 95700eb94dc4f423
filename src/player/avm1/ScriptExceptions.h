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

// A native constructor turned its arguments down: "new" gives undefined instead of an object,
// as Flash's does for a BitmapData of an impossible size.
struct ConstructionRefused {};

} // namespace player::avm1
