#include "Object.h"

#include "Machine.h"
#include "Marker.h"
#include "NameCase.h"
#include "ScriptExceptions.h"

#include <QSet>
#include <algorithm>

namespace player::avm1 {

namespace {

// Prototype chains are followed this far and no further, so that a cycle made through
// __proto__ cannot hang the player.
constexpr int maximumPrototypeDepth = 255;

bool isProtoName(const QString& name, bool caseSensitive)
{
    // Names of another length never match, in any case: most names end here.
    return name.size() == 9 && name.compare(QLatin1String("__proto__"), caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

// Names without letters (array indices) are the same in any case: no need for the slow search.
bool hasLetters(const QString& name)
{
    for (QChar c : name) {
        if (c.isLetter())
            return true;
    }
    return false;
}

// Whether two texts of the given length are the same, exactly: names are short, so a plain loop
// beats a call into the string library.
bool sameText(const QChar* left, const QChar* right, qsizetype size)
{
    if (left == right)
        return true;
    for (qsizetype i = 0; i < size; ++i) {
        if (left[i] != right[i])
            return false;
    }
    return true;
}

} // namespace

Object::Object(Object* prototype, ObjectKind kind)
    : m_kind(kind)
    , m_prototype(prototype)
{
}

Object::~Object() = default;

int Object::indexOf(const QString& name, bool caseSensitive) const
{
    const qsizetype size = name.size();
    const QChar* text = name.constData();
    if (m_index.isEmpty()) {
        // Names that come from one constant pool share their text: the same text is found
        // without comparing it.
        for (size_t i = 0; i < m_properties.size(); ++i) {
            const QString& candidate = m_properties[i].name;
            // Names of one length mostly differ in their first letter: that is checked before
            // the whole text is compared.
            if (candidate.size() == size
                && (candidate.constData() == text || (size > 0 && candidate.constData()[0] == text[0] && sameText(candidate.constData(), text, size))))
                return int(i);
        }
    } else {
        // The slot found last in the table is tried before the hash: a loop reads and writes
        // the same names again and again. A slot whose name is exactly the one asked for is the
        // answer in either case rule (no two slots have one name, and an exact match comes
        // first), whatever changed since.
        if (m_lastFound < m_properties.size()) {
            const QString& candidate = m_properties[m_lastFound].name;
            if (candidate.size() == size && sameText(candidate.constData(), text, size))
                return int(m_lastFound);
        }
        auto found = m_index.constFind(name);
        if (found != m_index.constEnd()) {
            m_lastFound = uint32_t(found.value());
            return found.value();
        }
    }
    if (caseSensitive || !hasLetters(name))
        return -1;
    for (size_t i = 0; i < m_properties.size(); ++i) {
        if (sameNameIgnoringCase(m_properties[i].name, name))
            return int(i);
    }
    return -1;
}

void Object::rebuildIndex()
{
    m_index.clear();
    if (m_properties.size() <= linearSearchLimit)
        return;
    for (size_t i = 0; i < m_properties.size(); ++i)
        m_index.insert(m_properties[i].name, int(i));
}

Property* Object::findOwn(const QString& name, bool caseSensitive)
{
    int index = indexOf(name, caseSensitive);
    return index < 0 ? nullptr : &m_properties[size_t(index)];
}

const Property* Object::findOwn(const QString& name, bool caseSensitive) const
{
    int index = indexOf(name, caseSensitive);
    return index < 0 ? nullptr : &m_properties[size_t(index)];
}

bool Object::hasOwnProperty(Machine& machine, const QString& name)
{
    Value ignored;
    return getSpecial(machine, name, ignored) || hasOwnStored(machine, name);
}

// A property hidden from this SWF version still belongs to the object for hasOwnProperty.
bool Object::hasOwnPropertyForScripts(Machine& machine, const QString& name)
{
    if (hasOwnSpecial(machine, name))
        return true;
    // A __proto__ that is no object lives in a hidden slot of that name (see set).
    if (isProtoName(name, machine.caseSensitive()) && m_prototype)
        return true;
    return findOwn(name, machine.caseSensitive()) != nullptr;
}

bool Object::hasOwnStored(Machine& machine, const QString& name)
{
    if (isProtoName(name, machine.caseSensitive()) && m_prototype)
        return true;
    return findVisible(machine, name) != nullptr;
}

Property* Object::findVisible(Machine& machine, const QString& name)
{
    Property* property = findOwn(name, machine.caseSensitive());
    return property && property->isVisibleTo(machine.swfVersion()) ? property : nullptr;
}

Property* Object::searchPlainOwnSlot(Machine& machine, const QString& name)
{
    // The order get follows: no built-in slots on these kinds, then __proto__, then the slots.
    const bool caseSensitive = machine.caseSensitive();
    if (!keepsSlotsOnly() || isProtoName(name, caseSensitive))
        return nullptr;
    const int index = indexOf(name, caseSensitive);
    if (index < 0)
        return nullptr;
    Property& property = m_properties[size_t(index)];
    return !property.getter && !property.setter && property.isVisibleTo(machine.swfVersion()) ? &property : nullptr;
}

bool Object::assignSearchedPlainOwnSlot(Machine& machine, const QString& name, const Value& value)
{
    // The order set follows: __proto__, watchers, then the slot.
    if (!m_watchers.empty())
        return false;
    Property* property = searchPlainOwnSlot(machine, name);
    if (!property || (property->flags & property_flag::ReadOnly))
        return false;
    property->value = value;
    return true;
}

Value Object::primitivePrototype(Machine& machine) const
{
    const Property* slot = findOwn(QStringLiteral("__proto__"), machine.caseSensitive());
    return slot ? slot->value : Value();
}

Value Object::get(Machine& machine, const QString& name)
{
    return getWithThis(machine, name, this, 0);
}

Value Object::getWithThis(Machine& machine, const QString& name, Object* thisObject, int depth)
{
    Object* object = this;
    for (; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        Value special;
        if (object->getSpecial(machine, name, special))
            return special;
        if (isProtoName(name, machine.caseSensitive()))
            return object->m_prototype ? Value(object->m_prototype) : object->primitivePrototype(machine);
        if (Property* property = object->findVisible(machine, name)) {
            if (property->getter)
                return machine.callAccessor(object, property->name, property->getter, thisObject, {});
            if (property->setter)
                return Value();
            return property->value;
        }
    }
    // A chain this long has a loop in it: Flash searches it until the script time limit stops
    // the script, so the script stops here, without the wait.
    if (object)
        throw ScriptAbort{QStringLiteral("the prototype chain has no end")};
    return Value();
}

void Object::set(Machine& machine, const QString& name, const Value& value)
{
    bool caseSensitive = machine.caseSensitive();
    if (isProtoName(name, caseSensitive)) {
        // __proto__ may hold any value. Only an object is followed by lookups; a string, number
        // or boolean is kept in a hidden slot of that name, where reads of __proto__ find it.
        // Null and undefined leave the object without one.
        m_prototype = value.asObject();
        if (m_prototype || value.isUndefined() || value.isNull()) {
            if (int index = indexOf(name, caseSensitive); index >= 0) {
                m_properties.erase(m_properties.begin() + index);
                rebuildIndex();
            }
        } else {
            define(QStringLiteral("__proto__"), value, property_flag::DontEnum);
        }
        return;
    }
    Value newValue = value;
    for (const Watcher& watcher : m_watchers) {
        if (caseSensitive ? watcher.name != name : !sameNameIgnoringCase(watcher.name, name))
            continue;
        Value oldValue = watchedValue(machine, name);
        Object* callback = watcher.callback;
        Value userData = watcher.userData;
        newValue = machine.call(callback, this, {Value(name), oldValue, value, userData});
        break;
    }
    if (setSpecial(machine, name, newValue))
        return;
    // A write to a property hidden from this SWF version replaces it with a plain visible one.
    if (Property* property = findVisible(machine, name)) {
        if (property->setter) {
            machine.callAccessor(this, property->name, property->setter, this, {newValue});
            return;
        }
        if (property->getter || (property->flags & property_flag::ReadOnly))
            return;
        property->value = newValue;
        return;
    }
    int depth = 0;
    for (Object* object = m_prototype; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        if (Property* property = object->findVisible(machine, name)) {
            if (property->setter) {
                machine.callAccessor(object, property->name, property->setter, this, {newValue});
                return;
            }
            if (property->getter)
                return;
            break;
        }
    }
    define(name, newValue);
}

bool Object::remove(Machine& machine, const QString& name)
{
    int index = indexOf(name, machine.caseSensitive());
    if (index < 0)
        return false;
    if (m_properties[size_t(index)].flags & property_flag::DontDelete)
        return false;
    m_properties.erase(m_properties.begin() + index);
    rebuildIndex();
    return true;
}

Value Object::watchedValue(Machine& machine, const QString& name)
{
    // A watcher is told the value stored in the nearest property of that name along the
    // prototype chain, without running a getter: a property that addProperty made virtual
    // still holds the value it had before.
    int depth = 0;
    for (Object* object = this; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        if (const Property* property = object->findOwn(name, machine.caseSensitive()))
            return property->value;
    }
    return Value();
}

void Object::removeOwnIf(const std::function<bool(const Property&)>& predicate)
{
    auto end = std::remove_if(m_properties.begin(), m_properties.end(), [&](const Property& property) {
        return !(property.flags & property_flag::DontDelete) && predicate(property);
    });
    if (end == m_properties.end())
        return;
    m_properties.erase(end, m_properties.end());
    rebuildIndex();
}

bool Object::has(Machine& machine, const QString& name)
{
    int depth = 0;
    for (Object* object = this; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        if (object->hasOwnProperty(machine, name))
            return true;
    }
    return false;
}

bool Object::lookup(Machine& machine, const QString& name, Value& value)
{
    // super reads through its own get; every other kind answers from its slots and specials.
    if (m_kind == ObjectKind::Super) {
        if (!has(machine, name))
            return false;
        value = get(machine, name);
        return true;
    }
    const bool caseSensitive = machine.caseSensitive();
    const bool proto = isProtoName(name, caseSensitive);
    int depth = 0;
    for (Object* object = this; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        Value special;
        if (object->getSpecial(machine, name, special)) {
            value = std::move(special);
            return true;
        }
        if (proto) {
            if (!object->m_prototype) {
                if (!object->findOwn(name, caseSensitive))
                    continue;
                value = object->primitivePrototype(machine);
                return true;
            }
            value = Value(object->m_prototype);
            return true;
        }
        if (Property* property = object->findVisible(machine, name)) {
            if (property->getter)
                value = machine.callAccessor(object, property->name, property->getter, this, {});
            else
                value = property->setter ? Value() : property->value;
            return true;
        }
    }
    return false;
}

void Object::define(const QString& name, const Value& value, uint16_t flags)
{
    int existing = indexOf(name, true);
    if (existing >= 0) {
        Property& property = m_properties[size_t(existing)];
        property.value = value;
        property.getter = nullptr;
        property.setter = nullptr;
        property.flags = flags;
        return;
    }
    m_properties.push_back(Property{name, value, nullptr, nullptr, flags});
    if (m_properties.size() == linearSearchLimit + 1)
        rebuildIndex();
    else if (!m_index.isEmpty())
        m_index.insert(name, int(m_properties.size() - 1));
}

void Object::defineVirtual(const QString& name, Object* getter, Object* setter, uint16_t flags)
{
    const int existing = indexOf(name, true);
    define(name, existing >= 0 ? m_properties[size_t(existing)].value : Value(), flags);
    Property& property = m_properties[size_t(indexOf(name, true))];
    property.getter = getter;
    property.setter = setter;
}

void Object::setFlags(const QString& name, uint16_t setMask, uint16_t clearMask, bool caseSensitive)
{
    if (Property* property = findOwn(name, caseSensitive))
        property->flags = uint16_t((property->flags & ~clearMask) | setMask);
}

void Object::setAllFlags(uint16_t setMask, uint16_t clearMask)
{
    for (Property& property : m_properties)
        property.flags = uint16_t((property.flags & ~clearMask) | setMask);
}

void Object::enumerableNames(Machine& machine, std::vector<QString>& names)
{
    QSet<QString> seen;
    int depth = 0;
    for (Object* object = this; object && depth <= maximumPrototypeDepth; object = object->m_prototype, ++depth) {
        std::vector<QString> special;
        object->specialNames(special);
        for (const QString& name : special) {
            QString key = machine.caseSensitive() ? name : name.toLower();
            if (!seen.contains(key)) {
                seen.insert(key);
                names.push_back(name);
            }
        }
        for (const Property& property : object->m_properties) {
            QString key = machine.caseSensitive() ? property.name : property.name.toLower();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            // Flash lists a property hidden from this SWF version, though reading it gives undefined.
            if (property.isEnumerable())
                names.push_back(property.name);
        }
    }
}

bool Object::watch(const QString& name, Object* callback, const Value& userData, bool caseSensitive)
{
    if (!callback)
        return false;
    unwatch(name, caseSensitive);
    m_watchers.push_back(Watcher{name, callback, userData});
    return true;
}

bool Object::unwatch(const QString& name, bool caseSensitive)
{
    for (auto it = m_watchers.begin(); it != m_watchers.end(); ++it) {
        if (caseSensitive ? it->name == name : sameNameIgnoringCase(it->name, name)) {
            m_watchers.erase(it);
            return true;
        }
    }
    return false;
}

void Object::traceReferences(Marker& marker)
{
    marker.mark(m_prototype);
    for (const Property& property : m_properties) {
        marker.mark(property.value);
        marker.mark(property.getter);
        marker.mark(property.setter);
    }
    for (const Watcher& watcher : m_watchers) {
        marker.mark(watcher.callback);
        marker.mark(watcher.userData);
    }
    for (Object* interface : m_interfaces)
        marker.mark(interface);
}

bool Object::getSpecial(Machine&, const QString&, Value&)
{
    return false;
}

bool Object::setSpecial(Machine&, const QString&, const Value&)
{
    return false;
}

bool Object::hasOwnSpecial(Machine& machine, const QString& name)
{
    Value ignored;
    return getSpecial(machine, name, ignored);
}

void Object::specialNames(std::vector<QString>&)
{
}

} // namespace player::avm1
