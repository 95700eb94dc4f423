#include "MovieLoader.h"

#include "ImageMovie.h"
#include "LocalUrl.h"
#include "Player.h"
#include "UrlQuery.h"
#include "display/MovieClip.h"
#include "display/ScriptHost.h"
#include "player/swf/MovieReader.h"

#include <QFile>

namespace player {

namespace {

// Flash's event argument for any load that found nothing to read.
const QString NotFound = QStringLiteral("URLNotFound");

} // namespace

MovieLoader::MovieLoader(Player& player) : m_player(player) {}

void MovieLoader::request(display::LoadRequest request)
{
    m_pending.push_back(std::move(request));
}

std::shared_ptr<const display::MovieLibrary> MovieLoader::libraryFromBytes(const QByteArray& bytes, const QString& url,
                                                                          int swfVersion, QString* error)
{
    if (image_movie::detect(bytes) != image_movie::ImageFormat::None) {
        std::shared_ptr<swf::Movie> movie = image_movie::make(bytes, swfVersion, error);
        if (!movie)
            return nullptr;
        movie->header.uncompressedLength = static_cast<uint32_t>(bytes.size());
        movie->header.fileLength = movie->header.uncompressedLength;
        return std::make_shared<display::MovieLibrary>(std::move(movie), url);
    }
    swf::MovieReadResult result = swf::readMovie(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size()));
    if (!result.movie) {
        if (error)
            *error = QString::fromStdString(result.error);
        return nullptr;
    }
    return std::make_shared<display::MovieLibrary>(std::move(result.movie), url);
}

void MovieLoader::processPending()
{
    if (m_processing || m_pending.empty())
        return;
    m_processing = true;
    std::vector<display::LoadRequest> requests;
    requests.swap(m_pending);
    std::vector<Loaded> loaded;
    for (const display::LoadRequest& request : requests)
        perform(request, loaded);
    // The loaded movies' first frames run before anyone hears that they are ready; onLoadInit
    // then comes for the latest load first, as Flash sends it.
    m_player.runQueuedActions();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        if (it->listener)
            it->listener->loadInitialized(*it->target);
    }
    m_player.runQueuedActions();
    m_processing = false;
}

bool MovieLoader::perform(const display::LoadRequest& request, std::vector<Loaded>& loaded)
{
    std::shared_ptr<display::DisplayObject> clip = request.clip.lock();
    const bool intoLevel = request.level >= 0;
    // A level request without an address unloads the level.
    if (intoLevel && request.url.isEmpty()) {
        m_player.unloadLevel(request.level);
        return false;
    }
    // A clip removed since the request cancels its load.
    if (!intoLevel && (!clip || clip->isRemoved() || !clip->asMovieClip()))
        return false;
    if (!intoLevel && request.url.isEmpty()) {
        clip->asMovieClip()->unloadMovie();
        return false;
    }
    display::DisplayObject* failureTarget = intoLevel ? m_player.stage().level(request.level) : clip.get();
    // Anything but a local file is refused here, before any request could be made.
    const std::optional<QString> path = local_url::resolve(request.url, request.baseUrl);
    // The loaded movie's address is the one asked for, resolved against the loading movie's:
    // loads it makes in turn start from its folder, and _url shows where it came from.
    const QString address = path ? *path + url_query::queryOf(request.url) : request.url;
    auto fail = [&]() {
        // A clip whose load found nothing loses what it showed and is left in Flash's failed state.
        if (!intoLevel)
            clip->asMovieClip()->replaceWithMovie(
                display::MovieLibrary::standIn(swf::StandIn::FailedLoad, address, request.swfVersion));
        if (request.listener)
            request.listener->loadFailed(failureTarget, NotFound);
        return false;
    };

    // A file outside the readable folders is as good as missing.
    if (!path || !m_player.readableFolders().mayRead(*path))
        return fail();
    QByteArray bytes;
    {
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > static_cast<qint64>(swf::MaximumMovieSize))
            return fail();
        bytes = file.readAll();
    }

    std::shared_ptr<const display::MovieLibrary> library = libraryFromBytes(bytes, address, request.swfVersion, nullptr);
    const qint64 size = library ? bytes.size() : 0;
    // A file that holds neither a movie nor a picture fails the clip as a missing one does,
    // though Flash still reports the load as complete, with no bytes.
    if (!library)
        library = display::MovieLibrary::standIn(swf::StandIn::FailedLoad, address, request.swfVersion);
    // A loaded movie imports what it needs as a movie the host opens does.
    else if (!library->movie().imports.empty())
        library = m_player.prepareLibrary(library->moviePointer(), address, *path);

    std::shared_ptr<display::DisplayObject> target;
    if (intoLevel) {
        target = m_player.placeLoadedLevel(request.level, library)->sharedFromThis();
    } else {
        m_player.keepAlive(clip);
        clip->asMovieClip()->replaceWithMovie(library);
        target = clip;
    }
    // The address's query sets variables on the new movie's root before its first frame runs.
    if (display::ScriptHost* host = m_player.scriptHost()) {
        for (const auto& [name, value] : url_query::variables(request.url))
            host->setVariable(target->dotPath() + u':' + name, value);
    }
    if (request.listener) {
        request.listener->loadStarted(*target);
        request.listener->loadProgressed(*target, size, size);
        request.listener->loadCompleted(*target);
    }
    loaded.push_back({target, request.listener});
    return true;
}

} // namespace player
