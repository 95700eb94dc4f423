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
    const QRgb highlightColor = premultiplied(filter.highlightColor);
    const QRgb shadowColor = premultiplied(filter.color);
    const double strength = std::isfinite(filter.strength) ? std::clamp(filter.strength, 0.0, 255.0) : 0.0;
    const bool full = filter.onTop;
    const bool inner = filter.inner && !full;

    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int towardsLight = plane.at(x + offset.x(), y + offset.y(), 0);
            const int awayFromLight = plane.at(x - offset.x(), y - offset.y(), 0);
            const int lit = std::clamp(static_cast<int>(std::lround((towardsLight - awayFromLight) * strength)), -255, 255);
            QRgb bevel;
            if (gradient)
                bevel = table[static_cast<size_t>(std::clamp(128 - static_cast<int>(std::lround(lit * 128 / 255.0)), 0, 255))];
            else if (lit >= 0)
                bevel = scaledPixel(highlightColor, lit);
            else
                bevel = scaledPixel(shadowColor, -lit);
            const QRgb source = line[x];
            const int sourceAlpha = qAlpha(source);
            if (filter.knockout)
                line[x] = full ? bevel : scaledPixel(bevel, inner ? sourceAlpha : 255 - sourceAlpha);
            else if (inner)
                // An inner bevel lies on the object and leaves its alpha as it was.
                line[x] = pixelAtop(bevel, source);
            else if (full)
                line[x] = pixelOver(bevel, source);
            else
                // Drawing the object over an outer bevel already hides the bevel where the
                // object is opaque; a half-transparent object shows it half.
                line[x] = pixelOver(source, bevel);
        }
    }
}

} // namespace player::render
