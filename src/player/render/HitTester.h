#pragma once

#include "RenderCache.h"

#include <QPointF>
#include <QTransform>

namespace player::display {
class DisplayObject;
}

namespace player::render {

// Point tests on display objects, in stage twips: what hitTest asks and what the mouse falls on.
// Shapes are tested on their outlines (fills by their own fill rule, lines at their width), text
// and bitmaps on their bounds, as Flash does.
class HitTester {
public:
    // The object's own-coordinates to stage mapping (every parent's matrix applied).
    static QTransform stageTransform(const display::DisplayObject& object);

    // hitTest(x, y, shapeFlag): with shapeOnly, whether the point lies on something the object or
    // its descendants draw; otherwise whether it lies in the object's bounds on the stage.
    // Invisible objects still count here, as they do in Flash's hitTest.
    bool hitTestPoint(const display::DisplayObject& object, QPointF stagePoint, bool shapeOnly);

    // Whether the point lies on the drawn content of the object and its descendants. Masks are
    // not hit themselves and cut what they mask; a button is hit on its hit area.
    bool hitsContent(const display::DisplayObject& object, QPointF stagePoint, bool skipInvisible);

private:
    bool hitsContentAt(const display::DisplayObject& object, const QTransform& toStage, QPointF stagePoint,
                       bool skipInvisible, int nesting);
    bool hitsOwnShape(const display::DisplayObject& object, QPointF localPoint);

    RenderCache m_cache;
};

} // namespace player::render
