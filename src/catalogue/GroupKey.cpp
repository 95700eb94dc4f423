#include "catalogue/GroupKey.h"

namespace catalogue {

QString groupKey(const QString& name)
{
    QString key = name;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    key.remove(QLatin1Char(' '));
    key = key.toLower();
    // Only the letter s is dropped once in lower case; a capital S has become one by now.
    key.remove(QLatin1Char('s'));
    return key;
}

} // namespace catalogue
