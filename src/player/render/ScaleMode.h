#pragma once

namespace player {

// How the stage fits a viewport of another size: stretched to fill (ExactFit), scaled uniformly
// to fit and centred (ShowAll), or at one pixel per 20 twips, centred (NoScale). The widget takes
// it from its host and the renderer lays the stage out by it.
enum class ScaleMode { ExactFit, ShowAll, NoScale };

} // namespace player
