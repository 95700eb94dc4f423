#pragma once

#include "FillShader.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

class QImage;

namespace player::render {

// Antialiased fills drawn with CoverageRasterizer and composited straight into the painter's
// image, for the painter states where that gives Qt's pixels exactly: a raster painter on an
// ARGB32_Premultiplied image of pixel ratio 1, composing source over, fully opaque, unclipped,
// antialiased. With a solid brush the pixels are Qt's to the unit; gradients and bitmaps are
// coloured by FillShader, each pixel from its own position. The colour is premultiplied and each pixel blended with its
// coverage as Qt's raster engine blends a solid colour: the colour scaled by the coverage, then
// the pixel below scaled by what the result leaves uncovered, both rounded the same way.
class CoverageFill {
public:
    // Fills `path` mapped through `toDevice` with `brush` and returns true, or draws nothing and
    // returns false when the painter's state or the brush asks for what this does not do.
    static bool fill(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice);

    // Fills `path` mapped through `toDevice` with the colours of `shader` (in device pixels) and
    // returns true, or draws nothing and returns false when the painter's state asks for what
    // this does not do.
    static bool fill(QPainter& painter, const QPainterPath& path, const FillShader& shader, const QTransform& toDevice);

    // Fills `path` mapped through `toDevice` into `image` (ARGB32_Premultiplied) with the colours
    // of `shader`, keeping to `target`; false (nothing drawn) when the path is beyond what the
    // scan converter handles.
    static bool fill(QImage& image, const QRect& target, const QPainterPath& path, const FillShader& shader,
                     const QTransform& toDevice);

    // Whether fill() would draw for this painter and brush.
    static bool handles(const QPainter& painter, const QBrush& brush);
    // Whether fill() with a shader would draw for this painter.
    static bool handles(const QPainter& painter);
    // The image `painter` draws into when it simply puts pixels over it: Qt's raster engine on a
    // premultiplied image of device pixel ratio 1, source over, full opacity, no clip. Null
    // otherwise. The pixels may be drawn into directly, as the painter would.
    static const QImage* plainTarget(const QPainter& painter);

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
