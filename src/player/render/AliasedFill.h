#pragma once

#include "FillShader.h"

#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include <vector>

namespace player::render {

// Aliased ("low" quality) fills coloured by a FillShader: every covered pixel takes the
// shader's colour at its centre and is put over the image source over, at full coverage, as
// the antialiased fills are coloured by CoverageFill. Which pixels are covered is decided
// beforehand and kept as it is: a device path of whole-pixel rectangles (what AliasedGeometry
// gives for fills and thin lines) covers those rectangles; any other device path covers the
// pixels Qt fills for it without antialiasing.
class AliasedFill {
public:
    // One run of covered pixels: `length` pixels of row `y` from column `x` on.
    struct Run {
        int x = 0;
        int y = 0;
        int length = 0;
        bool operator==(const Run&) const = default;
    };

    // Whether fill() would draw for this painter: one that simply puts pixels over its image
    // (see CoverageFill::plainTarget), without antialiasing or a view transform.
    static bool handles(const QPainter& painter);

    // Colours the pixels `devicePath` covers with `shader` (both in device pixels) and returns
    // true, or draws nothing and returns false when the painter asks for what this does not do.
    static bool fill(QPainter& painter, const QPainterPath& devicePath, const FillShader& shader);

    // The pixels `devicePath` covers within `area`, row by row from the top, left to right
    // within a row, no pixel twice.
    static std::vector<Run> coveredRuns(const QPainterPath& devicePath, const QRect& area);
};

} // namespace player::render
