#include "Builtins.h"
#include "Declaration.h"
#include "FilterClasses.h"
#include "FilterObject.h"
#include "FilterProperties.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/display/DisplayObject.h"

namespace player::avm1::builtins {

namespace {

display::DisplayObject* displayObjectOfSelf(Object* self)
{
    return displayObjectOfClip(self);
}

// Reading gives new objects each time, so changing one changes nothing on the stage.
Value filtersOf(Machine& machine, const display::DisplayObject& object)
{
    std::vector<Value> elements;
    for (const swf::Filter& filter : object.filters()) {
        if (FilterObject* script = makeFilterObject(machine, filter))
            elements.emplace_back(script);
    }
    return Value(machine.makeArray(std::move(elements)));
}

// Assigning copies the filters as they are now; later changes to the list or the filter
// objects only show after another assignment. Entries that are not filters are skipped.
void setFilters(Machine& machine, display::DisplayObject& object, const Value& value)
{
    std::vector<swf::Filter> filters;
    const size_t length = filter_values::listLength(machine, value);
    for (size_t index = 0; index < length; ++index) {
        auto* filter = dynamic_cast<FilterObject*>(filter_values::listElement(machine, value, index).asObject());
        if (!filter)
            continue;
        if (std::optional<swf::Filter> settings = filter->toFilter())
            filters.push_back(std::move(*settings));
    }
    object.setFilters(std::move(filters));
}

Value getFilters(Machine& machine, Object* self, const Arguments&)
{
    display::DisplayObject* object = displayObjectOfSelf(self);
    return object ? filtersOf(machine, *object) : Value();
}

Value setFiltersOfSelf(Machine& machine, Object* self, const Arguments& arguments)
{
    if (display::DisplayObject* object = displayObjectOfSelf(self))
        setFilters(machine, *object, argument(arguments, 0));
    return Value();
}

// Text fields list theirs among their own properties (TextField).
constexpr Declaration displayPrototypeDeclarations[] = {
    accessor("filters", getFilters, setFiltersOfSelf).from(8),
};

} // namespace

void defineFiltersProperty(Machine& machine, Object* prototype, uint16_t flags)
{
    if (!prototype)
        return;
    prototype->defineVirtual(QStringLiteral("filters"), machine.makeNative(getFilters), machine.makeNative(setFiltersOfSelf), flags);
}

void installDisplayFilters(Machine& machine)
{
    for (Object* prototype : {machine.prototypes().movieClip, machine.prototypes().button}) {
        if (prototype)
            installDeclarations(machine, prototype, displayPrototypeDeclarations);
    }
}

} // namespace player::avm1::builtins
