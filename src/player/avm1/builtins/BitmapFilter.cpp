#include "Builtins.h"
#include "Declaration.h"
#include "FilterClasses.h"
#include "FilterObject.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

// BitmapFilter itself makes objects with no settings.
Value constructBitmapFilter(Machine& machine, Object* self, const Arguments&)
{
    Object* basePrototype = machine.prototypes().filters[static_cast<size_t>(FilterKind::BitmapFilter)];
    Object* prototype = self && self->prototype() ? self->prototype() : basePrototype;
    return Value(machine.make<FilterObject>(prototype, FilterKind::BitmapFilter));
}

// clone() copies any filter (an object's native part too) and gives nothing for a bare
// BitmapFilter.
Value bitmapFilterClone(Machine& machine, Object* self, const Arguments&)
{
    auto* filter = dynamic_cast<FilterObject*>(machine.nativePartOf(self));
    if (!filter || filter->filterKind() == FilterKind::BitmapFilter)
        return Value();
    return Value(cloneFilterObject(machine, *filter));
}

// Flash lists clone() in for..in over a filter, so it is not hidden.
constexpr Declaration basePrototypeDeclarations[] = {
    method("clone", bitmapFilterClone, 0),
};

} // namespace

void installFilters(Machine& machine)
{
    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    if (!flash)
        return;
    Object* package = machine.makeObject();
    flash->define(QStringLiteral("filters"), Value(package));

    Object* basePrototype = machine.makeObject();
    machine.prototypes().filters[static_cast<size_t>(FilterKind::BitmapFilter)] = basePrototype;
    FunctionObject* constructor = defineClass(machine, QString(), basePrototype, constructBitmapFilter, constructBitmapFilter);
    package->define(QStringLiteral("BitmapFilter"), Value(constructor));
    installDeclarations(machine, basePrototype, basePrototypeDeclarations);

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
