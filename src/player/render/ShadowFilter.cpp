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
    AlphaPlane plane = AlphaPlane::fromImage(image, inner);
    plane.blur(filter.blurX * scale, filter.blurY * scale, filter.passes);
    const QPoint offset = offsetOf(filter, scale);

    GradientTable gradient {};
    if (isGradient(filter))
        gradient = makeGradientTable(filter.gradientColors, filter.gradientRatios);
    const QRgb color = qPremultiply(qRgba(filter.color.r, filter.color.g, filter.color.b, filter.color.a));
    const double strength = std::isfinite(filter.strength) ? std::clamp(filter.strength, 0.0, 255.0) : 0.0;

    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb source = line[x];
            const int sourceAlpha = qAlpha(source);
            // Beyond the layer an inner effect sees "outside the object" everywhere.
            const int blurred = plane.at(x - offset.x(), y - offset.y(), inner ? 255 : 0);
            const int amount = std::min(255, static_cast<int>(std::lround(blurred * strength)));
            QRgb shadow = isGradient(filter) ? gradient[static_cast<size_t>(amount)] : scaledPixel(color, amount);
            QRgb result;
            if (inner) {
                // An inner effect lies on the object: it shows as much as the object covers and
                // leaves the object's alpha as it was.
                if (filter.knockout || !filter.compositeSource)
                    result = scaledPixel(shadow, sourceAlpha);
                else
                    result = pixelAtop(shadow, source);
            } else if (full) {
                if (filter.knockout)
                    result = scaledPixel(shadow, 255 - sourceAlpha);
                else if (!filter.compositeSource)
                    result = shadow;
                else
                    result = pixelOver(shadow, source);
            } else {
                if (filter.knockout)
                    result = scaledPixel(shadow, 255 - sourceAlpha);
                else if (!filter.compositeSource)
                    result = shadow;
                else
                    result = pixelOver(source, shadow);
            }
            line[x] = result;
        }
    }
}

} // namespace player::render
