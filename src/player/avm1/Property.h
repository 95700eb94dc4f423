#pragma once

#include "Value.h"

#include <QString>
#include <cstdint>

namespace player::avm1 {

// Attribute bits as ASSetPropFlags writes them.
namespace property_flag {
constexpr uint8_t DontEnum = 1;
constexpr uint8_t DontDelete = 2;
constexpr uint8_t ReadOnly = 4;
} // namespace property_flag

// One named slot of an object: a plain value, or a getter and setter made by addProperty.
struct Property {
    QString name;
    Value value;
    Object* getter = nullptr;
    Object* setter = nullptr;
    uint8_t flags = 0;

    bool isVirtual() const { return getter != nullptr; }
    bool isEnumerable() const { return !(flags & property_flag::DontEnum); }
};

} // namespace player::avm1
