#pragma once

#include "ConvertedShape.h"

#include "player/swf/Shape.h"

namespace player::render {

// Turns the edge records of a shape into closed fill contours and stroke paths.
//
// Each edge of a shape names the fill on each of its sides (fill 1 on the right of its direction,
// fill 0 on the left) and the edges of one fill arrive in any order. The edges of each fill style
// are gathered with the fill 0 runs reversed, so that every run keeps its fill on the same side,
// and the runs are then joined end to start into closed contours. New style arrays in a style
// change record start a new group: everything gathered so far is drawn first, fills in style
// order and then strokes in style order, so the lines of a group lie above all of its fills.
class ShapeConverter {
public:
    static ConvertedShape convert(const swf::Shape& shape);
};

} // namespace player::render
