#include "ArrayObject.h"

#include "Machine.h"
#include "Marker.h"
#include "ScriptExceptions.h"

#include <cmath>

namespace player::avm1 {

ArrayObject::ArrayObject(Object* prototype, std::vector<Value> elements)
    : Object(prototype, ObjectKind::Array)
    , m_elements(std::move(elements))
{
}

void ArrayObject::resize(Machine&, size_t length)
{
    if (length > Machine::maximumArrayLength)
        throw ScriptAbort{QStringLiteral("An array grew beyond %1 elements.").arg(Machine::maximumArrayLength)};
    m_elements.resize(length);
}

int64_t ArrayObject::indexOfName(const QString& name)
{
    if (name.isEmpty() || name.size() > 10)
        return -1;
    if (name.size() > 1 && name[0] == u'0')
        return -1;
    int64_t index = 0;
    for (QChar c : name) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return -1;
        index = index * 10 + (c.unicode() - '0');
    }
    return index <= 0xfffffffeLL ? index : -1;
}

bool ArrayObject::getSpecial(Machine& machine, const QString& name, Value& result)
{
    if (name.compare(QLatin1String("length"), machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
        result = Value(double(m_elements.size()));
        return true;
    }
    int64_t index = indexOfName(name);
    if (index >= 0 && size_t(index) < m_elements.size()) {
        result = m_elements[size_t(index)];
        return true;
    }
    return false;
}

bool ArrayObject::setSpecial(Machine& machine, const QString& name, const Value& value)
{
    if (name.compare(QLatin1String("length"), machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
        double length = machine.toNumber(value);
        if (std::isfinite(length) && length >= 0)
            resize(machine, size_t(length));
        return true;
    }
    int64_t index = indexOfName(name);
    if (index < 0)
        return false;
    if (size_t(index) >= m_elements.size())
        resize(machine, size_t(index) + 1);
    m_elements[size_t(index)] = value;
    return true;
}

bool ArrayObject::remove(Machine& machine, const QString& name)
{
    int64_t index = indexOfName(name);
    if (index >= 0 && size_t(index) < m_elements.size()) {
        m_elements[size_t(index)] = Value();
        return true;
    }
    return Object::remove(machine, name);
}

void ArrayObject::specialNames(std::vector<QString>& names)
{
    for (size_t i = 0; i < m_elements.size(); ++i)
        names.push_back(QString::number(i));
}

void ArrayObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    for (const Value& element : m_elements)
        marker.mark(element);
}

} // namespace player::avm1
