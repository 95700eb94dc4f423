#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace imaging {

enum class ImageType : int32_t { Unknown = 0, Gif = 1, Jpeg = 2, Png = 3, Bmp = 4 };

// Type, size and colour depth of a picture file, from its header alone.
struct ImageHeader {
    ImageType type = ImageType::Unknown;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t depth = 0;
};

// Reads the header of a GIF, JPEG, PNG or BMP file from its first 64 KB without decoding the
// picture. The extension plays no part. Only 16 bits of each size are read, also where a
// format stores 32, so larger sizes come back modulo 65536. An unknown format is no error: it
// gives type Unknown and zero sizes. Throws RuntimeError when the file cannot be opened or read
// (53 "File not found" for a path that names no file, 75 "Path/File access error" for anything
// else, folders and other files that are not regular included) and when a depth does not fit
// in 8 bits (6 "Overflow").
ImageHeader readImageHeader(const QString& path);

// The same reading on a header already in memory; bytes past its end count as zero.
ImageHeader readImageHeader(const uint8_t* bytes, size_t size);

} // namespace imaging
