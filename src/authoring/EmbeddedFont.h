#pragma once

#include "ShapeBuilder.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace authoring {

// A font whose glyph outlines travel in the movie (DefineFont2 with layout), for text fields
// that set embedFonts. Outlines and metrics are in units of the 1024-unit em square, y down,
// the baseline at 0.
struct EmbeddedFont {
    struct Glyph {
        uint16_t code = 0;
        Path outline;
        uint16_t advance = 1024;
    };
    std::string name;
    bool bold = false;
    bool italic = false;
    uint16_t ascent = 1024;
    uint16_t descent = 0;
    std::vector<Glyph> glyphs; // in code order

    QByteArray tagBody(uint16_t fontId) const;
};

} // namespace authoring
