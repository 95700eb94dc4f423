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
// The functions of a class whose methods share what the class keeps out of the scripts' reach
// (the stage's settings, the sounds' mixer, the open connections): the installer hands them that
// object whatever "this" they are called on.
using SharedStateMethod = Value (*)(Machine& machine, Object* state, Object* self, const Arguments& arguments);

// One property of a built-in class or object: a method, a getter with its setter, or a number.
// A row says its attributes, the first SWF version that sees it (older movies find it hidden,
// yet owned and listed by for..in, as a property hidden by ASSetPropFlags is), and where Flash
// numbers the function among its natives, which ASnative then answers with the same object.
// Rows read as method("abs", mathAbs).native(200, 0) or method("show", show).from(7); a row
// whose function takes the shared state reads the same.
struct Declaration {
    enum class Kind : uint8_t { Method, Accessor, Number, Boolean };

    Kind kind = Kind::Method;
    const char* name = nullptr;
    NativeMethod function = nullptr;
    NativeMethod setter = nullptr;
    double number = 0;
    uint16_t attributes = property_flag::DontEnum | property_flag::DontDelete;
    int version = 0;
    int nativeTable = -1;
    int nativeIndex = 0;
    SharedStateMethod sharedFunction = nullptr;
    SharedStateMethod sharedSetter = nullptr;
    int readableVersion = 0;

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
    // A method that exists for every version, though older movies read undefined from it; an
    // assignment gives the receiver a plain property of its own (unlike from(), which hides it).
    constexpr Declaration readableFrom(int swfVersion) const
    {
        Declaration row = *this;
        row.readableVersion = swfVersion;
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

// A method hidden from for..in that scripts may still delete (MovieClip's are).
constexpr Declaration deletableMethod(const char* name, NativeMethod function)
{
    return method(name, function, attributes::hidden);
}

constexpr Declaration accessor(const char* name, NativeMethod getter, NativeMethod setter, uint16_t attributes = attributes::hiddenPermanent)
{
    return {Declaration::Kind::Accessor, name, getter, setter, 0, attributes};
}

constexpr Declaration method(const char* name, SharedStateMethod function, uint16_t attributes = attributes::hiddenPermanent)
{
    Declaration row{Declaration::Kind::Method, name, nullptr, nullptr, 0, attributes};
    row.sharedFunction = function;
    return row;
}

constexpr Declaration accessor(const char* name, SharedStateMethod getter, SharedStateMethod setter,
                               uint16_t attributes = attributes::hiddenPermanent)
{
    Declaration row{Declaration::Kind::Accessor, name, nullptr, nullptr, 0, attributes};
    row.sharedFunction = getter;
    row.sharedSetter = setter;
    return row;
}

// A read-only accessor: assigning to it does nothing.
constexpr Declaration getter(const char* name, NativeMethod function, uint16_t attributes = attributes::hiddenPermanent)
{
    return accessor(name, function, static_cast<NativeMethod>(nullptr), attributes);
}

constexpr Declaration getter(const char* name, SharedStateMethod function, uint16_t attributes = attributes::hiddenPermanent)
{
    return accessor(name, function, static_cast<SharedStateMethod>(nullptr), attributes);
}

constexpr Declaration number(const char* name, double value, uint16_t attributes = attributes::constant)
{
    return {Declaration::Kind::Number, name, nullptr, nullptr, value, attributes};
}

constexpr Declaration boolean(const char* name, bool value, uint16_t attributes = attributes::constant)
{
    return {Declaration::Kind::Boolean, name, nullptr, nullptr, value ? 1.0 : 0.0, attributes};
}

// The attribute bits that hide a property from movies older than the version.
uint16_t versionFlags(int swfVersion);

// Puts the declared properties on the object, in the order of the rows, and numbers the
// functions of rows with a native number for ASnative. Rows whose functions take shared state
// get the given object, which the caller keeps alive.
void installDeclarations(Machine& machine, Object* object, std::span<const Declaration> rows, Object* sharedState = nullptr);

} // namespace builtins

} // namespace player::avm1
