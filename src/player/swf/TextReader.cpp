#include "TextReader.h"

#include "Records.h"
#include "ShapeReader.h"

#include <algorithm>

namespace player::swf {

Font readFont(ByteReader& reader, int version)
{
    Font font;
    font.version = version;
    font.id = reader.u16();
    if (version == 1) {
        // An offset table whose first entry tells how many glyphs there are.
        const size_t tableStart = reader.position();
        const uint16_t firstOffset = reader.u16();
        const size_t glyphCount = std::min<size_t>(firstOffset / 2, reader.remaining() / 2 + 1);
        if (glyphCount == 0)
            return font;
        std::vector<uint16_t> offsets{firstOffset};
        for (size_t i = 1; i < glyphCount && !reader.overrun(); ++i)
            offsets.push_back(reader.u16());
        for (size_t i = 0; i < offsets.size() && !reader.overrun(); ++i) {
            const size_t start = tableStart + offsets[i];
            const size_t end = i + 1 < offsets.size() ? tableStart + offsets[i + 1] : reader.size();
            if (start < reader.position() || end < start || end > reader.size())
                break;
            reader.skip(start - reader.position());
            ByteReader glyphReader = reader.slice(end - start);
            font.glyphs.push_back(readGlyphShape(glyphReader));
        }
        return font;
    }

    const uint8_t flags = reader.u8();
    font.hasLayout = flags & 0x80;
    font.shiftJis = flags & 0x40;
    font.smallText = flags & 0x20;
    font.ansi = flags & 0x10;
    const bool wideOffsets = flags & 0x08;
    font.wideCodes = flags & 0x04;
    font.italic = flags & 0x02;
    font.bold = flags & 0x01;
    font.languageCode = reader.u8();
    const uint8_t nameLength = reader.u8();
    const Bytes name = reader.bytes(nameLength);
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    const size_t offsetSize = wideOffsets ? 4 : 2;
    const size_t glyphCount = std::min<size_t>(reader.u16(), reader.remaining() / offsetSize);

    const size_t tableStart = reader.position();
    std::vector<uint32_t> offsets;
    for (size_t i = 0; i <= glyphCount && !reader.overrun(); ++i)
        offsets.push_back(wideOffsets ? reader.u32() : reader.u16()); // the last is the code table
    if (reader.overrun() || offsets.empty())
        return font;
    for (size_t i = 0; i < glyphCount; ++i) {
        const size_t start = tableStart + offsets[i];
        const size_t end = tableStart + offsets[i + 1];
        if (start < reader.position() || end < start || end > reader.size())
            break;
        reader.skip(start - reader.position());
        ByteReader glyphReader = reader.slice(end - start);
        font.glyphs.push_back(readGlyphShape(glyphReader));
    }
    const size_t codeTable = tableStart + offsets[glyphCount];
    if (codeTable < reader.position() || codeTable > reader.size())
        return font;
    reader.skip(codeTable - reader.position());
    for (size_t i = 0; i < glyphCount && !reader.overrun(); ++i)
        font.codes.push_back(font.wideCodes ? reader.u16() : reader.u8());
    if (font.hasLayout && !reader.overrun()) {
        font.ascent = reader.s16();
        font.descent = reader.s16();
        font.leading = reader.s16();
        for (size_t i = 0; i < glyphCount && !reader.overrun(); ++i)
            font.advances.push_back(reader.u16());
        for (size_t i = 0; i < glyphCount && !reader.overrun(); ++i)
            font.glyphBounds.push_back(readRect(reader));
        const size_t kerningCount = reader.u16();
        for (size_t i = 0; i < kerningCount && !reader.overrun(); ++i) {
            Font::Kerning kerning;
            kerning.left = font.wideCodes ? reader.u16() : reader.u8();
            kerning.right = font.wideCodes ? reader.u16() : reader.u8();
            kerning.adjustment = reader.s16();
            if (!reader.overrun())
                font.kerning.push_back(kerning);
        }
    }
    return font;
}

void readFontInfo(ByteReader& reader, int version, Font& font)
{
    reader.u16(); // font id, already matched by the caller
    const uint8_t nameLength = reader.u8();
    const Bytes name = reader.bytes(nameLength);
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    const uint8_t flags = reader.u8();
    font.smallText = flags & 0x20;
    font.shiftJis = flags & 0x10;
    font.ansi = flags & 0x08;
    font.italic = flags & 0x04;
    font.bold = flags & 0x02;
    font.wideCodes = flags & 0x01;
    if (version >= 2)
        font.languageCode = reader.u8();
    font.codes.clear();
    for (size_t i = 0; i < font.glyphs.size() && !reader.atEnd(); ++i)
        font.codes.push_back(font.wideCodes ? reader.u16() : reader.u8());
}

StaticText readStaticText(ByteReader& reader, int version)
{
    StaticText text;
    text.version = version;
    text.id = reader.u16();
    text.bounds = readRect(reader);
    text.matrix = readMatrix(reader);
    const int glyphBits = reader.u8();
    const int advanceBits = reader.u8();
    if (glyphBits > 32 || advanceBits > 32)
        return text;
    while (!reader.overrun() && !reader.atEnd()) {
        const uint8_t flags = reader.u8();
        if (flags == 0)
            break;
        TextRecord record;
        if (flags & 0x08)
            record.fontId = reader.u16();
        if (flags & 0x04)
            record.color = version >= 2 ? readRgba(reader) : readRgb(reader);
        if (flags & 0x01)
            record.xOffset = reader.s16();
        if (flags & 0x02)
            record.yOffset = reader.s16();
        if (flags & 0x08)
            record.height = reader.u16();
        const uint8_t glyphCount = reader.u8();
        for (int i = 0; i < glyphCount && !reader.overrun(); ++i) {
            GlyphEntry glyph;
            glyph.index = reader.bits(glyphBits);
            glyph.advance = reader.signedBits(advanceBits);
            record.glyphs.push_back(glyph);
        }
        reader.alignToByte();
        if (reader.overrun())
            break;
        text.records.push_back(std::move(record));
    }
    return text;
}

EditText readEditText(ByteReader& reader)
{
    EditText text;
    text.id = reader.u16();
    text.bounds = readRect(reader);
    const uint8_t flags1 = reader.u8();
    const uint8_t flags2 = reader.u8();
    const bool hasText = flags1 & 0x80;
    text.wordWrap = flags1 & 0x40;
    text.multiline = flags1 & 0x20;
    text.password = flags1 & 0x10;
    text.readOnly = flags1 & 0x08;
    const bool hasColor = flags1 & 0x04;
    const bool hasMaxLength = flags1 & 0x02;
    const bool hasFont = flags1 & 0x01;
    const bool hasFontClass = flags2 & 0x80;
    text.autoSize = flags2 & 0x40;
    text.hasLayout = flags2 & 0x20;
    text.noSelect = flags2 & 0x10;
    text.border = flags2 & 0x08;
    text.wasStatic = flags2 & 0x04;
    text.html = flags2 & 0x02;
    text.useOutlines = flags2 & 0x01;
    if (hasFont)
        text.fontId = reader.u16();
    if (hasFontClass)
        text.fontClass = reader.cString();
    if (hasFont || hasFontClass)
        text.fontHeight = reader.u16();
    if (hasColor)
        text.textColor = readRgba(reader);
    if (hasMaxLength)
        text.maxLength = reader.u16();
    if (text.hasLayout) {
        text.align = static_cast<TextAlign>(std::min<uint8_t>(reader.u8(), 3));
        text.leftMargin = reader.u16();
        text.rightMargin = reader.u16();
        text.indent = reader.u16();
        text.leading = reader.s16();
    }
    text.variableName = reader.cString();
    if (hasText)
        text.initialText = reader.cString();
    return text;
}

} // namespace player::swf
