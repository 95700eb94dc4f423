#include "GraphicInstances.h"

#include "BitmapPixels.h"
#include "Bounds.h"

namespace player::display {

ShapeInstance::ShapeInstance(std::shared_ptr<const MovieLibrary> library,
                             std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::Shape, std::move(library), std::move(character), characterId)
{
}

const swf::Shape& ShapeInstance::shape() const
{
    return std::get<swf::Shape>(*character());
}

swf::Rect ShapeInstance::localBounds() const
{
    return shape().bounds;
}

MorphShapeInstance::MorphShapeInstance(std::shared_ptr<const MovieLibrary> library,
                                       std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::MorphShape, std::move(library), std::move(character), characterId)
{
}

const swf::MorphShape& MorphShapeInstance::morphShape() const
{
    return std::get<swf::MorphShape>(*character());
}

swf::Rect MorphShapeInstance::localBounds() const
{
    const swf::MorphShape& morph = morphShape();
    const double t = ratio() / 65535.0;
    auto mix = [t](int32_t start, int32_t end) { return static_cast<int32_t>(start + (end - start) * t); };
    return {mix(morph.startBounds.xMin, morph.endBounds.xMin), mix(morph.startBounds.xMax, morph.endBounds.xMax),
            mix(morph.startBounds.yMin, morph.endBounds.yMin), mix(morph.startBounds.yMax, morph.endBounds.yMax)};
}

BitmapInstance::BitmapInstance(std::shared_ptr<const MovieLibrary> library,
                               std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::Bitmap, std::move(library), std::move(character), characterId)
{
}

BitmapInstance::BitmapInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const BitmapPixels> pixels)
    : DisplayObject(DisplayKind::Bitmap, std::move(library), nullptr, 0), m_pixels(std::move(pixels))
{
}

const swf::BitmapDefinition& BitmapInstance::bitmap() const
{
    return std::get<swf::BitmapDefinition>(*character());
}

swf::Rect BitmapInstance::localBounds() const
{
    if (m_pixels)
        return {0, m_pixels->width() * 20, 0, m_pixels->height() * 20};
    // Only lossless bitmaps carry their size in the tag; JPEG sizes are known after decoding.
    const swf::BitmapDefinition& definition = bitmap();
    return {0, definition.width * 20, 0, definition.height * 20};
}

StaticTextInstance::StaticTextInstance(std::shared_ptr<const MovieLibrary> library,
                                       std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayObject(DisplayKind::StaticText, std::move(library), std::move(character), characterId)
{
}

const swf::StaticText& StaticTextInstance::text() const
{
    return std::get<swf::StaticText>(*character());
}

swf::Rect StaticTextInstance::localBounds() const
{
    return transformedRect(text().matrix, text().bounds);
}

} // namespace player::display
