#include "ColorTransforms.h"

#include <algorithm>
#include <array>

namespace player::render {

namespace {

int32_t clampToByte(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, 255));
}

// Multipliers are 8.8 fixed point; the add terms are whole channel units. Flash drops the
// fraction of the product by shifting, so it rounds down (255 * 128 / 256 gives 127, and a
// negative product such as -127.5 gives -128, not -127).
int32_t transformChannel(int32_t value, int32_t multiplier, int32_t add)
{
    return clampToByte(((static_cast<int64_t>(value) * multiplier) >> 8) + add);
}

// Fixed-point product of two 8.8 multipliers, kept in 8.8. Clamped so that long chains of
// large multipliers cannot overflow.
int32_t multiplyFixed(int32_t first, int32_t second)
{
    const int64_t product = (static_cast<int64_t>(first) * second) / 256;
    return static_cast<int32_t>(std::clamp<int64_t>(product, -(1 << 24), 1 << 24));
}

int32_t composeAdd(int32_t outerMultiplier, int32_t innerAdd, int32_t outerAdd)
{
    const int64_t add = (static_cast<int64_t>(innerAdd) * outerMultiplier) / 256 + outerAdd;
    return static_cast<int32_t>(std::clamp<int64_t>(add, -(1 << 24), 1 << 24));
}

} // namespace

swf::ColorTransform composeColorTransforms(const swf::ColorTransform& outer, const swf::ColorTransform& inner)
{
    swf::ColorTransform result;
    result.redMult = multiplyFixed(outer.redMult, inner.redMult);
    result.greenMult = multiplyFixed(outer.greenMult, inner.greenMult);
    result.blueMult = multiplyFixed(outer.blueMult, inner.blueMult);
    result.alphaMult = multiplyFixed(outer.alphaMult, inner.alphaMult);
    result.redAdd = composeAdd(outer.redMult, inner.redAdd, outer.redAdd);
    result.greenAdd = composeAdd(outer.greenMult, inner.greenAdd, outer.greenAdd);
    result.blueAdd = composeAdd(outer.blueMult, inner.blueAdd, outer.blueAdd);
    result.alphaAdd = composeAdd(outer.alphaMult, inner.alphaAdd, outer.alphaAdd);
    return result;
}

QColor applyColorTransform(const swf::ColorTransform& transform, const swf::Rgba& color)
{
    return QColor(transformChannel(color.r, transform.redMult, transform.redAdd),
                  transformChannel(color.g, transform.greenMult, transform.greenAdd),
                  transformChannel(color.b, transform.blueMult, transform.blueAdd),
                  transformChannel(color.a, transform.alphaMult, transform.alphaAdd));
}

QImage applyColorTransform(const swf::ColorTransform& transform, const QImage& image)
{
    if (transform.isIdentity() || image.isNull())
        return image;

    // The transform works on straight colour: unpremultiply, transform, premultiply again.
    // Each channel takes one of 256 values, so a table per channel does the arithmetic once.
    std::array<uint8_t, 256> red {}, green {}, blue {}, alpha {};
    for (int value = 0; value < 256; ++value) {
        red[value] = static_cast<uint8_t>(transformChannel(value, transform.redMult, transform.redAdd));
        green[value] = static_cast<uint8_t>(transformChannel(value, transform.greenMult, transform.greenAdd));
        blue[value] = static_cast<uint8_t>(transformChannel(value, transform.blueMult, transform.blueAdd));
        alpha[value] = static_cast<uint8_t>(transformChannel(value, transform.alphaMult, transform.alphaAdd));
    }

    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            line[x] = qRgba(red[qRed(pixel)], green[qGreen(pixel)], blue[qBlue(pixel)], alpha[qAlpha(pixel)]);
        }
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace player::render
