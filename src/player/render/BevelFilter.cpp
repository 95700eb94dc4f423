#include "BevelFilter.h"

#include "AlphaPlane.h"
#include "BoxBlur.h"
#include "GradientTable.h"
#include "PixelArithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace player::render {

namespace {

QRgb premultiplied(const swf::Rgba& color)
{
    return qPremultiply(qRgba(color.r, color.g, color.b, color.a));
}

} // namespace

int BevelFilter::reach(const swf::Filter& filter, double scale)
{
    const int blur = std::max(BoxBlur::reach(filter.blurX * scale, filter.passes),
                              BoxBlur::reach(filter.blurY * scale, filter.passes));
    const QPoint offset = filterOffset(filter.distance, filter.angle, scale);
    return blur + std::max(std::abs(offset.x()), std::abs(offset.y()));
}

void BevelFilter::apply(QImage& image, const swf::Filter& filter, double scale)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    AlphaPlane plane = AlphaPlane::fromImage(image);
    plane.blur(filter.blurX * scale, filter.blurY * scale, filter.passes);
    const QPoint offset = filterOffset(filter.distance, filter.angle, scale);
    const bool gradient = filter.type == swf::FilterType::GradientBevel;
    const GradientTable table = gradient ? makeGradientTable(filter.gradientColors, filter.gradientRatios) : GradientTable {};
    const UnitPixel highlightColor = UnitPixel::from(premultiplied(filter.highlightColor));
    const UnitPixel shadowColor = UnitPixel::from(premultiplied(filter.color));
    const double strength = std::isfinite(filter.strength) ? std::clamp(filter.strength, 0.0, 255.0) : 0.0;
    const bool full = filter.onTop;
    const bool inner = filter.inner && !full;

    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int towardsLight = plane.at(x + offset.x(), y + offset.y(), 0);
            const int awayFromLight = plane.at(x - offset.x(), y - offset.y(), 0);
            // How strongly the edge faces the light (positive) or away from it (negative), -1..1.
            const double lit = std::clamp((towardsLight - awayFromLight) / 255.0 * strength, -1.0, 1.0);
            UnitPixel bevel;
            if (gradient)
                bevel = UnitPixel::from(table[static_cast<size_t>(std::clamp(128 - static_cast<int>(std::lround(lit * 128)), 0, 255))]);
            else if (lit >= 0)
                bevel = highlightColor * lit;
            else
                bevel = shadowColor * -lit;
            const UnitPixel source = UnitPixel::from(line[x]);
            UnitPixel result;
            if (filter.knockout)
                result = full ? bevel : bevel * (inner ? source.alpha : 1.0 - source.alpha);
            else if (inner)
                // An inner bevel lies on the object and leaves its alpha as it was.
                result = bevel * source.alpha + source * (1.0 - bevel.alpha);
            else if (full)
                result = bevel + source * (1.0 - bevel.alpha);
            else
                // Drawing the object over an outer bevel already hides the bevel where the
                // object is opaque; a half-transparent object shows it half.
                result = source + bevel * (1.0 - source.alpha);
            line[x] = result.toRgb();
        }
    }
}

} // namespace player::render
