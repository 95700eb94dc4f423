#pragma once

#include <QColor>
#include <cstdint>

namespace tools {

// A colour as the program stores it in settings and hands it between windows: a 32-bit value
// with red in the lowest byte, then green, then blue (0x00BBGGRR). A negative value whose low
// part (the value without its top bit) is below 25 refers to one of the 25 system colours.
using ColourReference = std::int32_t;

ColourReference toColourReference(const QColor& colour);
QColor toColour(ColourReference reference);

// The system colours 0 (scroll bar) to 24 (tooltip background). Linux has no such table, so
// these are the classic desktop's defaults, the same on every machine. Any other index gives 0.
ColourReference systemColour(int index);

// True for a system colour reference (top bit set, low part below 25).
bool isSystemColourReference(ColourReference value);

// A system colour reference as the colour it stands for; anything else unchanged.
ColourReference resolveSystemColour(ColourReference value);

} // namespace tools
