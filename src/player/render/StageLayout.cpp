#include "StageLayout.h"

#include <algorithm>

namespace player::render {

QTransform StageLayout::stageTransform(const swf::Rect& stage, const QSizeF& viewport, ScaleMode mode)
{
    constexpr double TwipsPerPixel = 20.0;
    const double stageWidth = std::max(1.0, stage.width() / TwipsPerPixel);
    const double stageHeight = std::max(1.0, stage.height() / TwipsPerPixel);

    double scaleX = 1.0;
    double scaleY = 1.0;
    switch (mode) {
    case ScaleMode::ExactFit:
        scaleX = viewport.width() / stageWidth;
        scaleY = viewport.height() / stageHeight;
        break;
    case ScaleMode::ShowAll:
        scaleX = scaleY = std::min(viewport.width() / stageWidth, viewport.height() / stageHeight);
        break;
    case ScaleMode::NoScale:
        break;
    }
    const double offsetX = (viewport.width() - stageWidth * scaleX) / 2.0;
    const double offsetY = (viewport.height() - stageHeight * scaleY) / 2.0;

    // Twips to pixels, with the stage's own origin moved to the corner.
    QTransform transform;
    transform.translate(offsetX, offsetY);
    transform.scale(scaleX / TwipsPerPixel, scaleY / TwipsPerPixel);
    transform.translate(-stage.xMin, -stage.yMin);
    return transform;
}

} // namespace player::render
