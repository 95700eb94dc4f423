#include "Builtins.h"
#include "TabIndex.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/display/DisplayObject.h"

namespace player::avm1::builtins {

// Button instances are objects to typeof but share the clip properties (_x, _name, _alpha...).
// enabled and useHandCursor are plain properties that instances override; the player reads
// them when the mouse comes over the button.
void installButton(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().button = prototype;
    defineClass(machine, QStringLiteral("Button"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); });
    machine.defineMethod(prototype, QStringLiteral("getDepth"), [](Machine&, Object* self, const Arguments&) {
        display::DisplayObject* object = displayObjectOfClip(self);
        return object ? Value(double(object->depth())) : Value();
    });
    // As a clip's, from SWF 6 on only.
    prototype->setFlags(QStringLiteral("getDepth"), property_flag::FromVersion6 | property_flag::ReadOnly, 0, true);
    prototype->set(machine, QStringLiteral("useHandCursor"), Value(true));
    prototype->set(machine, QStringLiteral("enabled"), Value(true));
    prototype->setAllFlags(property_flag::DontEnum, 0);
    // Unlike a clip's, a button's tabIndex is listed by for..in.
    defineTabIndex(machine, prototype, property_flag::DontDelete);
}

} // namespace player::avm1::builtins
