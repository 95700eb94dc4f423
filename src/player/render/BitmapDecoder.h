#pragma once

#include "player/swf/Movie.h"

#include <QImage>
#include <QString>

namespace player::render {

// A decoded bitmap, premultiplied (Format_ARGB32_Premultiplied), or a null image with the reason.
struct DecodedBitmap {
    QImage image;
    QString error;

    bool ok() const { return !image.isNull(); }
};

// Decodes the bitmaps of a movie: JPEG (with the movie's shared tables for DefineBits, and an
// optional alpha plane), PNG and GIF payloads, and the zlib-packed lossless formats. Bad or
// oversized data gives an error, never a crash.
class BitmapDecoder {
public:
    // Bitmaps larger than this are refused rather than allocated.
    static constexpr int MaximumSide = 16384;
    static constexpr qint64 MaximumPixels = 32LL * 1024 * 1024;

    static DecodedBitmap decode(const swf::BitmapDefinition& bitmap, const swf::Bytes& jpegTables);

    // The JPEG stream a DefineBits tag stands for: the shared tables glued in front of the image
    // data, without the end-of-image/start-of-image pair that sits between them.
    static swf::Bytes glueJpegTables(const swf::Bytes& tables, const swf::Bytes& imageData);

    // Removes the stray end-of-image/start-of-image pair (FF D9 FF D8) that movies made before
    // SWF 8, and some later ones, carry before the frame header. Flash's decoder skips it;
    // standard decoders stop at it. A missing end-of-image marker is added.
    static swf::Bytes repairJpeg(const swf::Bytes& data);
};

} // namespace player::render
