#pragma once

#include <QRgb>
#include <algorithm>

namespace player::render {

// Arithmetic on premultiplied pixels shared by the filters, rounded to nearest.

// Every channel times `amount` / 255.
inline QRgb scaledPixel(QRgb color, int amount)
{
    auto channel = [amount](int value) { return (value * amount + 127) / 255; };
    return qRgba(channel(qRed(color)), channel(qGreen(color)), channel(qBlue(color)), channel(qAlpha(color)));
}

// `top` drawn over `bottom`.
inline QRgb pixelOver(QRgb top, QRgb bottom)
{
    const int keep = 255 - qAlpha(top);
    auto channel = [keep](int upper, int lower) { return std::min(255, upper + (lower * keep + 127) / 255); };
    return qRgba(channel(qRed(top), qRed(bottom)), channel(qGreen(top), qGreen(bottom)),
                 channel(qBlue(top), qBlue(bottom)), channel(qAlpha(top), qAlpha(bottom)));
}

// `top`, not yet limited to where `bottom` is, drawn on `bottom` only: `top` counts as much as
// `bottom` covers and what shows through keeps `bottom`'s alpha, which does not change.
inline QRgb pixelAtop(QRgb top, QRgb bottom)
{
    const int cover = qAlpha(bottom);
    const int keep = 255 - qAlpha(top);
    auto channel = [cover, keep](int upper, int lower) {
        return std::min(255, (upper * cover + 127) / 255 + (lower * keep + 127) / 255);
    };
    return qRgba(channel(qRed(top), qRed(bottom)), channel(qGreen(top), qGreen(bottom)), channel(qBlue(top), qBlue(bottom)),
                 cover);
}

// A premultiplied pixel with channels from 0 to 1, for effects that mix several pixels and round
// only once, when the result is stored.
struct UnitPixel {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 0.0;

    static UnitPixel from(QRgb pixel)
    {
        return { qRed(pixel) / 255.0, qGreen(pixel) / 255.0, qBlue(pixel) / 255.0, qAlpha(pixel) / 255.0 };
    }

    // Rounded to the nearest of the 256 levels, each channel kept within 0..255.
    QRgb toRgb() const
    {
        auto level = [](double value) { return static_cast<int>(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5); };
        return qRgba(level(red), level(green), level(blue), level(alpha));
    }

    UnitPixel operator*(double factor) const { return { red * factor, green * factor, blue * factor, alpha * factor }; }
    UnitPixel operator+(const UnitPixel& other) const
    {
        return { red + other.red, green + other.green, blue + other.blue, alpha + other.alpha };
    }
};

} // namespace player::render
