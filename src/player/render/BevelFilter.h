#pragma once

#include "player/swf/Filter.h"

#include <QImage>

namespace player::render {

// Bevel and GradientBevel: the blurred alpha looked up a distance towards the light and the same
// distance away from it; where the first is stronger the edge faces the light (highlight),
// where the second is it faces away (shadow). A plain bevel colours the two with its highlight
// and shadow colours; a gradient bevel reads its gradient with 128 as flat, lower towards the
// highlight and higher towards the shadow. Inner bevels show on the object, outer ones around
// it, full ones both; knockout leaves the object out.
class BevelFilter {
public:
    static int reach(const swf::Filter& filter, double scale);
    static void apply(QImage& image, const swf::Filter& filter, double scale);
};

} // namespace player::render
