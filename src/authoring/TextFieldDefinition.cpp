#include "TextFieldDefinition.h"

#include <algorithm>

namespace authoring {

QByteArray TextFieldDefinition::tagBody(uint16_t characterId) const
{
    ByteWriter out;
    out.u16(characterId);
    writeRect(out, bounds);
    const bool hasText = !initialText.empty();
    uint32_t flags = 0x04 | 0x01; // text colour and font are always given
    if (hasText)
        flags |= 0x80;
    if (wordWrap)
        flags |= 0x40;
    if (multiline)
        flags |= 0x20;
    if (readOnly)
        flags |= 0x08;
    out.u8(flags);
    uint32_t moreFlags = 0x20; // layout
    if (!selectable)
        moreFlags |= 0x10;
    if (border)
        moreFlags |= 0x08;
    if (html)
        moreFlags |= 0x02;
    out.u8(moreFlags);
    out.u16(fontId);
    out.u16(fontHeight);
    writeRgba(out, color);
    out.u8(uint8_t(align));
    out.u16(0); // left margin
    out.u16(0); // right margin
    out.u16(0); // indent
    out.i16(0); // leading
    out.string(variableName);
    if (hasText)
        out.string(initialText);
    return out.bytes();
}

QByteArray deviceFontTagBody(uint16_t fontId, const std::string& fontName, bool bold, bool italic)
{
    ByteWriter out;
    out.u16(fontId);
    out.u8((italic ? 0x02u : 0u) | (bold ? 0x01u : 0u));
    out.u8(1); // language: Latin
    const std::string name = fontName.substr(0, 255);
    out.u8(uint32_t(name.size()));
    for (char c : name)
        out.u8(uint8_t(c));
    out.u16(0); // no glyphs
    // Flash's tools still write the code table offset when there are no glyphs; readers that
    // stop at the tag's end do not mind either way.
    out.u16(2);
    return out.bytes();
}

} // namespace authoring
