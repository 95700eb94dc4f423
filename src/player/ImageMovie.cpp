#include "ImageMovie.h"

#include "render/BitmapDecoder.h"
#include "render/GifCanvas.h"

#include <QBuffer>
#include <QImageReader>

namespace player::image_movie {

namespace {

// Flash refuses pictures beyond what a bitmap may hold; a header claiming more is malformed or
// hostile, and decoding it would only waste memory. The pixel count is the renderer's own limit.
constexpr int MaximumSide = 8191;
constexpr qint64 MaximumPixels = render::BitmapDecoder::MaximumPixels;
constexpr uint16_t PictureId = 1;

} // namespace

ImageFormat detect(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8"))
        return ImageFormat::Jpeg;
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return ImageFormat::Png;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return ImageFormat::Gif;
    return ImageFormat::None;
}

std::shared_ptr<swf::Movie> make(const QByteArray& bytes, int swfVersion, QString* error)
{
    const ImageFormat format = detect(bytes);
    if (format == ImageFormat::None) {
        if (error)
            *error = QStringLiteral("not a JPEG, PNG or GIF picture");
        return nullptr;
    }
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const char* formatName = format == ImageFormat::Jpeg ? "jpeg" : format == ImageFormat::Png ? "png" : "gif";
    QImageReader reader(&buffer, formatName);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        if (error)
            *error = QStringLiteral("unreadable picture: %1").arg(reader.errorString());
        return nullptr;
    }
    // A GIF is decoded on its canvas, which may be far larger than the picture it reports.
    const QSize decodedSize = format == ImageFormat::Gif
        ? size.expandedTo(render::gifCanvasSize(reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())))
        : size;
    if (decodedSize.width() > MaximumSide || decodedSize.height() > MaximumSide
        || qint64(decodedSize.width()) * decodedSize.height() > MaximumPixels) {
        if (error)
            *error = QStringLiteral("a picture of %1 x %2 pixels is too large").arg(decodedSize.width()).arg(decodedSize.height());
        return nullptr;
    }

    auto movie = std::make_shared<swf::Movie>();
    movie->header.version = static_cast<uint8_t>(swfVersion);
    movie->isPicture = true;
    movie->header.frameSize = {0, size.width() * 20, 0, size.height() * 20};
    movie->header.frameCount = 1;
    // The picture's bytes go to the renderer as they are: its decoder knows all three formats.
    swf::BitmapDefinition picture;
    picture.id = PictureId;
    picture.kind = swf::BitmapDefinition::Kind::Jpeg2;
    picture.imageData.assign(bytes.begin(), bytes.end());
    picture.width = static_cast<uint16_t>(size.width());
    picture.height = static_cast<uint16_t>(size.height());
    movie->characters[PictureId] = std::make_shared<const swf::Character>(std::move(picture));

    swf::PlaceObject place;
    place.depth = 1;
    place.characterId = PictureId;
    swf::Frame frame;
    frame.tags.emplace_back(std::move(place));
    movie->timeline.declaredFrameCount = 1;
    movie->timeline.frames.push_back(std::move(frame));
    return movie;
}

} // namespace player::image_movie
