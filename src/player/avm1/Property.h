#pragma once

#include "Value.h"

#include <QString>
#include <cstdint>

namespace player::avm1 {

// Attribute bits as ASSetPropFlags writes them.
namespace property_flag {
constexpr uint16_t DontEnum = 1;
constexpr uint16_t DontDelete = 2;
constexpr uint16_t ReadOnly = 4;
// Flash hides a property from movies older than a version with these bits: the player's own
// globals that came with a later version use them, and so may a movie. Bit 1024 hides from
// SWF 6 and older; bit 256 is odd: it hides only from SWF 6, not from SWF 5.
constexpr uint16_t FromVersion6 = 128;
constexpr uint16_t FromVersion7 = 256 | 1024;
constexpr uint16_t FromVersion8 = 4096;
constexpr uint16_t FromVersion9 = 8192;
constexpr uint16_t FromVersion10 = 16384;
} // namespace property_flag

// Whether a property with these attribute bits exists for code of the given SWF version.
constexpr bool isVisibleToVersion(uint16_t flags, int swfVersion)
{
    using namespace property_flag;
    if (swfVersion < 6 && (flags & FromVersion6))
        return false;
    if (swfVersion < 7 && (flags & 1024))
        return false;
    if (swfVersion == 6 && (flags & 256))
        return false;
    if (swfVersion < 8 && (flags & FromVersion8))
        return false;
    if (swfVersion < 9 && (flags & FromVersion9))
        return false;
    return swfVersion >= 10 || !(flags & FromVersion10);
}

// One named slot of an object: a plain value, or a getter and setter made by addProperty.
struct Property {
    QString name;
    Value value;
    Object* getter = nullptr;
    Object* setter = nullptr;
    uint16_t flags = 0;

    bool isVirtual() const { return getter != nullptr; }
    bool isEnumerable() const { return !(flags & property_flag::DontEnum); }
    bool isVisibleTo(int swfVersion) const { return isVisibleToVersion(flags, swfVersion); }
};

} // namespace player::avm1
