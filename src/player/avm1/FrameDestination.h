#pragma once

#include <optional>

namespace player::avm1 {

class Machine;
class Object;
class Value;

// The frame a goto given as a value leads to: gotoAndPlay, gotoAndStop and the GotoFrame2 action
// share these rules.
struct FrameDestination {
    Object* clip = nullptr;
    int frame = 0; // counted from 0, at most the last frame a timeline can have
};

// A whole number is a frame number that wraps around as a 32-bit integer; anything else is read
// as text, "path:frame" or "path.frame" naming another clip, where the frame is a number when it
// reads as one and a label otherwise. The scene bias of GotoFrame2 is added to the number. A
// frame at or below 0 or an unknown label or clip leads nowhere.
std::optional<FrameDestination> frameDestination(Machine& machine, Object* clip, const Value& frame, int sceneBias);

} // namespace player::avm1
