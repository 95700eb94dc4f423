#include "FunctionObject.h"

#include "Marker.h"

namespace player::avm1 {

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
