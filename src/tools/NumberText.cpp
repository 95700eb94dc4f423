#include "tools/NumberText.h"

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>

namespace tools {

double roundHalfEven(double value)
{
    // The default rounding mode of the floating-point unit is to nearest, halves to even.
    return std::nearbyint(value);
}

int leadingInteger(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == QLatin1Char('-') || trimmed[end] == QLatin1Char('+')))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit())
        ++end;
    bool ok = false;
    const qlonglong value = trimmed.left(end).toLongLong(&ok);
    if (!ok)
        return 0;
    return int(std::clamp<qlonglong>(value, INT_MIN, INT_MAX));
}

std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < INT_MIN || rounded > INT_MAX)
        return std::nullopt;
    return int(rounded);
}

} // namespace tools
