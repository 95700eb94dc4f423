#include "ArrayObject.h"

#include "Machine.h"
#include "ScriptExceptions.h"

namespace player::avm1 {

namespace {

bool isLengthName(Machine& machine, const QString& name)
{
    return name.compare(QLatin1String("length"), machine.nameCase()) == 0;
}

} // namespace

QString ArrayObject::indexName(size_t index)
{
    // The names of the first elements are made once and shared: argument lists and small
    // arrays need no new text for their element names.
    constexpr size_t sharedNames = 256;
    static const std::vector<QString> names = [] {
        std::vector<QString> made;
        made.reserve(sharedNames);
        for (size_t i = 0; i < sharedNames; ++i)
            made.push_back(QString::number(i));
        return made;
    }();
    return index < sharedNames ? names[index] : QString::number(index);
}

ArrayObject::ArrayObject(Object* prototype, std::vector<Value> elements)
    : Object(prototype, ObjectKind::Array)
{
    // Room for the elements and two more names, the callee and caller of an argument list.
    reserveProperties(elements.size() + 2);
    for (size_t i = 0; i < elements.size(); ++i)
        define(indexName(i), elements[i]);
    m_length = int32_t(elements.size());
}

bool ArrayObject::parseIndex(const QString& name, int32_t& index)
{
    qsizetype position = 0;
    while (position < name.size() && (name[position] == u' ' || (name[position] >= u'\t' && name[position] <= u'\r')))
        ++position;
    bool negative = position < name.size() && name[position] == u'-';
    if (negative)
        ++position;
    // Flash accepts an empty run of digits ("" and "-" read as 0) and wraps long ones.
    uint32_t value = 0;
    for (; position < name.size(); ++position) {
        char16_t c = name[position].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10u + uint32_t(c - u'0');
    }
    index = int32_t(negative ? 0u - value : value);
    return true;
}

bool ArrayObject::isCanonicalIndex(const QString& name, int32_t& index)
{
    if (name.isEmpty() || name.size() > 10 || (name.size() > 1 && name[0] == u'0'))
        return false;
    int64_t value = 0;
    for (QChar c : name) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > INT32_MAX)
        return false;
    index = int32_t(value);
    return true;
}

size_t ArrayObject::checkedLength(int32_t length)
{
    if (length <= 0)
        return 0;
    if (size_t(length) > Machine::maximumArrayLength)
        throw ScriptAbort{QStringLiteral("An array of %1 elements is beyond the limit of %2.").arg(length).arg(Machine::maximumArrayLength)};
    return size_t(length);
}

void ArrayObject::removeElements(int64_t from, int64_t to)
{
    if (from >= to)
        return;
    removeOwnIf([from, to](const Property& property) {
        int32_t index = 0;
        return isCanonicalIndex(property.name, index) && index >= from && index < to;
    });
}

void ArrayObject::setLength(Machine&, int32_t length)
{
    if (length < m_length)
        removeElements(std::max<int64_t>(length, 0), m_length);
    m_length = length;
}

std::vector<Value> ArrayObject::values(Machine& machine)
{
    std::vector<Value> result(checkedLength(m_length));
    // Walks the properties rather than the indices: cheap for arrays with few elements. An
    // element that addProperty made virtual gives the value stored under it, not its getter's.
    for (const Property& property : ownProperties()) {
        int32_t index = 0;
        if (isCanonicalIndex(property.name, index) && size_t(index) < result.size()
            && property.isVisibleTo(machine.swfVersion()))
            result[size_t(index)] = property.value;
    }
    return result;
}

void ArrayObject::assign(Machine& machine, const std::vector<Value>& elements)
{
    if (elements.size() > Machine::maximumArrayLength)
        checkedLength(INT32_MAX);
    removeElements(0, INT64_MAX);
    for (size_t i = 0; i < elements.size(); ++i)
        define(indexName(i), elements[i]);
    setLength(machine, int32_t(elements.size()));
}

void ArrayObject::append(Machine& machine, const Value& element)
{
    set(machine, m_length >= 0 ? indexName(size_t(m_length)) : QString::number(m_length), element);
}

bool ArrayObject::getSpecial(Machine& machine, const QString& name, Value& result)
{
    if (!isLengthName(machine, name))
        return false;
    // A getter that addProperty put on "length" is what scripts read; the array's own methods
    // still go by the real length.
    const Property* own = findOwn(name, machine.caseSensitive());
    if (own && own->isVirtual())
        return false;
    result = Value(double(m_length));
    return true;
}

bool ArrayObject::setSpecial(Machine& machine, const QString& name, const Value& value)
{
    if (isLengthName(machine, name)) {
        setLength(machine, machine.toInt32(value));
        return true;
    }
    // The element itself is stored as an ordinary property by the caller.
    int32_t index = 0;
    if (parseIndex(name, index) && index >= m_length)
        setLength(machine, int32_t(uint32_t(index) + 1u));
    return false;
}

} // namespace player::avm1
