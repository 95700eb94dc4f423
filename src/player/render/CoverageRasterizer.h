#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>

#include <cstdint>
#include <span>
#include <vector>

namespace player::render {

// Antialiased scan conversion in one pass over a path: the coverage of every pixel, as the
// exact signed area the outline encloses in it, in steps of 1/256 of a pixel.
//
// It gives the same coverage as Qt's raster engine for the same path, so that a fill drawn here
// and one drawn by QPainter do not differ by a single pixel value:
// - curves are flattened in path coordinates before the transform, by halving them until both
//   control points lie close enough to the chord (a tolerance of a quarter pixel over the
//   transform's scale, nine halvings at most), and the points are then rounded to 1/64 pixel;
// - every line walks the rows it crosses and, in each row, the pixels it crosses, keeping per
//   pixel the height it covers ("cover") and twice the area to its right within the pixel
//   ("area"); where a line crosses from one pixel to the next is found by integer division with
//   the remainder carried along, as Qt does, so that the sums match Qt's to the unit;
// - a row is then swept from left to right: the running sum of the covers gives the winding of
//   the whole pixels between edges, and a pixel holding an edge gets the winding less its area.
//
// Unlike Qt, which goes over the whole path again for each band of a few rows that fits a small
// memory pool, the rows are converted once, top to bottom: each line is cut into the rows it
// crosses as the conversion reaches them (a line starting above the kept rows is taken up at
// the first of them, where it would have arrived by the same integer steps), and each row's
// pixels are summed in one buffer as wide as the fill, indexed by column, with a bit per touched
// column so that the sweep visits only those. Nothing is sorted; the sums are the same whatever
// order the lines add to them in.
class CoverageRasterizer {
public:
    // `length` pixels of one row from `x` on, all with the same coverage (1 to 255).
    struct Span {
        int x = 0;
        int length = 0;
        int coverage = 0;
    };

    // Whether `path` through `toDevice` stays within the coordinates this converter handles
    // (finite, and far enough from the limits of its fixed-point arithmetic), and the transform
    // is affine.
    static bool handles(const QPainterPath& path, const QTransform& toDevice);

    // The covered pixels of one row: those the outline crosses ("edge pixels"), each with its
    // own coverage, ordered by column; and the runs of pixels between them, which the outline
    // does not touch, each of one coverage, ordered by x. No pixel is in both.
    struct Row {
        int y = 0;
        // The edge pixels' columns (device x) and coverages (1 to 255). Both arrays have room for
        // as many entries as the fill is pixels wide, plus eight: the sink may write there, for
        // instance to add the pixels of short runs.
        int* columns = nullptr;
        int* coverages = nullptr;
        int pixels = 0;
        std::span<const Span> runs;
    };

    // Converts `path` mapped through `toDevice` with its fill rule, keeping the pixels inside
    // `target` (device pixels), and gives `sink(Row& row)` each row that has any covered pixel,
    // row by row from the top.
    template <typename Sink>
    void fillRows(const QPainterPath& path, const QTransform& toDevice, const QRect& target, Sink&& sink)
    {
        if (!start(path, toDevice, target))
            return;
        Row row;
        while (nextRow(row))
            sink(row);
    }

    // The same conversion, giving `sink(int y, std::span<const Span> spans)` each row as spans,
    // left to right, neighbours of the same coverage joined.
    template <typename Sink>
    void fill(const QPainterPath& path, const QTransform& toDevice, const QRect& target, Sink&& sink)
    {
        fillRows(path, toDevice, target, [&](const Row& row) { sink(row.y, spansOf(row)); });
    }

    // The curve tolerance (in path coordinates) for a transform: a quarter device pixel over the
    // transform's largest scale.
    static double curveTolerance(const QTransform& toDevice);

