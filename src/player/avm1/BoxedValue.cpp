#include "BoxedValue.h"

#include "Machine.h"

namespace player::avm1 {

bool BoxedValue::getSpecial(Machine& machine, const QString& name, Value& result)
{
    // A string object's length is its own, read-only and always current.
    if (kind() == ObjectKind::String && m_value.isString()
        && name.compare(QLatin1String("length"), machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
        result = Value(double(m_value.asString().size()));
        return true;
    }
    return false;
}

} // namespace player::avm1
