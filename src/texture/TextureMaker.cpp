#include "texture/TextureMaker.h"

#include "app/TextureFolder.h"
#include "imaging/BottomUpBitmap.h"
#include "imaging/ImageHeader.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "texture/ColourText.h"
#include "texture/ImageFileReader.h"

namespace texture {

namespace {

constexpr int PlainColourSide = 256;

QString typeName(imaging::ImageType type)
{
    switch (type) {
    case imaging::ImageType::Gif:
        return QStringLiteral("gif");
    case imaging::ImageType::Jpeg:
        return QStringLiteral("jpg");
    case imaging::ImageType::Png:
        return QStringLiteral("png");
    case imaging::ImageType::Bmp:
        return QStringLiteral("bmp");
    case imaging::ImageType::Unknown:
        break;
    }
    return {};
}

} // namespace

TextureMaker::TextureMaker(player::MoviePlayer& player, app::TextureFolder& folder)
    : m_player(player)
    , m_folder(folder)
{
}

QString TextureMaker::makeTexture(const QImage& picture, const QString& variable)
{
    if (!m_folder.isCreated())
        throw RuntimeError(75, platform::applicationName(), QStringLiteral("Path/File access error"));
    imaging::BottomUpBitmap bitmap;
    bitmap.assign(picture);
    if (!bitmap.isHeld())
        throw RuntimeError(7, platform::applicationName(), QStringLiteral("Out of memory"));
    const QString path = m_folder.texturePath(m_names.next());
    m_folder.writeTexture(bitmap, path);
    m_player.setVariable(variable, path);
    return path;
}

QString TextureMaker::makeImageTexture(const QString& imagePath, const QString& variable)
{
    return makeTexture(readImageFile(imagePath), variable);
}

QString TextureMaker::makeOneColourTexture(tools::ColourReference colour, const QString& variable)
{
    return makeTexture(plainColourPicture(colour), variable);
}

void TextureMaker::setColour(const QString& variable, tools::ColourReference colour)
{
    m_player.setVariable(variable, movieColourText(colour));
}

bool TextureMaker::hasImageType(const QString& path, const QString& typeNameAsked)
{
    const imaging::ImageType type = imaging::readImageHeader(path).type;
    return type != imaging::ImageType::Unknown && typeName(type) == typeNameAsked.toLower();
}

bool TextureMaker::isSupportedImage(const QString& path)
{
    const imaging::ImageType type = imaging::readImageHeader(path).type;
    return type == imaging::ImageType::Jpeg || type == imaging::ImageType::Bmp || type == imaging::ImageType::Gif;
}

QImage TextureMaker::plainColourPicture(tools::ColourReference colour)
{
    QImage picture(PlainColourSide, PlainColourSide, QImage::Format_RGB32);
    picture.fill(tools::toColour(tools::resolveSystemColour(colour)));
    return picture;
}

} // namespace texture
