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

} // namespace player::render
