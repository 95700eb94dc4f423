#include "app/TextureFolder.h"

#include "imaging/JpegWriter.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

namespace app {

namespace {

const QString TextureNamePrefix = QStringLiteral("SkrvImport");

} // namespace

bool TextureFolder::create(const QString& temporaryFolder)
{
    if (isCreated())
        return true;
    // mkdtemp makes the folder with mode 0700 under a name no one can claim before us.
    QByteArray pattern = QFile::encodeName(QDir(temporaryFolder).absoluteFilePath(QStringLiteral("skarvelle2-XXXXXX")));
    if (!::mkdtemp(pattern.data()))
        return false;
    m_path = QFile::decodeName(pattern);
    return true;
}

QString TextureFolder::texturePathPrefix() const
{
    return isCreated() ? m_path + QLatin1Char('/') + TextureNamePrefix : QString();
}

QString TextureFolder::texturePath(int number) const
{
    if (!isCreated())
        return {};
    return texturePathPrefix() + QStringLiteral("%1.jpg").arg((number % 1000 + 1000) % 1000, 3, 10, QLatin1Char('0'));
}

void TextureFolder::writeTexture(const imaging::BottomUpBitmap& bitmap, const QString& path) const
{
    imaging::writeJpeg(bitmap, path, 90, imaging::LinkHandling::ReplaceLink);
}

void TextureFolder::remove()
{
    if (!isCreated())
        return;
    QDir directory(m_path);
    // Matched with case, as the program names them: nothing else is ours to delete.
    const QStringList names = directory.entryList({TextureNamePrefix + QStringLiteral("???.jpg")},
        QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive, QDir::Name);
    for (const QString& name : names) {
        if (!QFile::remove(directory.filePath(name)))
            return;
    }
    if (directory.rmdir(m_path))
        m_path.clear();
}

} // namespace app
