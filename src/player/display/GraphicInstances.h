#pragma once

#include "DisplayObject.h"

#include <memory>

namespace player::display {

class BitmapPixels;

// A DefineShape instance.
class ShapeInstance : public DisplayObject {
public:
    ShapeInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                  uint16_t characterId);
    const swf::Shape& shape() const;
    swf::Rect localBounds() const override;
};

// A DefineMorphShape instance, drawn at ratio() (0 = start shape, 65535 = end shape).
class MorphShapeInstance : public DisplayObject {
public:
    MorphShapeInstance(std::shared_ptr<const MovieLibrary> library,
                       std::shared_ptr<const swf::Character> character, uint16_t characterId);
    const swf::MorphShape& morphShape() const;
    swf::Rect localBounds() const override;
    swf::Rect scriptBounds() const override { return morphShape().startBounds; }
};

// A bitmap character placed on a display list by itself; one bitmap pixel is 20 twips.
class BitmapInstance : public DisplayObject {
public:
    BitmapInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                   uint16_t characterId);
    // A script-made bitmap shown by attachBitmap: it has pixels and no character.
    BitmapInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const BitmapPixels> pixels);
    // Only for an instance of a character (pixels() is null).
    const swf::BitmapDefinition& bitmap() const;
    const std::shared_ptr<const BitmapPixels>& pixels() const { return m_pixels; }
    swf::Rect localBounds() const override;

private:
    std::shared_ptr<const BitmapPixels> m_pixels;
};

// A DefineText instance.
class StaticTextInstance : public DisplayObject {
public:
    StaticTextInstance(std::shared_ptr<const MovieLibrary> library,
                       std::shared_ptr<const swf::Character> character, uint16_t characterId);
    const swf::StaticText& text() const;
    swf::Rect localBounds() const override;
};

} // namespace player::display
