#pragma once

#include "Value.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

namespace player::avm1 {

class InputPort;
class Object;

// What the virtual machine needs from the timelines and from the program around the player.
// Clips appear here as their script objects. The script engine implements it over the display
// list; tests of the bare machine use a small stand-in.
class DisplayBridge {
public:
    virtual ~DisplayBridge() = default;

    virtual void trace(const QString& text) = 0;
    virtual void fsCommand(const QString& command, const QString& arguments) = 0;
    // ExternalInterface.call: the request text is already formatted; the answer is the
    // host's, undefined when it has none.
    virtual Value flashCall(const QString& request) = 0;
    // getURL, loadMovie and loadVariables in all their forms (GetURL and GetURL2).
    virtual void getUrl(Object* clip, const QString& url, const QString& target, int method, bool loadTarget, bool loadVariables) = 0;
    // MovieClipLoader.loadClip into a clip, or into a level when clip is null; the loader object
    // hears the events. Loads happen at the end of the frame.
    virtual void loadClip(Object* /*loader*/, Object* /*caller*/, const QString& /*url*/, Object* /*clip*/, int /*level*/) {}
    // The player's clock in milliseconds since the movie started.
    virtual double milliseconds() = 0;
    // The size in pixels of the window that shows the stage, when known.
    virtual std::optional<QSize> viewportSize() { return std::nullopt; }

    // The root of a clip's level, and a level's root by number (nothing when it is empty).
    virtual Object* rootOf(Object* clip) = 0;
    virtual Object* level(int number) = 0;
    virtual bool isClip(Object* object) const = 0;
    // Target path in dot syntax ("_level0.a.b") or slash syntax ("/a/b").
    virtual QString targetPath(Object* clip, bool slashSyntax) = 0;

    enum class TimelineCommand { Play, Stop, NextFrame, PreviousFrame };
    virtual void timelineCommand(Object* clip, TimelineCommand command) = 0;
    // Frame counted from 0. With play, the clip plays on from there.
    virtual void gotoFrame(Object* clip, int frame, bool play) = 0;
    virtual bool gotoLabel(Object* clip, const QString& label, bool play) = 0;
    // The frame a label or number text names, counted from 0, or -1.
    virtual int frameOf(Object* clip, const QString& frame) = 0;
    virtual int framesLoaded(Object* clip) = 0;
    // Runs the actions of a frame of a clip now (the CallFrame action).
    virtual void callFrame(Object* clip, int frame) = 0;

    virtual void duplicateClip(Object* clip, const QString& name, int depth) = 0;
    virtual void removeClip(Object* clip) = 0;
    virtual void startDrag(Object* clip, bool lockCenter, bool constrained, double left, double top, double right, double bottom) = 0;
    virtual void stopDrag() = 0;
    virtual void toggleQuality() = 0;
    virtual void stopSounds() = 0;
    // The mouse and keyboard as the movie sees them (hitTest, _xmouse, Key.isDown); null
    // without a player.
    virtual InputPort* input() { return nullptr; }
    // The bytes of a local file that XML.load and LoadVars.load ask for, relative to the
    // working folder; nothing when it cannot be read. The player never reads from a network.
    virtual std::optional<QByteArray> readLocalFile(const QString&) { return std::nullopt; }
};

} // namespace player::avm1
