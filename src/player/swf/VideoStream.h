#pragma once

#include <cstdint>

namespace player::swf {

// DefineVideoStream: a video a timeline places like any other character; its frames come in
// VideoFrame tags on the frames that show them.
struct VideoStream {
    uint16_t id = 0;
    uint16_t frameCount = 0;
    uint16_t width = 0;  // pixels
    uint16_t height = 0; // pixels
    uint8_t deblocking = 0;
    bool smoothing = false;
    uint8_t codec = 0;
    bool operator==(const VideoStream&) const = default;
};

} // namespace player::swf
