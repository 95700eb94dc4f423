#pragma once

#include <bitset>
#include <deque>
#include <functional>

namespace texture {

// The numbers of this run's texture files (the three digits of their names). Each new texture
// gets three random digits, each digit a uniform random number times 9 rounded to the nearest
// whole number (halves to even), so 0 and 9 come up half as often as the others. Numbers that
// this run has already handed out are passed over for the next free one, so a new texture never
// replaces a file the movie may still show: the first 1000 textures of a run get distinct
// numbers, and after that the number handed out longest ago is used again.
class TextureNames {
public:
    static constexpr int Count = 1000;

    // The random source gives uniform numbers in [0, 1); by default the system's generator.
    explicit TextureNames(std::function<double()> random = {});

    // The number for a new texture, 0 to 999.
    int next();
    bool isInUse(int number) const;
    int inUseCount() const { return int(m_order.size()); }

private:
    int drawDigit();

    std::function<double()> m_random;
    std::bitset<Count> m_inUse;
    std::deque<int> m_order; // handed out, oldest first
};

} // namespace texture
