#include "ActionQueue.h"

#include "display/ScriptHost.h"

namespace player {

void ActionQueue::queueActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code)
{
    if (clip && code && !code->empty())
        m_normal.push_back({std::move(clip), std::move(code), 0, nullptr});
}

void ActionQueue::queueInitActions(std::shared_ptr<display::MovieClip> clip, swf::ActionCode code)
{
    if (clip && code && !code->empty())
        m_init.push_back({std::move(clip), std::move(code), 0, nullptr});
}

void ActionQueue::queueEvent(std::shared_ptr<display::DisplayObject> object, uint32_t eventBit, const char* handlerName)
{
    if (object)
        m_normal.push_back({std::move(object), nullptr, eventBit, handlerName});
}

void ActionQueue::clear()
{
    m_init.clear();
    m_normal.clear();
}

void ActionQueue::run(display::ScriptHost& host)
{
    while (!isEmpty()) {
        std::deque<Entry>& source = m_init.empty() ? m_normal : m_init;
        Entry entry = std::move(source.front());
        source.pop_front();
        runEntry(host, entry);
    }
}

void ActionQueue::runEntry(display::ScriptHost& host, const Entry& entry)
{
    display::DisplayObject& object = *entry.object;
    const bool isUnload = entry.eventBit == swf::clip_event::Unload;
    // Unload handlers run on objects that just left the list; everything else needs a live one.
    if (object.isRemoved() && !isUnload)
        return;
    if (entry.code) {
        if (display::MovieClip* clip = object.asMovieClip())
            host.runActions(*clip, entry.code);
        return;
    }
    if (display::MovieClip* clip = object.asMovieClip()) {
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
