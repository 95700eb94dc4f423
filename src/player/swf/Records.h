#pragma once

#include "ByteReader.h"
#include "Filter.h"
#include "Geometry.h"

#include <vector>

namespace player::swf {

// The small records shared by many tags.
Rect readRect(ByteReader& reader);
Matrix readMatrix(ByteReader& reader);
ColorTransform readColorTransform(ByteReader& reader, bool withAlpha);
Rgba readRgb(ByteReader& reader);
Rgba readRgba(ByteReader& reader);
Filter readFilter(ByteReader& reader);
std::vector<Filter> readFilterList(ByteReader& reader);
BlendMode readBlendMode(ByteReader& reader);

} // namespace player::swf
