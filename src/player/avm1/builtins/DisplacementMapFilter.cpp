#include "BitmapDataObject.h"
#include "FilterClasses.h"
#include "FilterProperties.h"

#include "player/avm1/Machine.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace player::avm1::builtins {

namespace {

constexpr double MaximumScale = 65535.0;
// By their number in swf::Filter::displacementMode.
constexpr std::array<const char*, 4> ModeNames = {"wrap", "clamp", "ignore", "color"};

FilterProperty componentProperty(const char* name, int32_t swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(double(filter.settings().*field)); },
            [field](Machine& machine, FilterObject& filter, const Value& value) { filter.settings().*field = machine.toInt32(value); }};
}

FilterProperty scaleProperty(const char* name, double swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(filter.settings().*field); },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                const double scale = machine.toNumber(value);
                filter.settings().*field = std::isnan(scale) ? 0.0 : std::clamp(scale, -MaximumScale, MaximumScale);
            }};
}

Value makePoint(Machine& machine, double x, double y)
{
    Object* point = machine.make<Object>(machine.prototypes().point ? machine.prototypes().point : machine.prototypes().object);
    point->set(machine, QStringLiteral("x"), Value(x));
    point->set(machine, QStringLiteral("y"), Value(y));
    return Value(point);
}

void setMapPoint(Machine& machine, FilterObject& filter, const Value& value)
{
    // A point lacking either coordinate counts as none: the origin.
    const Value x = value.isObject() ? machine.getMember(value, QStringLiteral("x")) : Value();
    const Value y = value.isObject() ? machine.getMember(value, QStringLiteral("y")) : Value();
    const bool whole = !x.isUndefined() && !y.isUndefined();
    filter.settings().mapPointX = whole ? machine.toInt32(x) : 0;
    filter.settings().mapPointY = whole ? machine.toInt32(y) : 0;
}

} // namespace

void installDisplacementMapFilter(Machine& machine, Object* package, Object* basePrototype)
{
    // The map is kept by reference (a later dispose() shows through it); values that are not
    // bitmaps are ignored.
    FilterProperty mapBitmap {"mapBitmap", [](Machine&, FilterObject& filter) { return filter.mapBitmap(); },
                              [](Machine&, FilterObject& filter, const Value& value) {
                                  if (dynamic_cast<BitmapDataObject*>(value.asObject()))
                                      filter.setMapBitmap(value);
                              }};
    // The point is copied in and out in whole pixels: changing the point got does nothing.
    FilterProperty mapPoint {"mapPoint",
                             [](Machine& machine, FilterObject& filter) {
                                 return makePoint(machine, filter.settings().mapPointX, filter.settings().mapPointY);
                             },
                             setMapPoint};
    // Mode names are matched exactly; anything else is "wrap".
    FilterProperty mode {"mode",
                         [](Machine&, FilterObject& filter) {
                             const size_t index = std::min<size_t>(filter.settings().displacementMode, ModeNames.size() - 1);
                             return Value(QString::fromLatin1(ModeNames[index]));
                         },
                         [](Machine& machine, FilterObject& filter, const Value& value) {
                             const QString name = value.isNullish() ? QString() : machine.toString(value);
                             filter.settings().displacementMode = 0;
                             for (size_t index = 0; index < ModeNames.size(); ++index) {
                                 if (name == QLatin1String(ModeNames[index]))
                                     filter.settings().displacementMode = static_cast<uint8_t>(index);
                             }
                         }};
    defineFilterClass(machine, package, basePrototype,
                      {"DisplacementMapFilter",
                       FilterKind::DisplacementMap,
                       {mapBitmap, mapPoint, componentProperty("componentX", &swf::Filter::componentX),
                        componentProperty("componentY", &swf::Filter::componentY), scaleProperty("scaleX", &swf::Filter::scaleX),
                        scaleProperty("scaleY", &swf::Filter::scaleY), mode, colorProperty("color", &swf::Filter::color),
                        alphaProperty("alpha", &swf::Filter::color)},
                       {"mapBitmap", "mapPoint", "componentX", "componentY", "scaleX", "scaleY", "mode", "color", "alpha"},
                       {}});
}

} // namespace player::avm1::builtins
