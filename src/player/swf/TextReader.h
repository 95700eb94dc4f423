#pragma once

#include "ByteReader.h"
#include "Text.h"

namespace player::swf {

// DefineFont (version 1) and DefineFont2/3 (version 2 or 3) tag bodies.
Font readFont(ByteReader& reader, int version);
// DefineFontInfo/2 merged into the font it names (the caller finds the font by the id it peeks).
void readFontInfo(ByteReader& reader, int version, Font& font);
StaticText readStaticText(ByteReader& reader, int version);
EditText readEditText(ByteReader& reader);

} // namespace player::swf
