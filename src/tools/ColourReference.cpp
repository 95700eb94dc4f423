#include "tools/ColourReference.h"

#include <array>

namespace tools {

namespace {

constexpr ColourReference rgb(int red, int green, int blue)
{
    return ColourReference(red | (green << 8) | (blue << 16));
}

// The classic scheme's defaults, in the standard numbering.
constexpr std::array<ColourReference, 25> classicSystemColours{
    rgb(212, 208, 200), // 0 scroll bar
    rgb(58, 110, 165),  // 1 desktop
    rgb(10, 36, 106),   // 2 active caption
    rgb(128, 128, 128), // 3 inactive caption
    rgb(212, 208, 200), // 4 menu
    rgb(255, 255, 255), // 5 window
    rgb(0, 0, 0),       // 6 window frame
    rgb(0, 0, 0),       // 7 menu text
    rgb(0, 0, 0),       // 8 window text
    rgb(255, 255, 255), // 9 caption text
    rgb(212, 208, 200), // 10 active border
    rgb(212, 208, 200), // 11 inactive border
    rgb(128, 128, 128), // 12 application workspace
    rgb(10, 36, 106),   // 13 highlight
    rgb(255, 255, 255), // 14 highlight text
    rgb(212, 208, 200), // 15 button face
    rgb(128, 128, 128), // 16 button shadow
    rgb(128, 128, 128), // 17 grey text
    rgb(0, 0, 0),       // 18 button text
    rgb(212, 208, 200), // 19 inactive caption text
    rgb(255, 255, 255), // 20 button highlight
    rgb(64, 64, 64),    // 21 dark 3D shadow
    rgb(212, 208, 200), // 22 3D light
    rgb(0, 0, 0),       // 23 tooltip text
    rgb(255, 255, 225), // 24 tooltip background
};

} // namespace

ColourReference toColourReference(const QColor& colour)
{
    return rgb(colour.red(), colour.green(), colour.blue());
}

QColor toColour(ColourReference reference)
{
    const auto value = std::uint32_t(reference);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

ColourReference systemColour(int index)
{
    return index >= 0 && index < int(classicSystemColours.size()) ? classicSystemColours[size_t(index)] : 0;
}

bool isSystemColourReference(ColourReference value)
{
    return value < 0 && (std::uint32_t(value) & 0x7FFFFFFFu) < classicSystemColours.size();
}

ColourReference resolveSystemColour(ColourReference value)
{
    return isSystemColourReference(value) ? systemColour(int(std::uint32_t(value) & 0x7FFFFFFFu)) : value;
}

} // namespace tools
