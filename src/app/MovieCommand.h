#pragma once

#include <QSizeF>
#include <QString>
#include <optional>

namespace app {

// The texture sheet size of a "setsize" argument: width and height in pixels separated by a
// lower-case "x", blanks anywhere ignored, each a decimal number that may have a fraction.
// Nothing when the argument has no "x" or a piece is not a number; sizes that are negative or
// beyond 100000 pixels are refused the same way, since no sheet is that large.
std::optional<QSizeF> parseSheetSize(const QString& argument);

// The item index of a "clickitem" argument: the largest integer not greater than the number.
// Nothing when the argument is not a number (or too large for an index).
std::optional<int> parseItemIndex(const QString& argument);

// The main window's title for a template: the file name up to its first ".", then
// " - Skarvelle 2".
QString windowTitleForTemplate(const QString& fileName);

} // namespace app
