#include "catalogue/CatalogueListing.h"

#include <QRegularExpression>

namespace catalogue {

namespace {

QString field(QString text)
{
    static const QRegularExpression separators(QStringLiteral("[\\t\\r\\n\\x{2028}\\x{2029}]"));
    return text.replace(separators, QStringLiteral(" "));
}

} // namespace

QString listingLine(const CatalogueEntry& entry)
{
    const TemplateDetails& details = entry.details;
    QStringList parts;
    for (const QString& part : details.parts)
        parts.append(field(part));
    const QStringList fields{
        field(entry.fileName),
        field(details.title),
        field(details.category),
        field(details.price),
        field(details.objectMakerSiteName),
        field(details.templateMakerSiteName),
        details.tiles,
        parts.join(QStringLiteral(", ")),
    };
    return fields.join(QLatin1Char('\t'));
}

} // namespace catalogue
