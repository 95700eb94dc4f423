#pragma once

#include "player/swf/ActionBytes.h"

#include <QString>
#include <cstddef>
#include <vector>

namespace player::avm1 {

// What a function's body may need of its call, read once from its actions: whether it may
// reach "this", "arguments" or "super" by name, and whether it may define a local by name or
// keep its scope chain (a nested function). A call makes only what the body may use. A name
// counts as reached when its text appears anywhere in the body or the constant pool, in any
// case, or when a variable action takes a name the body computes (eval, set), which could be
// any of them. A body that cannot be read through to its end, branches out of itself or skips
// actions by frame tests is taken to need everything.
struct FunctionBodyUse {
    bool thisName = true;
    bool argumentsName = true;
    bool superName = true;
    bool locals = true;

    static FunctionBodyUse everything() { return {}; }
    // The body of length bytes from start; pool is the constant pool in force where the function
    // was defined (null when there is none).
    static FunctionBodyUse scan(const swf::ActionBytes& bytes, size_t start, size_t length, bool textIsUtf8,
                                const std::vector<QString>* pool);
};

} // namespace player::avm1
