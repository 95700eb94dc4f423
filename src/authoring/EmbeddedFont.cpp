#include "EmbeddedFont.h"

#include "ByteWriter.h"
#include "SwfRecords.h"

#include <algorithm>

namespace authoring {

QByteArray EmbeddedFont::tagBody(uint16_t fontId) const
{
    std::vector<QByteArray> shapes;
    for (const Glyph& glyph : glyphs)
        shapes.push_back(glyphShapeRecords(glyph.outline));
    // Offsets count from the start of the offset table; past 64 KiB they need four bytes.
    size_t tableSize = 0;
    for (const QByteArray& shape : shapes)
        tableSize += size_t(shape.size());
    const bool wideOffsets = tableSize + (shapes.size() + 1) * 2 > 0xffff;
    const size_t offsetSize = wideOffsets ? 4 : 2;

    ByteWriter out;
    out.u16(fontId);
    out.u8(0x80u | 0x04u | (wideOffsets ? 0x08u : 0u) | (italic ? 0x02u : 0u) | (bold ? 0x01u : 0u));
    out.u8(1); // language: Latin
    const std::string shortName = name.substr(0, 255);
    out.u8(uint32_t(shortName.size()));
    for (char c : shortName)
        out.u8(uint8_t(c));
    out.u16(uint32_t(glyphs.size()));
    size_t offset = (shapes.size() + 1) * offsetSize;
    auto writeOffset = [&](size_t value) {
        if (wideOffsets)
            out.u32(uint32_t(value));
        else
            out.u16(uint32_t(value));
    };
    for (const QByteArray& shape : shapes) {
        writeOffset(offset);
        offset += size_t(shape.size());
    }
    writeOffset(offset); // the code table follows the shapes
    for (const QByteArray& shape : shapes)
        out.raw(shape);
    for (const Glyph& glyph : glyphs)
        out.u16(glyph.code);
    out.u16(ascent);
    out.u16(descent);
    out.u16(0); // leading
    for (const Glyph& glyph : glyphs)
        out.u16(glyph.advance);
    for (const Glyph& glyph : glyphs) {
        Rect bounds {0, 0, 0, 0};
        for (const PathCommand& command : glyph.outline.commands()) {
            bounds.xMin = std::min(bounds.xMin, command.x);
            bounds.xMax = std::max(bounds.xMax, command.x);
            bounds.yMin = std::min(bounds.yMin, command.y);
            bounds.yMax = std::max(bounds.yMax, command.y);
        }
        writeRect(out, bounds);
    }
    out.u16(0); // no kerning pairs
    return out.bytes();
}

} // namespace authoring
