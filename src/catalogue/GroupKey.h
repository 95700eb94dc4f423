#pragma once

#include <QString>

namespace catalogue {

// The key by which category and maker names are grouped: backslashes count as slashes, blanks
// and every letter "s" are dropped and case is ignored, so "Hair", "hairs" and "H airS" are
// one group, and so are "Chairs" and "chai r".
QString groupKey(const QString& name);

} // namespace catalogue
