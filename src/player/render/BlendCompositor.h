#pragma once

#include "player/swf/Filter.h"

#include <QImage>
#include <QPainter>
#include <QRect>

namespace player::render {

// Puts a layer (an object drawn on its own) onto what lies below it with a Flash blend mode.
// Most modes are Qt composition modes with the same separable formulas; alpha, subtract and
// invert have none and are computed per pixel, which needs the target to be an image.
class BlendCompositor {
public:
    // Whether an object with this mode must be drawn to a layer of its own first. Normal draws
    // straight through; "layer" groups the object so that its parts do not blend with each other.
    static bool needsLayer(swf::BlendMode mode);

    // Draws `layer` at `topLeft` (device pixels) onto the painter's device.
    static void composite(QPainter& painter, const QImage& layer, const QPoint& topLeft, swf::BlendMode mode);
};

} // namespace player::render
