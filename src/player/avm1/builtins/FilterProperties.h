#pragma once

#include "FilterObject.h"

#include "player/avm1/FunctionObject.h"

#include <functional>
#include <vector>

namespace player::avm1::builtins {

// The shape of the flash.filters classes: each keeps its settings in a FilterObject and shows
// them as getter/setter properties on its prototype, which inherits BitmapFilter's clone().
using FilterGetter = std::function<Value(Machine&, FilterObject&)>;
using FilterSetter = std::function<void(Machine&, FilterObject&, const Value&)>;

struct FilterProperty {
    const char* name;
    FilterGetter get;
    FilterSetter set;
};

struct FilterClass {
    const char* name;
    FilterKind kind;
    // In the order Flash lists them (for..in shows them in this order, last made first).
    std::vector<FilterProperty> properties;
    // The properties the constructor's arguments set, in argument order. Arguments not given
    // leave the defaults.
    std::vector<const char*> constructorArguments;
    // Runs after the arguments are set, for constructors with rules of their own.
    std::function<void(Machine&, FilterObject&, const Arguments&)> finishConstruction;
};

// Makes the class's constructor and prototype, puts the constructor in the package and records
// the prototype on the machine for objects made natively (clone(), clips' filter lists).
void defineFilterClass(Machine& machine, Object* package, Object* basePrototype, const FilterClass& definition);

// Properties most classes share, with Flash's clamping.
FilterProperty distanceProperty();
FilterProperty angleProperty();
FilterProperty blurProperty(const char* name, double swf::Filter::*field);
FilterProperty qualityProperty();
// Strength is a double clamped to 0..255, or, for the gradient filters, 8.8 fixed point.
FilterProperty strengthProperty(bool fixedPoint);
FilterProperty flagProperty(const char* name, bool swf::Filter::*field);
// A colour's RGB part and its alpha as a fraction, kept in one byte.
FilterProperty colorProperty(const char* name, swf::Rgba swf::Filter::*field);
FilterProperty alphaProperty(const char* name, swf::Rgba swf::Filter::*field);
// "inner", "outer" or "full" from the inner and onTop flags; other texts mean "full".
FilterProperty typeProperty();

namespace filter_values {

// Flash keeps a filter alpha in a byte, truncating (0.5 is 127/255).
uint8_t alphaByte(double fraction);
uint32_t rgbOf(Machine& machine, const Value& value);
// The length of an array-like value (0 for what has none) and its elements.
size_t listLength(Machine& machine, const Value& value);
Value listElement(Machine& machine, const Value& value, size_t index);

} // namespace filter_values

} // namespace player::avm1::builtins
