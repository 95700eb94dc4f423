#include "GradientTable.h"

#include <algorithm>
#include <cmath>

namespace player::render {

GradientTable makeGradientTable(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios)
{
    GradientTable table {};
    const size_t count = std::min(colors.size(), ratios.size());
    if (count == 0)
        return table;
    size_t next = 0;
    for (int index = 0; index < 256; ++index) {
        while (next < count && ratios[next] < index)
            ++next;
        swf::Rgba color;
        if (next == 0) {
            color = colors.front();
        } else if (next == count) {
            color = colors[count - 1];
        } else {
            const swf::Rgba& from = colors[next - 1];
            const swf::Rgba& to = colors[next];
            const int span = ratios[next] - ratios[next - 1];
            const int along = index - ratios[next - 1];
            auto mix = [&](int first, int second) {
                if (span <= 0)
                    return second;
                return first + static_cast<int>(std::lround(static_cast<double>(second - first) * along / span));
            };
            color = swf::Rgba { static_cast<uint8_t>(mix(from.r, to.r)), static_cast<uint8_t>(mix(from.g, to.g)),
                                static_cast<uint8_t>(mix(from.b, to.b)), static_cast<uint8_t>(mix(from.a, to.a)) };
        }
        table[static_cast<size_t>(index)] = qPremultiply(qRgba(color.r, color.g, color.b, color.a));
    }
    return table;
}

} // namespace player::render
