#include "app/TextureFiles.h"

#include <QDir>
#include <QFile>

namespace app {

QString texturePathPrefixFor(const QString& temporaryFolder)
{
    QString prefix = temporaryFolder;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix.append(QLatin1Char('/'));
    return prefix + QStringLiteral("SkrvImport");
}

void deleteTextureFiles(const QString& texturePathPrefix)
{
    const qsizetype split = texturePathPrefix.lastIndexOf(QLatin1Char('/'));
    const QString namePart = texturePathPrefix.mid(split + 1);
    const QString folder = texturePathPrefix.left(split + 1);
    if (namePart.isEmpty())
        return;
    // Matched with case, as the program names them: other files of the folder are not ours.
    const QDir directory(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = directory.entryList({namePart + QStringLiteral("???.jpg")},
        QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive, QDir::Name);
    for (const QString& name : names) {
        if (!QFile::remove(directory.filePath(name)))
            return;
    }
}

} // namespace app
