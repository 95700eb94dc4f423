#pragma once

#include "player/swf/Button.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace player::display {

class DisplayContainer;
class DisplayObject;
class MovieClip;
class MovieLibrary;
class ScriptHost;

// What a timeline needs from the player while it runs: making instances of characters, telling
// the script engine about new and removed objects, and queueing frame scripts. The player
// implements it; clips keep a pointer to it (it outlives every clip of the player).
class TimelineServices {
public:
    virtual ~TimelineServices() = default;

    // A new instance of a character of a movie, not yet on any list; null when the id is
    // unknown or the character cannot be placed (fonts, bitmaps used only by fills).
    virtual std::shared_ptr<DisplayObject> instantiate(const std::shared_ptr<const MovieLibrary>& library,
                                                       uint16_t characterId) = 0;

    // An object was put on a display list: the script engine binds it; its load events are queued.
    virtual void objectPlaced(DisplayObject& object) = 0;
    // An object was taken off a display list: its unload event runs.
    virtual void objectRemoved(DisplayObject& object) = 0;
    // A timeline or a script removes the object at a depth of a container: taken off the list
    // now and reported to objectRemoved, unless the player keeps it until its unload has run.
    virtual void removeObject(DisplayContainer& container, int depth);

    // A PlaceObject that was no move found its depth (as the tag numbers it) taken: Flash
    // leaves what is there and reports it in the movie's trace output.
    virtual void placementFailed(int tagDepth) { (void)tagDepth; }

    // A frame script (DoAction) of a clip, run in order after the current timeline pass.
    virtual void queueFrameActions(MovieClip& clip, const swf::ActionCode& code) = 0;

    // A DoInitAction block for a sprite id, met on a frame of a movie's main timeline. It runs
    // once per movie and sprite, before the frame scripts queued with it.
    virtual void queueInitActions(MovieClip& clip, uint16_t spriteId, const swf::ActionCode& code) = 0;

    // A movie's main timeline reached a frame: the init actions that the movies it imports
    // from hold for the imported sprites are queued, to run before that frame's scripts.
    virtual void importsReached(MovieClip& clip, int frame)
    {
        (void)clip;
        (void)frame;
    }

    // A clip a timeline placed is to be constructed: its initialize and construct events, and
    // a class registered for its symbol, run before the scripts already waiting.
    virtual void queueConstruction(MovieClip& clip) { (void)clip; }

    // The name an object placed by a timeline without one gets: "instance1", "instance2"... one
    // counter for the whole player, as in Flash.
    virtual QString nextInstanceName() { return {}; }

    // The script engine, or null when the player plays without scripts.
    virtual ScriptHost* scriptHost() = 0;
};

} // namespace player::display
