#include "Records.h"

#include <algorithm>

namespace player::swf {

Rect readRect(ByteReader& reader)
{
    reader.alignToByte();
    const int bitCount = static_cast<int>(reader.bits(5));
    Rect rect;
    rect.xMin = reader.signedBits(bitCount);
    rect.xMax = reader.signedBits(bitCount);
    rect.yMin = reader.signedBits(bitCount);
    rect.yMax = reader.signedBits(bitCount);
    reader.alignToByte();
    return rect;
}

Matrix readMatrix(ByteReader& reader)
{
    reader.alignToByte();
    Matrix matrix;
    if (reader.flag()) {
        const int bitCount = static_cast<int>(reader.bits(5));
        matrix.a = reader.fixedBits(bitCount);
        matrix.d = reader.fixedBits(bitCount);
    }
    if (reader.flag()) {
        const int bitCount = static_cast<int>(reader.bits(5));
        matrix.b = reader.fixedBits(bitCount);
        matrix.c = reader.fixedBits(bitCount);
    }
    const int bitCount = static_cast<int>(reader.bits(5));
    matrix.tx = reader.signedBits(bitCount);
    matrix.ty = reader.signedBits(bitCount);
    reader.alignToByte();
    return matrix;
}

ColorTransform readColorTransform(ByteReader& reader, bool withAlpha)
{
    reader.alignToByte();
    ColorTransform transform;
    const bool hasAdd = reader.flag();
    const bool hasMult = reader.flag();
    const int bitCount = static_cast<int>(reader.bits(4));
    if (hasMult) {
        transform.redMult = reader.signedBits(bitCount);
        transform.greenMult = reader.signedBits(bitCount);
        transform.blueMult = reader.signedBits(bitCount);
        if (withAlpha)
            transform.alphaMult = reader.signedBits(bitCount);
    }
    if (hasAdd) {
        transform.redAdd = reader.signedBits(bitCount);
        transform.greenAdd = reader.signedBits(bitCount);
        transform.blueAdd = reader.signedBits(bitCount);
        if (withAlpha)
            transform.alphaAdd = reader.signedBits(bitCount);
    }
    reader.alignToByte();
    return transform;
}

Rgba readRgb(ByteReader& reader)
{
    Rgba colour;
    colour.r = reader.u8();
    colour.g = reader.u8();
    colour.b = reader.u8();
    return colour;
}

Rgba readRgba(ByteReader& reader)
{
    Rgba colour = readRgb(reader);
    colour.a = reader.u8();
    return colour;
}

BlendMode readBlendMode(ByteReader& reader)
{
    const uint8_t value = reader.u8();
    if (value < 1 || value > static_cast<uint8_t>(BlendMode::HardLight))
        return BlendMode::Normal;
    return static_cast<BlendMode>(value);
}

namespace {

// The flag byte that ends most filters: inner, knockout, composite source, then either on-top
// and four bits of passes or five bits of passes.
void readFilterFlags(ByteReader& reader, Filter& filter, bool hasOnTop)
{
    const uint8_t flags = reader.u8();
    filter.inner = flags & 0x80;
    filter.knockout = flags & 0x40;
    filter.compositeSource = flags & 0x20;
    if (hasOnTop) {
        filter.onTop = flags & 0x10;
        filter.passes = flags & 0x0F;
    } else {
        filter.passes = flags & 0x1F;
    }
}

} // namespace

Filter readFilter(ByteReader& reader)
{
    Filter filter;
    const uint8_t type = reader.u8();
    filter.type = static_cast<FilterType>(std::min<uint8_t>(type, 7));
    switch (type) {
    case 0: // drop shadow
        filter.color = readRgba(reader);
        filter.blurX = reader.fixed16();
        filter.blurY = reader.fixed16();
        filter.angle = reader.fixed16();
        filter.distance = reader.fixed16();
        filter.strength = reader.fixed8();
        readFilterFlags(reader, filter, false);
        break;
    case 1: // blur
        filter.blurX = reader.fixed16();
        filter.blurY = reader.fixed16();
        filter.passes = reader.u8() >> 3;
        break;
    case 2: // glow
        filter.color = readRgba(reader);
        filter.blurX = reader.fixed16();
        filter.blurY = reader.fixed16();
        filter.strength = reader.fixed8();
        readFilterFlags(reader, filter, false);
        break;
    case 3: // bevel: the file holds the highlight colour first, whatever the format notes say
        filter.highlightColor = readRgba(reader);
        filter.color = readRgba(reader);
        filter.blurX = reader.fixed16();
        filter.blurY = reader.fixed16();
        filter.angle = reader.fixed16();
        filter.distance = reader.fixed16();
        filter.strength = reader.fixed8();
        readFilterFlags(reader, filter, true);
        break;
    case 4: // gradient glow
    case 7: { // gradient bevel
        const uint8_t count = reader.u8();
        for (int i = 0; i < count && !reader.overrun(); ++i)
            filter.gradientColors.push_back(readRgba(reader));
        for (int i = 0; i < count && !reader.overrun(); ++i)
            filter.gradientRatios.push_back(reader.u8());
        filter.blurX = reader.fixed16();
        filter.blurY = reader.fixed16();
        filter.angle = reader.fixed16();
        filter.distance = reader.fixed16();
        filter.strength = reader.fixed8();
        readFilterFlags(reader, filter, true);
        break;
    }
    case 5: { // convolution
        filter.matrixX = reader.u8();
        filter.matrixY = reader.u8();
        filter.divisor = reader.f32();
        filter.bias = reader.f32();
        const int count = filter.matrixX * filter.matrixY;
        for (int i = 0; i < count && !reader.overrun(); ++i)
            filter.convolutionMatrix.push_back(reader.f32());
        filter.defaultColor = readRgba(reader);
        const uint8_t flags = reader.u8();
        filter.clamp = flags & 0x02;
        filter.preserveAlpha = flags & 0x01;
        break;
    }
    case 6: // colour matrix
        for (int i = 0; i < 20 && !reader.overrun(); ++i)
            filter.matrix.push_back(reader.f32());
        break;
    default:
        // An unknown filter has an unknown length: nothing after it can be read.
        reader.skip(reader.remaining() + 1);
        break;
    }
    return filter;
}

std::vector<Filter> readFilterList(ByteReader& reader)
{
    std::vector<Filter> filters;
    const uint8_t count = reader.u8();
    for (int i = 0; i < count && !reader.overrun(); ++i) {
        Filter filter = readFilter(reader);
        if (!reader.overrun())
            filters.push_back(std::move(filter));
    }
    return filters;
}

} // namespace player::swf
