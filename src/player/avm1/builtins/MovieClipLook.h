#pragma once

#include "player/swf/Filter.h"

#include <QString>
#include <optional>

namespace player::avm1 {

class Machine;
class Object;
class Value;

namespace builtins {

// Properties of a clip's look that Flash 8 gave to scripts: blendMode, opaqueBackground,
// cacheAsBitmap, scrollRect and scale9Grid, put on the MovieClip prototype as getter/setter
// properties.
void installMovieClipLook(Machine& machine, Object* prototype);

// blendMode as scripts give it: the mode's number or its name ("multiply"); nothing for
// anything else, which Flash ignores.
std::optional<swf::BlendMode> blendModeFromScript(Machine& machine, const Value& value);
QString blendModeName(swf::BlendMode mode);

} // namespace builtins

} // namespace player::avm1
