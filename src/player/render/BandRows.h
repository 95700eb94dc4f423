#pragma once

#include <QRect>
#include <QRectF>

class QPainter;
class QPaintDevice;

namespace player::render {

// While the stage is drawn in horizontal bands, each thread writes only the rows of its band:
// of the stage's image, and of every layer it draws for that band (a layer keeps the rows that
// reach the band). The rows a device keeps are noted per thread for as long as a Scope lasts;
// a device with none noted keeps all its rows, as when the stage is drawn in one piece.
//
// Our own fills and layers keep to those rows by themselves. What Qt draws is clipped to them
// through QtDrawing, and Qt's pixels of a row do not always stay the same under a clip: its
// thin-line drawer steps a clipped line from the clipped end, and a gradient's colours follow
// its clipped spans. Such an item reaching across the kept rows' edge is noted, so that the
// caller can draw that stage again in fewer bands (two, then one piece).
//
// Within the rows it keeps, a device may need only part of its pixels at all (a masked layer
// only where its mask covers something). Our own fills then draw only that part; Qt's drawing is
// still clipped to the rows alone, so that its pixels stay those of one piece, and what it puts
// beyond the part needed is never used.
class BandRows {
public:
    // What drawing into a device keeps: the rows of a band when `banded`, and within them the
    // part `needed` (all of them when null).
    struct Keep {
        bool banded = false;
        int top = 0;
        int bottom = 0;
        QRect needed;
    };

    class Scope {
    public:
        // Notes that drawing on this thread into `device` keeps rows `top` to `bottom` - 1.
        Scope(const QPaintDevice* device, int top, int bottom);
        Scope(const QPaintDevice* device, const Keep& keep);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    // The rows `device` keeps, in `top` and `bottom` (one past the last), and true; or false,
    // leaving both as they are, when it keeps all of them.
    static bool rowsOf(const QPaintDevice* device, int& top, int& bottom);
    // `area` cut to the rows `device` keeps and to the part of them it needs.
    static QRect kept(const QPaintDevice* device, const QRect& area);
    // The rows of a layer over `layerRect` (device pixels) that `device` keeps, counted from the
    // layer's top, in `top` and `bottom` (one past the last; none when top >= bottom), and
    // whether `device` keeps only some of its rows.
    static bool layerRows(const QPaintDevice* device, const QRect& layerRect, int& top, int& bottom);

    // How Qt's pixels of one row depend on the rest of an item.
    enum class Rows {
        Independent, // a row's pixels are the same whichever other rows the clip keeps
        Dependent,   // they may change when the clip leaves other rows of the item out
    };

    // For its lifetime, clips `painter` to the rows its device keeps (nothing when it keeps all).
    // An item of dependent rows whose device pixels (`reach`) lie across the edge of the kept
    // rows is noted (see takeCrossed()).
    class QtDrawing {
    public:
        QtDrawing(QPainter& painter, const QRectF& reach, Rows rows);
        ~QtDrawing();
        QtDrawing(const QtDrawing&) = delete;
        QtDrawing& operator=(const QtDrawing&) = delete;

    private:
        QPainter* m_painter = nullptr;
    };

    // Whether an item of dependent rows was drawn across a kept edge on this thread since the
    // last call; clears the note.
    static bool takeCrossed();
};

} // namespace player::render
