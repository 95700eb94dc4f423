#include "GradientRamp.h"

#include <QColor>
#include <QRgba64>

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// `from` mixed with `to`, `amount` (0..1) of the way, channel by channel.
QRgba64 mix(const QRgba64& from, const QRgba64& to, double amount)
{
    const auto channel = [amount](unsigned a, unsigned b) {
        return static_cast<quint16>(std::lround(a + (double(b) - double(a)) * amount));
    };
    return QRgba64::fromRgba64(channel(from.red(), to.red()), channel(from.green(), to.green()),
                               channel(from.blue(), to.blue()), channel(from.alpha(), to.alpha()));
}

} // namespace

std::shared_ptr<const GradientRamp> GradientRamp::fromStops(const QGradientStops& stops, QGradient::Spread spread,
                                                            QGradient::InterpolationMode mixing)
{
    auto ramp = std::make_shared<GradientRamp>();
    ramp->m_spread = spread;
    const bool premultipliedMixing = mixing == QGradient::ColorInterpolation;
    const auto colorOf = [premultipliedMixing](const QColor& color) {
        const QRgba64 value = color.rgba64();
        return premultipliedMixing ? value.premultiplied() : value;
    };
    qsizetype next = 0; // the first stop after the position
    for (int index = 0; index < Size; ++index) {
        const double position = (index + 0.5) / Size;
        while (next < stops.size() && stops[next].first <= position)
            ++next;
        QRgba64 color;
        if (stops.isEmpty())
            color = QRgba64::fromRgba64(0, 0, 0, 0);
        else if (next == 0)
            color = colorOf(stops.front().second);
        else if (next == stops.size())
            color = colorOf(stops.back().second);
        else {
            const QGradientStop& before = stops[next - 1];
            const QGradientStop& after = stops[next];
            const double span = after.first - before.first;
            const double amount = span > 0.0 ? std::clamp((position - before.first) / span, 0.0, 1.0) : 1.0;
            color = mix(colorOf(before.second), colorOf(after.second), amount);
        }
        const QRgb pixel = premultipliedMixing ? color.toArgb32() : color.premultiplied().toArgb32();
        ramp->m_colors[static_cast<std::size_t>(index)] = pixel;
        ramp->m_opaque = ramp->m_opaque && qAlpha(pixel) == 255;
    }
    return ramp;
}

std::shared_ptr<const GradientRamp> GradientRamp::fromTable(const GradientColors& mixingColors, GradientMixing mixing,
                                                            Lookup lookup, double entryLead, QGradient::Spread spread)
{
    auto ramp = std::make_shared<GradientRamp>();
    ramp->m_spread = spread;
    constexpr int last = static_cast<int>(std::tuple_size_v<GradientColors>) - 1;
    constexpr double entriesPerIndex = (last + 1.0) / Size;
    const auto entryAt = [&mixingColors](double whole) -> const swf::Rgba& {
        return mixingColors[static_cast<std::size_t>(std::clamp(whole, 0.0, double(last)))];
    };
    for (int index = 0; index < Size; ++index) {
        // The position of the index's middle, counted in entries from the first entry's middle.
        const double entry = (index + 0.5) * entriesPerIndex - 0.5 + entryLead;
        swf::Rgba shown;
        if (lookup == Lookup::Nearest) {
            const swf::Rgba& color = entryAt(std::floor(entry + 0.5));
            shown = shownColor(color.r, color.g, color.b, color.a, mixing);
        } else {
            const double whole = std::floor(entry);
            const double weight = entry - whole;
            const swf::Rgba& from = entryAt(whole);
            const swf::Rgba& to = entryAt(whole + 1.0);
            const auto mix = [weight](uint8_t a, uint8_t b) { return a + (double(b) - double(a)) * weight; };
            shown = shownColor(mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a), mixing);
        }
        const QRgb pixel = qPremultiply(qRgba(shown.r, shown.g, shown.b, shown.a));
        ramp->m_colors[static_cast<std::size_t>(index)] = pixel;
        ramp->m_opaque = ramp->m_opaque && qAlpha(pixel) == 255;
    }
    return ramp;
}

} // namespace player::render
