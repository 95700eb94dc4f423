#include "UrlQuery.h"

#include <QUrl>

namespace player::url_query {

namespace {

QString decoded(QStringView text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('+', ' ');
    return QUrl::fromPercentEncoding(bytes);
}

} // namespace

QString withoutQuery(const QString& url)
{
    const qsizetype mark = url.indexOf(u'?');
    return mark < 0 ? url : url.left(mark);
}

QString queryOf(const QString& url)
{
    const qsizetype mark = url.indexOf(u'?');
    return mark < 0 ? QString() : url.mid(mark);
}

std::vector<std::pair<QString, QString>> variables(const QString& url)
{
    std::vector<std::pair<QString, QString>> result;
    const qsizetype mark = url.indexOf(u'?');
    if (mark < 0)
        return result;
    for (QStringView pair : QStringView(url).mid(mark + 1).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString name = decoded(equals < 0 ? pair : pair.left(equals));
        if (!name.isEmpty())
            result.emplace_back(name, equals < 0 ? QString() : decoded(pair.mid(equals + 1)));
    }
    return result;
}

} // namespace player::url_query
