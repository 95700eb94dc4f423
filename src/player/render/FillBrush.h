#pragma once

#include "player/swf/Geometry.h"
#include "player/swf/Shape.h"

#include <QBrush>
#include <QImage>
#include <QTransform>

#include <optional>

namespace player::render {

class FillShader;

// The matrix of a fill (gradient square or bitmap pixels to shape twips) as a Qt transform.
QTransform toTransform(const swf::Matrix& matrix);

bool isBitmapFill(swf::FillType type);
bool isClippedBitmapFill(swf::FillType type);
bool isSmoothedBitmapFill(swf::FillType type);

// The brush that paints a fill in shape twips, with the colour transform applied to its colours.
// Bitmap fills take the decoded bitmap (already colour transformed by the caller, since that is
// the costly part); a missing bitmap paints nothing, as Flash shows nothing for it. Linear
// gradients fall on the pixels a little differently at high and low quality.
QBrush makeFillBrush(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform, const QImage& bitmap = {},
                     bool highQuality = true);

// The shader that colours the pixels of a gradient fill in shape twips, with the colour
// transform applied; nothing for other fills or a matrix that collapses the gradient.
std::optional<FillShader> makeGradientShader(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform,
                                             bool highQuality);

} // namespace player::render
