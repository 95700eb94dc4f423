#pragma once

#include "player/swf/Shape.h"

#include <cstdint>

namespace player::render {

// The shape a morph shows at a ratio (0 = start, 65535 = end): edges, fill colours, gradients,
// fill matrices and line widths all interpolated. The result converts like any other shape.
class MorphInterpolator {
public:
    static swf::Shape shapeAt(const swf::MorphShape& morph, uint16_t ratio);
};

} // namespace player::render
