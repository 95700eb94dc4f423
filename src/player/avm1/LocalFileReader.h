#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace player::avm1 {

// Reads a file that a script asks for by URL: a plain path (relative to the working folder)
// or a file: URL. Anything with another scheme is refused, so a movie can never reach a
// network, and files over a size limit are refused rather than read.
std::optional<QByteArray> readLocalFileForScript(const QString& url);

} // namespace player::avm1
