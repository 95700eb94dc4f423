#pragma once

#include <QString>
#include <optional>

namespace player {

// Where a movie may load from: local files only. The player never touches the network, so a
// URL with any scheme other than file: is refused (nullopt) and no request is ever made.
namespace local_url {

// The local path a URL names: an absolute path, a file: URL, or a path relative to the
// directory of the loading movie (baseUrl, itself a path or a file: URL).
std::optional<QString> resolve(const QString& url, const QString& baseUrl);

} // namespace local_url

} // namespace player
