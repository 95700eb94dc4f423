#pragma once

#include "Button.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace player::swf {

// Reads little-endian numbers and MSB-first bit fields from a byte range. Reading past the end
// never touches memory outside the range: it yields zeros and sets overrun(), which the tag
// readers check once per record instead of after every field.
class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t position() const { return m_position; }
    size_t size() const { return m_size; }
    size_t remaining() const { return m_size - m_position; }
    bool atEnd() const { return m_position >= m_size; }
    bool overrun() const { return m_overrun; }
    const uint8_t* current() const { return m_data + m_position; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }
    float f32();
    double fixed8();  // signed 8.8
    double fixed16(); // signed 16.16
    // A null-terminated string (the terminator is consumed; a missing one ends at the range end).
    std::string cString();
    // n bytes, or what is left when fewer remain (and overrun is set).
    Bytes bytes(size_t count);
    // A reader over the next n bytes (fewer at the end), which this one skips.
    ByteReader slice(size_t count);
    void skip(size_t count);

    // Bit fields, most significant bit first; a byte read aligns first.
    uint32_t bits(int count);
    int32_t signedBits(int count);
    double fixedBits(int count) { return signedBits(count) / 65536.0; }
    bool flag() { return bits(1) != 0; }
    void alignToByte() { m_bitCount = 0; }

private:
    bool take(size_t count);

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_position = 0;
    bool m_overrun = false;
    uint8_t m_bitBuffer = 0;
    int m_bitCount = 0;
};

} // namespace player::swf
