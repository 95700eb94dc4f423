#include "GlyphColor.h"

#include "ColorTransforms.h"

namespace player::render {

QColor glyphColor(const swf::ColorTransform& transform, uint32_t rgb)
{
    const auto multiplier = [](uint32_t channel) { return int32_t(channel * 256 / 255); };
    swf::ColorTransform tint;
    tint.redMult = multiplier((rgb >> 16) & 0xff);
    tint.greenMult = multiplier((rgb >> 8) & 0xff);
    tint.blueMult = multiplier(rgb & 0xff);
    return applyColorTransform(composeColorTransforms(transform, tint), swf::Rgba {255, 255, 255, 255});
}

} // namespace player::render
