#include "DisplayTarget.h"

#include "Builtins.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/TargetPath.h"

#include <cmath>

namespace player::avm1::builtins {

display::DisplayObject* displayObjectOf(Machine& machine, const Value& target)
{
    Object* object = target.asObject();
    if (!object && target.isString())
        object = target_path::resolve(machine, machine.bridge().level(0), target.asString());
    return displayObjectOfClip(object);
}

int16_t wrapToInt16(double number)
{
    if (!std::isfinite(number))
        return 0;
    double truncated = std::trunc(number);
    double wrapped = std::fmod(truncated, 65536.0);
    if (wrapped < 0)
        wrapped += 65536.0;
    return static_cast<int16_t>(static_cast<uint16_t>(wrapped));
}

} // namespace player::avm1::builtins
