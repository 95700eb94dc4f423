#include "MovieAddress.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace player::display::movie_address {

QString forScripts(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return trimmed;
    // A scheme has at least two letters, so that a drive letter is not taken for one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    if (scheme.match(trimmed).hasMatch())
        return trimmed;
    const qsizetype queryStart = trimmed.indexOf(u'?');
    QString path = QDir::cleanPath(queryStart < 0 ? trimmed : trimmed.left(queryStart));
    const QString query = queryStart < 0 ? QString() : trimmed.mid(queryStart);
    qsizetype slashes = 0;
    while (slashes < path.size() && path[slashes] == u'/')
        ++slashes;
    path.remove(0, slashes);
    static const QByteArray keptInPaths = QByteArrayLiteral("/!$&'()*+,;=:@");
    return QStringLiteral("file:///") + QString::fromLatin1(QUrl::toPercentEncoding(path, keptInPaths)) + query;
}

} // namespace player::display::movie_address
