#pragma once

#include "ScaleMode.h"
#include "player/swf/Geometry.h"

#include <QSizeF>
#include <QTransform>

namespace player::render {

// Where the stage goes in a viewport of a given size, as Flash places it with the default
// (centred) alignment: ExactFit stretches it to fill, ShowAll scales it uniformly to fit and
// centres it with borders, NoScale shows it at one pixel per 20 twips, centred.
class StageLayout {
public:
    // Maps stage twips to viewport pixels. A degenerate stage maps as if it were one pixel.
    static QTransform stageTransform(const swf::Rect& stage, const QSizeF& viewport, ScaleMode mode);
};

} // namespace player::render
