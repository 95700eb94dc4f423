#pragma once

#include "player/swf/Geometry.h"

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// flash.geom.Matrix objects keep their terms as ordinary properties; these read and make them.
// Translation is in pixels on the script side and in twips on the display side.
swf::Matrix matrixFromObject(Machine& machine, Object* object);
Object* makeMatrixObject(Machine& machine, const swf::Matrix& matrix);
// The matrix that applies first, then second.
swf::Matrix concatenated(const swf::Matrix& first, const swf::Matrix& second);

void installMatrix(Machine& machine, Object* geometry);

} // namespace builtins

} // namespace player::avm1
