#pragma once

#include "player/swf/Geometry.h"

namespace player::display {

// Rectangle helpers for bounds in twips. An all-zero rectangle stands for "nothing", as the
// bounds of an empty clip.
bool isEmptyRect(const swf::Rect& rect);
swf::Rect unitedRect(const swf::Rect& a, const swf::Rect& b);
// The axis-aligned box around a rectangle through a matrix.
swf::Rect transformedRect(const swf::Matrix& matrix, const swf::Rect& rect);
swf::Matrix multiplied(const swf::Matrix& outer, const swf::Matrix& inner);

} // namespace player::display
