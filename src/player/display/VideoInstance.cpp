#include "VideoInstance.h"

namespace player::display {

VideoInstance::VideoInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                             uint16_t characterId)
    : DisplayObject(DisplayKind::Video, std::move(library), std::move(character), characterId)
{
}

const swf::VideoStream& VideoInstance::stream() const
{
    return std::get<swf::VideoStream>(*character());
}

swf::Rect VideoInstance::localBounds() const
{
    const swf::VideoStream& video = stream();
    return {0, int32_t(video.width) * 20, 0, int32_t(video.height) * 20};
}

} // namespace player::display
