#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace player::url_query {

// The address without its query ("movie.swf?a=1" is "movie.swf"): a local file is found by its
// path alone.
QString withoutQuery(const QString& url);
// The query with its '?' ("?a=1" of "movie.swf?a=1"), or nothing.
QString queryOf(const QString& url);

// The variables a query carries, url-encoded as name=value pairs joined by '&' ('+' for a space,
// %XX for any byte of the UTF-8 text), in their order. A movie loaded with them finds them set on
// its root before its first frame runs.
std::vector<std::pair<QString, QString>> variables(const QString& url);

} // namespace player::url_query
