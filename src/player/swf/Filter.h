#pragma once

#include "Geometry.h"

#include <cstdint>
#include <vector>

namespace player::swf {

enum class BlendMode : uint8_t {
    Normal = 1, // 0 is read as Normal too
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    HardLight = 14,
};

enum class FilterType : uint8_t {
    DropShadow = 0,
    Blur = 1,
    Glow = 2,
    Bevel = 3,
    GradientGlow = 4,
    Convolution = 5,
    ColorMatrix = 6,
    GradientBevel = 7,
    // Only scripts make these; the file format has no record for them.
    DisplacementMap = 8,
};

// One record for every filter kind; each kind reads the fields it has in the file.
struct Filter {
    FilterType type = FilterType::Blur;
    double blurX = 4.0;
    double blurY = 4.0;
    int passes = 1; // "quality"
    // DropShadow, Glow, Bevel, gradient filters
    Rgba color;          // shadow / glow colour
    Rgba highlightColor; // Bevel
    double angle = 0.0;    // radians
    double distance = 0.0; // pixels
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    bool onTop = false;
    // GradientGlow, GradientBevel
    std::vector<Rgba> gradientColors;
    std::vector<uint8_t> gradientRatios;
    // ColorMatrix: 20 values, row-major 4x5
    std::vector<float> matrix;
    // Convolution
    int matrixX = 0;
    int matrixY = 0;
    float divisor = 1.0f;
    float bias = 0.0f;
    std::vector<float> convolutionMatrix;
    Rgba defaultColor;
    bool clamp = true;
    bool preserveAlpha = true;
    // DisplacementMap (kept for scripts, not drawn); the map bitmap lives with the script object.
    int32_t mapPointX = 0;
    int32_t mapPointY = 0;
    int32_t componentX = 0;
    int32_t componentY = 0;
    double scaleX = 0.0;
    double scaleY = 0.0;
    uint8_t displacementMode = 0; // wrap, clamp, ignore, color

    bool operator==(const Filter&) const = default;
};

} // namespace player::swf
