#pragma once

#include "player/swf/Geometry.h"

#include <QColor>
#include <QImage>

namespace player::render {

// The transform that applies `inner` first and then `outer`: a child's transform composed with
// its parent's, as the display tree is walked downwards.
swf::ColorTransform composeColorTransforms(const swf::ColorTransform& outer, const swf::ColorTransform& inner);

// One straight (not premultiplied) colour through a transform, each channel clamped to 0..255.
QColor applyColorTransform(const swf::ColorTransform& transform, const swf::Rgba& color);

// A premultiplied image through a transform; the result is premultiplied too. The identity
// returns the image unchanged (shared, not copied).
QImage applyColorTransform(const swf::ColorTransform& transform, const QImage& image);

} // namespace player::render
