#pragma once

#include <cstddef>
#include <utility>

namespace player::avm1 {

class Object;
struct Scope;

// A counted reference to one link of a scope chain, and through it to the links it hangs from.
// Every call makes a link and most let it go when they return, so the count is a plain integer
// (scripts run on one thread) and released links are kept for use again instead of freed.
class ScopeChain {
public:
    ScopeChain() = default;
    ScopeChain(std::nullptr_t) {}
    ScopeChain(const ScopeChain& other);
    ScopeChain(ScopeChain&& other) noexcept : m_link(std::exchange(other.m_link, nullptr)) {}
    ScopeChain& operator=(const ScopeChain& other)
    {
        ScopeChain copy(other);
        std::swap(m_link, copy.m_link);
        return *this;
    }
    ScopeChain& operator=(ScopeChain&& other) noexcept
    {
        std::swap(m_link, other.m_link);
        return *this;
    }
    ~ScopeChain() { release(); }

    const Scope* get() const;
    const Scope* operator->() const { return get(); }
    const Scope& operator*() const { return *get(); }
    explicit operator bool() const { return m_link != nullptr; }

private:
    friend struct Scope;
    explicit ScopeChain(Scope* link) : m_link(link) {}
    // Lets go of the link: most of the time one count less, where the call is worth no more.
    void release();
    // The last reference to link went: it and the links above it that only it held are recycled.
    static void releaseLast(Scope* link);

    Scope* m_link = nullptr;
};

// One link of a scope chain. Functions keep the chain they were defined in (closures), so the
// links are shared and immutable, but for one thing: a function's locals link may start without
// its activation object, which is made the first time something needs it (a local defined by
// name, a path that starts there). Until then the locals are empty, which is what an absent
// object answers to every lookup; every chain sharing the link sees the object once it exists.
struct Scope {
    enum class Kind : unsigned char { Global, Target, Local, With };

    Kind kind;
    mutable Object* object;
    ScopeChain parent;

    static ScopeChain make(Kind kind, Object* object, ScopeChain parent);

private:
    friend class ScopeChain;
    Scope(Kind kind, Object* object, ScopeChain parent) : kind(kind), object(object), parent(std::move(parent)) {}
    static void recycle(Scope* link);

    // How many chains refer to this link.
    unsigned references = 1;
    // The next link of the spare ones.
    Scope* nextSpare = nullptr;
};

// Released links, kept to be made again, up to a limit. The list stays until the thread ends,
// reachable from it: a few kilobytes at most.
struct SpareScopeLinks {
    static constexpr size_t mostKept = 256;
    Scope* first = nullptr;
    size_t count = 0;

    static SpareScopeLinks& instance()
    {
        thread_local constinit SpareScopeLinks links;
        return links;
    }
};

inline const Scope* ScopeChain::get() const
{
    return m_link;
}

inline ScopeChain::ScopeChain(const ScopeChain& other)
    : m_link(other.m_link)
{
    if (m_link)
        ++m_link->references;
}

[[gnu::always_inline]] inline void ScopeChain::release()
{
    Scope* link = std::exchange(m_link, nullptr);
    if (link && --link->references == 0) [[unlikely]]
        releaseLast(link);
}

inline void Scope::recycle(Scope* link)
{
    SpareScopeLinks& spares = SpareScopeLinks::instance();
    if (spares.count >= SpareScopeLinks::mostKept) {
        delete link;
        return;
    }
    link->object = nullptr;
    link->nextSpare = spares.first;
    spares.first = link;
    ++spares.count;
}

inline ScopeChain Scope::make(Kind kind, Object* object, ScopeChain parent)
{
    SpareScopeLinks& spares = SpareScopeLinks::instance();
    Scope* link = spares.first;
    if (!link)
        return ScopeChain(new Scope(kind, object, std::move(parent)));
    spares.first = link->nextSpare;
    --spares.count;
    link->kind = kind;
    link->object = object;
    link->parent = std::move(parent);
    link->references = 1;
    link->nextSpare = nullptr;
    return ScopeChain(link);
}

} // namespace player::avm1
