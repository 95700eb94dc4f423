#include "texture/ImageFileReader.h"

#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "player/render/GifCanvas.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace texture {

namespace {

[[noreturn]] void fail(int number, const QString& description)
{
    throw RuntimeError(number, platform::applicationName(), description);
}

// A GIF is decoded on its canvas, which may be far larger than the picture its reader reports;
// the canvas is described at the start of the file.
QSize gifCanvas(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(64 * 1024);
    return player::render::gifCanvasSize(reinterpret_cast<const uint8_t*>(start.constData()), std::size_t(start.size()));
}

} // namespace

QImage readImageFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        fail(53, QStringLiteral("File not found"));

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QByteArray format = reader.format().toLower();
    if (format != "jpeg" && format != "jpg" && format != "bmp" && format != "gif")
        fail(481, QStringLiteral("Invalid picture"));

    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        fail(481, QStringLiteral("Invalid picture"));
    if (format == "gif")
        size = size.expandedTo(gifCanvas(path));
    if (qint64(size.width()) * size.height() > largestImagePixels)
        fail(7, QStringLiteral("Out of memory"));

    QImage image;
    if (!reader.read(&image) || image.isNull())
        fail(481, QStringLiteral("Invalid picture"));
    // A header that told less than the truth is caught here, after Qt's own allocation limit.
    if (qint64(image.width()) * image.height() > largestImagePixels)
        fail(7, QStringLiteral("Out of memory"));
    return image;
}

} // namespace texture
