#pragma once

#include "DisplayObject.h"

namespace player::display {

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
};

// A bitmap character placed on a display list by itself; one bitmap pixel is 20 twips.
class BitmapInstance : public DisplayObject {
public:
    BitmapInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                   uint16_t characterId);
    const swf::BitmapDefinition& bitmap() const;
    swf::Rect localBounds() const override;
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
