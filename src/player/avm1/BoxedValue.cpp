#include "BoxedValue.h"

#include "Machine.h"

namespace player::avm1 {

namespace {

bool isLengthOfString(Machine& machine, const BoxedValue& box, const QString& name)
{
    return box.kind() == ObjectKind::String && box.value().isString()
           && name.compare(QLatin1String("length"), machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

} // namespace

// A string object's length is its own hidden property that cannot be deleted. It reads as the
// length of the text until a script writes another value there.
bool BoxedValue::getSpecial(Machine& machine, const QString& name, Value& result)
{
    if (!isLengthOfString(machine, *this, name) || findOwn(name, machine.caseSensitive()))
        return false;
    result = Value(double(m_value.asString().size()));
    return true;
}

bool BoxedValue::setSpecial(Machine& machine, const QString& name, const Value& value)
{
    if (!isLengthOfString(machine, *this, name) || findOwn(name, machine.caseSensitive()))
        return false;
    define(QStringLiteral("length"), value, property_flag::DontEnum | property_flag::DontDelete);
    return true;
}

} // namespace player::avm1
