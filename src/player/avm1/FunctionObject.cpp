#include "FunctionObject.h"

#include "Marker.h"

namespace player::avm1 {

ScriptFunctionCode::CallNeeds ScriptFunctionCode::workOutCallNeeds() const
{
    if (!code)
        return {};
    const FunctionBodyUse use = FunctionBodyUse::scan(*code, start, length, swfVersion >= 6, constantPool.get());
    CallNeeds needs;
    needs.bindThis = use.thisName;
    needs.bindArguments = use.argumentsName;
    needs.super = use.superName;
    // A call defines on the activation object the parameters without a register and the names
    // it binds; the flags of DefineFunction2 may leave "this" and "arguments" unbound.
    bool definesOnEntry = false;
    for (const Parameter& parameter : parameters)
        definesOnEntry = definesOnEntry || !isFunction2 || parameter.registerIndex == 0 || parameter.registerIndex >= registerCount;
    const bool bindsThis = !isFunction2 || !(flags & (PreloadThis | SuppressThis));
    const bool bindsArguments = !isFunction2 || !(flags & (PreloadArguments | SuppressArguments));
    definesOnEntry = definesOnEntry || (bindsThis && needs.bindThis) || (bindsArguments && needs.bindArguments);
    needs.localsLink = use.locals || definesOnEntry;
    return needs;
}

FunctionObject::FunctionObject(Object* prototype, NativeFunction native, NativeFunction constructor)
    : Object(prototype, ObjectKind::Function)
    , m_native(std::move(native))
    , m_constructor(std::move(constructor))
{
}

FunctionObject::FunctionObject(Object* prototype, std::shared_ptr<const ScriptFunctionCode> code, ScopeChain scope, Object* definingClip)
    : Object(prototype, ObjectKind::Function)
    , m_script(std::move(code))
    , m_scope(std::move(scope))
    , m_definingClip(definingClip)
{
}

void FunctionObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_scope);
    marker.mark(m_definingClip);
}

} // namespace player::avm1
