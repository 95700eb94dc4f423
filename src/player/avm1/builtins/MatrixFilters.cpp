#include "FilterClasses.h"
#include "FilterProperties.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace player::avm1::builtins {

namespace {

using filter_values::listElement;
using filter_values::listLength;

constexpr size_t ColorMatrixSize = 20;
constexpr int MaximumConvolutionSide = 15;

Value numberList(Machine& machine, const std::vector<float>& values)
{
    std::vector<Value> elements;
    elements.reserve(values.size());
    for (float value : values)
        elements.emplace_back(double(value));
    return Value(machine.makeArray(std::move(elements)));
}

// A colour matrix always has twenty entries: what the list lacks becomes NaN, what it has
// beyond twenty is dropped. null and undefined leave the matrix as it is.
void setColorMatrix(Machine& machine, FilterObject& filter, const Value& value)
{
    if (value.isNullish())
        return;
    std::vector<float>& matrix = filter.settings().matrix;
    matrix.assign(ColorMatrixSize, 0.0f);
    for (size_t index = 0; index < ColorMatrixSize; ++index)
        matrix[index] = static_cast<float>(machine.toNumber(listElement(machine, value, index)));
}

// A convolution matrix never holds fewer entries than its sides make; it may hold more.
void padConvolutionMatrix(swf::Filter& settings)
{
    const size_t size = static_cast<size_t>(settings.matrixX) * static_cast<size_t>(settings.matrixY);
    if (settings.convolutionMatrix.size() < size)
        settings.convolutionMatrix.resize(size, 0.0f);
}

void setConvolutionMatrix(Machine& machine, FilterObject& filter, const Value& value)
{
    if (value.isNullish())
        return;
    // Texts count as lists too: they have a length, but no elements, so they give NaNs.
    const size_t length = listLength(machine, value);
    std::vector<float>& matrix = filter.settings().convolutionMatrix;
    matrix.assign(length, 0.0f);
    for (size_t index = 0; index < length; ++index)
        matrix[index] = static_cast<float>(machine.toNumber(listElement(machine, value, index)));
    padConvolutionMatrix(filter.settings());
}

FilterProperty sideProperty(const char* name, int swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(double(filter.settings().*field)); },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                filter.settings().*field = std::clamp(machine.toInt32(value), 0, MaximumConvolutionSide);
                padConvolutionMatrix(filter.settings());
            }};
}

FilterProperty floatProperty(const char* name, float swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(double(filter.settings().*field)); },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                filter.settings().*field = static_cast<float>(machine.toNumber(value));
            }};
}

// Without a divisor argument the divisor is the matrix's sum; given a colour but no alpha,
// the colour is opaque.
void finishConvolution(Machine&, FilterObject& filter, const Arguments& arguments)
{
    swf::Filter& settings = filter.settings();
    if (!arguments.empty() && arguments.size() < 4)
        settings.divisor = std::accumulate(settings.convolutionMatrix.begin(), settings.convolutionMatrix.end(), 0.0f);
    if (arguments.size() == 8)
        settings.defaultColor.a = 255;
}

} // namespace

void installMatrixFilters(Machine& machine, Object* package, Object* basePrototype)
{
    FilterProperty colorMatrix {"matrix", [](Machine& machine, FilterObject& filter) { return numberList(machine, filter.settings().matrix); },
                                setColorMatrix};
    defineFilterClass(machine, package, basePrototype, {"ColorMatrixFilter", FilterKind::ColorMatrix, {colorMatrix}, {"matrix"}, {}});

    FilterProperty convolutionMatrix {"matrix",
                                      [](Machine& machine, FilterObject& filter) {
                                          return numberList(machine, filter.settings().convolutionMatrix);
                                      },
                                      setConvolutionMatrix};
    defineFilterClass(machine, package, basePrototype,
                      {"ConvolutionFilter",
                       FilterKind::Convolution,
                       {sideProperty("matrixX", &swf::Filter::matrixX), sideProperty("matrixY", &swf::Filter::matrixY), convolutionMatrix,
                        floatProperty("divisor", &swf::Filter::divisor), floatProperty("bias", &swf::Filter::bias),
                        flagProperty("preserveAlpha", &swf::Filter::preserveAlpha), flagProperty("clamp", &swf::Filter::clamp),
                        colorProperty("color", &swf::Filter::defaultColor), alphaProperty("alpha", &swf::Filter::defaultColor)},
                       {"matrixX", "matrixY", "matrix", "divisor", "bias", "preserveAlpha", "clamp", "color", "alpha"},
                       finishConvolution});
}

} // namespace player::avm1::builtins
