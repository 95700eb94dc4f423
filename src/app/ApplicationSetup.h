#pragma once

namespace app {

// What the program tells Qt about itself before its first window: the desktop entry it belongs
// to (for the window's icon and grouping in the desktop's task bar). No display name is set: Qt
// would add it to every window title, and the program's captions ("Car - Skarvelle 2", a message
// box titled with the window's caption) already say what they should.
void configureApplication();

} // namespace app
