#pragma once

#include "SwfRecords.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace authoring {

enum class BlendMode : uint8_t {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert,
    Alpha, Erase, Overlay, HardLight
};

struct BitmapFilter {
    enum class Kind : uint8_t { DropShadow = 0, Blur = 1, Glow = 2 };
    Kind kind = Kind::Blur;
    double blurX = 4.0; // pixels
    double blurY = 4.0;
    int passes = 1;
    Rgba color;           // shadow and glow
    double angle = 0.785398; // radians, shadow only
    double distance = 4.0;   // pixels, shadow only
    double strength = 1.0;
    bool inner = false;
    bool knockout = false;
};

// A clip event handler of PlaceObject2/3 (SWF 6+ 32-bit event bits).
struct ClipEventHandler {
    uint32_t events = 0;
    QByteArray actions;
};

// PlaceObject2, or PlaceObject3 when a filter, blend mode or cache flag asks for it.
struct PlaceObjectRecord {
    uint16_t depth = 1;
    bool isMove = false;
    std::optional<uint16_t> characterId;
    std::optional<Matrix> transform;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    std::vector<ClipEventHandler> clipEvents;
    std::vector<BitmapFilter> filters;
    std::optional<BlendMode> blendMode;
    bool cacheAsBitmap = false;

    bool needsPlaceObject3() const { return !filters.empty() || blendMode || cacheAsBitmap; }
    QByteArray toBytes(bool asPlaceObject3) const;
};

} // namespace authoring
