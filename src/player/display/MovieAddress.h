#pragma once

#include <QString>

namespace player::display::movie_address {

// The address a movie reports to its scripts (_url) for the address the player keeps for it.
// Flash shows a movie by its full URL: a local file becomes a file: URL, its path with spaces and
// other characters outside a URL's own percent-encoded, a query kept as it was. The player keeps
// local movies by path; a relative path is the one the player was started with, and it is shown
// from the file root (the player does not reveal the folder it was started in), so "test.swf"
// shows as "file:///test.swf". An address that already has a scheme is shown unchanged.
QString forScripts(const QString& address);

} // namespace player::display::movie_address
