#pragma once

#include <cstdint>

namespace player::swf {

// Stage coordinates are twips (1/20 pixel) throughout the reader.
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;

    // Bounds of objects scaled without limit span the whole range: their size saturates.
    int32_t width() const { return span(xMin, xMax); }
    int32_t height() const { return span(yMin, yMax); }
    bool operator==(const Rect&) const = default;

private:
    static int32_t span(int32_t from, int32_t to)
    {
        const int64_t size = int64_t(to) - int64_t(from);
        return size > INT32_MAX ? INT32_MAX : size < INT32_MIN ? INT32_MIN : int32_t(size);
    }
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty; translation in twips.
struct Matrix {
    double a = 1.0; // scale x
    double b = 0.0; // rotate/skew 0
    double c = 0.0; // rotate/skew 1
    double d = 1.0; // scale y
    double tx = 0.0;
    double ty = 0.0;

    bool operator==(const Matrix&) const = default;
};

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;

    bool operator==(const Rgba&) const = default;
};

// result = clamp(channel * mult / 256 + add), per channel, alpha included. Multipliers are kept
// in Flash's 8.8 fixed point (256 = 1.0) so that composing stays exact as in the player.
struct ColorTransform {
    int32_t redMult = 256;
    int32_t greenMult = 256;
    int32_t blueMult = 256;
    int32_t alphaMult = 256;
    int32_t redAdd = 0;
    int32_t greenAdd = 0;
    int32_t blueAdd = 0;
    int32_t alphaAdd = 0;

    bool isIdentity() const { return *this == ColorTransform{}; }
    bool operator==(const ColorTransform&) const = default;
};

} // namespace player::swf
