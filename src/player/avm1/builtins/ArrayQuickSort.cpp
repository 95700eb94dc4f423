#include "ArrayQuickSort.h"

#include <utility>

namespace player::avm1::builtins {

namespace {

struct Range {
    size_t first;
    size_t last;
};

// Two or three items are put in order by neighbour swaps.
void sortShortRange(std::vector<size_t>& items, size_t first, size_t count, const std::function<int(size_t, size_t)>& compare)
{
    auto orderPair = [&](size_t at) {
        if (compare(items[at], items[at + 1]) > 0) {
            std::swap(items[at], items[at + 1]);
            return true;
        }
        return false;
    };
    if (count == 2) {
        orderPair(first);
    } else if (count == 3) {
        orderPair(first);
        if (orderPair(first + 1))
            orderPair(first);
    }
}

} // namespace

void quickSort(std::vector<size_t>& items, const std::function<int(size_t, size_t)>& compare)
{
    if (items.size() < 2)
        return;
    std::vector<Range> pending{{0, items.size() - 1}};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const size_t count = range.last - range.first + 1;
        if (count < 4) {
            sortShortRange(items, range.first, count, compare);
            continue;
        }
        // The middle item is the pivot; it waits at the front while the rest is split around it.
        const size_t front = range.first;
        std::swap(items[front], items[front + count / 2]);
        size_t left = front;
        size_t right = range.last + 1;
        for (;;) {
            do {
                ++left;
            } while (left <= range.last && compare(items[left], items[front]) <= 0);
            do {
                --right;
            } while (right > front && compare(items[right], items[front]) >= 0);
            if (right < left)
                break;
            std::swap(items[left], items[right]);
        }
        std::swap(items[front], items[right]);
        // The smaller side is sorted first; that order shows in the calls to a compare function.
        const bool lowerHasMore = right - 1 - front >= range.last - left;
        const bool lowerNeedsSorting = right > front + 1;
        const bool upperNeedsSorting = left < range.last;
        if (lowerHasMore) {
            if (lowerNeedsSorting)
                pending.push_back({front, right - 1});
            if (upperNeedsSorting)
                pending.push_back({left, range.last});
        } else {
            if (upperNeedsSorting)
                pending.push_back({left, range.last});
            if (lowerNeedsSorting)
                pending.push_back({front, right - 1});
        }
    }
}

} // namespace player::avm1::builtins
