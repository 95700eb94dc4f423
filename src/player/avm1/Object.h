#pragma once

#include "Property.h"
#include "Value.h"

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace player::avm1 {

class Machine;
class Marker;

// What kind of native object lies behind a script object; instanceof, typeof and the
// built-in methods use it to tell their own objects from look-alikes.
enum class ObjectKind : uint8_t {
    Plain, Function, Array, String, Number, Boolean, Date, Error, Clip, Super, Activation
};

// A script object: named properties in the order they were made, a prototype, watchers, and
// hooks for the objects whose properties are not plain slots (arrays, clips).
class Object {
public:
    explicit Object(Object* prototype, ObjectKind kind = ObjectKind::Plain);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ObjectKind kind() const { return m_kind; }
    // Whether every property lives in the slot table: the kinds whose classes add no built-in
    // slots through getSpecial and setSpecial, nor their own get and set. A class that does
    // must be of another kind.
    bool keepsSlotsOnly() const
    {
        return m_kind == ObjectKind::Plain || m_kind == ObjectKind::Function || m_kind == ObjectKind::Activation
               || m_kind == ObjectKind::Error;
    }
    Object* prototype() const { return m_prototype; }
    void setPrototype(Object* prototype) { m_prototype = prototype; }

    // Own properties, without prototypes or getters. A name is found case-insensitively when
    // caseSensitive is false (movies before SWF 7).
    Property* findOwn(const QString& name, bool caseSensitive);
    const Property* findOwn(const QString& name, bool caseSensitive) const;
    // Whether the name is answered by the object itself rather than its prototypes (what
    // variable lookups need: a clip's named children count).
    bool hasOwnProperty(Machine& machine, const QString& name);
    // The same as the script method hasOwnProperty sees it: a clip's children do not count.
    bool hasOwnPropertyForScripts(Machine& machine, const QString& name);
    // An own slot as the running code sees it: nothing when its flags hide it from that
    // code's SWF version.
    Property* findVisible(Machine& machine, const QString& name);

    // Full lookup through the prototype chain, running getters with this object as "this".
    virtual Value get(Machine& machine, const QString& name);
    // Assignment: setters along the chain, read-only slots, watchers, then an own slot.
    virtual void set(Machine& machine, const QString& name, const Value& value);
    virtual bool remove(Machine& machine, const QString& name);
    // Whether a property of that name exists here or along the prototype chain.
    virtual bool has(Machine& machine, const QString& name);
    // has and get in one walk along the prototype chain: false when the name is not there
    // (value left alone), else the value get gives, getters run. What a variable lookup needs.
    bool lookup(Machine& machine, const QString& name, Value& value);
    // The short way for the member actions: the own slot a read of the name gives when the
    // object keeps its properties in slots only and that slot holds a plain value visible to the
    // running code. Null otherwise (a clip, an array, a boxed value, __proto__, a getter, a
    // hidden slot or none): then get and set decide.
    Property* plainOwnSlot(Machine& machine, const QString& name)
    {
        if (Property* property = slotSharingName(name); property && !property->getter && !property->setter
                                                        && !(property->flags & versionFlags))
            return property;
        return searchPlainOwnSlot(machine, name);
    }
    // Stores into such a slot unless it is read-only or watched; false when set must decide.
    bool assignPlainOwnSlot(Machine& machine, const QString& name, const Value& value)
    {
        if (!m_watchers.empty())
            return false;
        if (Property* property = slotSharingName(name); property && !property->getter && !property->setter
                                                        && !(property->flags & (versionFlags | property_flag::ReadOnly))) {
            property->value = value;
            return true;
        }
        return assignSearchedPlainOwnSlot(machine, name, value);
    }
    // Room for this many own properties without growing the table again.
    void reserveProperties(size_t count) { m_properties.reserve(count); }

    // Own slot written directly: for built-in set-up and for locals. Replaces a virtual one.
    void define(const QString& name, const Value& value, uint16_t flags = 0);
    void defineVirtual(const QString& name, Object* getter, Object* setter, uint16_t flags = 0);
    void setFlags(const QString& name, uint16_t setMask, uint16_t clearMask, bool caseSensitive);
    void setAllFlags(uint16_t setMask, uint16_t clearMask);

    // Names for for..in: own enumerable ones, then those of the prototypes, without repeats.
    virtual void enumerableNames(Machine& machine, std::vector<QString>& names);

    const std::vector<Property>& ownProperties() const { return m_properties; }

    bool watch(const QString& name, Object* callback, const Value& userData, bool caseSensitive);
    bool unwatch(const QString& name, bool caseSensitive);

    // Interfaces listed by implements (ActionScript 2 classes).
    std::vector<Object*>& interfaces() { return m_interfaces; }

    // Garbage collection.
    virtual void traceReferences(Marker& marker);
    bool isMarked() const { return m_marked; }
    void setMarked(bool marked) { m_marked = marked; }

protected:
    // Hooks for built-in slots that live outside the property table; they return true when
    // they dealt with the name.
    virtual bool getSpecial(Machine& machine, const QString& name, Value& result);
    virtual bool setSpecial(Machine& machine, const QString& name, const Value& value);
    // Whether a built-in slot counts as the object's own for hasOwnProperty: by default, every
    // name getSpecial answers.
    virtual bool hasOwnSpecial(Machine& machine, const QString& name);
    virtual void specialNames(std::vector<QString>& names);
    // Deletes, in one pass, the own properties the predicate picks that may be deleted.
    void removeOwnIf(const std::function<bool(const Property&)>& predicate);

private:
    // The flags that hide a slot from some SWF version.
    static constexpr uint16_t versionFlags = property_flag::FromVersion6 | property_flag::FromVersion7 | property_flag::FromVersion8
                                             | property_flag::FromVersion9 | property_flag::FromVersion10;
    // The short way of plainOwnSlot: names read from one constant pool share their text with
    // the slots made from them, so on a small object that keeps slots only, a slot whose name is
    // the very same text is the one an exact search finds (no two slots have one name). Null
    // when there is none, or when the search must decide (a table with an index, __proto__).
    Property* slotSharingName(const QString& name)
    {
        if (!keepsSlotsOnly() || !m_index.isEmpty() || name.size() == 9)
            return nullptr;
        const QChar* text = name.constData();
        const qsizetype size = name.size();
        for (Property& property : m_properties) {
            if (property.name.constData() == text && property.name.size() == size)
                return &property;
        }
        return nullptr;
    }
    Property* searchPlainOwnSlot(Machine& machine, const QString& name);
    bool assignSearchedPlainOwnSlot(Machine& machine, const QString& name, const Value& value);
    int indexOf(const QString& name, bool caseSensitive) const;
    bool hasOwnStored(Machine& machine, const QString& name);
    Value watchedValue(Machine& machine, const QString& name);
    void rebuildIndex();
    Value getWithThis(Machine& machine, const QString& name, Object* thisObject, int depth);
    // What __proto__ reads as when it holds no object: the value kept in its hidden slot.
    Value primitivePrototype(Machine& machine) const;

    struct Watcher {
        QString name;
        Object* callback = nullptr;
        Value userData;
    };

    ObjectKind m_kind;
    bool m_marked = false;
    // Where indexOf found a name in the hash last: a hint, checked before it is used.
    mutable uint32_t m_lastFound = 0;
    Object* m_prototype = nullptr;
    std::vector<Property> m_properties;
    // Most objects (activations, arguments, small literals) have a handful of properties, where
    // a linear search beats building a hash; the index exists only above this many.
    static constexpr size_t linearSearchLimit = 8;
    QHash<QString, int> m_index;
    std::vector<Watcher> m_watchers;
    std::vector<Object*> m_interfaces;
};

} // namespace player::avm1
