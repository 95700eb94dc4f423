#pragma once

#include "player/swf/Geometry.h"

#include <QColor>

#include <cstdint>

namespace player::render {

// The colour text glyphs are painted with. Flash keeps glyph outlines white and tints them with
// the text colour as one more colour transform: each channel c becomes the 8.8 multiplier
// c * 256 / 255, cut to a whole step, under the transform of the object drawn. White through it
// keeps 0 and 255 but comes out one level darker for every channel in between (0x99 paints as
// 0x98).
QColor glyphColor(const swf::ColorTransform& transform, uint32_t rgb);

} // namespace player::render
