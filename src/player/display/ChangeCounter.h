#pragma once

#include <cstdint>

namespace player::display {

// Counts the changes to what one stage shows: every placement, removal, transform, colour,
// filter, drawing, text or button state that could alter a pixel adds one. Whoever draws the
// stage remembers the count it drew and draws again only when the count has moved. Counting a
// change that alters nothing costs a needless frame; missing one leaves a stale picture, so
// mutators count whenever in doubt.
class ChangeCounter {
public:
    void note() { ++m_count; }
    uint64_t count() const { return m_count; }

private:
    uint64_t m_count = 0;
};

} // namespace player::display
