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

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool setSpecial(Machine& machine, const QString& name, const Value& value) override;

private:
    Value m_value;
};

} // namespace player::avm1
