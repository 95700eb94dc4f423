#include "BitmapEncoder.h"

#include "ByteWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <zlib.h>

namespace authoring {

QByteArray zlibCompress(const QByteArray& data)
{
    uLongf capacity = compressBound(uLong(data.size()));
    QByteArray result(qsizetype(capacity), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(result.data()), &capacity,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    result.resize(qsizetype(capacity));
    return result;
}

BitmapTag losslessBitmap(uint16_t characterId, const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray pixels;
    pixels.reserve(qsizetype(argb.width()) * argb.height() * 4);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            pixels.append(char(qAlpha(line[x])));
            pixels.append(char(qRed(line[x])));
            pixels.append(char(qGreen(line[x])));
            pixels.append(char(qBlue(line[x])));
        }
    }
    ByteWriter out;
    out.u16(characterId);
    out.u8(5);
    out.u16(uint32_t(argb.width()));
    out.u16(uint32_t(argb.height()));
    out.raw(zlibCompress(pixels));
    return {TagCode::DefineBitsLossless2, out.bytes(), argb.width(), argb.height()};
}

BitmapTag jpegBitmap(uint16_t characterId, const QByteArray& jpegFile, int width, int height)
{
    ByteWriter out;
    out.u16(characterId);
    out.raw(jpegFile);
    return {TagCode::DefineBitsJpeg2, out.bytes(), width, height};
}

BitmapTag encodedJpegBitmap(uint16_t characterId, const QImage& image, int quality)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", quality);
    if (!image.hasAlphaChannel())
        return jpegBitmap(characterId, jpeg, image.width(), image.height());
    QByteArray alpha;
    alpha.reserve(qsizetype(image.width()) * image.height());
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            alpha.append(char(qAlpha(line[x])));
    }
    ByteWriter out;
    out.u16(characterId);
    out.u32(uint32_t(jpeg.size()));
    out.raw(jpeg);
    out.raw(zlibCompress(alpha));
    return {TagCode::DefineBitsJpeg3, out.bytes(), image.width(), image.height()};
}

BitmapResult bitmapFromFile(uint16_t characterId, const QString& path, bool preferJpeg)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("%1: cannot open: %2").arg(path, file.errorString())};
    const QByteArray data = file.readAll();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull())
        return {std::nullopt, QStringLiteral("%1: not a readable image: %2").arg(path, reader.errorString())};
    if (image.width() > 8191 || image.height() > 8191)
        return {std::nullopt, QStringLiteral("%1: %2 x %3 pixels is larger than a movie bitmap may be")
                                  .arg(path).arg(image.width()).arg(image.height())};
    if (format == "jpeg" || format == "jpg")
        return {jpegBitmap(characterId, data, image.width(), image.height()), {}};
    if (preferJpeg)
        return {encodedJpegBitmap(characterId, image, 90), {}};
    return {losslessBitmap(characterId, image), {}};
}

} // namespace authoring
