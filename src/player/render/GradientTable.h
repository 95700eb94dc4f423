#pragma once

#include "player/swf/Geometry.h"

#include <QRgb>
#include <array>
#include <vector>

namespace player::render {

// The 256 colours of a filter gradient (GradientGlow, GradientBevel), premultiplied, mixed
// straight between neighbouring stops and held at the first and last stop's colour beyond them.
using GradientTable = std::array<QRgb, 256>;

GradientTable makeGradientTable(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios);

} // namespace player::render
