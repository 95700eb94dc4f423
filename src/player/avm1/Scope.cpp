#include "Scope.h"

namespace player::avm1 {

void ScopeChain::releaseLast(Scope* link)
{
    // A loop, so that a long chain cannot run the stack out.
    while (link) {
        Scope* parent = std::exchange(link->parent.m_link, nullptr);
        Scope::recycle(link);
        link = parent && --parent->references == 0 ? parent : nullptr;
    }
}

} // namespace player::avm1
