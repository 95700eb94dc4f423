#include "app/CommandLine.h"

namespace app {

QString commandLineText(const QStringList& arguments)
{
    QString text = arguments.join(QLatin1Char(' '));
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'))) {
        text.chop(1);
        text.remove(0, 1);
    }
    return text;
}

bool isTemplateLink(const QString& text)
{
    return text.startsWith(QLatin1String("skrvtp:"), Qt::CaseSensitive);
}

QString templateLinkAddress(const QString& link)
{
    QString rest = link.mid(7);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStringLiteral("http:") + rest;
}

bool hasTemplateExtension(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".skrv"), Qt::CaseInsensitive);
}

QString templateFileNameFromAddress(const QString& address)
{
    const QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    if (!hasTemplateExtension(name) || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\')))
        return {};
    return name;
}

} // namespace app
