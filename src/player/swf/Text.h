#pragma once

#include "Geometry.h"
#include "Shape.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player::swf {

// DefineFont/2/3 with DefineFontInfo/2 and DefineFontAlignZones merged in. Glyph outlines are
// shapes without styles (fill style 1 is the glyph); DefineFont3 glyphs are 20 times finer.
struct Font {
    uint16_t id = 0;
    int version = 1;
    std::string name; // raw bytes as stored; UTF-8 from SWF 6 on
    bool bold = false;
    bool italic = false;
    bool smallText = false;
    bool shiftJis = false;
    bool ansi = false;
    bool wideCodes = false;
    uint8_t languageCode = 0;
    std::vector<Shape> glyphs;     // records only
    std::vector<uint16_t> codes;   // one per glyph, from the font or from DefineFontInfo
    bool hasLayout = false;
    int16_t ascent = 0;
    int16_t descent = 0;
    int16_t leading = 0;
    // Flash reads advances as unsigned, whatever the format says: a wide glyph stays wide.
    std::vector<uint16_t> advances;
    std::vector<Rect> glyphBounds;
    struct Kerning {
        uint16_t left = 0;
        uint16_t right = 0;
        int16_t adjustment = 0;
        bool operator==(const Kerning&) const = default;
    };
    std::vector<Kerning> kerning;
    bool operator==(const Font&) const = default;
};

struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0;
    bool operator==(const GlyphEntry&) const = default;
};

struct TextRecord {
    std::optional<uint16_t> fontId;
    std::optional<Rgba> color;
    std::optional<int32_t> xOffset;
    std::optional<int32_t> yOffset;
    std::optional<uint16_t> height; // twips
    std::vector<GlyphEntry> glyphs;
    bool operator==(const TextRecord&) const = default;
};

// DefineText/2
struct StaticText {
    uint16_t id = 0;
    int version = 1;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    bool operator==(const StaticText&) const = default;
};

enum class TextAlign : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

// DefineEditText
// How a text is drawn from SWF 8 on (CSMTextSettings): the anti-aliasing (0 normal,
// 1 advanced), the grid fitting (0 none, 1 pixel, 2 subpixel) and the advanced renderer's
// thickness and sharpness.
struct TextRenderingSettings {
    uint8_t antiAliasing = 0;
    uint8_t gridFit = 1;
    float thickness = 0;
    float sharpness = 0;
    bool operator==(const TextRenderingSettings&) const = default;
};

struct EditText {
    uint16_t id = 0;
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false; // embedded font glyphs
    std::optional<uint16_t> fontId;
    std::string fontClass;
    uint16_t fontHeight = 240; // twips
    std::optional<Rgba> textColor;
    std::optional<uint16_t> maxLength;
    TextAlign align = TextAlign::Left;
    uint16_t leftMargin = 0;
    uint16_t rightMargin = 0;
    uint16_t indent = 0;
    int16_t leading = 0;
    bool hasLayout = false;
    std::string variableName;
    std::string initialText;
    std::optional<TextRenderingSettings> renderingSettings;
    bool operator==(const EditText&) const = default;
};

} // namespace player::swf
