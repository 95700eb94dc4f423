#pragma once

#include "ReadableFolders.h"
#include "display/MovieLibrary.h"

#include <QString>
#include <map>
#include <memory>

namespace player {

// Fetches the characters a movie imports (ImportAssets, ImportAssets2) from the movies that
// export them, and binds them to the importing movie's ids. Only local files are read: a
// relative URL is taken from the importing movie's own folder, an absolute path or a file: URL
// as it is, and any network URL is refused without a word, as the player never goes online.
// A source that is missing, unreadable or not a movie, or a name it does not export, leaves the
// imported ids undefined, as Flash leaves them.
class AssetImporter {
public:
    // Sources outside the readable folders count as missing.
    explicit AssetImporter(const ReadableFolders& readableFolders) : m_readableFolders(readableFolders) {}

    // Binds the imports of a library that is still being prepared. Each source file is read
    // once, and imports in the sources are followed in turn, a few levels deep at most.
    void resolve(display::MovieLibrary& library) { resolve(library, library.url()); }
    // The same for a library whose own URL is not where its file lies (a movie a script loaded
    // by a relative address): its imports are taken from baseUrl's folder.
    void resolve(display::MovieLibrary& library, const QString& baseUrl);

    // The local file an import URL names, seen from the movie at baseUrl; empty when refused.
    static QString localPath(const QString& importUrl, const QString& baseUrl);

private:
    std::shared_ptr<const display::MovieLibrary> load(const QString& path, int nesting);
    void resolveAt(display::MovieLibrary& library, const QString& baseUrl, int nesting);

    // Sources by absolute path; a null entry marks one that could not be read (or is being read,
    // which stops a movie that imports itself).
    std::map<QString, std::shared_ptr<const display::MovieLibrary>> m_loaded;
    const ReadableFolders& m_readableFolders;
};

} // namespace player
