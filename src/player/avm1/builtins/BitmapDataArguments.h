#pragma once

#include "player/avm1/Value.h"

#include <QPoint>
#include <QRect>
#include <optional>
#include <variant>

namespace player::display {
class BitmapPixels;
}

namespace player::avm1 {

class Machine;
class Object;

namespace builtins::bitmap_arguments {

// Flash's pixel methods answer with numbers rather than failing: -1 when arguments are missing
// or the bitmap is disposed, and for those taking a second bitmap -2 when it is none, -3 when it
// is disposed and -4 when the rectangle lacks one of its four properties.
constexpr double MissingArguments = -1;
constexpr double NoSourceBitmap = -2;
constexpr double DisposedSource = -3;
constexpr double BadSourceRectangle = -4;

// The pixels of the bitmap a method runs on; null when disposed or no bitmap.
display::BitmapPixels* pixelsOf(Object* self);

// The source bitmap of a copy, or the number the method answers with instead.
std::variant<display::BitmapPixels*, double> sourceOf(const Value& value);

// A flash.geom.Rectangle (or any object with x, y, width and height, its own or inherited) in
// whole pixels; null when the value is no object or lacks one of the four.
std::optional<QRect> rectangleOf(Machine& machine, const Value& value);

// x and y of any object in whole pixels (missing ones give 0); null when the value is no object.
std::optional<QPoint> pointOf(Machine& machine, const Value& value);

// A new flash.geom.Rectangle.
Object* rectangleObject(Machine& machine, const QRect& rect);

uint32_t colorOf(Machine& machine, const Value& value);

} // namespace builtins::bitmap_arguments

} // namespace player::avm1
