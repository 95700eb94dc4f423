#pragma once

#include "ByteWriter.h"
#include "player/swf/Geometry.h"

#include <cstdint>

namespace authoring {

// The kit writes the reader's own records, so that what it builds is what the player reads.
using player::swf::ColorTransform;
using player::swf::Matrix;
using player::swf::Rect;
using player::swf::Rgba;

// Coordinates handed to the writer are twips (1/20 pixel), as stored in the file.
constexpr int twipsPerPixel = 20;

// A matrix that only moves, by whole twips.
inline Matrix translation(int32_t x, int32_t y)
{
    Matrix matrix;
    matrix.tx = x;
    matrix.ty = y;
    return matrix;
}

void writeRect(ByteWriter& out, const Rect& rect);
// Scales and skews go in 16.16 fixed point; the translation is rounded to whole twips.
void writeMatrix(ByteWriter& out, const Matrix& matrix);
void writeColorTransformWithAlpha(ByteWriter& out, const ColorTransform& transform);
void writeRgb(ByteWriter& out, const Rgba& color);
void writeRgba(ByteWriter& out, const Rgba& color);

} // namespace authoring
