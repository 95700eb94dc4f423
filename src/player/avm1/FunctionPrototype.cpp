#include "FunctionPrototype.h"

#include "Machine.h"

namespace player::avm1 {

bool FunctionPrototype::getSpecial(Machine& machine, const QString& name, Value& result)
{
    if (machine.swfVersion() >= 6 || findOwn(name, machine.caseSensitive()))
        return false;
    // __proto__ still names the prototype's own link.
    if (name.compare(QLatin1String("__proto__"), Qt::CaseInsensitive) == 0)
        return false;
    result = Value();
    return true;
}

// The lookup ends here for SWF 5 code, but the names it ends on are not the prototype's own.
bool FunctionPrototype::hasOwnSpecial(Machine&, const QString&)
{
    return false;
}

} // namespace player::avm1
