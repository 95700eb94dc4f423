#pragma once

#include <memory>

namespace player::avm1 {

class Object;

// One link of a scope chain. Functions keep the chain they were defined in (closures), so the
// links are shared and immutable.
struct Scope {
    enum class Kind : unsigned char { Global, Target, Local, With };

    Kind kind;
    Object* object;
    std::shared_ptr<const Scope> parent;

    static std::shared_ptr<const Scope> make(Kind kind, Object* object, std::shared_ptr<const Scope> parent)
    {
        return std::make_shared<const Scope>(Scope{kind, object, std::move(parent)});
    }
};

using ScopeChain = std::shared_ptr<const Scope>;

} // namespace player::avm1
