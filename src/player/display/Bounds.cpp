#include "Bounds.h"

#include <algorithm>
#include <cmath>

namespace player::display {

bool isEmptyRect(const swf::Rect& rect)
{
    return rect.xMin == 0 && rect.xMax == 0 && rect.yMin == 0 && rect.yMax == 0;
}

swf::Rect unitedRect(const swf::Rect& a, const swf::Rect& b)
{
    if (isEmptyRect(a))
        return b;
    if (isEmptyRect(b))
        return a;
    return {std::min(a.xMin, b.xMin), std::max(a.xMax, b.xMax), std::min(a.yMin, b.yMin), std::max(a.yMax, b.yMax)};
}

swf::Rect transformedRect(const swf::Matrix& m, const swf::Rect& rect)
{
    if (isEmptyRect(rect))
        return rect;
    const double xs[2] = {double(rect.xMin), double(rect.xMax)};
    const double ys[2] = {double(rect.yMin), double(rect.yMax)};
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    for (double x : xs) {
        for (double y : ys) {
            const double px = m.a * x + m.c * y + m.tx;
            const double py = m.b * x + m.d * y + m.ty;
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
    }
    auto clampToInt = [](double value) {
        return static_cast<int32_t>(std::clamp(std::round(value), -2147483647.0, 2147483647.0));
    };
    return {clampToInt(minX), clampToInt(maxX), clampToInt(minY), clampToInt(maxY)};
}

swf::Matrix multiplied(const swf::Matrix& outer, const swf::Matrix& inner)
{
    swf::Matrix result;
    result.a = outer.a * inner.a + outer.c * inner.b;
    result.b = outer.b * inner.a + outer.d * inner.b;
    result.c = outer.a * inner.c + outer.c * inner.d;
    result.d = outer.b * inner.c + outer.d * inner.d;
    result.tx = outer.a * inner.tx + outer.c * inner.ty + outer.tx;
    result.ty = outer.b * inner.tx + outer.d * inner.ty + outer.ty;
    return result;
}

} // namespace player::display
