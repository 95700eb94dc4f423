#pragma once

#include "Value.h"

#include <vector>

namespace player::avm1 {

// Spare vectors of values kept for use again. Every script call fills one with its arguments;
// taking back one that an earlier call gave up, with its room still allocated, saves allocating
// and freeing it at every call.
class ValueVectorPool {
public:
    // An empty vector, with room left from an earlier use where there is one.
    std::vector<Value> take()
    {
        if (m_spare.empty())
            return {};
        std::vector<Value> values = std::move(m_spare.back());
        m_spare.pop_back();
        return values;
    }

    // Gives a vector up: its values are let go at once, its room is kept unless it is large or
    // enough spares are kept already.
    void give(std::vector<Value>&& values)
    {
        values.clear();
        if (values.capacity() == 0 || values.capacity() > largestKept || m_spare.size() >= spareLimit)
            return;
        m_spare.push_back(std::move(values));
    }

    size_t spareCount() const { return m_spare.size(); }

private:
    static constexpr size_t largestKept = 64;
    static constexpr size_t spareLimit = 32;
    std::vector<std::vector<Value>> m_spare;
};

} // namespace player::avm1
