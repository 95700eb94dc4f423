#pragma once

#include "Object.h"

namespace player::avm1 {

// Function.prototype, the object every function inherits from. SWF 5 code sees only what it
// holds itself: there a function has none of Object.prototype's names (no toString, no valueOf),
// so it has no primitive value and equals undefined and null. Later versions go on to
// Object.prototype as usual.
class FunctionPrototype : public Object {
public:
    using Object::Object;

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool hasOwnSpecial(Machine& machine, const QString& name) override;
};

} // namespace player::avm1
