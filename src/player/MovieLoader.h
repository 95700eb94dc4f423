#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace player {

namespace display {
class DisplayObject;
class MovieLibrary;
}

class Player;

// What the script that asked for a load hears (MovieClipLoader's events). The target is the clip
// or level root whose content was replaced; on failure it is the clip named by the request, or
// null for an empty level.
class LoadListener {
public:
    virtual ~LoadListener() = default;
    virtual void loadStarted(display::DisplayObject& target) = 0;
    virtual void loadProgressed(display::DisplayObject& target, qint64 loaded, qint64 total) = 0;
    virtual void loadCompleted(display::DisplayObject& target) = 0;
    virtual void loadInitialized(display::DisplayObject& target) = 0;
    virtual void loadFailed(display::DisplayObject* target, const QString& reason) = 0;
};

// A loadMovie, loadMovieNum or MovieClipLoader.loadClip waiting for the end of the frame.
struct LoadRequest {
    QString url;
    QString baseUrl;  // the loading movie's own URL: relative paths start from its folder
    int level = -1;   // a level number, or -1 to load into clip
    std::weak_ptr<display::DisplayObject> clip;
    int swfVersion = 8; // of the loading movie; a loaded picture follows its rules
    std::shared_ptr<LoadListener> listener;
};

// Loads asked for by scripts happen at the end of the frame in which they were asked for, as in
// Flash, where they never complete while the script that started them still runs. Files are read
// in one go and closed at once; only local files are read (see LocalUrl).
class MovieLoader {
public:
    explicit MovieLoader(Player& player);

    void request(LoadRequest request);
    bool hasPending() const { return !m_pending.empty(); }
    // Performs the loads asked for so far. Loads asked for by the events it sends wait for the
    // next call.
    void processPending();
    // Drops pending loads without a word (the player is going away).
    void clear() { m_pending.clear(); }

    // The movie a file's bytes hold: a SWF movie or a picture. Null with a message otherwise.
    static std::shared_ptr<const display::MovieLibrary> libraryFromBytes(const QByteArray& bytes, const QString& url,
                                                                        int swfVersion, QString* error);

private:
    struct Loaded {
        std::shared_ptr<display::DisplayObject> target;
        std::shared_ptr<LoadListener> listener;
    };
    bool perform(const LoadRequest& request, std::vector<Loaded>& loaded);

    Player& m_player;
    std::vector<LoadRequest> m_pending;
    bool m_processing = false;
};

} // namespace player
