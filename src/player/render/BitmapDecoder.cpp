#include "BitmapDecoder.h"

#include "GifCanvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <zlib.h>

namespace player::render {

namespace {

enum class PayloadFormat { Jpeg, Png, Gif, Unknown };

bool startsWith(const swf::Bytes& data, std::initializer_list<uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

PayloadFormat payloadFormat(const swf::Bytes& data)
{
    if (startsWith(data, { 0xFF, 0xD8 }) || startsWith(data, { 0xFF, 0xD9, 0xFF, 0xD8 }))
        return PayloadFormat::Jpeg;
    if (startsWith(data, { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A }))
        return PayloadFormat::Png;
    if (startsWith(data, { 'G', 'I', 'F', '8', '9', 'a' }) || startsWith(data, { 'G', 'I', 'F', '8', '7', 'a' }))
        return PayloadFormat::Gif;
    return PayloadFormat::Unknown;
}

constexpr std::size_t MaximumDeflateExpansion = 1032;

bool sizeAllowed(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= BitmapDecoder::MaximumSide && height <= BitmapDecoder::MaximumSide
        && width * height <= BitmapDecoder::MaximumPixels;
}

QString sizeError(qint64 width, qint64 height)
{
    return QStringLiteral("bitmap of %1x%2 pixels is empty or too large").arg(width).arg(height);
}

// Inflates zlib data, stopping at `limit` bytes: the callers know how much they need, so
// a hostile stream cannot make us allocate more.
bool inflateBounded(const swf::Bytes& input, std::size_t limit, swf::Bytes& output)
{
    output.assign(limit, 0);
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(limit);
    int status = Z_OK;
    while (status == Z_OK && stream.avail_out > 0)
        status = inflate(&stream, Z_NO_FLUSH);
    output.resize(limit - stream.avail_out);
    inflateEnd(&stream);
    return status == Z_OK || status == Z_STREAM_END;
}

DecodedBitmap failure(const QString& message)
{
    return DecodedBitmap { QImage(), message };
}

DecodedBitmap decodeWithQt(const swf::Bytes& data, const char* format)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QSize size = reader.size();
    if (qstrcmp(format, "gif") == 0)
        size = size.expandedTo(gifCanvasSize(data.data(), data.size()));
    if (size.isValid() && !sizeAllowed(size.width(), size.height()))
        return failure(sizeError(size.width(), size.height()));
    QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("undecodable %1 data: %2").arg(QString::fromLatin1(format), reader.errorString()));
    if (!sizeAllowed(image.width(), image.height()))
        return failure(sizeError(image.width(), image.height()));
    return DecodedBitmap { image.convertToFormat(QImage::Format_ARGB32_Premultiplied), {} };
}

// Flash treats the colours of a JPEG with an alpha plane as premultiplied, and clamps them to
// the alpha so that badly made movies with colour in transparent pixels still show nothing there.
void applyAlphaPlane(QImage& image, const swf::Bytes& alphaData)
{
    const std::size_t pixelCount = static_cast<std::size_t>(image.width()) * image.height();
    swf::Bytes alpha;
    if (!inflateBounded(alphaData, pixelCount, alpha) || alpha.size() != pixelCount)
        return; // a broken alpha plane leaves the image opaque
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = alpha[static_cast<std::size_t>(y) * image.width() + x];
            const QRgb pixel = line[x];
            line[x] = qRgba(std::min(qRed(pixel), a), std::min(qGreen(pixel), a), std::min(qBlue(pixel), a), a);
        }
    }
}

DecodedBitmap decodeJpegPayload(const swf::BitmapDefinition& bitmap, const swf::Bytes& data)
{
    switch (payloadFormat(data)) {
    case PayloadFormat::Png:
        return decodeWithQt(data, "png"); // any alpha plane is ignored for PNG and GIF
    case PayloadFormat::Gif:
        return decodeWithQt(data, "gif");
    case PayloadFormat::Unknown:
        return failure(QStringLiteral("bitmap %1: image data is neither JPEG, PNG nor GIF").arg(bitmap.id));
    case PayloadFormat::Jpeg:
        break;
    }
    DecodedBitmap decoded = decodeWithQt(BitmapDecoder::repairJpeg(data), "jpeg");
    if (decoded.ok() && !bitmap.alphaData.empty()
        && (bitmap.kind == swf::BitmapDefinition::Kind::Jpeg3 || bitmap.kind == swf::BitmapDefinition::Kind::Jpeg4))
        applyAlphaPlane(decoded.image, bitmap.alphaData);
    return decoded;
}

// Premultiplied input may be malformed (colour above alpha); clamping keeps the image valid.
QRgb premultipliedClamped(int a, int r, int g, int b)
{
    return qRgba(std::min(r, a), std::min(g, a), std::min(b, a), a);
}

