#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>

namespace player::render {

// Where Flash puts the pixels of an edge when it does not antialias ("low" quality).
//
// A pixel is filled when its centre lies inside the shape. Fill points are not rounded to
// device twips after the transform (rotated and scaled shapes included), only to the nearest
// 256th of a device pixel, the fixed point Flash holds them in.
// Curves are cut into straight edges. Fills and lines break the tie of a centre lying exactly
// on an edge differently:
// - a fill takes the pixel whose centre is on its right (or bottom) edge and leaves the one on
//   its left (or top) edge: a square from x = 12.5 to 87.5 fills columns 13 to 87; on a
//   slanted edge it is the other way round (see AliasedScanConverter);
// - a line takes the pixel on its left (or top) edge and leaves the one on its right (or
//   bottom) edge: a one-pixel line centred on x = 100 fills column 99, not 100.
// Line outlines are moved to the nearest twentieth of a device pixel (a device twip) and then
// up and left by half a device twip. That is small enough that no other centre changes side,
// since every snapped point is a whole number of device twips from every centre.
//
// Fills are decided by AliasedScanConverter and lines one pixel wide or thinner by
// thinLineToDevice, exactly; the outlines of wider lines are still filled by Qt.
class AliasedGeometry {
public:
    // The pixels a fill covers, as whole-pixel rectangles in device pixels within `area`, ready
    // to be filled without antialiasing.
    static QPainterPath fillToDevice(const QPainterPath& path, const QTransform& toDevice, const QRect& area);

    // The pixels a line one device pixel wide or thinner covers, as whole-pixel rectangles in
    // device pixels within `area`. Flash cuts its curves as it does a fill's and takes every
    // pixel whose centre lies within half a pixel of one of the straight pieces: the line is
    // one pixel wide, with round ends and corners.
    static QPainterPath thinLineToDevice(const QPainterPath& path, const QTransform& toDevice, const QRect& area);

    // The outline of a line in device pixels, snapped to device twips and moved as lines are,
    // for Qt to fill.
    static QPainterPath lineOutlineToDevice(const QPainterPath& outline, const QTransform& toDevice);
};

} // namespace player::render
