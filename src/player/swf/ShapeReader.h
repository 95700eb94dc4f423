#pragma once

#include "ByteReader.h"
#include "Shape.h"

namespace player::swf {

// DefineShape/2/3/4 bodies (after the tag header), DefineMorphShape/2 bodies, and the style-less
// shapes of font glyphs. Each returns what it could read; reader.overrun() tells whether the
// record was cut short.
Shape readShape(ByteReader& reader, int version);
MorphShape readMorphShape(ByteReader& reader, int version);
// A glyph outline: fill and line index bits followed by records, coordinates made absolute.
Shape readGlyphShape(ByteReader& reader);

} // namespace player::swf
