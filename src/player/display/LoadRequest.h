#pragma once

#include "LoadListener.h"

#include <QString>
#include <memory>

namespace player::display {

class DisplayObject;

// A loadMovie, loadMovieNum or MovieClipLoader.loadClip waiting for the end of the frame. The
// script engine makes it; the player's movie loader carries it out.
struct LoadRequest {
    QString url;
    QString baseUrl;  // the loading movie's own URL: relative paths start from its folder
    int level = -1;   // a level number, or -1 to load into clip
    std::weak_ptr<DisplayObject> clip;
    int swfVersion = 8; // of the loading movie; a loaded picture follows its rules
    std::shared_ptr<LoadListener> listener;
};

} // namespace player::display
