#include "FrameLifecycle.h"

#include "ActionQueue.h"

#include <vector>

namespace player {

namespace {

void collectClips(display::MovieClip& clip, std::vector<std::shared_ptr<display::MovieClip>>& clips)
{
    clips.push_back(std::static_pointer_cast<display::MovieClip>(clip.sharedFromThis()));
    for (const auto& [depth, child] : clip.children()) {
        if (display::MovieClip* childClip = child->asMovieClip())
            collectClips(*childClip, clips);
    }
}

} // namespace

void FrameLifecycle::advance(display::Stage& stage, bool withScripts)
{
    std::vector<std::shared_ptr<display::MovieClip>> clips;
    for (const auto& [number, root] : stage.levels())
        collectClips(*root, clips);
    for (auto it = clips.rbegin(); it != clips.rend(); ++it) {
        display::MovieClip& clip = **it;
        // A clip removed by an earlier clip's timeline this tick does nothing more.
        if (clip.isRemoved())
            continue;
        if (withScripts)
            m_queue.queueEvent(*it, swf::clip_event::EnterFrame, "onEnterFrame");
        clip.advanceFrame();
    }
}

} // namespace player
