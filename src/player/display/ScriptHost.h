#pragma once

#include "player/swf/Button.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace player::display {

class DisplayObject;
class MovieClip;

// What the timelines need from the script engine, and what the host operations of the player
// need from it. The virtual machine implements it; a player without one plays movies with no
// scripts. Only the display and player code call it; the virtual machine calls back into the
// display classes directly.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;

    // A display object was created (placed by a timeline, attached or duplicated by a script,
    // or made for a loaded movie). The engine gives clips their script object here.
    virtual void objectCreated(DisplayObject& object) = 0;

    // A display object left the display list for good (its unload has run).
    virtual void objectRemoved(DisplayObject& object) = 0;

    // A loaded movie replaced a clip's content: for scripts the clip starts over, its variables
    // and handlers gone.
    virtual void contentReplaced(DisplayObject& object) { (void)object; }

    // Runs a block of actions now, in the scope of a clip (frame scripts, init actions, clip
    // event handlers, button actions). Ordering is the caller's: the frame lifecycle queues
    // blocks and hands them over here one by one.
    virtual void runActions(MovieClip& scope, const swf::ActionCode& code) = 0;

    // Runs the script handlers of an event on an object: the onClipEvent blocks are the
    // caller's; this runs the function-valued handlers ("onEnterFrame", "onLoad", "onPress"...)
    // whose name the caller gives.
    virtual void callHandler(DisplayObject& object, const char* handlerName) = 0;

    // Host operations, with target paths and variable paths in every form the player accepts.
    virtual DisplayObject* resolveTarget(const QString& path) = 0;
    virtual bool setVariable(const QString& path, const QString& value) = 0;
    virtual std::optional<QString> getVariable(const QString& path) = 0;

    // Once per frame before any script of the frame runs.
    virtual void frameStarted() {}
    // The player runs the scripts it queued: the lists of one run share the script time limit.
    // Between two of them the queue asks whether that time is spent, and drops the rest if so.
    virtual void queueRunStarted() {}
    virtual void queueRunEnded() {}
    virtual bool queueRunTimeSpent() { return false; }

    // Once per frame after all scripts of the frame ran: the timers (setInterval/setTimeout)
    // that fall due before the next frame starts at untilMilliseconds, by the player's clock,
    // with afterEachCall (the scripts the call queued) after each of them.
    virtual void runTimers(double untilMilliseconds, const std::function<void()>& afterEachCall) = 0;

    // A clip placed by a timeline is constructed: a class registered for its symbol becomes its
    // prototype, its onClipEvent(construct) blocks run, then the class's constructor runs on it.
    // Without a class only the blocks run.
    virtual void constructClip(MovieClip& clip, const std::vector<swf::ActionCode>& constructBlocks)
    {
        for (const swf::ActionCode& code : constructBlocks)
            runActions(clip, code);
    }

    // Mouse and keyboard. Whether the object's script object has a function under this name
    // (a clip with onPress or onRollOver behaves as a button).
    virtual bool hasHandler(DisplayObject&, const char*) { return false; }
    // A property of the object's script object as a boolean; nothing when it is undefined.
    virtual std::optional<bool> booleanProperty(DisplayObject&, const char*) { return std::nullopt; }
    // Sends an input event ("onMouseDown", "onKeyUp"...) to the listeners of the Mouse or Key
    // object.
    virtual void broadcastInput(const char*, const char*) {}

    // The window that shows the stage changed size. A stage that follows the window (no
    // scaling) tells its listeners through Stage.onResize; a scaled stage keeps its size.
    virtual void viewportResized() {}
};

} // namespace player::display
