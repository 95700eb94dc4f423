#pragma once

#include "Object.h"

#include <vector>

namespace player::avm1 {

// An Array: its elements live in a vector and show through the property names "0", "1"…
// and "length"; other names are ordinary properties.
class ArrayObject : public Object {
public:
    ArrayObject(Object* prototype, std::vector<Value> elements);

    std::vector<Value>& elements() { return m_elements; }
    size_t length() const { return m_elements.size(); }
    // Grows or shrinks the array; lengths over the machine's limit abort the script.
    void resize(Machine& machine, size_t length);

    // The element index a property name stands for, or -1.
    static int64_t indexOfName(const QString& name);

    void traceReferences(Marker& marker) override;
    bool remove(Machine& machine, const QString& name) override;

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool setSpecial(Machine& machine, const QString& name, const Value& value) override;
    void specialNames(std::vector<QString>& names) override;

private:
    std::vector<Value> m_elements;
};

} // namespace player::avm1
