#pragma once

#include "Object.h"

namespace player::avm1 {

// What "super" stands for inside a method: lookups start at the prototype above the one the
// running method came from, while "this" stays the object the method was called on.
class SuperObject : public Object {
public:
    SuperObject(Object* thisObject, Object* base)
        : Object(nullptr, ObjectKind::Super)
        , m_thisObject(thisObject)
        , m_base(base)
    {
    }

    Object* thisObject() const { return m_thisObject; }
    Object* base() const { return m_base; }

    Value get(Machine& machine, const QString& name) override;
    void traceReferences(Marker& marker) override;

private:
    Object* m_thisObject;
    Object* m_base;
};

} // namespace player::avm1
