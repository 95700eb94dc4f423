#pragma once

#include "Clock.h"
#include "LiveObjectCount.h"
#include "ReadableFolders.h"
#include "display/ScriptHost.h"
#include "display/Stage.h"
#include "display/TimelineServices.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace player {

class ActionQueue;
class FrameLifecycle;
class InputDispatcher;
class MovieLoader;

// The movie player's engine, without any widget: levels and their timelines, the script engine,
// the clock and the events a movie sends out. The widget (MoviePlayer) and skrv-play drive it.
//
// Reentrancy: every operation may be called from inside an event handler (an FSCommand handler
// may load a new movie into the level that is running). Replaced levels and removed objects are
// kept alive until the outermost call returns.
class Player final : public display::TimelineServices {
public:
    Player();
    ~Player() override;

    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // The script engine; without one, movies play with no scripts. Set it before loading.
    void setScriptHost(std::unique_ptr<display::ScriptHost> host);
    display::ScriptHost* scriptHost() override { return m_scriptHost.get(); }

    // Loads a movie file (local path or file: URL) into a level, replacing it, and runs its first
    // frame. The path "-1" empties the level. Returns an error message when the file cannot be
    // read as a movie (the level is then left empty).
    std::optional<QString> loadMovie(int level, const QString& url);
    // The same with the movie's bytes already in memory; url is what _url reports.
    std::optional<QString> loadMovieData(int level, const QByteArray& bytes, const QString& url);
    void unloadLevel(int level);
    // The same with a movie already read (or built in memory, as benchmarks do).
    // A library for a movie just read, with the characters it imports bound; they are looked
    // for from importBaseUrl's folder when given, else from the movie's own URL.
    std::shared_ptr<const display::MovieLibrary> prepareLibrary(std::shared_ptr<const swf::Movie> movie,
                                                                const QString& url,
                                                                const QString& importBaseUrl = QString()) const;
    void loadMovieLibrary(int level, std::shared_ptr<const display::MovieLibrary> library);

    // The folders movies may read files from, besides the root movie's own (see ReadableFolders).
    void setReadableFolders(const QStringList& folders) { m_readableFolders.setFolders(folders); }
    const ReadableFolders& readableFolders() const { return m_readableFolders; }

    // Reads a movie for loadMovie into a clip (script engine); null with an error message.
    std::shared_ptr<const display::MovieLibrary> readMovieFile(const QString& url, QString* error) const;
    // Loads that scripts ask for (loadMovie, MovieClipLoader); they happen at the end of a frame.
    MovieLoader& movieLoader() { return *m_loader; }
    // Puts a movie loaded by a script into a level and runs its first frame's control tags; its
    // scripts wait in the queue, as the loader decides when they run.
    display::MovieClip* placeLoadedLevel(int level, std::shared_ptr<const display::MovieLibrary> library);

    // One tick: every level's timeline advances, scripts and events run, timers fire.
    void advanceFrame();

    // Host operations. Frames count from 0 here, as the host counts them.
    void gotoFrame(int frame);
    bool gotoFrameOf(const QString& target, int frame);
    std::optional<int> currentFrameOf(const QString& target);
    bool setVariable(const QString& name, const QString& value);
    std::optional<QString> variable(const QString& name);

    // Runs queued scripts now (after a goto made by the host, or by a script on another clip).
    void runQueuedActions();

    // Mouse and keyboard input; positions in stage pixels. Each runs the scripts it causes.
    void mouseMove(double x, double y);
    void mouseDown();
    void mouseUp();
    void mouseLeft();
    // Flash key codes (Key.LEFT is 37), with the character typed or 0.
    void keyDown(int keyCode, int ascii);
    void keyUp(int keyCode);
    InputDispatcher& input() { return *m_input; }

    display::Stage& stage() { return m_stage; }
    const display::Stage& stage() const { return m_stage; }
    Clock& clock() { return m_clock; }
    // The size in pixels of the window that shows the stage. Scripts see it as the stage size
    // when they ask for no scaling; unknown, the stage is the movie's frame.
    void setViewportSize(std::optional<QSize> size) { m_viewportSize = size; }
    // The window was resized while the movie plays: the same, and a stage that follows the
    // window (scale mode noScale) tells its onResize listeners.
    void resizeViewport(const QSize& size);
    std::optional<QSize> viewportSize() const { return m_viewportSize; }
    const Clock& clock() const { return m_clock; }
    // The frame rate of the movie the host put into level 0: a movie a script loads into level 0
    // later takes the stage, not the pace.
    double frameRate() const { return m_frameRate > 0 ? m_frameRate : m_stage.frameRate(); }
    // Frames played since the player started (the first frame of level 0 counts as 1).
    uint64_t frameCount() const { return m_frameCount; }
    // A movie sent FSCommand "quit", which closes Flash's stand-alone player: frames no longer
    // advance until a new movie is loaded into level 0.
    bool hasQuit() const { return m_quit; }

