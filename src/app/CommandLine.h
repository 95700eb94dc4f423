#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The command-line text: the arguments joined by one blank, without one enclosing pair of
// double quotes (a quoted path with blanks arrives that way from some launchers).
QString commandLineText(const QStringList& arguments);

// A template link starts with exactly "skrvtp:"; the scheme in capitals is not a link.
bool isTemplateLink(const QString& text);

// The http address of a link: "http:" followed by the rest of the link, backslashes made "/".
QString templateLinkAddress(const QString& link);

// The file name a downloaded template is saved under: the address's last "/" piece, accepted
// only when it is a plain name ending in ".skrv" (any case) that does not start with "." and
// holds no "/" or "\". Anything else could overwrite the program or its effects movie, so it
// is refused (empty result).
QString templateFileNameFromAddress(const QString& address);

// A file name the program accepts as a template to copy in: it ends in ".skrv" (any case).
bool hasTemplateExtension(const QString& fileName);

} // namespace app
