#include "ShownBitmaps.h"

#include "player/display/BitmapPixels.h"

namespace player::render {

void ShownBitmaps::add(const std::shared_ptr<const display::BitmapPixels>& pixels)
{
    if (pixels)
        m_shown[pixels.get()] = {pixels, pixels->version()};
}

bool ShownBitmaps::changed() const
{
    for (const auto& [address, entry] : m_shown) {
        const std::shared_ptr<const display::BitmapPixels> pixels = entry.first.lock();
        if (!pixels || pixels->version() != entry.second)
            return true;
    }
    return false;
}

} // namespace player::render
