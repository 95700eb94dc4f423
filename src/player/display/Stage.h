#pragma once

#include "ChangeCounter.h"
#include "MovieClip.h"

#include <map>
#include <memory>
#include <vector>

namespace player::display {

// The levels of a player: _level0 (the movie that sets the stage size, frame rate and
// background) and any movies loaded above it. Levels are drawn in ascending order.
class Stage {
public:
    using LevelMap = std::map<int, std::shared_ptr<MovieClip>>;

    const LevelMap& levels() const { return m_levels; }
    MovieClip* level(int number) const;

    // Puts a root clip at a level. The level it replaces is returned so that the caller can keep
    // it alive until the script or frame that asked for the replacement has finished.
    std::shared_ptr<MovieClip> setLevel(int number, std::shared_ptr<MovieClip> root);
    std::shared_ptr<MovieClip> removeLevel(int number);
    void clear();

    // Stage rectangle in twips (level 0's frame size; 550 x 400 pixels before a movie loads).
    swf::Rect stageRect() const;
    // Level 0's background colour (white without one, as Flash shows).
    swf::Rgba backgroundColor() const;
    double frameRate() const;

    // Grows whenever something on the stage changes what it shows (a level put or taken away,
    // anything in a level's tree); see ChangeCounter.
    uint64_t changeCount() const { return m_changes->count(); }

private:
    LevelMap m_levels;
    std::shared_ptr<ChangeCounter> m_changes = std::make_shared<ChangeCounter>();
};

} // namespace player::display
