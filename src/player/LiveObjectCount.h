#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace player {

namespace display {
class DisplayObject;
}

// How many display objects of a player are alive. Each placed object is remembered weakly;
// the ones gone are swept out whenever the list has doubled, so counting costs little more
// than the placing itself.
class LiveObjectCount {
public:
    // Remembers a placed object; returns how many are alive at most (the count may still hold
    // a few that have gone since the last sweep).
    size_t add(const std::shared_ptr<display::DisplayObject>& object);
    // Sweeps out the objects that are gone and returns the exact count.
    size_t count();
    void clear() { m_objects.clear(); }

private:
    std::vector<std::weak_ptr<display::DisplayObject>> m_objects;
    size_t m_sweepAt = 1024;
};

} // namespace player
