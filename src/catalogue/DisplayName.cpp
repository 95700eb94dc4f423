#include "catalogue/DisplayName.h"

namespace catalogue {

QString templateDisplayName(const QString& fileName)
{
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace catalogue
