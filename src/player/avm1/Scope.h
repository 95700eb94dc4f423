#pragma once

#include <memory>

namespace player::avm1 {

class Object;

// One link of a scope chain. Functions keep the chain they were defined in (closures), so the
// links are shared and immutable, but for one thing: a function's locals link may start without
// its activation object, which is made the first time something needs it (a local defined by
// name, a path that starts there). Until then the locals are empty, which is what an absent
// object answers to every lookup; every chain sharing the link sees the object once it exists.
struct Scope {
    enum class Kind : unsigned char { Global, Target, Local, With };

    Kind kind;
    mutable Object* object;
    std::shared_ptr<const Scope> parent;

    static std::shared_ptr<const Scope> make(Kind kind, Object* object, std::shared_ptr<const Scope> parent)
    {
        return std::make_shared<const Scope>(Scope{kind, object, std::move(parent)});
    }
};

using ScopeChain = std::shared_ptr<const Scope>;

} // namespace player::avm1
