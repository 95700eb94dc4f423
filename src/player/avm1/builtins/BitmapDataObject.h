#pragma once

#include "player/avm1/Object.h"

#include <memory>

namespace player::display {
class BitmapPixels;
}

namespace player::avm1::builtins {

// A flash.display.BitmapData: a script object holding pixels. dispose() lets go of them; the
// object then answers as an empty bitmap. Clips showing the pixels (attachBitmap) keep them.
class BitmapDataObject final : public Object {
public:
    BitmapDataObject(Object* prototype, std::shared_ptr<display::BitmapPixels> pixels);

    // Null once disposed, or when the constructor's size was refused.
    const std::shared_ptr<display::BitmapPixels>& pixels() const { return m_pixels; }
    void dispose() { m_pixels.reset(); }

    // The bitmap behind a value, or null when it is none (or disposed).
    static display::BitmapPixels* pixelsOf(const Value& value);

private:
    std::shared_ptr<display::BitmapPixels> m_pixels;
};

} // namespace player::avm1::builtins
