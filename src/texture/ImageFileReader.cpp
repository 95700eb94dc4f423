#include "texture/ImageFileReader.h"

#include "platform/RuntimeError.h"
#include "platform/Settings.h"

#include <QFileInfo>
#include <QImageReader>

namespace texture {

namespace {

[[noreturn]] void fail(int number, const QString& description)
{
    throw RuntimeError(number, platform::applicationName(), description);
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

    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        fail(481, QStringLiteral("Invalid picture"));
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
