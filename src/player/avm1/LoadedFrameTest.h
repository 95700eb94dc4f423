#pragma once

#include <cstdint>

namespace player::avm1 {

class Machine;
class Object;
class Value;

// ifFrameLoaded: whether a clip counts a frame as loaded, so that the actions the test guards
// run. Flash is generous past the frames it has: a fully loaded clip counts every frame up to
// the most a timeline may have as loaded, whatever its own length.

// WaitForFrame, whose frame is written in the action and counted from 0. A target that is not a
// timeline counts every frame within that limit as loaded.
bool waitForFrameLoaded(Object* target, int frameFromZero);

// WaitForFrame2, whose frame comes from the stack and is counted from 1. A whole number wraps as
// a 32-bit integer; anything else is read as text, where only a whole number counts and all else
// (a label, a fraction, NaN) reads as frame 0, which is always loaded.
bool waitForFrame2Loaded(Machine& machine, Object* target, const Value& frame);

} // namespace player::avm1
