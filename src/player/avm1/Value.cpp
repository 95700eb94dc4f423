#include "Value.h"

namespace player::avm1 {

const QString& Value::emptyString()
{
    static const QString empty;
    return empty;
}

bool Value::strictlyEquals(const Value& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Undefined:
    case Type::Null:
        return true;
    case Type::Boolean:
    case Type::Number:
        return m_number == other.m_number;
    case Type::String:
        return m_string == other.m_string;
    case Type::Object:
        return m_object == other.m_object;
    }
    return false;
}

} // namespace player::avm1
