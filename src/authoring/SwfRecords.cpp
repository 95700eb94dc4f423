#include "SwfRecords.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace authoring {

namespace {

int widestSigned(std::initializer_list<int32_t> values)
{
    int bits = 1;
    for (int32_t value : values)
        bits = std::max(bits, signedBitCount(value));
    return bits;
}

int32_t toFixed16(double value)
{
    return int32_t(std::lround(value * 65536.0));
}

} // namespace

void writeRect(ByteWriter& out, const Rect& rect)
{
    const int bits = widestSigned({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
    BitWriter writer(out);
    writer.writeUnsigned(uint32_t(bits), 5);
    writer.writeSigned(rect.xMin, bits);
    writer.writeSigned(rect.xMax, bits);
    writer.writeSigned(rect.yMin, bits);
    writer.writeSigned(rect.yMax, bits);
}

void writeMatrix(ByteWriter& out, const Matrix& matrix)
{
    BitWriter writer(out);
    const bool hasScale = matrix.a != 1.0 || matrix.d != 1.0;
    writer.writeFlag(hasScale);
    if (hasScale) {
        const int32_t x = toFixed16(matrix.a);
        const int32_t y = toFixed16(matrix.d);
        const int bits = widestSigned({x, y});
        writer.writeUnsigned(uint32_t(bits), 5);
        writer.writeSigned(x, bits);
        writer.writeSigned(y, bits);
    }
    const bool hasRotate = matrix.b != 0.0 || matrix.c != 0.0;
    writer.writeFlag(hasRotate);
    if (hasRotate) {
        const int32_t skew0 = toFixed16(matrix.b);
        const int32_t skew1 = toFixed16(matrix.c);
        const int bits = widestSigned({skew0, skew1});
        writer.writeUnsigned(uint32_t(bits), 5);
        writer.writeSigned(skew0, bits);
        writer.writeSigned(skew1, bits);
    }
    const int32_t translateX = int32_t(std::lround(matrix.tx));
    const int32_t translateY = int32_t(std::lround(matrix.ty));
    const bool hasTranslation = translateX != 0 || translateY != 0;
    const int bits = hasTranslation ? widestSigned({translateX, translateY}) : 0;
    writer.writeUnsigned(uint32_t(bits), 5);
    if (hasTranslation) {
        writer.writeSigned(translateX, bits);
        writer.writeSigned(translateY, bits);
    }
}

void writeColorTransformWithAlpha(ByteWriter& out, const ColorTransform& transform)
{
    const bool hasAdd = transform.redAdd || transform.greenAdd || transform.blueAdd || transform.alphaAdd;
    const bool hasMult = transform.redMult != 256 || transform.greenMult != 256 || transform.blueMult != 256
        || transform.alphaMult != 256;
    int bits = 1;
    if (hasMult)
        bits = std::max(bits, widestSigned({transform.redMult, transform.greenMult, transform.blueMult, transform.alphaMult}));
    if (hasAdd)
        bits = std::max(bits, widestSigned({transform.redAdd, transform.greenAdd, transform.blueAdd, transform.alphaAdd}));
    BitWriter writer(out);
    writer.writeFlag(hasAdd);
    writer.writeFlag(hasMult);
    writer.writeUnsigned(uint32_t(bits), 4);
    if (hasMult) {
        for (int32_t value : {transform.redMult, transform.greenMult, transform.blueMult, transform.alphaMult})
            writer.writeSigned(value, bits);
    }
    if (hasAdd) {
        for (int32_t value : {transform.redAdd, transform.greenAdd, transform.blueAdd, transform.alphaAdd})
            writer.writeSigned(value, bits);
    }
}

void writeRgb(ByteWriter& out, const Rgba& color)
{
    out.u8(color.r);
    out.u8(color.g);
    out.u8(color.b);
}

void writeRgba(ByteWriter& out, const Rgba& color)
{
    writeRgb(out, color);
    out.u8(color.a);
}

} // namespace authoring
