#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

namespace player::display {
class BitmapPixels;
}

namespace player::render {

// The script-made bitmaps one drawing of the stage showed, each with the version it had then.
// Scripts change their pixels without the display tree knowing (a bitmap may be shown by several
// objects, or by none), so whoever keeps a picture of the stage asks this whether it went stale.
class ShownBitmaps {
public:
    void clear() { m_shown.clear(); }
    void add(const std::shared_ptr<const display::BitmapPixels>& pixels);
    // True when a bitmap shown has changed since, or is gone.
    bool changed() const;
    bool isEmpty() const { return m_shown.empty(); }

private:
    std::map<const display::BitmapPixels*, std::pair<std::weak_ptr<const display::BitmapPixels>, uint64_t>> m_shown;
};

} // namespace player::render
