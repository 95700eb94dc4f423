#pragma once

#include "Object.h"

#include <cstdint>
#include <vector>

namespace player::avm1 {

// An Array as Flash keeps one: its elements are ordinary properties named "0", "1"… (so they
// have attribute flags, an enumeration order and may be missing), and "length" is a 32-bit
// integer of its own. Writing a property whose name reads as an index at or past the length
// moves the length to index + 1, with 32-bit wrap-around; lowering the length deletes the
// elements above it. Holes cost nothing: a[4000000000] = 1 makes one property.
class ArrayObject : public Object {
public:
    ArrayObject(Object* prototype, std::vector<Value> elements);

    int32_t length() const { return m_length; }
    // Sets the length as a script does, deleting the elements at and above a lower one.
    void setLength(Machine& machine, int32_t length);

    // The elements 0..length-1, holes read as undefined. Refuses (aborts the script) lengths
    // beyond the machine's array limit, so a huge sparse array cannot make a huge vector.
    std::vector<Value> values(Machine& machine);
    // Replaces all elements with these, in order.
    void assign(Machine& machine, const std::vector<Value>& elements);
    void append(Machine& machine, const Value& element);

    // The index Flash reads a property name as, for the length rule: an optional run of
    // leading white space, an optional minus sign, then only digits, wrapped to 32 bits.
    // Returns false for any other name.
    static bool parseIndex(const QString& name, int32_t& index);
    // Whether the name is exactly how the index is written ("7", not "07" or "-0").
    static bool isCanonicalIndex(const QString& name, int32_t& index);

    // The name of the element at this index ("0", "1"…).
    static QString indexName(size_t index);

    // A length as scripts may walk it element by element: negative ones are empty, and
    // those beyond the array limit abort the script.
    static size_t checkedLength(int32_t length);

    // Deletes the deletable elements with canonical names in [from, to), leaving the length.
    void removeElements(int64_t from, int64_t to);

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool setSpecial(Machine& machine, const QString& name, const Value& value) override;

private:
    int32_t m_length = 0;
};

} // namespace player::avm1
