#pragma once

#include "display/LoadRequest.h"

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

// Loads asked for by scripts happen at the end of the frame in which they were asked for, as in
// Flash, where they never complete while the script that started them still runs. Files are read
// in one go and closed at once; only local files are read (see LocalUrl).
class MovieLoader {
public:
    explicit MovieLoader(Player& player);

    void request(display::LoadRequest request);
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
        std::shared_ptr<display::LoadListener> listener;
    };
    bool perform(const display::LoadRequest& request, std::vector<Loaded>& loaded);

    Player& m_player;
    std::vector<display::LoadRequest> m_pending;
    bool m_processing = false;
};

} // namespace player
