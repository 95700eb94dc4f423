#pragma once

#include <QString>
#include <QStringList>

namespace player {

// The folders a movie may read files from (loadMovie, loadVariables, LoadVars, XML, imports and
// every other load). A template comes from anywhere, so it must not reach the user's other files
// and carry their contents out in an address or a message: a path outside these folders is
// refused, and the movie sees it as a missing file.
//
// The folder of the root movie (the one the host loaded) is always readable; the host adds its
// own (the template folders, the folder of this run's textures). Paths are compared in their
// canonical form, so ".." and symbolic links cannot lead out of a folder.
class ReadableFolders {
public:
    void setFolders(const QStringList& folders) { m_folders = folders; }
    const QStringList& folders() const { return m_folders; }

    // The folder of the movie the host loaded, from its path or file: URL.
    void setMovieLocation(const QString& url);
    const QString& movieFolder() const { return m_movieFolder; }

    // Whether the file at the path may be read: it is a plain file (or a link to one) and lies
    // inside one of the folders.
    bool mayRead(const QString& path) const;

private:
    QStringList m_folders;
    QString m_movieFolder;
};

} // namespace player
