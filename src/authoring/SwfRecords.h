#pragma once

#include "ByteWriter.h"

#include <cstdint>

namespace authoring {

// Coordinates handed to the writer are twips (1/20 pixel), as stored in the file.
constexpr int twipsPerPixel = 20;

struct TwipsRect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
};

struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;
};

// x' = scaleX*x + rotateSkew1*y + translateX, y' = rotateSkew0*x + scaleY*y + translateY.
struct Transform {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double rotateSkew0 = 0.0;
    double rotateSkew1 = 0.0;
    int32_t translateX = 0; // twips
    int32_t translateY = 0;

    static Transform translation(int32_t x, int32_t y) { return {1.0, 1.0, 0.0, 0.0, x, y}; }
};

// Multipliers in 8.8 fixed point (256 = 1.0), additions in colour units.
struct ColorAdjust {
    int32_t redMult = 256;
    int32_t greenMult = 256;
    int32_t blueMult = 256;
    int32_t alphaMult = 256;
    int32_t redAdd = 0;
    int32_t greenAdd = 0;
    int32_t blueAdd = 0;
    int32_t alphaAdd = 0;
};

void writeRect(ByteWriter& out, const TwipsRect& rect);
void writeTransform(ByteWriter& out, const Transform& transform);
void writeColorAdjustWithAlpha(ByteWriter& out, const ColorAdjust& adjust);
void writeRgb(ByteWriter& out, const Color& color);
void writeRgba(ByteWriter& out, const Color& color);

} // namespace authoring
