#pragma once

#include <QString>

namespace catalogue {

// How the catalogue names a template: its file name up to the first "." ("a.b.skrv" is "a"),
// the whole name when it has none.
QString templateDisplayName(const QString& fileName);

} // namespace catalogue
