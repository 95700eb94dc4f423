#pragma once

#include <QString>
#include <cstdint>

// Type, size and colour depth of a GIF, JPEG, PNG or BMP file, read from the first 64 KB of the
// file without decoding the picture. The extension plays no part. Only 16 bits of each size are
// read, also where a format stores 32, so larger sizes come back modulo 65536.
class CImageInfo {
public:
    enum Type : int32_t { Unknown = 0, Gif = 1, Jpeg = 2, Png = 3, Bmp = 4 };

    // Resets the four values and reads them from the named file. An unknown format is no error:
    // it leaves type 0 and zero sizes. Throws RuntimeError when the file cannot be opened or
    // read (53 "File not found" for a path that names no file, 75 "Path/File access error"
    // for anything else, folders and other files that are not regular included) and when a depth does not fit in 8 bits (6 "Overflow").
    void ReadImageInfo(const QString& sFileName);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint8_t Depth() const { return m_depth; }
    int32_t ImageType() const { return m_imageType; }

    // The same reading on a header already in memory; bytes past its end count as zero.
    void readHeader(const uint8_t* bytes, size_t size);

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint8_t m_depth = 0;
    int32_t m_imageType = Unknown;
};
