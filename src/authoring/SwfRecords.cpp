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

void writeRect(ByteWriter& out, const TwipsRect& rect)
{
    const int bits = widestSigned({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
    BitWriter writer(out);
    writer.writeUnsigned(uint32_t(bits), 5);
    writer.writeSigned(rect.xMin, bits);
    writer.writeSigned(rect.xMax, bits);
    writer.writeSigned(rect.yMin, bits);
    writer.writeSigned(rect.yMax, bits);
}

void writeTransform(ByteWriter& out, const Transform& transform)
{
    BitWriter writer(out);
    const bool hasScale = transform.scaleX != 1.0 || transform.scaleY != 1.0;
    writer.writeFlag(hasScale);
    if (hasScale) {
        const int32_t x = toFixed16(transform.scaleX);
        const int32_t y = toFixed16(transform.scaleY);
        const int bits = widestSigned({x, y});
        writer.writeUnsigned(uint32_t(bits), 5);
        writer.writeSigned(x, bits);
        writer.writeSigned(y, bits);
    }
    const bool hasRotate = transform.rotateSkew0 != 0.0 || transform.rotateSkew1 != 0.0;
    writer.writeFlag(hasRotate);
    if (hasRotate) {
        const int32_t skew0 = toFixed16(transform.rotateSkew0);
        const int32_t skew1 = toFixed16(transform.rotateSkew1);
        const int bits = widestSigned({skew0, skew1});
        writer.writeUnsigned(uint32_t(bits), 5);
        writer.writeSigned(skew0, bits);
        writer.writeSigned(skew1, bits);
    }
    const bool hasTranslation = transform.translateX != 0 || transform.translateY != 0;
    const int bits = hasTranslation ? widestSigned({transform.translateX, transform.translateY}) : 0;
    writer.writeUnsigned(uint32_t(bits), 5);
    if (hasTranslation) {
        writer.writeSigned(transform.translateX, bits);
        writer.writeSigned(transform.translateY, bits);
    }
}

void writeColorAdjustWithAlpha(ByteWriter& out, const ColorAdjust& adjust)
{
    const bool hasAdd = adjust.redAdd || adjust.greenAdd || adjust.blueAdd || adjust.alphaAdd;
    const bool hasMult = adjust.redMult != 256 || adjust.greenMult != 256 || adjust.blueMult != 256
        || adjust.alphaMult != 256;
    int bits = 1;
    if (hasMult)
        bits = std::max(bits, widestSigned({adjust.redMult, adjust.greenMult, adjust.blueMult, adjust.alphaMult}));
    if (hasAdd)
        bits = std::max(bits, widestSigned({adjust.redAdd, adjust.greenAdd, adjust.blueAdd, adjust.alphaAdd}));
    BitWriter writer(out);
    writer.writeFlag(hasAdd);
    writer.writeFlag(hasMult);
    writer.writeUnsigned(uint32_t(bits), 4);
    if (hasMult) {
        for (int32_t value : {adjust.redMult, adjust.greenMult, adjust.blueMult, adjust.alphaMult})
            writer.writeSigned(value, bits);
    }
    if (hasAdd) {
        for (int32_t value : {adjust.redAdd, adjust.greenAdd, adjust.blueAdd, adjust.alphaAdd})
            writer.writeSigned(value, bits);
    }
}

void writeRgb(ByteWriter& out, const Color& color)
{
    out.u8(color.red);
    out.u8(color.green);
    out.u8(color.blue);
}

void writeRgba(ByteWriter& out, const Color& color)
{
    writeRgb(out, color);
    out.u8(color.alpha);
}

} // namespace authoring
