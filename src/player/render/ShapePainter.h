#pragma once

#include "ConvertedShape.h"

#include "player/swf/Geometry.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace player::render {

// Supplies the decoded bitmap of an id with a colour transform applied, or a null image when
// there is none. The renderer answers it from its cache; tests answer it directly.
using BitmapLookup = std::function<QImage(uint16_t bitmapId, const swf::ColorTransform& colorTransform)>;

// Paints converted shapes. The painter's world transform maps shape twips to device pixels;
// the painter's state is restored afterwards.
class ShapePainter {
public:
    // `highQuality` is Flash's "high" quality: antialiased edges and smoothed bitmaps; "low"
    // draws neither.
    static void paint(QPainter& painter, const ConvertedShape& shape, const swf::ColorTransform& colorTransform,
                      const BitmapLookup& bitmaps, bool highQuality);

    // Paints only the area the shape's fills cover, opaque, whatever their styles: what a mask
    // shows through. Flash masks ignore colour, alpha and lines.
    static void paintCoverage(QPainter& painter, const ConvertedShape& shape, bool highQuality);

    // Fills the fill paths of a shape with one brush: glyphs take the colour of their text.
    static void paintWithBrush(QPainter& painter, const ConvertedShape& shape, const QBrush& brush, bool highQuality);

    // The pen for a line style at the painter's current scale: widths are twips, but Flash never
    // draws a line thinner than one device pixel (width 0 is such a hairline).
    static QPen makePen(const swf::LineStyle& style, const QTransform& worldTransform, const QBrush& brush);
};

} // namespace player::render
