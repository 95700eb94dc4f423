#pragma once

#include "Object.h"

namespace player::avm1 {

// What "super" stands for inside a method: lookups start at the prototype above the one the
// running method came from (the holder), while "this" stays the object the method was called
// on. super(...) runs the holder's __constructor__. A clip standing where a prototype should be
// ends both searches: super reaches nothing through it. The holder is remembered as how many
// prototypes above "this" it stood when the call began: a method that changes the prototype
// chain of "this" sees super follow the chain as it is now.
class SuperObject : public Object {
public:
    SuperObject(Object* thisObject, Object* holder);

    Object* thisObject() const { return m_thisObject; }
    Object* holder() const;
    // Where super.name() looks: the prototype above the holder, unless that is a clip.
    Object* base() const;
    // The function super(...) runs: __constructor__ looked up from the holder, or from the
    // prototype of "this" when the running method is an own property of "this" (an object's
    // own __constructor__ is the class that made it, not its superclass). No __resolve.
    Value constructor(Machine& machine) const;

    Value get(Machine& machine, const QString& name) override;
    void traceReferences(Marker& marker) override;

private:
    Object* m_thisObject;
    Object* m_holder;
    // Steps from "this" to the holder along the prototype chain, or -1 when the holder is not on it.
    int m_depth = -1;
};

} // namespace player::avm1
