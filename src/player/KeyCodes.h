#pragma once

namespace player {

// The Flash key code (as Key.getCode reports it) of a Qt key, or 0 for keys Flash has no code
// for.
int flashKeyCode(int qtKey);

} // namespace player
