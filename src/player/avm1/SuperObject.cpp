#include "SuperObject.h"

#include "Machine.h"
#include "Marker.h"

namespace player::avm1 {

namespace {

Object* unlessClip(Object* object)
{
    return object && object->kind() != ObjectKind::Clip ? object : nullptr;
}

// Flash stops a prototype chain this long; so does the search for the holder.
constexpr int maximumHolderDepth = 256;

} // namespace

SuperObject::SuperObject(Object* thisObject, Object* holder)
    : Object(nullptr, ObjectKind::Super)
    , m_thisObject(thisObject)
    , m_holder(holder)
{
    int depth = 0;
    for (Object* link = thisObject; link && depth < maximumHolderDepth; link = link->prototype(), ++depth) {
        if (link == holder) {
            m_depth = depth;
            break;
        }
    }
}

Object* SuperObject::holder() const
{
    if (m_depth < 0)
        return m_holder;
    Object* link = m_thisObject;
    for (int step = 0; link && step < m_depth; ++step)
        link = link->prototype();
    return link;
}

Object* SuperObject::base() const
{
    Object* holder = this->holder();
    return holder ? unlessClip(holder->prototype()) : nullptr;
}

Value SuperObject::constructor(Machine& machine) const
{
    Object* holder = this->holder();
    Object* start = holder && holder == m_thisObject ? unlessClip(holder->prototype()) : unlessClip(holder);
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
}

} // namespace player::avm1
