#pragma once

#include "display/MovieClip.h"

#include <array>
#include <deque>
#include <memory>

namespace player {

namespace display {
class ScriptHost;
}

// Scripts waiting to run, in the order Flash runs them. Entries wait in four lines: init actions
// (DoInitAction), then onClipEvent(initialize) blocks, then construction (a registered class and
// onClipEvent(construct)), then everything else (frame scripts and other events). Whenever a
// script finishes, the first entry of the most urgent line that has one runs next, so the
// initialize events of clips a frame places run before that frame's scripts, even those queued
// earlier. Entries hold their clip, so a clip removed meanwhile is still safe to look at; the
// scripts of removed clips are skipped, as Flash skips them.
class ActionQueue {
public:
    void queueActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code);
    void queueInitActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code);
    // A clip event: the clip's onClipEvent blocks for the event bit, then the function handler.
    void queueEvent(std::shared_ptr<display::DisplayObject> object, uint32_t eventBit, const char* handlerName);
    // What a clip placed by a timeline runs before any frame script: its initialize blocks,
    // then its construction.
    void queueConstruction(const std::shared_ptr<display::MovieClip>& clip);

    bool isEmpty() const;
    void clear();

    // Runs everything queued, including what the scripts queue while running. Scripts that keep
    // queueing each other (a frame that goes to another whose script comes back) would never let
    // this end, each of them short enough for the script time limit. So the whole run counts
    // against the script time limit, and once that is spent the rest is dropped (OutOfTime);
    // and after MaximumEntriesPerRun entries the rest is dropped too (TooManyEntries), for
    // lists so short that even the clock takes thousands of them to run out.
    static constexpr int MaximumEntriesPerRun = 250000;
    enum class RunResult { Finished, OutOfTime, TooManyEntries };
    RunResult run(display::ScriptHost& host);

private:
    enum Line { InitActions, Initialize, Construct, Normal, LineCount };
    struct Entry {
        std::shared_ptr<display::DisplayObject> object;
        swf::ActionCode code; // null for an event
        uint32_t eventBit = 0;
        const char* handlerName = nullptr;
    };
    void runEntry(display::ScriptHost& host, const Entry& entry);

    std::array<std::deque<Entry>, LineCount> m_lines;
};

} // namespace player
