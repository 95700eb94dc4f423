#include "FilterProperties.h"

#include "Builtins.h"

#include "player/avm1/Machine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace player::avm1::builtins {

namespace {

// The filter a property works on: self, or the native part super() gave it.
FilterObject* filterOf(Machine& machine, Object* self, FilterKind kind)
{
    auto* filter = dynamic_cast<FilterObject*>(machine.nativePartOf(self));
    return filter && filter->filterKind() == kind ? filter : nullptr;
}

const FilterProperty* findProperty(const FilterClass& definition, const char* name)
{
    for (const FilterProperty& property : definition.properties) {
        if (qstrcmp(property.name, name) == 0)
            return &property;
    }
    return nullptr;
}

} // namespace

void defineFilterClass(Machine& machine, Object* package, Object* basePrototype, const FilterClass& definition)
{
    Object* prototype = machine.make<Object>(basePrototype);
    machine.prototypes().filters[static_cast<size_t>(definition.kind)] = prototype;
    const FilterKind kind = definition.kind;
    for (const FilterProperty& property : definition.properties) {
        FilterGetter get = property.get;
        FilterSetter set = property.set;
        FunctionObject* getter = machine.makeNative([kind, get](Machine& machine, Object* self, const Arguments&) {
            FilterObject* filter = filterOf(machine, self, kind);
            return filter ? get(machine, *filter) : Value();
        });
        FunctionObject* setter = machine.makeNative([kind, set](Machine& machine, Object* self, const Arguments& arguments) {
            if (FilterObject* filter = filterOf(machine, self, kind))
                set(machine, *filter, argument(arguments, 0));
            return Value();
        });
        prototype->defineVirtual(QString::fromLatin1(property.name), getter, setter);
    }

    std::vector<FilterSetter> argumentSetters;
    for (const char* name : definition.constructorArguments) {
        const FilterProperty* property = findProperty(definition, name);
        Q_ASSERT(property);
        argumentSetters.push_back(property ? property->set : FilterSetter());
    }
    auto finish = definition.finishConstruction;
    auto construct = [kind, prototype, argumentSetters, finish](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        // Called with new the instance's prototype is the class's (or a subclass's); a plain
        // call makes an object of the class itself.
        Object* instancePrototype = self && self->prototype() ? self->prototype() : prototype;
        auto* filter = machine.make<FilterObject>(instancePrototype, kind);
        for (size_t index = 0; index < argumentSetters.size() && index < arguments.size(); ++index) {
            if (argumentSetters[index])
                argumentSetters[index](machine, *filter, arguments[index]);
        }
        if (finish)
            finish(machine, *filter, arguments);
        return Value(filter);
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    package->define(QString::fromLatin1(definition.name), Value(constructor));
}

FilterProperty distanceProperty()
{
    return {"distance", [](Machine&, FilterObject& filter) { return Value(filter.settings().distance); },
            [](Machine& machine, FilterObject& filter, const Value& value) { filter.settings().distance = machine.toNumber(value); }};
}

FilterProperty angleProperty()
{
    // Scripts give degrees, which Flash reduces modulo 360 keeping the sign (-1 stays -1), and
    // keeps as radians.
    return {"angle", [](Machine&, FilterObject& filter) { return Value(filter.settings().angle * 180.0 / std::numbers::pi); },
            [](Machine& machine, FilterObject& filter, const Value& value) {
                filter.settings().angle = std::fmod(machine.toNumber(value), 360.0) * std::numbers::pi / 180.0;
            }};
}

FilterProperty blurProperty(const char* name, double swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(filter.settings().*field); },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                const double size = machine.toNumber(value);
                filter.settings().*field = std::isnan(size) ? 0.0 : std::clamp(size, 0.0, 255.0);
            }};
}

FilterProperty qualityProperty()
{
    return {"quality", [](Machine&, FilterObject& filter) { return Value(double(filter.settings().passes)); },
            [](Machine& machine, FilterObject& filter, const Value& value) {
                filter.settings().passes = std::clamp(machine.toInt32(value), 0, 15);
            }};
}

FilterProperty strengthProperty(bool fixedPoint)
{
    return {"strength", [](Machine&, FilterObject& filter) { return Value(filter.settings().strength); },
            [fixedPoint](Machine& machine, FilterObject& filter, const Value& value) {
                const double strength = machine.toNumber(value);
                double kept = std::isnan(strength) ? 0.0 : std::clamp(strength, 0.0, 255.0);
                if (fixedPoint)
                    kept = std::floor(kept * 256.0) / 256.0;
                filter.settings().strength = kept;
            }};
}

FilterProperty flagProperty(const char* name, bool swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value(filter.settings().*field); },
            [field](Machine& machine, FilterObject& filter, const Value& value) { filter.settings().*field = machine.toBoolean(value); }};
}

FilterProperty colorProperty(const char* name, swf::Rgba swf::Filter::*field)
{
    return {name,
            [field](Machine&, FilterObject& filter) {
                const swf::Rgba& color = filter.settings().*field;
                return Value(double((uint32_t(color.r) << 16) | (uint32_t(color.g) << 8) | color.b));
            },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                const uint32_t rgb = filter_values::rgbOf(machine, value);
                swf::Rgba& color = filter.settings().*field;
                color.r = static_cast<uint8_t>(rgb >> 16);
                color.g = static_cast<uint8_t>(rgb >> 8);
                color.b = static_cast<uint8_t>(rgb);
            }};
}

FilterProperty alphaProperty(const char* name, swf::Rgba swf::Filter::*field)
{
    return {name, [field](Machine&, FilterObject& filter) { return Value((filter.settings().*field).a / 255.0); },
            [field](Machine& machine, FilterObject& filter, const Value& value) {
                (filter.settings().*field).a = filter_values::alphaByte(machine.toNumber(value));
            }};
}

FilterProperty typeProperty()
{
    return {"type",
            [](Machine&, FilterObject& filter) {
                const swf::Filter& settings = filter.settings();
                if (settings.onTop)
                    return Value(QStringLiteral("full"));
                return Value(settings.inner ? QStringLiteral("inner") : QStringLiteral("outer"));
            },
            [](Machine& machine, FilterObject& filter, const Value& value) {
                // Flash matches the names exactly; anything else, "INNER" included, is "full".
                const QString type = machine.toString(value);
                filter.settings().inner = type == QLatin1String("inner");
                filter.settings().onTop = type != QLatin1String("inner") && type != QLatin1String("outer");
            }};
}

namespace filter_values {

uint8_t alphaByte(double fraction)
{
    if (std::isnan(fraction))
        return 0;
    return static_cast<uint8_t>(std::clamp(fraction, 0.0, 1.0) * 255.0);
}

uint32_t rgbOf(Machine& machine, const Value& value)
{
    return static_cast<uint32_t>(machine.toInt32(value)) & 0xFFFFFFu;
}

size_t listLength(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return 0;
    const double length = machine.toNumber(machine.getMember(value, QStringLiteral("length")));
    if (!(length > 0))
        return 0;
    // Lists longer than any array could be are taken as empty rather than read for ever.
    if (length > double(Machine::maximumArrayLength))
        return 0;
    return static_cast<size_t>(length);
}

Value listElement(Machine& machine, const Value& value, size_t index)
{
    return machine.getMember(value, QString::number(index));
}

} // namespace filter_values

} // namespace player::avm1::builtins
