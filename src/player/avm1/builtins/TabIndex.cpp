#include "TabIndex.h"

#include "Builtins.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"

#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

ClipObject* clipObjectOf(Object* self)
{
    return asClipObject(self);
}

std::optional<int32_t> tabIndexOf(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return std::nullopt;
    const double number = std::trunc(machine.toNumber(value));
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    if (std::isnan(number) || number < lowest || number > highest)
        return std::numeric_limits<int32_t>::min();
    return int32_t(number);
}

} // namespace

void defineTabIndex(Machine& machine, Object* prototype, uint16_t flags)
{
    FunctionObject* getter = machine.makeNative([](Machine&, Object* self, const Arguments&) {
        ClipObject* clip = clipObjectOf(self);
        return clip && clip->tabIndex() ? Value(double(*clip->tabIndex())) : Value();
    });
    FunctionObject* setter = machine.makeNative([](Machine& machine, Object* self, const Arguments& arguments) {
        if (ClipObject* clip = clipObjectOf(self))
            clip->setTabIndex(tabIndexOf(machine, argument(arguments, 0)));
        return Value();
    });
    prototype->defineVirtual(QStringLiteral("tabIndex"), getter, setter, flags);
}

} // namespace player::avm1::builtins
