#pragma once

#include "player/swf/Filter.h"

#include <QImage>

namespace player::render {

// DropShadow, Glow and GradientGlow: the object's alpha, blurred, moved by the filter's distance
// along its angle (a glow does not move), scaled by its strength and coloured, then put behind
// the object (outer), on it where it covers (inner), or on top of all (a "full" gradient glow).
// Knockout keeps only the shadow where the object is not (outer) or is (inner); without
// composite source ("hide object") the object itself is left out.
class ShadowFilter {
public:
    // Pixels the effect can reach beyond the object, per side. `scale` is device pixels per
    // stage pixel.
    static int reach(const swf::Filter& filter, double scale);

    // Applies the filter to a premultiplied layer in place.
    static void apply(QImage& image, const swf::Filter& filter, double scale);
};

} // namespace player::render
