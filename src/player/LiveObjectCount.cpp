#include "LiveObjectCount.h"

#include <algorithm>

namespace player {

size_t LiveObjectCount::add(const std::shared_ptr<display::DisplayObject>& object)
{
    m_objects.push_back(object);
    if (m_objects.size() >= m_sweepAt) {
        count();
        m_sweepAt = std::max<size_t>(1024, m_objects.size() * 2);
    }
    return m_objects.size();
}

size_t LiveObjectCount::count()
{
    std::erase_if(m_objects, [](const std::weak_ptr<display::DisplayObject>& object) { return object.expired(); });
    return m_objects.size();
}

} // namespace player
