#pragma once

#include "TagCode.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace authoring {

struct BitmapTag {
    TagCode code = TagCode::DefineBitsLossless2;
    QByteArray body; // starts with the character id
    int width = 0;   // pixels
    int height = 0;
};

struct BitmapResult {
    std::optional<BitmapTag> tag;
    QString error;
};

QByteArray zlibCompress(const QByteArray& data);

// DefineBitsLossless2: 32-bit premultiplied ARGB, zlib-compressed.
BitmapTag losslessBitmap(uint16_t characterId, const QImage& image);
// DefineBitsJPEG2 holding the JPEG file's bytes as they are.
BitmapTag jpegBitmap(uint16_t characterId, const QByteArray& jpegFile, int width, int height);
// DefineBitsJPEG2, or DefineBitsJPEG3 with a separate alpha plane when the image has alpha.
BitmapTag encodedJpegBitmap(uint16_t characterId, const QImage& image, int quality);

// A JPEG file is embedded unchanged; any other image Qt reads becomes lossless. preferJpeg
// encodes non-JPEG images as JPEG instead.
BitmapResult bitmapFromFile(uint16_t characterId, const QString& path, bool preferJpeg = false);

} // namespace authoring
