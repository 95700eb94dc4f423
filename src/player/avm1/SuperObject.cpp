#include "SuperObject.h"

#include "Machine.h"
#include "Marker.h"

namespace player::avm1 {

namespace {

Object* unlessClip(Object* object)
{
    return object && object->kind() != ObjectKind::Clip ? object : nullptr;
}

} // namespace

Object* SuperObject::base() const
{
    return unlessClip(m_base);
}

Value SuperObject::constructor(Machine& machine) const
{
    Object* start = m_holder && m_holder == m_thisObject ? unlessClip(m_holder->prototype()) : unlessClip(m_holder);
    return start ? start->get(machine, QStringLiteral("__constructor__")) : Value();
}

Value SuperObject::get(Machine& machine, const QString& name)
{
    Object* from = base();
    return from ? from->get(machine, name) : Value();
}

void SuperObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_thisObject);
    marker.mark(m_holder);
    marker.mark(m_base);
}

} // namespace player::avm1
