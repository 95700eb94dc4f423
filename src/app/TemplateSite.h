#pragma once

#include <QString>

namespace app {

// The template site. Its host is reserved for examples, so nothing real is ever contacted
// until a real site is named here.
inline const QString TemplateSiteAddress = QStringLiteral("http://templates.skarvelle.example");

inline QString templateSitePage()
{
    return TemplateSiteAddress + QStringLiteral("/templates/");
}

} // namespace app
