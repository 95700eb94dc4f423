#include "catalogue/TemplateDetails.h"

#include <cmath>

namespace catalogue {

TemplateDetails TemplateDetails::unreadable()
{
    TemplateDetails details;
    details.readable = false;
    return details;
}

QString tilesText(const std::optional<QString>& tiles)
{
    if (!tiles)
        return QStringLiteral("0");
    bool isNumber = false;
    const double value = tiles->trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value))
        return QStringLiteral("0");
    // Adding zero turns a negative zero ("-0.5" rounds down to -1, but "-0" stays -0) into 0.
    const double whole = std::floor(value) + 0.0;
    if (std::fabs(whole) < 1e15)
        return QString::number(qint64(whole));
    return QString::number(whole, 'g', 15);
}

QStringList guidList(const std::optional<QString>& guid, const std::optional<QString>& tileGuids)
{
    QStringList guids;
    if (guid)
        guids.append(*guid);
    for (const QString& piece : tileGuids.value_or(QString()).split(QLatin1Char('&'))) {
        if (!piece.isEmpty())
            guids.append(piece);
    }
    return guids;
}

} // namespace catalogue
