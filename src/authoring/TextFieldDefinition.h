#pragma once

#include "SwfRecords.h"

#include <QByteArray>

#include <cstdint>
#include <string>

namespace authoring {

// A dynamic text field drawn with a device font (DefineEditText).
struct TextFieldDefinition {
    Rect bounds;
    uint16_t fontId = 0;     // a device font made by deviceFontTagBody()
    uint16_t fontHeight = 240; // twips
    Rgba color;
    std::string variableName; // the field shows this variable's value
    std::string initialText;
    bool multiline = false;
    bool wordWrap = false;
    bool readOnly = true;
    bool selectable = false;
    bool border = false;
    bool html = false;
    enum class Align : uint8_t { Left, Right, Center, Justify } align = Align::Left;

    QByteArray tagBody(uint16_t characterId) const;
};

// DefineFont2 naming a device font ("_sans", "_serif", "_typewriter" or a system font) with no
// glyph outlines of its own.
QByteArray deviceFontTagBody(uint16_t fontId, const std::string& fontName, bool bold = false, bool italic = false);

} // namespace authoring
