#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace player::display {
class DisplayObject;
class Stage;
} // namespace player::display

namespace player::render {

// Cutting the stage's image into horizontal bands that two threads draw side by side, each with
// a renderer of its own, and the pieces of layers each band needs.
//
// A band is drawn through the whole image's coordinates (the painter's device is the whole
// image, its rows outside the band left alone), so every point is mapped and rounded as in one
// piece; a layer keeps the origin it has in one piece and draws only the rows that reach the
// band. The converter gives a row the same coverage whichever rows it keeps, and filters reach
// only so many rows, so the bands together are the picture drawn in one piece.
class StageBands {
public:
    // Rows of band `index` of `count` in an image `height` rows high, as equal as they come.
    static QRect band(const QSize& size, int index, int count);

    // Makes, on the calling thread, what the display objects make on first use (a script
    // drawing's shape, a text field's layout), so that band threads only read them; false when
    // the stage shows something that must be drawn on the calling thread (text in device fonts,
    // whose font engines belong to the thread that made them).
    static bool prepare(const display::Stage& stage);

    // Sets rows `top` to `bottom` - 1 of `image` transparent.
    static void clearRows(QImage& image, int top, int bottom);
    // Rows `top` to `bottom` - 1 of `image`, sharing its pixels (read only); the image itself when
    // that is all of it.
    static QImage rows(const QImage& image, int top, int bottom);

    // Sets the pixels of `area` (cut to the image) transparent.
    static void clearArea(QImage& image, const QRect& area);
    // The pixels of `area` (cut to the image) as an image sharing them (read only); the image
    // itself when that is all of it.
    static QImage area(const QImage& image, const QRect& area);
};

} // namespace player::render