    // Where the movie's output goes; the script engine calls these.
    std::function<void(const QString& line)> onTrace;
    std::function<void(const QString& command, const QString& args)> onFsCommand;
    std::function<void(const QString& request)> onFlashCall;
    void trace(const QString& line);
    void fsCommand(const QString& command, const QString& args);
    void flashCall(const QString& request);

    // The player version scripts see ($version, System.capabilities), 9 unless set.
    int playerVersion() const { return m_playerVersion; }
    void setPlayerVersion(int version) { m_playerVersion = version; }

    // Limits on what a movie may use. A movie that goes beyond the display limits is stopped:
    // its frames no longer advance and its scripts no longer run. A script stopped by its own
    // limits (recursion, time, string and array sizes) is reported, and the movie plays on.
    static constexpr size_t MaximumDisplayObjects = 100000;
    // Called once for each limit reached, with a sentence saying which.
    std::function<void(const QString& reason)> onLimitReached;
    void limitReached(const QString& reason, bool stopMovie);
    // Why the movie was stopped; nothing while it plays.
    const std::optional<QString>& stopReason() const { return m_stopReason; }
    bool isStopped() const { return m_stopReason.has_value(); }

    // Resolves "_level0.a.b", "/a/b", "_level100.x" and plain level paths without the script
    // engine (the host operations fall back to this when there is none).
    display::DisplayObject* findTarget(const QString& path);

    // Keeps an object alive until the outermost player call returns.
    void keepAlive(std::shared_ptr<display::DisplayObject> object);

    // TimelineServices
    std::shared_ptr<display::DisplayObject> instantiate(const std::shared_ptr<const display::MovieLibrary>& library,
                                                        uint16_t characterId) override;
    void objectPlaced(display::DisplayObject& object) override;
    void objectRemoved(display::DisplayObject& object) override;
    void removeObject(display::DisplayContainer& container, int depth) override;
    void placementFailed(int tagDepth) override;
    void queueFrameActions(display::MovieClip& clip, const swf::ActionCode& code) override;
    void queueInitActions(display::MovieClip& clip, uint16_t spriteId, const swf::ActionCode& code) override;
    void importsReached(display::MovieClip& clip, int frame) override;
    QString nextInstanceName() override;
    void queueConstruction(display::MovieClip& clip) override;

private:
    class CallScope;
    void releaseKeptAlive();
    void queueUnloadEvents(display::DisplayObject& object);
    // Whether a removed object must wait for unload handlers: its own or those of a clip inside.
    bool waitsForUnload(display::DisplayObject& object);
    // Takes the objects set aside for their unload handlers off their lists for good.
    void finishSetAsideRemovals();
    void installLevel(int level, std::shared_ptr<const display::MovieLibrary> library);
    // The end of a frame: queued scripts, the timers due, then the loads scripts asked for.
    void finishFrame();
    // The end of a host's goto, which is no frame: the loads and unloads scripts asked for.
    void finishHostCall();
    // Puts a new root clip for the movie on the level and runs its first frame's tags.
    display::MovieClip* replaceLevel(int level, std::shared_ptr<const display::MovieLibrary> library);

    display::Stage m_stage;
    std::optional<QSize> m_viewportSize;
    Clock m_clock;
    ReadableFolders m_readableFolders;
    LiveObjectCount m_liveObjects;
    std::optional<QString> m_stopReason;
    std::unique_ptr<display::ScriptHost> m_scriptHost;
    std::unique_ptr<ActionQueue> m_actions;
    std::unique_ptr<FrameLifecycle> m_lifecycle;
    std::unique_ptr<InputDispatcher> m_input;
    std::unique_ptr<MovieLoader> m_loader;
    std::vector<std::shared_ptr<display::DisplayObject>> m_keptAlive;
    std::vector<std::shared_ptr<display::DisplayObject>> m_removedPending;
    // Removed objects kept on their lists until their unload handlers have run.
    std::vector<std::shared_ptr<display::DisplayObject>> m_setAside;
    std::set<std::pair<const display::MovieLibrary*, uint16_t>> m_initActionsDone;
    int m_instantiationDepth = 0;
    int m_callDepth = 0;
    uint64_t m_frameCount = 0;
    double m_frameRate = 0; // 0 until the host loads a movie into level 0
    bool m_quit = false;
    uint32_t m_instanceCount = 0;
    int m_playerVersion = 9;
};

} // namespace player
