#pragma once

#include "Object.h"
#include "Property.h"
#include "Scope.h"

#include <QString>
#include <array>
#include <cstdint>

namespace player::avm1 {

// Where a run of actions found the functions it called by name, so that a loop calling the same
// function again finds it without searching the scope chain. An entry is good while the run's
// chain is the one it was found on, the links above the one that held the name still have no
// object (a function's locals before anything defines one), and the slot still holds the name
// as a plain value the running code sees. The entry keeps the chain and both texts alive, so
// that none of them can be freed and another one made at the same address while it is kept.
class FoundFunctionMemo {
public:
    // The function remembered for name on chain, and the object whose slot held it; false when
    // nothing is remembered or what the entry relied on changed.
    [[gnu::always_inline]] bool recall(const QString& name, const ScopeChain& chain, int swfVersion, Value& function, const Scope*& link) const
    {
        const Entry& entry = m_entries[slotOf(name)];
        if (entry.name.constData() != name.constData() || entry.name.size() != name.size() || entry.chain.get() != chain.get()
            || !entry.holder) [[unlikely]]
            return false;
        const Scope* walked = entry.chain.get();
        for (; walked && walked != entry.link; walked = walked->parent.get()) {
            if (walked->object)
                return false;
        }
        if (!walked || walked->object != entry.holder)
            return false;
        const std::vector<Property>& properties = entry.holder->ownProperties();
        if (entry.slot >= properties.size())
            return false;
        const Property& slot = properties[entry.slot];
        if (slot.name.constData() != entry.slotName.constData() || slot.name.size() != entry.slotName.size() || slot.getter
            || slot.setter || !slot.isVisibleTo(swfVersion))
            return false;
        function = slot.value;
        link = walked;
        return true;
    }

    // Remembers that name was found on chain in the own slot numbered slot of link's object.
    void remember(const QString& name, const ScopeChain& chain, const Scope* link, size_t slot)
    {
        Entry& entry = m_entries[slotOf(name)];
        const std::vector<Property>& properties = link->object->ownProperties();
        if (slot >= properties.size() || slot > UINT32_MAX)
            return;
        entry.name = name;
        entry.chain = chain;
        entry.link = link;
        entry.holder = link->object;
        entry.slot = uint32_t(slot);
        entry.slotName = properties[slot].name;
    }

private:
    struct Entry {
        QString name;
        ScopeChain chain;
        const Scope* link = nullptr;
        Object* holder = nullptr;
        uint32_t slot = 0;
        QString slotName;
    };

    // Two entries, so that a loop calling two functions keeps both; names that share their text
    // (a constant pool's) land on the same entry every time.
    static size_t slotOf(const QString& name) { return (quintptr(name.constData()) >> 4) & 1; }

    std::array<Entry, 2> m_entries;
};

} // namespace player::avm1
