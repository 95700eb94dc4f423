#pragma once

#include "player/swf/Filter.h"

#include <QImage>
#include <vector>

namespace player::render {

// A display object's filters, applied in order to the layer the object was drawn into. Filters
// work in device pixels: their sizes and distances are stage pixels and follow the stage's
// scale, not the object's own transform (a clip scaled to twice its size keeps the same blur,
// as in Flash).
class FilterChain {
public:
    // A layer's edge is never moved further than this for filters, whatever their sizes.
    static constexpr int MaximumReach = 1024;

    // How far the filters together can carry colour beyond the object, per side, in pixels.
    static int reach(const std::vector<swf::Filter>& filters, double scale);

    // How many rows away a pixel of the filtered layer may take anything from, through all the
    // filters in turn: a band of a layer drawn this much further up and down, filtered on its
    // own, has the rows of the whole layer filtered. At least reach(): a convolution's matrix
    // reads its neighbours too, and each filter is given a row to spare.
    static int rowReach(const std::vector<swf::Filter>& filters, double scale);

    // Applies each filter in turn to a premultiplied layer; unknown kinds are skipped.
    static void apply(QImage& image, const std::vector<swf::Filter>& filters, double scale);
};

} // namespace player::render
