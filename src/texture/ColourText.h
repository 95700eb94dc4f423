#pragma once

#include "tools/ColourReference.h"

#include <QString>
#include <optional>

namespace texture {

// Colours as the templates write them: "0x" followed by six hexadecimal digits in the order red,
// green, blue. The program keeps colours as references, red in the lowest byte (0x00BBGGRR).

// The six digits of a reference, red first, in upper case: 0x0080FF gives "FF8000". A negative
// value contributes its first six hexadecimal digits in the same way.
QString colourDigits(tools::ColourReference colour);

// The reference of six digits written red first: "FF8000" gives 0x0080FF. A shorter text counts
// as padded with leading zeros ("F" is 0x0F0000); characters after the sixth are not read.
// Nothing when one of the six is not a hexadecimal digit.
std::optional<tools::ColourReference> colourFromDigits(const QString& digits);

// The colour text a template receives: "0x" and colourDigits().
QString movieColourText(tools::ColourReference colour);

// The colour of a template's colour text: the text after its first two characters, read by
// colourFromDigits(). Nothing for a missing or short text or one that is not hexadecimal.
std::optional<tools::ColourReference> colourOfMovieText(const std::optional<QString>& text);

} // namespace texture
