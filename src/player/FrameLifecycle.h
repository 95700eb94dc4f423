#pragma once

#include "display/Stage.h"

namespace player {

class ActionQueue;

// One tick of every timeline, in Flash's order: clips are visited newest first (the reverse of
// the order they came into being, which the reversed tree walk approximates); each queues its
// enterFrame event and then, when playing, advances its timeline, which places objects and queues
// frame scripts. The queued scripts run after the walk.
class FrameLifecycle {
public:
    explicit FrameLifecycle(ActionQueue& queue) : m_queue(queue) {}

    void advance(display::Stage& stage, bool withScripts);

private:
    ActionQueue& m_queue;
};

} // namespace player
