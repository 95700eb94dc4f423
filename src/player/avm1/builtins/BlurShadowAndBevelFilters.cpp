#include "FilterClasses.h"
#include "FilterProperties.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

void installBlurFilter(Machine& machine, Object* package, Object* basePrototype)
{
    defineFilterClass(machine, package, basePrototype,
                      {"BlurFilter",
                       FilterKind::Blur,
                       {blurProperty("blurX", &swf::Filter::blurX), blurProperty("blurY", &swf::Filter::blurY), qualityProperty()},
                       {"blurX", "blurY", "quality"},
                       {}});
}

void installShadowFilters(Machine& machine, Object* package, Object* basePrototype)
{
    defineFilterClass(machine, package, basePrototype,
                      {"GlowFilter",
                       FilterKind::Glow,
                       {colorProperty("color", &swf::Filter::color), alphaProperty("alpha", &swf::Filter::color), qualityProperty(),
                        flagProperty("inner", &swf::Filter::inner), flagProperty("knockout", &swf::Filter::knockout),
                        blurProperty("blurX", &swf::Filter::blurX), blurProperty("blurY", &swf::Filter::blurY), strengthProperty(false)},
                       {"color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout"},
                       {}});

    // hideObject is the file's "composite source" flag turned round.
    FilterProperty hideObject {"hideObject", [](Machine&, FilterObject& filter) { return Value(!filter.settings().compositeSource); },
                               [](Machine& machine, FilterObject& filter, const Value& value) {
                                   filter.settings().compositeSource = !machine.toBoolean(value);
                               }};
    defineFilterClass(machine, package, basePrototype,
                      {"DropShadowFilter",
                       FilterKind::DropShadow,
                       {distanceProperty(), angleProperty(), colorProperty("color", &swf::Filter::color),
                        alphaProperty("alpha", &swf::Filter::color), qualityProperty(), flagProperty("inner", &swf::Filter::inner),
                        flagProperty("knockout", &swf::Filter::knockout), blurProperty("blurX", &swf::Filter::blurX),
                        blurProperty("blurY", &swf::Filter::blurY), strengthProperty(false), hideObject},
                       {"distance", "angle", "color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout", "hideObject"},
                       {}});
}

void installBevelFilter(Machine& machine, Object* package, Object* basePrototype)
{
    // The file's bevel keeps the shadow colour in the field other filters use for their colour.
    defineFilterClass(machine, package, basePrototype,
                      {"BevelFilter",
                       FilterKind::Bevel,
                       {distanceProperty(), angleProperty(), colorProperty("highlightColor", &swf::Filter::highlightColor),
                        alphaProperty("highlightAlpha", &swf::Filter::highlightColor), colorProperty("shadowColor", &swf::Filter::color),
                        alphaProperty("shadowAlpha", &swf::Filter::color), qualityProperty(), strengthProperty(false),
                        flagProperty("knockout", &swf::Filter::knockout), blurProperty("blurX", &swf::Filter::blurX),
                        blurProperty("blurY", &swf::Filter::blurY), typeProperty()},
                       {"distance", "angle", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "blurX", "blurY",
                        "strength", "quality", "type", "knockout"},
                       {}});
}

} // namespace player::avm1::builtins
