#include "LocalUrl.h"

#include "UrlQuery.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace player::local_url {

namespace {

// A scheme has at least two letters, so that "C:/..." is not taken for one.
bool hasScheme(const QString& url)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    return scheme.match(url).hasMatch();
}

bool isFileUrl(const QString& url)
{
    return url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}

QString filePath(const QString& url)
{
    // "file:///a/b", "file://localhost/a/b" and "file:/a/b" all name /a/b.
    QUrl parsed(url);
    if (parsed.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        parsed.setHost(QString());
    QString path = parsed.toLocalFile();
    if (path.isEmpty())
        path = QUrl::fromPercentEncoding(url.mid(5).toUtf8());
    return path;
}

} // namespace

std::optional<QString> resolve(const QString& url, const QString& baseUrl)
{
    // A query never names part of a file: "movie.swf?a=1" reads movie.swf.
    const QString trimmed = url_query::withoutQuery(url.trimmed());
    if (trimmed.isEmpty())
        return std::nullopt;
    if (isFileUrl(trimmed)) {
        QString path = filePath(trimmed);
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }
    if (hasScheme(trimmed))
        return std::nullopt;
    if (QDir::isAbsolutePath(trimmed))
        return QDir::cleanPath(trimmed);
    QString base = baseUrl.trimmed();
    if (isFileUrl(base))
        base = filePath(base);
    else if (hasScheme(base))
        return std::nullopt; // a movie from elsewhere has no local neighbours
    const QString directory = base.isEmpty() ? QString() : QFileInfo(base).path();
    if (directory.isEmpty() || directory == QLatin1String("."))
        return QDir::cleanPath(trimmed);
    return QDir::cleanPath(directory + QLatin1Char('/') + trimmed);
}

} // namespace player::local_url