    // Coverage (0 to 255) of twice a pixel's signed area in 1/256 units squared, under a rule.
    static int coverageOf(std::int64_t doubleArea, bool evenOdd);

private:
    struct FixedPoint {
        std::int64_t x;
        std::int64_t y;
    };
    // A line between two rows or within one, in 1/256 pixel, its upper end first, waiting for
    // the row where the conversion takes it up.
    struct Line {
        std::int64_t topX;
        std::int64_t topY;
        std::int64_t bottomX;
        std::int64_t bottomY;
        // The next line taken up at the same row.
        int next;
        // Whether the line runs downwards (from its upper end).
        bool down;
    };
    // A line that reaches below the current row, from the row after its first kept one to its
    // last.
    struct ActiveLine {
        // Where it crosses the top of the current row, and its bottom (but in its last row).
        std::int64_t crossingAbove;
        std::int64_t crossing;
        // The step from one row's crossing to the next one's, in whole units (negative for a
        // line running upwards), then a remainder over `height`, whose sum `carry` moves the
        // crossing one more unit (`unit`, 1 or -1) each time it reaches the height.
        std::int64_t stepPerRow;
        std::int64_t remainder;
        std::int64_t height;
        std::int64_t carry;
        std::int64_t unit;
        // Its last row and its lower end, the height of that end within the row.
        std::int64_t bottomRow;
        std::int64_t bottomX;
        std::int64_t bottomFraction;
        bool down;
    };

    bool start(const QPainterPath& path, const QTransform& toDevice, const QRect& target);
    bool nextRow(Row& out);
    std::span<const Span> spansOf(const Row& row);
    void flatten(const QPainterPath& path, const QTransform& toDevice, const QRect& target);
    void closeSubpath();
    void addLine(FixedPoint from, FixedPoint to);
    struct CellArrays;
    struct RowCells;
    void takeUp(const Line& line, std::int64_t row, RowCells& cells);
    static void stepDown(ActiveLine& line);
    template <bool Clipped>
    static std::int64_t walkColumns(CellArrays cells, std::int64_t fromX, std::int64_t fromY, std::int64_t toX,
                                    std::int64_t toY);
    void convertActive(std::int64_t row, RowCells& cells);
    void convertTakenUp(std::int64_t row, RowCells& cells);
    template <bool EvenOdd>
    bool sweepRow(std::int64_t firstTouched, std::int64_t lastTouched, std::int64_t leftCover, Row& out);

    // Flattened outline in path coordinates, then device points in 1/64 pixel.
    std::vector<QPointF> m_points;
    std::vector<int> m_contourEnds;
    std::size_t m_subpathStart = 0;
    std::vector<FixedPoint> m_fixed;

    // The pixel rows and columns kept: [m_left, m_right) x [m_top, m_bottom).
    std::int64_t m_left = 0;
    std::int64_t m_right = 0;
    std::int64_t m_top = 0;
    std::int64_t m_bottom = 0;

    bool m_evenOdd = false;
    // The next row to convert.
    std::int64_t m_row = 0;

    std::vector<Line> m_lines;
    // The first line taken up at each kept row (-1 for none), and the lines going on below the
    // current row.
    std::vector<int> m_firstAtRow;
    std::vector<ActiveLine> m_active;

    // The current row: per kept column the summed cover and area, and a bit per column touched.
    // Every cell and bit is zero again once the row is swept.
    //
    // The areas and the touched words are `long long`, a type distinct from std::int64_t's
    // `long` here, so that the compiler knows a store to a cell leaves the edges and the row's
    // counters as they were and keeps those in registers.
    using AreaSum = long long;
    using TouchedWord = unsigned long long;
    std::vector<int> m_cover;
    std::vector<AreaSum> m_area;
    std::vector<TouchedWord> m_touched;

    // The current row's runs and edge pixels, and its spans when asked for.
    std::vector<Span> m_runs;
    std::vector<int> m_pixelColumns;
    std::vector<int> m_pixelCoverages;
    std::vector<Span> m_spans;
};

} // namespace player::render
