#include "GifCanvas.h"

#include <algorithm>
#include <cstring>

namespace player::render {

namespace {

constexpr std::size_t ScreenDescriptorEnd = 13;
constexpr uint8_t ExtensionIntroducer = 0x21;
constexpr uint8_t ImageSeparator = 0x2C;
constexpr uint8_t ColourTableFlag = 0x80;

int littleEndian16(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8);
}

std::size_t colourTableBytes(uint8_t packedFields)
{
    return (packedFields & ColourTableFlag) ? 3 * (std::size_t(2) << (packedFields & 0x07)) : 0;
}

} // namespace

QSize gifCanvasSize(const uint8_t* data, std::size_t size)
{
    if (size < ScreenDescriptorEnd || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
        return {};
    int width = littleEndian16(data + 6);
    int height = littleEndian16(data + 8);
    std::size_t offset = ScreenDescriptorEnd + colourTableBytes(data[10]);
    // Extensions (each a label and data sub-blocks ending in an empty one) come before the
    // first picture's descriptor; anything else ends the walk.
    while (offset < size && data[offset] == ExtensionIntroducer) {
        offset += 2;
        while (offset < size && data[offset] != 0)
            offset += std::size_t(data[offset]) + 1;
        ++offset;
    }
    if (offset + 9 <= size && data[offset] == ImageSeparator) {
        width = std::max(width, littleEndian16(data + offset + 5));
        height = std::max(height, littleEndian16(data + offset + 7));
    }
    return QSize(width, height);
}

} // namespace player::render
