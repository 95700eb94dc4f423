#pragma once

#include "catalogue/CatalogueEntry.h"

#include <QString>

namespace catalogue {

// One template as a line of tab-separated fields for ordinary text tools: file, title, category,
// price, object maker, template maker, tiles and parts (joined by ", "). Tabs and line breaks
// inside a field become blanks, so every template is exactly one line. No line break at the end.
QString listingLine(const CatalogueEntry& entry);

} // namespace catalogue
