#include "GradientTable.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

double toLinearLight(uint8_t value)
{
    const double fraction = value / 255.0;
    return fraction <= 0.04045 ? fraction / 12.92 : std::pow((fraction + 0.055) / 1.055, 2.4);
}

uint8_t fromLinearLight(double value)
{
    const double fraction = value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1.0 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::clamp(std::lround(fraction * 255.0), 0L, 255L));
}

// The colour `step` steps of `steps` from `from` to `to`. Straight mixing rounds down, as
// Flash's table does (a gradient from 197 to 161 over 255 steps shows 194 at step 17, not 195),
// in whole numbers so that no step lands a hair below a whole value.
uint8_t mixChannel(uint8_t from, uint8_t to, int step, int steps, bool linearLight)
{
    if (linearLight)
        return fromLinearLight(toLinearLight(from) + (toLinearLight(to) - toLinearLight(from)) * step / steps);
    return static_cast<uint8_t>((from * (steps - step) + to * step) / steps);
}

swf::Rgba mixColors(const swf::Rgba& from, const swf::Rgba& to, int step, int steps, GradientMixing mixing)
{
    const bool linearLight = mixing == GradientMixing::LinearLight;
    // Alpha is a coverage, never a light level: it always mixes straight.
    return swf::Rgba { mixChannel(from.r, to.r, step, steps, linearLight), mixChannel(from.g, to.g, step, steps, linearLight),
                       mixChannel(from.b, to.b, step, steps, linearLight), mixChannel(from.a, to.a, step, steps, false) };
}

} // namespace

GradientColors makeGradientColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios,
                                  GradientMixing mixing)
{
    GradientColors table {};
    const size_t count = std::min(colors.size(), ratios.size());
    if (count == 0)
        return table;
    constexpr int size = static_cast<int>(std::tuple_size_v<GradientColors>);
    int next = 0; // the first entry not yet written
    for (size_t record = 0; record < count && next < size; ++record) {
        const int ratio = ratios[record];
        if (record == 0) {
            while (next <= ratio)
                table[static_cast<size_t>(next++)] = colors[0];
            continue;
        }
        if (ratio < next) {
            table[static_cast<size_t>(next++)] = colors[record - 1];
            continue;
        }
        // The table has passed the previous ratio, so the span is at least one.
        const int previousRatio = ratios[record - 1];
        const int span = ratio - previousRatio;
        for (; next <= ratio; ++next)
            table[static_cast<size_t>(next)] = mixColors(colors[record - 1], colors[record], next - previousRatio, span, mixing);
    }
    for (; next < size; ++next)
        table[static_cast<size_t>(next)] = colors[count - 1];
    return table;
}

GradientTable makeGradientTable(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios)
{
    const GradientColors straight = makeGradientColors(colors, ratios);
    GradientTable table {};
    if (std::min(colors.size(), ratios.size()) == 0)
        return table;
    for (size_t index = 0; index < table.size(); ++index) {
        const swf::Rgba& color = straight[index];
        table[index] = qPremultiply(qRgba(color.r, color.g, color.b, color.a));
    }
    return table;
}

} // namespace player::render
