#include "GradientTable.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// Flash keeps a linear-light gradient's colours as bytes of linear light, the fraction cut off,
// and mixes those bytes; only the mixed byte goes back to sRGB. So a dark channel can come out
// darker than both of its stops: green 20 is linear byte 1, which shows as 13.
uint8_t toLinearLight(uint8_t value)
{
    const double fraction = value / 255.0;
    const double linear = fraction <= 0.04045 ? fraction / 12.92 : std::pow((fraction + 0.055) / 1.055, 2.4);
    return static_cast<uint8_t>(std::clamp(linear * 255.0, 0.0, 255.0));
}

// Going back, Flash reads the mixed light as if alpha were already applied to it: it divides
// the light by the entry's alpha, converts that to sRGB and multiplies by alpha again. An opaque
// entry is unaffected; a translucent one comes out darker than its light (white at half alpha
// shows as 173), and this darker colour is then drawn at the entry's alpha as usual.
uint8_t fromLinearLight(double value, double alpha)
{
    const double coverage = alpha / 255.0;
    const double linear = alpha > 0.0 ? value / 255.0 / coverage : value / 255.0;
    const double fraction = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::clamp(std::lround(fraction * coverage * 255.0), 0L, 255L));
}

uint8_t byteOf(double value)
{
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The colour `step` steps of `steps` from `from` to `to`. Mixing rounds down, as Flash's table
// does (a gradient from 197 to 161 over 255 steps shows 194 at step 17, not 195), in whole
// numbers so that no step lands a hair below a whole value.
uint8_t mixChannel(uint8_t from, uint8_t to, int step, int steps)
{
    return static_cast<uint8_t>((from * (steps - step) + to * step) / steps);
}

swf::Rgba mixColors(const swf::Rgba& from, const swf::Rgba& to, int step, int steps)
{
    return swf::Rgba { mixChannel(from.r, to.r, step, steps), mixChannel(from.g, to.g, step, steps),
                       mixChannel(from.b, to.b, step, steps), mixChannel(from.a, to.a, step, steps) };
}

GradientColors makeStraightColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios)
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
            table[static_cast<size_t>(next)] = mixColors(colors[record - 1], colors[record], next - previousRatio, span);
    }
    for (; next < size; ++next)
        table[static_cast<size_t>(next)] = colors[count - 1];
    return table;
}

} // namespace

GradientColors makeMixingColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios,
                                GradientMixing mixing)
{
    if (mixing != GradientMixing::LinearLight)
        return makeStraightColors(colors, ratios);
    // Alpha is a coverage, never a light level: it mixes as it is.
    std::vector<swf::Rgba> light;
    light.reserve(colors.size());
    for (const swf::Rgba& color : colors)
        light.push_back(swf::Rgba { toLinearLight(color.r), toLinearLight(color.g), toLinearLight(color.b), color.a });
    return makeStraightColors(light, ratios);
}

swf::Rgba shownColor(double red, double green, double blue, double alpha, GradientMixing mixing)
{
    if (mixing != GradientMixing::LinearLight)
        return swf::Rgba { byteOf(red), byteOf(green), byteOf(blue), byteOf(alpha) };
    const uint8_t shownAlpha = byteOf(alpha);
    return swf::Rgba { fromLinearLight(red, shownAlpha), fromLinearLight(green, shownAlpha), fromLinearLight(blue, shownAlpha),
                       shownAlpha };
}

GradientColors makeGradientColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios,
                                  GradientMixing mixing)
{
    GradientColors table = makeMixingColors(colors, ratios, mixing);
    if (mixing == GradientMixing::LinearLight) {
        for (swf::Rgba& entry : table)
            entry = shownColor(entry.r, entry.g, entry.b, entry.a, mixing);
    }
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
