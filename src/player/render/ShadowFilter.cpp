#include "ShadowFilter.h"

#include "AlphaPlane.h"
#include "BoxBlur.h"
#include "GradientTable.h"
#include "PixelArithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace player::render {

namespace {

bool isGradient(const swf::Filter& filter)
{
    return filter.type == swf::FilterType::GradientGlow;
}

// Glows sit where the object is; only drop shadows and gradient glows are moved.
QPoint offsetOf(const swf::Filter& filter, double scale)
{
    if (filter.type == swf::FilterType::Glow)
        return {};
    return filterOffset(filter.distance, filter.angle, scale);
}


} // namespace

int ShadowFilter::reach(const swf::Filter& filter, double scale)
{
    const int blur = std::max(BoxBlur::reach(filter.blurX * scale, filter.passes),
                              BoxBlur::reach(filter.blurY * scale, filter.passes));
    const QPoint offset = offsetOf(filter, scale);
    return blur + std::max(std::abs(offset.x()), std::abs(offset.y()));
}

void ShadowFilter::apply(QImage& image, const swf::Filter& filter, double scale)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // A "full" gradient glow lies over the whole object; it is built from the outer alpha.
    const bool full = isGradient(filter) && filter.onTop;
    const bool inner = filter.inner && !full;
    // Inner effects grow from the outside in: they use how far a pixel is from being covered,
    // 255 minus the blurred alpha (the alpha is blurred first, so its rounding goes the same way
    // as for outer effects).
    AlphaPlane plane = AlphaPlane::fromImage(image);
    plane.blur(filter.blurX * scale, filter.blurY * scale, filter.passes);
    const QPoint offset = offsetOf(filter, scale);

    GradientTable gradient {};
    if (isGradient(filter))
        gradient = makeGradientTable(filter.gradientColors, filter.gradientRatios);
    const UnitPixel color = UnitPixel::from(qPremultiply(qRgba(filter.color.r, filter.color.g, filter.color.b, filter.color.a)));
    const double strength = std::isfinite(filter.strength) ? std::clamp(filter.strength, 0.0, 255.0) : 0.0;

    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const UnitPixel source = UnitPixel::from(line[x]);
            // Beyond the layer there is nothing of the object.
            const int covered = plane.at(x - offset.x(), y - offset.y(), 0);
            const int blurred = inner ? 255 - covered : covered;
            const UnitPixel shadow = isGradient(filter)
                ? UnitPixel::from(gradient[static_cast<size_t>(std::min(255L, std::lround(blurred * strength)))])
                : color * std::min(1.0, blurred / 255.0 * strength);
            UnitPixel result;
            if (inner) {
                // An inner effect lies on the object: it shows as much as the object covers and
                // leaves the object's alpha as it was.
                if (filter.knockout || !filter.compositeSource)
                    result = shadow * source.alpha;
                else
                    result = shadow * source.alpha + source * (1.0 - shadow.alpha);
            } else if (filter.knockout) {
                result = shadow * (1.0 - source.alpha);
            } else if (!filter.compositeSource) {
                result = shadow;
            } else if (full) {
                result = shadow + source * (1.0 - shadow.alpha);
            } else {
                result = source + shadow * (1.0 - source.alpha);
            }
            line[x] = result.toRgb();
        }
    }
}

} // namespace player::render
