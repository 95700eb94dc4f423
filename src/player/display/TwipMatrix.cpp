#include "TwipMatrix.h"

#include "DisplayContainer.h"
#include "DisplayObject.h"

#include <cmath>
#include <limits>

namespace player::display {

int32_t pixelsToTwips(double pixels)
{
    const double twips = pixels * 20.0;
    if (std::isnan(twips))
        return 0;
    if (twips >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (twips <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(twips);
}

int32_t roundTwips(float value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483648.0f || value < -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::nearbyint(value));
}

namespace {

// Integer sums wrap around as the player's do instead of overflowing.
int32_t wrappingAdd(int32_t x, int32_t y)
{
    return static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(y));
}

} // namespace

TwipMatrix TwipMatrix::from(const swf::Matrix& matrix)
{
    return {float(matrix.a), float(matrix.b), float(matrix.c), float(matrix.d), roundTwips(float(matrix.tx)),
            roundTwips(float(matrix.ty))};
}

TwipMatrix TwipMatrix::toStage(const DisplayObject& object)
{
    TwipMatrix result = from(object.matrix());
    for (const DisplayObject* parent = object.parent(); parent; parent = parent->parent())
        result = from(parent->matrix()) * result;
    return result;
}

TwipMatrix operator*(const TwipMatrix& outer, const TwipMatrix& inner)
{
    TwipMatrix result;
    result.a = outer.a * inner.a + outer.c * inner.b;
    result.b = outer.b * inner.a + outer.d * inner.b;
    result.c = outer.a * inner.c + outer.c * inner.d;
    result.d = outer.b * inner.c + outer.d * inner.d;
    outer.map(inner.tx, inner.ty, result.tx, result.ty);
    return result;
}

std::optional<TwipMatrix> TwipMatrix::inverted() const
{
    const float determinant = a * d - b * c;
    if (!(std::fabs(determinant) > std::numeric_limits<float>::epsilon()))
        return std::nullopt;
    const float x = float(tx);
    const float y = float(ty);
    TwipMatrix result;
    result.a = d / determinant;
    result.b = b / -determinant;
    result.c = c / -determinant;
    result.d = a / determinant;
    result.tx = roundTwips((d * x - c * y) / -determinant);
    result.ty = roundTwips((b * x - a * y) / determinant);
    return result;
}

void TwipMatrix::map(int32_t x, int32_t y, int32_t& outX, int32_t& outY) const
{
    const float fx = float(x);
    const float fy = float(y);
    outX = wrappingAdd(roundTwips(a * fx + c * fy), tx);
    outY = wrappingAdd(roundTwips(b * fx + d * fy), ty);
}

} // namespace player::display
