#include "AssetImporter.h"

#include "player/swf/MovieReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace player {

namespace {

// How far imports of imports are followed.
constexpr int MaximumNesting = 4;

// A local path from a movie's own URL: a file: URL or a path.
QString pathOfUrl(const QString& url)
{
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(url).toLocalFile();
    return url;
}

// True when the text starts with a URL scheme ("http:", "https:", "ftp:" ...). A single letter
// before the colon is a Windows drive, not a scheme.
bool hasScheme(const QString& url)
{
    const int colon = url.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (int i = 0; i < colon; ++i) {
        const QChar c = url[i];
        if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return url[0].isLetter();
}

} // namespace

QString AssetImporter::localPath(const QString& importUrl, const QString& baseUrl)
{
    QString url = importUrl.trimmed();
    if (url.isEmpty())
        return {};
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QString path = QUrl(url).toLocalFile();
        return path.isEmpty() ? QString() : QDir::cleanPath(path);
    }
    if (hasScheme(url))
        return {}; // http, https and the rest: never fetched
    // A query after the file name means nothing to a local file.
    const int query = url.indexOf(QLatin1Char('?'));
    if (query >= 0)
        url.truncate(query);
    if (url.isEmpty())
        return {};
    if (QDir::isAbsolutePath(url))
        return QDir::cleanPath(url);
    const QString basePath = pathOfUrl(baseUrl);
    const QString folder = basePath.isEmpty() ? QDir::currentPath() : QFileInfo(basePath).absolutePath();
    return QDir::cleanPath(QDir(folder).absoluteFilePath(url));
}

void AssetImporter::resolve(display::MovieLibrary& library, const QString& baseUrl)
{
    // The movie itself counts as being read: one that imports from its own file gets nothing.
    const QString ownPath = localPath(QFileInfo(pathOfUrl(baseUrl)).fileName(), baseUrl);
    if (!ownPath.isEmpty())
        m_loaded.emplace(QFileInfo(ownPath).absoluteFilePath(), nullptr);
    resolveAt(library, baseUrl, 0);
}

void AssetImporter::resolveAt(display::MovieLibrary& library, const QString& baseUrl, int nesting)
{
    const std::vector<swf::ImportedAsset>& imports = library.movie().imports;
    for (const swf::ImportedAsset& asset : imports) {
        const QString path = localPath(QString::fromStdString(asset.url), baseUrl);
        if (path.isEmpty())
            continue;
        std::shared_ptr<const display::MovieLibrary> exporter = load(path, nesting + 1);
        if (!exporter)
            continue;
        if (std::optional<uint16_t> id = exporter->exportedId(asset.name))
            library.bindImport(asset.characterId, exporter, *id);
    }
}

std::shared_ptr<const display::MovieLibrary> AssetImporter::load(const QString& path, int nesting)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    auto known = m_loaded.find(key);
    if (known != m_loaded.end())
        return known->second;
    m_loaded[key] = nullptr;
    if (nesting > MaximumNesting)
        return nullptr;
    // Only plain files: a FIFO or a device could block the player for ever.
    if (!QFileInfo(key).isFile() || !m_readableFolders.mayRead(key))
        return nullptr;
    QFile file(key);
    if (!file.open(QIODevice::ReadOnly) || file.size() > static_cast<qint64>(swf::MaximumMovieSize))
        return nullptr;
    const QByteArray bytes = file.read(static_cast<qint64>(swf::MaximumMovieSize));
    swf::MovieReadResult result =
        swf::readMovie(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    if (!result.movie)
        return nullptr;
    auto library = std::make_shared<display::MovieLibrary>(std::move(result.movie), QUrl::fromLocalFile(key).toString());
    resolveAt(*library, library->url(), nesting);
    m_loaded[key] = library;
    return library;
}

} // namespace player
