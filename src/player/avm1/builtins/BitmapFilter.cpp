#include "Builtins.h"
#include "FilterClasses.h"
#include "FilterObject.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

void installFilters(Machine& machine)
{
    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    if (!flash)
        return;
    Object* package = machine.makeObject();
    flash->define(QStringLiteral("filters"), Value(package));

    // BitmapFilter itself makes objects with no settings; its clone() copies any filter and
    // gives nothing for a bare BitmapFilter.
    Object* basePrototype = machine.makeObject();
    machine.prototypes().filters[static_cast<size_t>(FilterKind::BitmapFilter)] = basePrototype;
    auto construct = [basePrototype](Machine& machine, Object* self, const Arguments&) -> Value {
        Object* prototype = self && self->prototype() ? self->prototype() : basePrototype;
        return Value(machine.make<FilterObject>(prototype, FilterKind::BitmapFilter));
    };
    FunctionObject* constructor = defineClass(machine, QString(), basePrototype, construct, construct);
    package->define(QStringLiteral("BitmapFilter"), Value(constructor));
    // Flash lists clone() in for..in over a filter, so it is not hidden.
    machine.defineMethod(
        basePrototype, QStringLiteral("clone"),
        [](Machine& machine, Object* self, const Arguments&) {
            auto* filter = dynamic_cast<FilterObject*>(self);
            if (!filter || filter->filterKind() == FilterKind::BitmapFilter)
                return Value();
            return Value(cloneFilterObject(machine, *filter));
        },
        0);

    installBevelFilter(machine, package, basePrototype);
    installBlurFilter(machine, package, basePrototype);
    installMatrixFilters(machine, package, basePrototype);
    installDisplacementMapFilter(machine, package, basePrototype);
    installShadowFilters(machine, package, basePrototype);
    installGradientFilters(machine, package, basePrototype);
    installDisplayFilters(machine);
    installBitmapDataFilters(machine);
}

} // namespace player::avm1::builtins
