#pragma once

#include "display/MovieClip.h"

#include <memory>
#include <vector>

namespace player {

class ActionQueue;

// One tick of every timeline, in Flash's order. Flash keeps its clips in one list in the order
// they came into being and visits them newest first; each queues its enterFrame event and then,
// when playing, advances its timeline, which places objects and queues frame scripts. Clips made
// during the walk wait for the next tick. The queued scripts run after the walk.
class FrameLifecycle {
public:
    explicit FrameLifecycle(ActionQueue& queue) : m_queue(queue) {}

    // A clip came into being (placed, attached, duplicated, created or loaded into a level).
    void clipCreated(const std::shared_ptr<display::MovieClip>& clip);

    void advance(bool withScripts);

    // Clips still known, oldest first (for tests and for the walk).
    std::vector<std::shared_ptr<display::MovieClip>> liveClips() const;

private:
    ActionQueue& m_queue;
    std::vector<std::weak_ptr<display::MovieClip>> m_clips; // oldest first
};

} // namespace player
