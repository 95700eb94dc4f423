#include "GradientRamp.h"

#include <QColor>
#include <QRgba64>

#include <algorithm>

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

} // namespace player::render
