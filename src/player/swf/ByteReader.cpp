#include "ByteReader.h"

#include <cstring>

namespace player::swf {

bool ByteReader::take(size_t count)
{
    m_bitCount = 0;
    if (count > remaining()) {
        m_position = m_size;
        m_overrun = true;
        return false;
    }
    return true;
}

uint8_t ByteReader::u8()
{
    if (!take(1))
        return 0;
    return m_data[m_position++];
}

uint16_t ByteReader::u16()
{
    if (!take(2))
        return 0;
    const uint8_t* p = m_data + m_position;
    m_position += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ByteReader::u32()
{
    if (!take(4))
        return 0;
    const uint8_t* p = m_data + m_position;
    m_position += 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float ByteReader::f32()
{
    const uint32_t raw = u32();
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

double ByteReader::fixed8()
{
    return s16() / 256.0;
}

double ByteReader::fixed16()
{
    return s32() / 65536.0;
}

std::string ByteReader::cString()
{
    m_bitCount = 0;
    const uint8_t* start = m_data + m_position;
    const void* end = std::memchr(start, 0, remaining());
    if (!end) {
        std::string text(reinterpret_cast<const char*>(start), remaining());
        m_position = m_size;
        m_overrun = true;
        return text;
    }
    const size_t length = static_cast<const uint8_t*>(end) - start;
    m_position += length + 1;
    return std::string(reinterpret_cast<const char*>(start), length);
}

Bytes ByteReader::bytes(size_t count)
{
    m_bitCount = 0;
    if (count > remaining()) {
        count = remaining();
        m_overrun = true;
    }
    Bytes result(m_data + m_position, m_data + m_position + count);
    m_position += count;
    return result;
}

ByteReader ByteReader::slice(size_t count)
{
    m_bitCount = 0;
    if (count > remaining()) {
        count = remaining();
        m_overrun = true;
    }
    ByteReader part(m_data + m_position, count);
    m_position += count;
    return part;
}

void ByteReader::skip(size_t count)
{
    if (take(count))
        m_position += count;
}

uint32_t ByteReader::bits(int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (m_bitCount == 0) {
            if (m_position >= m_size) {
                m_overrun = true;
                return 0;
            }
            m_bitBuffer = m_data[m_position++];
            m_bitCount = 8;
        }
        --m_bitCount;
        value = (value << 1) | ((m_bitBuffer >> m_bitCount) & 1u);
    }
    return value;
}

int32_t ByteReader::signedBits(int count)
{
    if (count <= 0)
        return 0;
    const uint32_t raw = bits(count);
    if (count >= 32)
        return static_cast<int32_t>(raw);
    const uint32_t signBit = 1u << (count - 1);
    return static_cast<int32_t>((raw ^ signBit)) - static_cast<int32_t>(signBit);
}

} // namespace player::swf
