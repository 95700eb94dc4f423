#pragma once

#include "player/display/TimelineServices.h"

// Timelines that place nothing by themselves: the renderer tests build the display lists by hand.
class NoTimelineServices : public player::display::TimelineServices {
public:
    std::shared_ptr<player::display::DisplayObject> instantiate(const std::shared_ptr<const player::display::MovieLibrary>&,
                                                                uint16_t) override
    {
        return nullptr;
    }
    void objectPlaced(player::display::DisplayObject&) override { }
    void objectRemoved(player::display::DisplayObject&) override { }
    void queueFrameActions(player::display::MovieClip&, const player::swf::ActionCode&) override { }
    void queueInitActions(player::display::MovieClip&, uint16_t, const player::swf::ActionCode&) override { }
    player::display::ScriptHost* scriptHost() override { return nullptr; }
};
