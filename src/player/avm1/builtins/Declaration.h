#pragma once

#include "player/avm1/FunctionObject.h"
#include "player/avm1/Property.h"

#include <span>

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// The common signature of the built-in functions a declaration names.
using NativeMethod = Value (*)(Machine& machine, Object* self, const Arguments& arguments);

// One property of a built-in class or object: a method, a getter with its setter, or a number.
// A row says its attributes, the first SWF version that sees it (older movies find it hidden,
// yet owned and listed by for..in, as a property hidden by ASSetPropFlags is), and where Flash
// numbers the function among its natives, which ASnative then answers with the same object.
// Rows read as method("abs", mathAbs).native(200, 0) or method("show", show).from(7).
struct Declaration {
    enum class Kind : uint8_t { Method, Accessor, Number };

    Kind kind = Kind::Method;
    const char* name = nullptr;
    NativeMethod function = nullptr;
    NativeMethod setter = nullptr;
    double number = 0;
    uint16_t attributes = property_flag::DontEnum | property_flag::DontDelete;
    int version = 0;
    int nativeTable = -1;
    int nativeIndex = 0;

    // The native number of the function; an accessor's setter takes the number after it.
    constexpr Declaration native(int table, int index) const
    {
        Declaration row = *this;
        row.nativeTable = table;
        row.nativeIndex = index;
        return row;
    }
    constexpr Declaration from(int swfVersion) const
    {
        Declaration row = *this;
        row.version = swfVersion;
        return row;
    }
    bool hasNativeNumber() const { return nativeTable >= 0; }
};

namespace attributes {
constexpr uint16_t hidden = property_flag::DontEnum;
constexpr uint16_t hiddenPermanent = property_flag::DontEnum | property_flag::DontDelete;
constexpr uint16_t constant = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;
} // namespace attributes

constexpr Declaration method(const char* name, NativeMethod function, uint16_t attributes = attributes::hiddenPermanent)
{
    return {Declaration::Kind::Method, name, function, nullptr, 0, attributes};
}

constexpr Declaration accessor(const char* name, NativeMethod getter, NativeMethod setter, uint16_t attributes = attributes::hiddenPermanent)
{
    return {Declaration::Kind::Accessor, name, getter, setter, 0, attributes};
}

constexpr Declaration number(const char* name, double value, uint16_t attributes = attributes::constant)
{
    return {Declaration::Kind::Number, name, nullptr, nullptr, value, attributes};
}

// The attribute bits that hide a property from movies older than the version.
uint16_t versionFlags(int swfVersion);

// Puts the declared properties on the object, in the order of the rows, and numbers the
// functions of rows with a native number for ASnative.
void installDeclarations(Machine& machine, Object* object, std::span<const Declaration> rows);

} // namespace builtins

} // namespace player::avm1
