#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace player::avm1::builtins {

// Orders the items as Array.sort does in Flash: a quicksort that is not stable, so equal
// elements may trade places, and scripts see exactly that order.
// compare(a, b) is negative, zero or positive as item a goes before, with or after item b.
void quickSort(std::vector<size_t>& items, const std::function<int(size_t, size_t)>& compare);

} // namespace player::avm1::builtins
