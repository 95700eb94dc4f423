#pragma once

#include "Scope.h"
#include "Value.h"

#include <vector>

namespace player::avm1 {

class Object;

// The mark phase of the collector: objects reached are marked and queued, and their
// references traced from a work list rather than by recursion, so deep structures cannot
// overflow the stack.
class Marker {
public:
    void mark(Object* object);
    void mark(const Value& value)
    {
        if (value.isObject())
            mark(value.asObject());
    }
    void mark(const ScopeChain& scope);
    void drain();

private:
    std::vector<Object*> m_pending;
};

} // namespace player::avm1
