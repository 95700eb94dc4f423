#pragma once

#include "display/MovieClip.h"

#include <deque>
#include <memory>

namespace player {

namespace display {
class ScriptHost;
}

// Scripts waiting to run, in the order Flash runs them: init actions before frame actions, each
// in the order queued. Entries hold their clip, so a clip removed meanwhile is still safe to look
// at; the scripts of removed clips are skipped, as Flash skips them.
class ActionQueue {
public:
    void queueActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code);
    void queueInitActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code);
    // A clip event: the clip's onClipEvent blocks for the event bit, then the function handler.
    void queueEvent(std::shared_ptr<display::DisplayObject> object, uint32_t eventBit, const char* handlerName);

    bool isEmpty() const { return m_init.empty() && m_normal.empty(); }
    void clear();

    // Runs everything queued, including what the scripts queue while running.
    void run(display::ScriptHost& host);

private:
    struct Entry {
        std::shared_ptr<display::DisplayObject> object;
        swf::ActionCode code; // null for an event
        uint32_t eventBit = 0;
        const char* handlerName = nullptr;
    };
    void runEntry(display::ScriptHost& host, const Entry& entry);

    std::deque<Entry> m_init;
    std::deque<Entry> m_normal;
};

} // namespace player
