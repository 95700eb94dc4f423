#include "SuperObject.h"

#include "Machine.h"
#include "Marker.h"

namespace player::avm1 {

Value SuperObject::get(Machine& machine, const QString& name)
{
    return m_base ? m_base->get(machine, name) : Value();
}

void SuperObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_thisObject);
    marker.mark(m_holder);
    marker.mark(m_base);
}

} // namespace player::avm1
