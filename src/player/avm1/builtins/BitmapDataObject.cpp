#include "BitmapDataObject.h"

#include "player/display/BitmapPixels.h"

namespace player::avm1::builtins {

BitmapDataObject::BitmapDataObject(Object* prototype, std::shared_ptr<display::BitmapPixels> pixels)
    : Object(prototype), m_pixels(std::move(pixels))
{
}

display::BitmapPixels* BitmapDataObject::pixelsOf(const Value& value)
{
    auto* object = dynamic_cast<BitmapDataObject*>(value.asObject());
    return object ? object->pixels().get() : nullptr;
}

} // namespace player::avm1::builtins
