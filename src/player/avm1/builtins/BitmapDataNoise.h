#pragma once

namespace player::avm1 {
class Machine;
class Object;
}

namespace player::avm1::builtins {

// BitmapData.noise and BitmapData.perlinNoise, on the BitmapData prototype.
void installBitmapDataNoise(Machine& machine, Object* prototype);

} // namespace player::avm1::builtins
