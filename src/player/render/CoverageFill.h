#pragma once

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace player::render {

// Antialiased fills drawn with CoverageRasterizer and composited straight into the painter's
// image, for the painter states where that gives Qt's pixels exactly: a raster painter on an
// ARGB32_Premultiplied image of pixel ratio 1, composing source over, fully opaque, unclipped,
// antialiased, with a solid brush. The colour is premultiplied and each pixel blended with its
// coverage as Qt's raster engine blends a solid colour: the colour scaled by the coverage, then
// the pixel below scaled by what the result leaves uncovered, both rounded the same way.
class CoverageFill {
public:
    // Fills `path` mapped through `toDevice` with `brush` and returns true, or draws nothing and
    // returns false when the painter's state or the brush asks for what this does not do.
    static bool fill(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice);

    // Whether fill() would draw for this painter and brush.
    static bool handles(const QPainter& painter, const QBrush& brush);

    // A colour premultiplied by its alpha, as Qt's raster engine takes it for a solid fill.
    static QRgb premultipliedColor(const QColor& color);

    // Every channel of a premultiplied pixel times `amount` / 255, rounded as Qt's raster engine
    // rounds it.
    static QRgb scaledPixel(QRgb pixel, unsigned amount)
    {
        unsigned redBlue = (pixel & 0xff00ff) * amount;
        redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
        unsigned alphaGreen = ((pixel >> 8) & 0xff00ff) * amount;
        alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
        return alphaGreen | redBlue;
    }
};

} // namespace player::render
