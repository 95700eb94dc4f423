#include "FrameLifecycle.h"

#include "ActionQueue.h"

namespace player {

void FrameLifecycle::clipCreated(const std::shared_ptr<display::MovieClip>& clip)
{
    if (clip)
        m_clips.push_back(clip);
}

std::vector<std::shared_ptr<display::MovieClip>> FrameLifecycle::liveClips() const
{
    std::vector<std::shared_ptr<display::MovieClip>> clips;
    clips.reserve(m_clips.size());
    for (const std::weak_ptr<display::MovieClip>& entry : m_clips) {
        std::shared_ptr<display::MovieClip> clip = entry.lock();
        if (clip && !clip->isRemoved())
            clips.push_back(std::move(clip));
    }
    return clips;
}

void FrameLifecycle::advance(bool withScripts)
{
    // Clips that are gone leave the list here; the walk works on a copy, since timelines add
    // and remove clips as they play.
    std::vector<std::shared_ptr<display::MovieClip>> clips = liveClips();
    m_clips.assign(clips.begin(), clips.end());
    for (auto it = clips.rbegin(); it != clips.rend(); ++it) {
        display::MovieClip& clip = **it;
        // A clip removed by an earlier clip's timeline this tick does nothing more.
        if (clip.isRemoved() || clip.isAwaitingRemoval())
            continue;
        if (withScripts)
            m_queue.queueEvent(*it, swf::clip_event::EnterFrame, "onEnterFrame");
        clip.advanceFrame();
    }
}

} // namespace player
