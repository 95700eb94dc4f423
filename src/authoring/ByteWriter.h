#pragma once

#include <QByteArray>

#include <cstdint>
#include <string_view>

namespace authoring {

// Appends little-endian values to a growing byte array, as every SWF structure is stored.
class ByteWriter {
public:
    void u8(uint32_t value);
    void u16(uint32_t value);
    void u32(uint32_t value);
    void i16(int32_t value);
    void f32(float value);
    // AVM1 stores doubles as two little-endian 32-bit halves, high half first.
    void avm1Double(double value);
    void f64(double value);
    // A NUL-terminated string (UTF-8 from SWF 6 on).
    void string(std::string_view text);
    void raw(const QByteArray& data);
    void fixed8(double value);  // 8.8 fixed point
    void fixed16(double value); // 16.16 fixed point

    void patchU16(int position, uint32_t value);
    int size() const { return int(m_bytes.size()); }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// Writes bit fields most significant bit first, as RECT, MATRIX and shape records need. The
// caller ends a bit run with flush(), which pads to a whole byte.
class BitWriter {
public:
    explicit BitWriter(ByteWriter& out) : m_out(out) {}
    ~BitWriter() { flush(); }

    void writeUnsigned(uint32_t value, int bits);
    void writeSigned(int32_t value, int bits);
    void writeFlag(bool value) { writeUnsigned(value ? 1 : 0, 1); }
    void flush();

private:
    ByteWriter& m_out;
    uint32_t m_pending = 0;
    int m_pendingBits = 0;
};

// The fewest bits that hold the value as a two's complement field.
int signedBitCount(int32_t value);
int unsignedBitCount(uint32_t value);

} // namespace authoring
