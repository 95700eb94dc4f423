#include "ShapeReader.h"

#include "Records.h"

#include <algorithm>

namespace player::swf {

namespace {

// Record counts are bounded by the bytes that remain: a count can never make us allocate
// more entries than the data could hold.
size_t readStyleCount(ByteReader& reader, int shapeVersion)
{
    size_t count = reader.u8();
    if (count == 0xFF && shapeVersion >= 2)
        count = reader.u16();
    return count;
}

Gradient readGradient(ByteReader& reader, int shapeVersion, bool focal)
{
    Gradient gradient;
    gradient.matrix = readMatrix(reader);
    const uint8_t flags = reader.u8();
    gradient.spread = static_cast<SpreadMode>(std::min(2, flags >> 6));
    gradient.interpolation = ((flags >> 4) & 3) == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
    const int count = flags & 0x0F;
    for (int i = 0; i < count && !reader.overrun(); ++i) {
        GradientRecord record;
        record.ratio = reader.u8();
        record.color = shapeVersion >= 3 ? readRgba(reader) : readRgb(reader);
        gradient.records.push_back(record);
    }
    if (focal)
        gradient.focalPoint = reader.fixed8();
    return gradient;
}

FillStyle readFillStyle(ByteReader& reader, int shapeVersion)
{
    FillStyle fill;
    const uint8_t type = reader.u8();
    fill.type = static_cast<FillType>(type);
    switch (type) {
    case 0x00:
        fill.color = shapeVersion >= 3 ? readRgba(reader) : readRgb(reader);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        fill.gradient = readGradient(reader, shapeVersion, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        fill.bitmapId = reader.u16();
        fill.bitmapMatrix = readMatrix(reader);
        break;
    default:
        // An unknown fill type has an unknown length: stop reading this shape.
        reader.skip(reader.remaining() + 1);
        break;
    }
    return fill;
}

void readLineFlags(ByteReader& reader, LineStyle& line, bool& hasFill)
{
    const uint16_t flags = reader.u16();
    // Stored as two bytes: start cap (2), join (2), has fill, no h-scale, no v-scale, pixel hinting;
    // then five reserved bits, no close and end cap (2).
    const uint8_t high = flags & 0xFF;
    const uint8_t low = flags >> 8;
    line.startCap = static_cast<CapStyle>(std::min(2, high >> 6));
    line.join = static_cast<JoinStyle>(std::min(2, (high >> 4) & 3));
    hasFill = high & 0x08;
    line.noHScale = high & 0x04;
    line.noVScale = high & 0x02;
    line.pixelHinting = high & 0x01;
    line.noClose = low & 0x04;
    line.endCap = static_cast<CapStyle>(std::min(2, low & 3));
}

LineStyle readLineStyle(ByteReader& reader, int shapeVersion)
{
    LineStyle line;
    line.width = reader.u16();
    if (shapeVersion < 4) {
        line.color = shapeVersion >= 3 ? readRgba(reader) : readRgb(reader);
        return line;
    }
    bool hasFill = false;
    readLineFlags(reader, line, hasFill);
    if (line.join == JoinStyle::Miter)
        line.miterLimit = reader.fixed8();
    line.hasFill = hasFill;
    if (hasFill)
        line.fill = readFillStyle(reader, shapeVersion);
    else
        line.color = readRgba(reader);
    return line;
}

void readStyles(ByteReader& reader, int shapeVersion, std::vector<FillStyle>& fills, std::vector<LineStyle>& lines)
{
    const size_t fillCount = readStyleCount(reader, shapeVersion);
    for (size_t i = 0; i < fillCount && !reader.overrun(); ++i)
        fills.push_back(readFillStyle(reader, shapeVersion));
    const size_t lineCount = readStyleCount(reader, shapeVersion);
    for (size_t i = 0; i < lineCount && !reader.overrun(); ++i)
        lines.push_back(readLineStyle(reader, shapeVersion));
}

// Edge and style-change records up to the end record. With styles, a new-styles record reads
// new arrays (shape version given); without, it cannot occur (glyphs, morph end edges).
std::vector<ShapeRecord> readShapeRecords(ByteReader& reader, int shapeVersion, bool allowNewStyles)
{
    std::vector<ShapeRecord> records;
    int fillBits = static_cast<int>(reader.bits(4));
    int lineBits = static_cast<int>(reader.bits(4));
    int32_t penX = 0;
    int32_t penY = 0;
    while (!reader.overrun()) {
        const bool isEdge = reader.flag();
        if (!isEdge) {
            const uint32_t flags = reader.bits(5);
            if (flags == 0)
                break; // end of shape
            StyleChangeRecord change;
            if (flags & 0x01) {
                const int bitCount = static_cast<int>(reader.bits(5));
                penX = reader.signedBits(bitCount);
                penY = reader.signedBits(bitCount);
                change.hasMove = true;
                change.moveX = penX;
                change.moveY = penY;
            }
            if (flags & 0x02) {
                change.hasFill0 = true;
                change.fill0 = reader.bits(fillBits);
            }
            if (flags & 0x04) {
                change.hasFill1 = true;
                change.fill1 = reader.bits(fillBits);
            }
            if (flags & 0x08) {
                change.hasLine = true;
                change.line = reader.bits(lineBits);
            }
            if ((flags & 0x10) && allowNewStyles) {
                change.hasNewStyles = true;
                reader.alignToByte();
                readStyles(reader, shapeVersion, change.newFillStyles, change.newLineStyles);
                fillBits = static_cast<int>(reader.bits(4));
                lineBits = static_cast<int>(reader.bits(4));
            }
            if (reader.overrun())
                break;
            records.emplace_back(std::move(change));
            continue;
        }
        const bool straight = reader.flag();
        const int bitCount = static_cast<int>(reader.bits(4)) + 2;
        if (straight) {
            int32_t dx = 0;
            int32_t dy = 0;
            if (reader.flag()) {
                dx = reader.signedBits(bitCount);
                dy = reader.signedBits(bitCount);
            } else if (reader.flag()) {
                dy = reader.signedBits(bitCount);
            } else {
                dx = reader.signedBits(bitCount);
            }
            if (reader.overrun())
                break;
            penX += dx;
            penY += dy;
            records.emplace_back(StraightEdgeRecord{penX, penY});
        } else {
            const int32_t controlDx = reader.signedBits(bitCount);
            const int32_t controlDy = reader.signedBits(bitCount);
            const int32_t anchorDx = reader.signedBits(bitCount);
            const int32_t anchorDy = reader.signedBits(bitCount);
            if (reader.overrun())
                break;
            CurvedEdgeRecord curve;
            curve.controlX = penX + controlDx;
            curve.controlY = penY + controlDy;
            penX = curve.anchorX = curve.controlX + anchorDx;
            penY = curve.anchorY = curve.controlY + anchorDy;
            records.emplace_back(curve);
        }
    }
    reader.alignToByte();
    return records;
}

FillStyle readMorphFillHalf(ByteReader& reader, FillStyle& end)
{
    FillStyle start;
    const uint8_t type = reader.u8();
    start.type = end.type = static_cast<FillType>(type);
    switch (type) {
    case 0x00:
        start.color = readRgba(reader);
        end.color = readRgba(reader);
        break;
    case 0x10:
    case 0x12:
    case 0x13: {
        start.gradient.matrix = readMatrix(reader);
        end.gradient.matrix = readMatrix(reader);
        const uint8_t flags = reader.u8();
        start.gradient.spread = end.gradient.spread = static_cast<SpreadMode>(std::min(2, flags >> 6));
        start.gradient.interpolation = end.gradient.interpolation =
            ((flags >> 4) & 3) == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
        const int count = flags & 0x0F;
        for (int i = 0; i < count && !reader.overrun(); ++i) {
            GradientRecord startRecord;
            startRecord.ratio = reader.u8();
            startRecord.color = readRgba(reader);
            GradientRecord endRecord;
            endRecord.ratio = reader.u8();
            endRecord.color = readRgba(reader);
            start.gradient.records.push_back(startRecord);
            end.gradient.records.push_back(endRecord);
        }
        if (type == 0x13) {
            start.gradient.focalPoint = reader.fixed8();
            end.gradient.focalPoint = reader.fixed8();
        }
        break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        start.bitmapId = end.bitmapId = reader.u16();
        start.bitmapMatrix = readMatrix(reader);
        end.bitmapMatrix = readMatrix(reader);
        break;
    default:
        reader.skip(reader.remaining() + 1);
        break;
    }
    return start;
}

MorphLineStyle readMorphLineStyle(ByteReader& reader, int version)
{
    MorphLineStyle line;
    line.start.width = reader.u16();
    line.end.width = reader.u16();
    if (version < 2) {
        line.start.color = readRgba(reader);
        line.end.color = readRgba(reader);
        return line;
    }
    bool hasFill = false;
    readLineFlags(reader, line.start, hasFill);
    if (line.start.join == JoinStyle::Miter)
        line.start.miterLimit = reader.fixed8();
    line.start.hasFill = hasFill;
    if (hasFill) {
        line.start.fill = readMorphFillHalf(reader, line.end.fill);
    } else {
        line.start.color = readRgba(reader);
        line.end.color = readRgba(reader);
    }
    const uint16_t endWidth = line.end.width;
    const FillStyle endFill = line.end.fill;
    const Rgba endColor = line.end.color;
    line.end = line.start;
    line.end.width = endWidth;
    line.end.fill = endFill;
    line.end.color = endColor;
    return line;
}

} // namespace

Shape readShape(ByteReader& reader, int version)
{
    Shape shape;
    shape.version = version;
    shape.id = reader.u16();
    shape.bounds = readRect(reader);
    shape.edgeBounds = shape.bounds;
    if (version >= 4) {
        shape.edgeBounds = readRect(reader);
        const uint8_t flags = reader.u8();
        shape.usesNonScalingStrokes = flags & 0x02;
        shape.usesScalingStrokes = flags & 0x01;
        shape.usesNonZeroWinding = flags & 0x04;
    }
    readStyles(reader, version, shape.fillStyles, shape.lineStyles);
    shape.records = readShapeRecords(reader, version, true);
    return shape;
}

Shape readGlyphShape(ByteReader& reader)
{
    Shape shape;
    shape.records = readShapeRecords(reader, 1, false);
    return shape;
}

MorphShape readMorphShape(ByteReader& reader, int version)
{
    MorphShape morph;
    morph.version = version;
    morph.id = reader.u16();
    morph.startBounds = readRect(reader);
    morph.endBounds = readRect(reader);
    if (version >= 2) {
        readRect(reader); // start edge bounds
        readRect(reader); // end edge bounds
        reader.u8();      // stroke flags
    }
    const uint32_t endEdgesOffset = reader.u32();
    const size_t offsetBase = reader.position();

    const size_t fillCount = readStyleCount(reader, 2);
    for (size_t i = 0; i < fillCount && !reader.overrun(); ++i) {
        MorphFillStyle fill;
        fill.start = readMorphFillHalf(reader, fill.end);
        morph.fillStyles.push_back(std::move(fill));
    }
    const size_t lineCount = readStyleCount(reader, 2);
    for (size_t i = 0; i < lineCount && !reader.overrun(); ++i)
        morph.lineStyles.push_back(readMorphLineStyle(reader, version));
    if (reader.overrun())
        return morph;

    morph.startRecords = readShapeRecords(reader, 3, false);
    // The end edges start at the recorded offset; trust it only when it lies inside the tag.
    const size_t endStart = offsetBase + endEdgesOffset;
    if (endEdgesOffset != 0 && endStart >= reader.position() && endStart <= reader.size())
        reader.skip(endStart - reader.position());
    morph.endRecords = readShapeRecords(reader, 3, false);
    return morph;
}

} // namespace player::swf
