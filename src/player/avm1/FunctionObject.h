#pragma once

#include "FunctionBodyUse.h"
#include "Object.h"
#include "Scope.h"
#include "player/swf/Movie.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace player::avm1 {

using Arguments = std::vector<Value>;
// Every native function has this shape: the machine, "this" (null when there is none) and
// the arguments.
using NativeFunction = std::function<Value(Machine&, Object* self, const Arguments& arguments)>;

// The body and signature of a function defined by DefineFunction or DefineFunction2.
struct ScriptFunctionCode {
    struct Parameter {
        QString name;
        uint8_t registerIndex = 0; // 0: an ordinary local
    };

    // DefineFunction2 flags.
    enum Flag : uint16_t {
        PreloadThis = 0x0001, SuppressThis = 0x0002, PreloadArguments = 0x0004,
        SuppressArguments = 0x0008, PreloadSuper = 0x0010, SuppressSuper = 0x0020,
        PreloadRoot = 0x0040, PreloadParent = 0x0080, PreloadGlobal = 0x0100
    };

    swf::ActionCode code;
    size_t start = 0;
    size_t length = 0;
    QString name;
    std::vector<Parameter> parameters;
    uint8_t registerCount = 0;
    uint16_t flags = 0;
    bool isFunction2 = false;
    int swfVersion = 0;
    std::shared_ptr<const std::vector<QString>> constantPool;

    // What a call must make for the body, worked out the first time the function is called:
    // the locals link of the scope chain, "this" and "arguments" bound by name, and super.
    struct CallNeeds {
        bool localsLink = true;
        bool bindThis = true;
        bool bindArguments = true;
        bool super = true;
    };
    const CallNeeds& callNeeds() const
    {
        if (!m_callNeeds) [[unlikely]]
            m_callNeeds = workOutCallNeeds();
        return *m_callNeeds;
    }

private:
    CallNeeds workOutCallNeeds() const;
    mutable std::optional<CallNeeds> m_callNeeds;
};

// A function: native, or a script function with the scope chain it closes over and the clip
// whose timeline defined it.
class FunctionObject : public Object {
public:
    FunctionObject(Object* prototype, NativeFunction native, NativeFunction constructor = {});
    FunctionObject(Object* prototype, std::shared_ptr<const ScriptFunctionCode> code, ScopeChain scope, Object* definingClip);

    bool isNative() const { return !m_script; }
    const NativeFunction& native() const { return m_native; }
    // What "new" runs for a native constructor that differs from a plain call (Array, Number…).
    const NativeFunction& nativeConstructor() const { return m_constructor; }
    const std::shared_ptr<const ScriptFunctionCode>& script() const { return m_script; }
    const ScopeChain& scope() const { return m_scope; }
    Object* definingClip() const { return m_definingClip; }

    void traceReferences(Marker& marker) override;

private:
    NativeFunction m_native;
    NativeFunction m_constructor;
    std::shared_ptr<const ScriptFunctionCode> m_script;
    ScopeChain m_scope;
    Object* m_definingClip = nullptr;
};

} // namespace player::avm1
