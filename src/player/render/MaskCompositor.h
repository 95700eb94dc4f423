#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace player::render {

// Puts a masked layer onto what lies below it: each pixel of the content layer scaled by the
// alpha of the same pixel of the mask's coverage layer (Qt's destination-in), then drawn source
// over the target, as the two steps through QPainter would, rounded the same way; but in one
// pass, skipping what the mask leaves uncovered, four pixels at a time when PixelVectors is on,
// and on two threads for large layers.
class MaskCompositor {
public:
    // Draws `content` kept where `coverage` (the same size, both ARGB32_Premultiplied) covers it
    // into `target` at `at` and returns true; false (nothing drawn) when the images are not in
    // that format.
    static bool composite(QImage& target, const QPoint& at, const QImage& content, const QImage& coverage);

    // The same through a painter that draws straight into an image of that format, source over,
    // opaque and unclipped; false (nothing drawn) for any other. The painter's transform is not
    // used: `at` is in the image's pixels.
    static bool composite(QPainter& painter, const QPoint& at, const QImage& content, const QImage& coverage);

    // The smallest rectangle within `area` holding every pixel of `coverage` (ARGB32
    // premultiplied) whose alpha is not 0; empty when there is none. Outside it a masked layer
    // shows nothing, so its content need not be drawn there.
    static QRect coveredArea(const QImage& coverage, const QRect& area);

    // One row of `length` pixels: `content` kept by the alpha of `coverage`, over `target`.
    static void compositeRow(QRgb* target, const QRgb* content, const QRgb* coverage, int length);
};

} // namespace player::render
