#include "LocalFileReader.h"

#include <QFile>
#include <QUrl>

namespace player::avm1 {

namespace {
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;
}

std::optional<QByteArray> readLocalFileForScript(const QString& url, const std::function<bool(const QString& path)>& mayRead)
{
    QString path = url.trimmed();
    if (path.isEmpty())
        return std::nullopt;
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        path = QUrl(path).toLocalFile();
    } else {
        // "c:" or "http:" alike: a scheme of two letters or more that is not file: is refused.
        qsizetype colon = path.indexOf(u':');
        if (colon > 1 && !path.left(colon).contains(u'/'))
            return std::nullopt;
    }
    // Query strings name no part of a local file.
    qsizetype query = path.indexOf(u'?');
    if (query >= 0)
        path.truncate(query);
    if (path.isEmpty() || (mayRead && !mayRead(path)))
        return std::nullopt;
    QFile file(path);
    if ( !file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    QByteArray bytes = file.read(maximumFileSize);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace player::avm1
