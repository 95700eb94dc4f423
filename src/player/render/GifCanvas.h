#pragma once

#include <QSize>
#include <cstddef>
#include <cstdint>

namespace player::render {

// The size of the canvas a GIF decoder paints the first picture of a GIF on. Qt's decoder
// reports the picture's own size beforehand but allocates its logical screen, with a zero side
// of the screen taken from the picture: a 30-byte GIF that claims a 65535-pixel-wide screen
// costs a quarter of a gigabyte. Callers judge a GIF by this size (the larger of the screen and
// the picture on each side) before decoding it. An invalid size for data that is not a GIF or
// ends before its logical screen is described.
QSize gifCanvasSize(const uint8_t* data, std::size_t size);

} // namespace player::render
