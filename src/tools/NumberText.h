#pragma once

#include <QString>
#include <optional>

namespace tools {

// A number brought to the nearest integer, a half going to the even neighbour (2.5 is 2, 3.5
// is 4), as the program rounds everywhere.
double roundHalfEven(double value);

// The integer a settings text starts with, as the program reads its stored numbers: "12abc" is
// 12, text without a number is 0, values beyond 32 bits are clamped.
int leadingInteger(const QString& text);

// Text that is a number as a whole (blanks around it allowed, a fraction rounded half to even),
// or nothing when it is not a number or does not fit a 32-bit integer.
std::optional<int> wholeNumber(const QString& text);

} // namespace tools
