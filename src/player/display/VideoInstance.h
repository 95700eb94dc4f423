#pragma once

#include "DisplayObject.h"

namespace player::display {

// A DefineVideoStream placed on a timeline. Scripts reach it by its instance name as a Video
// object; it covers the stream's frame size and shows no pictures of its own.
class VideoInstance : public DisplayObject {
public:
    VideoInstance(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                  uint16_t characterId);
    const swf::VideoStream& stream() const;
    swf::Rect localBounds() const override;
};

} // namespace player::display
