#include "ActionQueue.h"

#include "display/ScriptHost.h"

namespace player {

void ActionQueue::queueActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code)
{
    if (clip && code && !code->empty())
        m_lines[Normal].push_back({std::move(clip), std::move(code), 0, nullptr});
}

void ActionQueue::queueInitActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code)
{
    if (clip && code && !code->empty())
        m_lines[InitActions].push_back({std::move(clip), std::move(code), 0, nullptr});
}

void ActionQueue::queueEvent(std::shared_ptr<display::DisplayObject> object, uint32_t eventBit, const char* handlerName)
{
    if (object)
        m_lines[Normal].push_back({std::move(object), nullptr, eventBit, handlerName});
}

void ActionQueue::queueConstruction(const std::shared_ptr<display::MovieClip>& clip)
{
    if (!clip)
        return;
    for (const swf::ClipAction& action : clip->clipActions()) {
        if (action.events & swf::clip_event::Initialize) {
            m_lines[Initialize].push_back({clip, nullptr, swf::clip_event::Initialize, nullptr});
            break;
        }
    }
    m_lines[Construct].push_back({clip, nullptr, swf::clip_event::Construct, nullptr});
}

bool ActionQueue::isEmpty() const
{
    for (const std::deque<Entry>& line : m_lines) {
        if (!line.empty())
            return false;
    }
    return true;
}

void ActionQueue::clear()
{
    for (std::deque<Entry>& line : m_lines)
        line.clear();
}

ActionQueue::RunResult ActionQueue::run(display::ScriptHost& host)
{
    struct RunScope {
        display::ScriptHost& host;
        explicit RunScope(display::ScriptHost& runHost) : host(runHost) { host.queueRunStarted(); }
        ~RunScope() { host.queueRunEnded(); }
    } scope(host);
    for (int entries = 0;; ++entries) {
        if (isEmpty())
            return RunResult::Finished;
        if (entries >= MaximumEntriesPerRun) {
            clear();
            return RunResult::TooManyEntries;
        }
        if (host.queueRunTimeSpent()) {
            clear();
            return RunResult::OutOfTime;
        }
        std::deque<Entry>* source = nullptr;
        for (std::deque<Entry>& line : m_lines) {
            if (!line.empty()) {
                source = &line;
                break;
            }
        }
        Entry entry = std::move(source->front());
        source->pop_front();
        runEntry(host, entry);
    }
}

void ActionQueue::runEntry(display::ScriptHost& host, const Entry& entry)
{
    display::DisplayObject& object = *entry.object;
    const bool isUnload = entry.eventBit == swf::clip_event::Unload;
    // Unload handlers run on objects that just left the list (or wait beside it for them);
    // everything else needs a live one.
    if ((object.isRemoved() || object.isAwaitingRemoval()) && !isUnload)
        return;
    if (entry.code) {
        if (display::MovieClip* clip = object.asMovieClip())
            host.runActions(*clip, entry.code);
        return;
    }
    display::MovieClip* clip = object.asMovieClip();
    if (clip && entry.eventBit == swf::clip_event::Construct) {
        std::vector<swf::ActionCode> blocks;
        for (const swf::ClipAction& action : clip->clipActions()) {
            if (action.events & swf::clip_event::Construct)
                blocks.push_back(action.actions);
        }
        host.constructClip(*clip, blocks);
        return;
    }
    if (clip) {
        // A copy: a handler may load another movie into the clip, which replaces its events.
        const std::vector<swf::ClipAction> actions = clip->clipActions();
        for (const swf::ClipAction& action : actions) {
            if (action.events & entry.eventBit)
                host.runActions(*clip, action.actions);
        }
    }
    if (entry.handlerName)
        host.callHandler(object, entry.handlerName);
}

} // namespace player