DecodedBitmap decodeLossless(const swf::BitmapDefinition& bitmap)
{
    const bool withAlpha = bitmap.kind == swf::BitmapDefinition::Kind::Lossless2;
    const int width = bitmap.width;
    const int height = bitmap.height;
    if (!sizeAllowed(width, height))
        return failure(sizeError(width, height));

    std::size_t tableBytes = 0;
    std::size_t rowBytes = 0;
    switch (bitmap.losslessFormat) {
    case 3:
        tableBytes = (static_cast<std::size_t>(bitmap.colorTableSize) + 1) * (withAlpha ? 4 : 3);
        rowBytes = (static_cast<std::size_t>(width) + 3) & ~std::size_t(3);
        break;
    case 4:
        if (withAlpha)
            return failure(QStringLiteral("bitmap %1: 15-bit format has no alpha variant").arg(bitmap.id));
        // Rows of 16-bit pixels padded to 32 bits, that is to an even pixel count.
        rowBytes = ((static_cast<std::size_t>(width) + 1) & ~std::size_t(1)) * 2;
        break;
    case 5:
        rowBytes = static_cast<std::size_t>(width) * 4;
        break;
    default:
        return failure(QStringLiteral("bitmap %1: unknown lossless format %2").arg(bitmap.id).arg(bitmap.losslessFormat));
    }
    const std::size_t needed = tableBytes + rowBytes * height;
    // Deflate expands at most 1032 times (a 258-byte match coded in two bits), so a bitmap that
    // needs more than that from its compressed bytes is truncated for certain. It is refused
    // before its memory is taken: a few kilobytes would otherwise claim up to 128 MB. Flat
    // colour, the best case of real bitmaps, stays under this.
    if (needed / MaximumDeflateExpansion > bitmap.imageData.size())
        return failure(QStringLiteral("truncated bitmap %1: %2 compressed bytes cannot hold the %3 needed")
                           .arg(bitmap.id)
                           .arg(bitmap.imageData.size())
                           .arg(needed));
    swf::Bytes data;
    if (!inflateBounded(bitmap.imageData, needed, data))
        return failure(QStringLiteral("bitmap %1: corrupt compressed data").arg(bitmap.id));
    if (data.size() < needed)
        return failure(QStringLiteral("truncated bitmap %1: %2 bytes, %3 needed").arg(bitmap.id).arg(data.size()).arg(needed));

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return failure(QStringLiteral("bitmap %1: out of memory").arg(bitmap.id));

    std::vector<QRgb> palette;
    if (bitmap.losslessFormat == 3) {
        for (std::size_t offset = 0; offset < tableBytes; offset += withAlpha ? 4 : 3) {
            const int alpha = withAlpha ? data[offset + 3] : 255;
            palette.push_back(premultipliedClamped(alpha, data[offset], data[offset + 1], data[offset + 2]));
        }
    }
    // An index past the table shows transparent in images with alpha and black otherwise.
    const QRgb missingEntry = withAlpha ? qRgba(0, 0, 0, 0) : qRgba(0, 0, 0, 255);

    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data.data() + tableBytes + rowBytes * y;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bitmap.losslessFormat) {
            case 3: {
                const uint8_t index = row[x];
                line[x] = index < palette.size() ? palette[index] : missingEntry;
                break;
            }
            case 4: {
                // One unused bit, then five bits each of red, green and blue, big-endian.
                const int value = (row[2 * x] << 8) | row[2 * x + 1];
                auto expand = [](int five) { return (five * 255 + 15) / 31; };
                line[x] = qRgb(expand((value >> 10) & 0x1F), expand((value >> 5) & 0x1F), expand(value & 0x1F));
                break;
            }
            default: {
                // Lossless stores a reserved byte before red, green and blue; Lossless2 stores
                // premultiplied alpha there.
                const uint8_t* pixel = row + 4 * x;
                line[x] = withAlpha ? premultipliedClamped(pixel[0], pixel[1], pixel[2], pixel[3])
                                    : qRgb(pixel[1], pixel[2], pixel[3]);
                break;
            }
            }
        }
    }
    return DecodedBitmap { image, {} };
}

} // namespace

swf::Bytes BitmapDecoder::glueJpegTables(const swf::Bytes& tables, const swf::Bytes& imageData)
{
    if (tables.size() < 2)
        return imageData;
    swf::Bytes glued(tables.begin(), tables.end() - 2);
    if (imageData.size() >= 2)
        glued.insert(glued.end(), imageData.begin() + 2, imageData.end());
    return glued;
}

swf::Bytes BitmapDecoder::repairJpeg(const swf::Bytes& data)
{
    swf::Bytes result;
    if (startsWith(data, { 0xFF, 0xD9, 0xFF, 0xD8 })) {
        result.assign(data.begin() + 4, data.end());
    } else {
        result = data;
        // Walk the markers up to the frame header looking for the stray pair.
        std::size_t position = 0;
        while (position + 4 <= result.size() && result[position] == 0xFF) {
            const uint8_t marker = result[position + 1];
            if (marker == 0xD9 && result[position + 2] == 0xFF && result[position + 3] == 0xD8) {
                result.erase(result.begin() + static_cast<std::ptrdiff_t>(position),
                             result.begin() + static_cast<std::ptrdiff_t>(position + 4));
                break;
            }
            if (marker == 0xC0 || marker == 0xC2)
                break;
            const bool standalone = marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7);
            position += standalone ? 2 : 2 + ((static_cast<std::size_t>(result[position + 2]) << 8) | result[position + 3]);
        }
    }
    if (result.size() < 2 || result[result.size() - 2] != 0xFF || result.back() != 0xD9) {
        result.push_back(0xFF);
        result.push_back(0xD9);
    }
    return result;
}

DecodedBitmap BitmapDecoder::decode(const swf::BitmapDefinition& bitmap, const swf::Bytes& jpegTables)
{
    switch (bitmap.kind) {
    case swf::BitmapDefinition::Kind::Jpeg1:
        return decodeJpegPayload(bitmap, glueJpegTables(jpegTables, bitmap.imageData));
    case swf::BitmapDefinition::Kind::Jpeg2:
    case swf::BitmapDefinition::Kind::Jpeg3:
    case swf::BitmapDefinition::Kind::Jpeg4:
        return decodeJpegPayload(bitmap, bitmap.imageData);
    case swf::BitmapDefinition::Kind::Lossless:
    case swf::BitmapDefinition::Kind::Lossless2:
        return decodeLossless(bitmap);
    }
    return failure(QStringLiteral("bitmap %1: unknown kind").arg(bitmap.id));
}

} // namespace player::render
