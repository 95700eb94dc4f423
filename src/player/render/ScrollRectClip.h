#pragma once

#include "player/display/DisplayObject.h"

#include <QPainter>
#include <QRectF>
#include <QTransform>

namespace player::render {

// What a scrollRect does to drawing: the content moves by the rectangle's top left corner, and
// what lies outside the rectangle's size is cut away.
class ScrollRectClip {
public:
    // Maps an object's content to its own twips: a translation by (-xMin, -yMin) of its scroll
    // rectangle, the identity without one.
    static QTransform contentOffset(const display::DisplayObject& object);

    // Maps an object's content to device pixels, given its own twips to device pixels. When the
    // object is straight on the screen Flash draws the content from the visible area's corner
    // as it is cut (see clip), so the content moves by the same fraction of a pixel as that
    // corner does; a turned or skewed object keeps its content where it is.
    static QTransform contentToDevice(const display::DisplayObject& object, const QTransform& objectToDevice);

    // The rectangle that shows, (0, 0) to its size, in the object's own twips.
    static QRectF visibleArea(const swf::Rect& scrollRect);

    // Narrows the painter's clip to the visible area; `objectToDevice` maps the object's own
    // twips to device pixels. The area's edges fall on whole pixels when they are straight on
    // the screen, as Flash's do.
    static void clip(QPainter& painter, const swf::Rect& scrollRect, const QTransform& objectToDevice);
};

} // namespace player::render
