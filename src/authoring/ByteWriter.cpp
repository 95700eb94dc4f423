#include "ByteWriter.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace authoring {

void ByteWriter::u8(uint32_t value)
{
    m_bytes.append(char(value & 0xff));
}

void ByteWriter::u16(uint32_t value)
{
    u8(value);
    u8(value >> 8);
}

void ByteWriter::u32(uint32_t value)
{
    u16(value);
    u16(value >> 16);
}

void ByteWriter::i16(int32_t value)
{
    u16(uint32_t(value) & 0xffff);
}

void ByteWriter::f32(float value)
{
    u32(std::bit_cast<uint32_t>(value));
}

void ByteWriter::avm1Double(double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    u32(uint32_t(bits >> 32));
    u32(uint32_t(bits));
}

void ByteWriter::f64(double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    u32(uint32_t(bits));
    u32(uint32_t(bits >> 32));
}

void ByteWriter::string(std::string_view text)
{
    // A NUL inside would end the string early for every reader; cut it there ourselves.
    const auto end = text.find('\0');
    m_bytes.append(text.data(), qsizetype(end == std::string_view::npos ? text.size() : end));
    u8(0);
}

void ByteWriter::raw(const QByteArray& data)
{
    m_bytes.append(data);
}

void ByteWriter::fixed8(double value)
{
    i16(int32_t(std::lround(value * 256.0)));
}

void ByteWriter::fixed16(double value)
{
    u32(uint32_t(int32_t(std::lround(value * 65536.0))));
}

void ByteWriter::patchU16(int position, uint32_t value)
{
    m_bytes[position] = char(value & 0xff);
    m_bytes[position + 1] = char((value >> 8) & 0xff);
}

void BitWriter::writeUnsigned(uint32_t value, int bits)
{
    for (int bit = bits - 1; bit >= 0; --bit) {
        m_pending = (m_pending << 1) | ((value >> bit) & 1u);
        if (++m_pendingBits == 8) {
            m_out.u8(m_pending);
            m_pending = 0;
            m_pendingBits = 0;
        }
    }
}

void BitWriter::writeSigned(int32_t value, int bits)
{
    writeUnsigned(uint32_t(value), bits);
}

void BitWriter::flush()
{
    if (m_pendingBits > 0) {
        m_out.u8(m_pending << (8 - m_pendingBits));
        m_pending = 0;
        m_pendingBits = 0;
    }
}

int signedBitCount(int32_t value)
{
    // One sign bit plus the magnitude bits of the value or of its complement.
    const uint32_t magnitude = value < 0 ? ~uint32_t(value) : uint32_t(value);
    return 1 + (32 - std::countl_zero(magnitude));
}

int unsignedBitCount(uint32_t value)
{
    return 32 - std::countl_zero(value);
}

} // namespace authoring
