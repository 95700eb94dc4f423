#pragma once

#include <QRgb>

namespace player::render {

// Source-over blending of one run of premultiplied ARGB32 pixels under one coverage, as Qt's
// raster engine blends a solid colour: the colour scaled by the coverage, then the pixel below
// scaled by what the result leaves uncovered, both rounded as CoverageFill::scaledPixel rounds.
//
// The runs go four pixels at a time through the processor's vector instructions when
// PixelVectors is on; the results are the same to the unit either way.
class RunBlender {
public:
    // `length` pixels from `pixels` on, covered `coverage` / 255 by `color`.
    static void blendSolid(QRgb* pixels, int length, QRgb color, int coverage);
    // `length` pixels from `pixels` on, covered `coverage` / 255 by `colors`, one each.
    static void blendColors(QRgb* pixels, const QRgb* colors, int length, int coverage);
};

} // namespace player::render
