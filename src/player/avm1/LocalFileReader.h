#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace player::avm1 {

// Reads a file that a script asks for by URL: a plain path (relative to the working folder)
// or a file: URL. Anything with another scheme is refused, so a movie can never reach a
// network, and files over a size limit are refused rather than read. When mayRead is given, a
// path it refuses is treated as a missing file.
std::optional<QByteArray> readLocalFileForScript(const QString& url,
                                                 const std::function<bool(const QString& path)>& mayRead = {});

} // namespace player::avm1
