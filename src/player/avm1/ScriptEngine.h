#pragma once

#include "DisplayBridge.h"
#include "TextFieldVariables.h"
#include "player/display/ScriptHost.h"

#include <functional>
#include <memory>

namespace player::display {
class LoadListener;
}

namespace player::avm1 {

class EngineServices;
class Machine;
class Object;

// The virtual machine bound to a player: gives display objects their script objects, runs
// timeline scripts and handlers, carries out the host operations on variable and target paths,
// and sends traces, commands and calls to the player through the services the player gives it.
class ScriptEngine : public display::ScriptHost, public DisplayBridge {
public:
    explicit ScriptEngine(std::unique_ptr<EngineServices> services);
    ~ScriptEngine() override;

    Machine& machine() { return *m_machine; }

    // ScriptHost
    void objectCreated(display::DisplayObject& object) override;
    void objectRemoved(display::DisplayObject& object) override;
    void contentReplaced(display::DisplayObject& object) override;
    void runActions(display::MovieClip& scope, const swf::ActionCode& code) override;
    void callHandler(display::DisplayObject& object, const char* handlerName) override;
    display::DisplayObject* resolveTarget(const QString& path) override;
    bool setVariable(const QString& path, const QString& value) override;
    std::optional<QString> getVariable(const QString& path) override;
    void frameStarted() override;
    void queueRunStarted() override;
    void queueRunEnded() override;
    bool queueRunTimeSpent() override;
    void runTimers(double untilMilliseconds, const std::function<void()>& afterEachCall) override;
    void constructClip(display::MovieClip& clip, const std::vector<swf::ActionCode>& constructBlocks) override;
    bool hasHandler(display::DisplayObject& object, const char* handlerName) override;
    std::optional<bool> booleanProperty(display::DisplayObject& object, const char* name) override;
    void broadcastInput(const char* source, const char* message) override;
    void viewportResized() override;

    // DisplayBridge
    void trace(const QString& text) override;
    void fsCommand(const QString& command, const QString& arguments) override;
    Value flashCall(const QString& request) override;
    void getUrl(Object* clip, const QString& url, const QString& target, int method, bool loadTarget, bool loadVariables) override;
    void loadClip(Object* loader, Object* caller, const QString& url, Object* clip, int level) override;
    double milliseconds() override;
    std::optional<QSize> viewportSize() override;
    Object* rootOf(Object* clip) override;
    Object* level(int number) override;
    bool isClip(Object* object) const override;
    QString targetPath(Object* clip, bool slashSyntax) override;
    void timelineCommand(Object* clip, TimelineCommand command) override;
    void gotoFrame(Object* clip, int frame, bool play) override;
    bool gotoLabel(Object* clip, const QString& label, bool play) override;
    int frameOf(Object* clip, const QString& frame) override;
    int framesLoaded(Object* clip) override;
    void callFrame(Object* clip, int frame) override;
    void duplicateClip(Object* clip, const QString& name, int depth) override;
    void removeClip(Object* clip) override;
    void startDrag(Object* clip, bool lockCenter, bool constrained, double left, double top, double right, double bottom) override;
    void stopDrag() override;
    void toggleQuality() override;
    void stopSounds() override;
    InputPort* input() override;
    std::optional<QByteArray> readLocalFile(const QString& url) override;

private:
    void defineVersionVariable(display::DisplayObject& object, Object* clipObject);
    // The player's verdict on whether a movie may read a local file.
    std::function<bool(const QString&)> readableCheck() const;
    Object* objectFor(display::DisplayObject* object);
    // Asks the player to load url into a level (level >= 0) or into target, relative to the
    // movie of loadingClip.
    void requestLoad(Object* loadingClip, const QString& url, int level, display::DisplayObject* target,
                     std::shared_ptr<display::LoadListener> listener);
    // loadVariables and loadVariablesNum: reads a local url-encoded file now and sets its
    // variables on the target at the next run of the timers, with its data event.
    void loadVariables(Object* loadingClip, const QString& url, const QString& target);
    // The object and final name of "path:name", "/path:name" or a dot path, from _level0.
    bool splitHostPath(const QString& text, Object*& object, QString& name);

    std::unique_ptr<EngineServices> m_services;
    std::shared_ptr<Machine> m_machine;
    // The first movie to run a script sets the call depth and time limits (its ScriptLimits tag).
    bool m_limitsConfigured = false;
    TextFieldVariables m_textFieldVariables;
};

// The engine for a player, as the player's factory wants it.
std::unique_ptr<display::ScriptHost> createScriptHost(std::unique_ptr<EngineServices> services);

} // namespace player::avm1
