#pragma once

#include "GradientTable.h"

#include <QGradient>
#include <QRgb>

#include <array>
#include <cmath>
#include <memory>

namespace player::render {

// The colours of a gradient brush as a table of premultiplied pixels, looked up by the position
// along the gradient (0 at its start, 1 at its end), with the brush's rule for positions beyond
// the ends: pad holds the end colours, repeat starts over, reflect runs back and forth.
//
// The table has 1024 entries, each the colour at the middle of its 1024th of the gradient.
// Flash's 256-colour table looked up nearest (see FillBrush) changes colour only at multiples of
// a 1024th, since the entry lead is a whole or a quarter entry, so the table holds those steps
// exactly; a blended table or a smooth brush becomes a fine staircase of quarter entries.
class GradientRamp {
public:
    static constexpr int Size = 1024;

    // The table of `stops`, mixed between stops channel by channel before premultiplying
    // (component interpolation) or on premultiplied colours (Qt's colour interpolation).
    static std::shared_ptr<const GradientRamp> fromStops(const QGradientStops& stops, QGradient::Spread spread,
                                                         QGradient::InterpolationMode mixing);

    // How a Flash gradient's pixels take their colours from its 256 entries: each entry lies at
    // (i + 0.5 - lead) / 256 of the way along the gradient. Nearest shows the entry whose 256th
    // of the gradient holds the position; Blended mixes the two entries on either side by
    // distance, in the table's mixing space, and converts only the mix to a shown colour, so a
    // step between two ratios shows as a ramp one entry wide. Before the first entry and after
    // the last, both hold the end entries.
    enum class Lookup { Nearest, Blended };

    // The table of a Flash gradient from its 256 colours in their mixing space (see
    // makeMixingColors).
    static std::shared_ptr<const GradientRamp> fromTable(const GradientColors& mixingColors, GradientMixing mixing,
                                                         Lookup lookup, double entryLead, QGradient::Spread spread);

    // The table entry for a position along the gradient.
    int indexAt(double position) const
    {
        if (!(position == position))
            return 0;
        switch (m_spread) {
        case QGradient::RepeatSpread:
            position -= wholePart(position);
            break;
        case QGradient::ReflectSpread:
            position -= 2.0 * wholePart(position * 0.5);
            if (position > 1.0)
                position = 2.0 - position;
            break;
        case QGradient::PadSpread:
            if (position <= 0.0)
                return 0;
            if (position >= 1.0)
                return Size - 1;
            break;
        }
        const int index = static_cast<int>(position * Size);
        return index < Size ? (index < 0 ? 0 : index) : Size - 1;
    }

    QRgb colorAt(double position) const { return m_colors[static_cast<std::size_t>(indexAt(position))]; }
    QRgb entry(int index) const { return m_colors[static_cast<std::size_t>(index)]; }
    const QRgb* entries() const { return m_colors.data(); }
    QGradient::Spread spread() const { return m_spread; }
    // Whether every colour of the table is opaque.
    bool opaque() const { return m_opaque; }

private:
    // The largest whole number not above `value`, for values far from the integer limits (the
    // position of a pixel on a gradient); others keep their fraction, which stays within 0..1
    // after the subtraction only approximately, as the index is clamped anyway.
    static double wholePart(double value)
    {
        if (!(std::abs(value) < 1e15))
            return value;
        const auto whole = static_cast<long long>(value);
        return static_cast<double>(whole - (static_cast<double>(whole) > value ? 1 : 0));
    }

    std::array<QRgb, Size> m_colors {};
    QGradient::Spread m_spread = QGradient::PadSpread;
    bool m_opaque = true;
};

} // namespace player::render
