#include "RegisteredClass.h"

#include "Machine.h"
#include "player/display/MovieClip.h"
#include "player/display/MovieLibrary.h"

namespace player::avm1 {

Value registeredClassOf(Machine& machine, const display::MovieClip& clip)
{
    // The class comes from the registrations of the globals of the clip's movie.
    Machine::SavedRunState saved(machine);
    machine.setSwfVersion(clip.swfVersion());
    const std::shared_ptr<const display::MovieLibrary>& library = clip.library();
    if (!library || machine.registeredClasses().empty())
        return Value();
    for (const auto& [exportName, id] : library->movie().exports) {
        if (id != clip.characterId())
            continue;
        auto registered = machine.registeredClasses().find(QString::fromStdString(exportName));
        if (registered != machine.registeredClasses().end())
            return registered->second;
    }
    return Value();
}

} // namespace player::avm1
