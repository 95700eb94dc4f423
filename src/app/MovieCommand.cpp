#include "app/MovieCommand.h"

#include <cmath>

namespace app {

namespace {

constexpr double largestSheetPixels = 100000;

std::optional<double> decimalNumber(QString text)
{
    text.remove(QLatin1Char(' '));
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

std::optional<QSizeF> parseSheetSize(const QString& argument)
{
    const qsizetype separator = argument.indexOf(QLatin1Char('x'));
    if (separator < 0)
        return std::nullopt;
    // Only the first two pieces count, as when the text is split at every "x".
    QString heightText = argument.mid(separator + 1);
    heightText = heightText.left(heightText.indexOf(QLatin1Char('x')));
    const auto width = decimalNumber(argument.left(separator));
    const auto height = decimalNumber(heightText);
    if (!width || !height)
        return std::nullopt;
    if (*width < 0 || *height < 0 || *width > largestSheetPixels || *height > largestSheetPixels)
        return std::nullopt;
    return QSizeF(*width, *height);
}

std::optional<int> parseItemIndex(const QString& argument)
{
    const auto number = decimalNumber(argument);
    if (!number || std::abs(*number) > 1e9)
        return std::nullopt;
    return int(std::floor(*number));
}

QString windowTitleForTemplate(const QString& fileName)
{
    return fileName.left(fileName.indexOf(QLatin1Char('.'))) + QStringLiteral(" - Skarvelle 2");
}

} // namespace app
