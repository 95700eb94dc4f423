#pragma once

#include "player/swf/TagCode.h"

namespace authoring {

// The writer's tag codes are the reader's, listed once in player/swf/TagCode.h.
using player::swf::TagCode;

// Tags that Flash's own tools always write with the long header; some readers expect it.
constexpr bool needsLongHeader(TagCode code)
{
    return code == TagCode::DefineBitsJpeg2 || code == TagCode::DefineBitsJpeg3
        || code == TagCode::DefineBitsLossless2;
}

} // namespace authoring
