#pragma once

#include <QString>
#include <cstdint>

namespace player::avm1 {

// Conversions between numbers and text as Flash Player's ActionScript 1/2 makes them.
namespace number_text {

// 15 significant digits; exponent form below 1e-5 and from 1e15 on ("1e+15", "1.5e-7").
QString toText(double number);

// Room for the text of any whole number within 32 bits: a sign and ten digits.
using WholeNumberBuffer = char16_t[11];
// The text toText gives a whole number within 32 bits (zero of either sign is "0"), written
// into the buffer without making a string; its length, or 0 for any other number.
int wholeNumberText(double number, WholeNumberBuffer& buffer);

// Number(text) for a movie of the given SWF version: strict about trailing characters from
// SWF 5, "0x" hexadecimal and leading-zero octal from SWF 6, and 0 instead of NaN in SWF 4.
double fromText(const QString& text, int swfVersion);

// parseFloat: leading blanks skipped, trailing characters ignored.
double parseFloatPrefix(const QString& text);

// Number.prototype.toString(radix) for radix 2..36 other than 10.
QString toTextInRadix(double number, int radix);

// ECMAScript ToInt32 and ToUint32: wrap modulo 2^32, NaN and infinities become 0.
int32_t toInt32(double number);
uint32_t toUint32(double number);
// The integer Flash stores for a setting such as a sound's volume: the fraction is dropped, and
// what does not fit in 32 bits, NaN and the infinities included, becomes the smallest integer.
int32_t toTruncatedInt32(double number);

} // namespace number_text

} // namespace player::avm1
