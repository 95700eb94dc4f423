#pragma once

#include <QImage>
#include <QString>

namespace texture {

// The largest picture a texture is made from, in pixels: 8192 x 8192 is a quarter of a gigabyte
// decoded, and the texture needs a 24-bit copy of it and its JPEG besides.
constexpr qint64 largestImagePixels = qint64(8192) * 8192;

// Decodes a JPEG, Windows bitmap or GIF file (the first picture of a GIF) at its own size; the
// format is decided by the file's content, not its name. The size is read from the header first
// and a picture above largestImagePixels is refused before anything is decoded. Throws
// RuntimeError: 53 for a file that is not there, 7 "Out of memory" for a picture that is too
// large, 481 "Invalid picture" for any other file that does not decode as one of the three.
QImage readImageFile(const QString& path);

} // namespace texture
