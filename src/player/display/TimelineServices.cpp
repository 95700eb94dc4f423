#include "TimelineServices.h"

#include "DisplayContainer.h"

namespace player::display {

void TimelineServices::removeObject(DisplayContainer& container, int depth)
{
    if (std::shared_ptr<DisplayObject> removed = container.removeChild(depth))
        objectRemoved(*removed);
}

} // namespace player::display
