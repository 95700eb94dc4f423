#pragma once

namespace player::avm1 {
class Machine;
class Object;
}

namespace player::avm1::builtins {

// The BitmapData methods that move or test pixels between bitmaps (scroll, compare, merge,
// threshold, copyChannel, paletteMap, pixelDissolve, hitTest, getColorBoundsRect, generateFilterRect), on the
// BitmapData prototype.
void installBitmapDataTransfers(Machine& machine, Object* prototype);

} // namespace player::avm1::builtins
