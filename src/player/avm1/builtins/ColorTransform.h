#pragma once

#include "player/swf/Geometry.h"

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// flash.geom.ColorTransform objects keep their eight terms as ordinary properties, multipliers
// as fractions (1 leaves a channel alone). The display side keeps multipliers in 256ths.
swf::ColorTransform colorTransformFromObject(Machine& machine, Object* object);
Object* makeColorTransformObject(Machine& machine, const swf::ColorTransform& transform);
// The transform that applies inner first, then outer.
swf::ColorTransform concatenated(const swf::ColorTransform& inner, const swf::ColorTransform& outer);

void installColorTransform(Machine& machine, Object* geometry);

} // namespace builtins

} // namespace player::avm1
