#pragma once

#include "player/display/LoadRequest.h"

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

namespace player::display {
class DisplayObject;
class MovieClip;
}

namespace player::avm1 {

class InputPort;

// What the script engine needs from the player engine that runs it: where traces, commands and
// calls go, the levels, loads, the clock, and the mouse and keyboard. The engine implements it;
// the virtual machine sees nothing else of the player.
class EngineServices {
public:
    virtual ~EngineServices() = default;

    // trace(), fscommand() and ExternalInterface.call, passed on as the script made them.
    virtual void trace(const QString& line) = 0;
    virtual void fsCommand(const QString& command, const QString& arguments) = 0;
    virtual void flashCall(const QString& request) = 0;

    // The root clip of a level, or null when the level is empty.
    virtual display::MovieClip* level(int number) = 0;
    virtual void unloadLevel(int number) = 0;
    // A loadMovie, loadMovieNum or MovieClipLoader.loadClip, carried out at the end of the frame.
    virtual void requestLoad(display::LoadRequest request) = 0;
    // The local file a URL names, relative to the folder of the movie at baseUrl; nothing when
    // the player refuses the address (anything that is not a local file).
    virtual std::optional<QString> localPath(const QString& url, const QString& baseUrl) = 0;
    // Whether a movie may read the local file at a path; one it may not read is a missing file.
    virtual bool mayRead(const QString& path) = 0;

    // A script was stopped by a limit (the reason says which); the engine reports it.
    virtual void limitReached(const QString& reason) = 0;
    // True once the player has stopped the movie: running scripts end at once.
    virtual bool isMovieStopped() = 0;

    // The player's clock in milliseconds since the movie started.
    virtual double milliseconds() = 0;
    // The size in pixels of the window that shows the stage, when the player is told it.
    virtual std::optional<QSize> viewportSize() { return std::nullopt; }
    // Keeps an object alive until the outermost call into the player returns: a script may
    // remove or replace the clip that runs it.
    virtual void keepAlive(std::shared_ptr<display::DisplayObject> object) = 0;
    virtual InputPort& input() = 0;
};

} // namespace player::avm1
