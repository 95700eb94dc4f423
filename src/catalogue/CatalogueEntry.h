#pragma once

#include "catalogue/TemplateDetails.h"

#include <QString>

namespace catalogue {

// One template of the catalogue, in the order of the template list.
struct CatalogueEntry {
    QString fileName;    // without folder, as the template list shows it
    QString path;
    QString displayName; // see templateDisplayName()
    TemplateDetails details;
};

} // namespace catalogue
