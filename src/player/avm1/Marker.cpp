#include "Marker.h"

#include "Object.h"

namespace player::avm1 {

void Marker::mark(Object* object)
{
    if (!object || object->isMarked())
        return;
    object->setMarked(true);
    m_pending.push_back(object);
}

void Marker::mark(const ScopeChain& scope)
{
    for (const Scope* link = scope.get(); link; link = link->parent.get())
        mark(link->object);
}

void Marker::drain()
{
    while (!m_pending.empty()) {
        Object* object = m_pending.back();
        m_pending.pop_back();
        object->traceReferences(*this);
    }
}

} // namespace player::avm1
