#pragma once

#include "Object.h"

namespace player::avm1 {

// A string, number or boolean wrapped in an object: what new String("a") makes, and what a
// method call on a primitive works on.
class BoxedValue : public Object {
public:
    BoxedValue(Object* prototype, ObjectKind kind, const Value& value)
        : Object(prototype, kind)
        , m_value(value)
    {
    }

    const Value& value() const { return m_value; }
    void setValue(const Value& value) { m_value = value; }

    // A primitive boxed for a method call is made as new would make it, so it names its class
    // as __constructor__ (from SWF 6) and constructor (up to SWF 6) like any constructed object. Those slots
    // are only made when a script touches them: most boxes live for one call.
    void rememberBoxingClass(const Value& constructor, bool alsoAsConstructor);

    bool remove(Machine& machine, const QString& name) override;
    void traceReferences(Marker& marker) override;

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool setSpecial(Machine& machine, const QString& name, const Value& value) override;

private:
    enum class BoxingName { None, DunderConstructor, Constructor };
    BoxingName boxingNameOf(Machine& machine, const QString& name) const;
    void makeBoxingSlots();

    Value m_value;
    Value m_boxingClass;
    bool m_boxingClassAsConstructor = false;
};

// The value a box of `kind` holds: self's, or that of the native part super() gave self;
// undefined for any other object.
Value boxedValueOf(Machine& machine, Object* self, ObjectKind kind);

} // namespace player::avm1
