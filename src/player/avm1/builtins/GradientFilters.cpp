#include "FilterClasses.h"
#include "FilterProperties.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

using filter_values::listElement;
using filter_values::listLength;

template<class Read>
Value stopList(Machine& machine, FilterObject& filter, Read read)
{
    std::vector<Value> values;
    for (size_t index = 0; index < filter.gradientCount(); ++index)
        values.push_back(read(filter.gradientStops()[index]));
    return Value(machine.makeArray(std::move(values)));
}

// colors sets how many stops there are (at most sixteen); each stop keeps its alpha and ratio.
void setColors(Machine& machine, FilterObject& filter, const Value& value)
{
    const size_t count = std::min(listLength(machine, value), FilterObject::MaximumGradientStops);
    filter.setGradientCount(count);
    for (size_t index = 0; index < count; ++index)
        filter.gradientStops()[index].rgb = filter_values::rgbOf(machine, listElement(machine, value, index));
}

// alphas never changes the count; stops it does not reach become opaque. Unlike the single
// colour filters these alphas are rounded (0.5 is 128/255).
void setAlphas(Machine& machine, FilterObject& filter, const Value& value)
{
    if (!value.isObject())
        return;
    const size_t length = listLength(machine, value);
    for (size_t index = 0; index < filter.gradientCount(); ++index) {
        uint8_t alpha = 255;
        if (index < length) {
            const double fraction = machine.toNumber(listElement(machine, value, index));
            if (std::isfinite(fraction))
                alpha = static_cast<uint8_t>(std::clamp(std::floor(fraction * 255.0 + 0.5), 0.0, 255.0));
        }
        filter.gradientStops()[index].alpha = alpha;
    }
}

// ratios can shorten the gradient to its own length but never lengthen it.
void setRatios(Machine& machine, FilterObject& filter, const Value& value)
{
    if (!value.isObject())
        return;
    filter.setGradientCount(std::min(listLength(machine, value), filter.gradientCount()));
    for (size_t index = 0; index < filter.gradientCount(); ++index)
        filter.gradientStops()[index].ratio = static_cast<uint8_t>(std::clamp(machine.toInt32(listElement(machine, value, index)), 0, 255));
}

FilterClass gradientClass(const char* name, FilterKind kind)
{
    FilterProperty colors {"colors",
                           [](Machine& machine, FilterObject& filter) {
                               return stopList(machine, filter, [](const GradientStop& stop) { return Value(double(stop.rgb)); });
                           },
                           setColors};
    FilterProperty alphas {"alphas",
                           [](Machine& machine, FilterObject& filter) {
                               return stopList(machine, filter, [](const GradientStop& stop) { return Value(stop.alpha / 255.0); });
                           },
                           setAlphas};
    FilterProperty ratios {"ratios",
                           [](Machine& machine, FilterObject& filter) {
                               return stopList(machine, filter, [](const GradientStop& stop) { return Value(double(stop.ratio)); });
                           },
                           setRatios};
    return {name,
            kind,
            {distanceProperty(), angleProperty(), colors, alphas, ratios, blurProperty("blurX", &swf::Filter::blurX),
             blurProperty("blurY", &swf::Filter::blurY), qualityProperty(), strengthProperty(true),
             flagProperty("knockout", &swf::Filter::knockout), typeProperty()},
            {"distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "strength", "quality", "type", "knockout"},
            {}};
}

} // namespace

void installGradientFilters(Machine& machine, Object* package, Object* basePrototype)
{
    defineFilterClass(machine, package, basePrototype, gradientClass("GradientGlowFilter", FilterKind::GradientGlow));
    defineFilterClass(machine, package, basePrototype, gradientClass("GradientBevelFilter", FilterKind::GradientBevel));
}

} // namespace player::avm1::builtins
