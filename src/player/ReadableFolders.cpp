#include "ReadableFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace player {

namespace {

bool isInside(const QString& canonicalPath, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (canonicalFolder.isEmpty())
        return false;
    if (canonicalPath == canonicalFolder)
        return true;
    const QString prefix = canonicalFolder.endsWith(QLatin1Char('/')) ? canonicalFolder : canonicalFolder + QLatin1Char('/');
    return canonicalPath.startsWith(prefix);
}

} // namespace

void ReadableFolders::setMovieLocation(const QString& url)
{
    QString path = url.trimmed();
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(path).toLocalFile();
    m_movieFolder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

bool ReadableFolders::mayRead(const QString& path) const
{
    // A file that does not exist has no canonical path: it is missing either way. Only plain
    // files are read: a FIFO or a device could keep the player waiting for ever.
    const QFileInfo file(path);
    const QString canonicalPath = file.canonicalFilePath();
    if (canonicalPath.isEmpty() || !file.isFile())
        return false;
    if (isInside(canonicalPath, m_movieFolder))
        return true;
    for (const QString& folder : m_folders) {
        if (isInside(canonicalPath, folder))
            return true;
    }
    return false;
}

} // namespace player
