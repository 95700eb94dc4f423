#pragma once

#include "ActionBytes.h"
#include "Filter.h"
#include "Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace player::swf {

struct ButtonRecord {
    bool hitTest = false;
    bool down = false;
    bool over = false;
    bool up = false;
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform; // DefineButton2, or DefineButtonCxform for DefineButton
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool operator==(const ButtonRecord&) const = default;
};

// Condition bits of DefineButton2's action records (DefineButton's single block is "release").
enum ButtonCondition : uint16_t {
    IdleToOverUp = 0x0001,     // roll over
    OverUpToIdle = 0x0002,     // roll out
    OverUpToOverDown = 0x0004, // press
    OverDownToOverUp = 0x0008, // release
    OverDownToOutDown = 0x0010, // drag out
    OutDownToOverDown = 0x0020, // drag over
    OutDownToIdle = 0x0040,    // release outside
    IdleToOverDown = 0x0080,   // drag over (menu)
    OverDownToIdle = 0x0100,   // drag out (menu)
};

struct ButtonAction {
    uint16_t conditions = 0; // ButtonCondition bits
    uint8_t keyCode = 0;     // key press condition, 0 = none
    ActionCode actions;
};

struct Button {
    uint16_t id = 0;
    int version = 1;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
};

} // namespace player::swf
