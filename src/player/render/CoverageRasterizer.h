#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>

#include <cstdint>
#include <functional>
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
// memory pool, the lines are walked once: the pixels they touch are kept in a list that is
// ordered by row and column afterwards, so that memory grows with the outline's length and not
// with the area it covers.
class CoverageRasterizer {
public:
    // `length` pixels of one row from `x` on, all with the same coverage (1 to 255).
    struct Span {
        int x = 0;
        int length = 0;
        int coverage = 0;
    };
    using RowSink = std::function<void(int y, std::span<const Span> spans)>;

    // Whether `path` through `toDevice` stays within the coordinates this converter handles
    // (finite, and far enough from the limits of its fixed-point arithmetic), and the transform
    // is affine.
    static bool handles(const QPainterPath& path, const QTransform& toDevice);

    // Converts `path` mapped through `toDevice` with its fill rule, keeping the pixels inside
    // `target` (device pixels), and gives the spans of each row that has any, row by row from
    // the top, left to right.
    void fill(const QPainterPath& path, const QTransform& toDevice, const QRect& target, const RowSink& sink);

    // The curve tolerance (in path coordinates) for a transform: a quarter device pixel over the
    // transform's largest scale.
    static double curveTolerance(const QTransform& toDevice);

    // Coverage (0 to 255) of twice a pixel's signed area in 1/256 units squared, under a rule.
    static int coverageOf(std::int64_t doubleArea, bool evenOdd);

private:
    struct Cell {
        int y;
        int x;
        int cover;
        std::int64_t area;
    };
    struct FixedPoint {
        std::int64_t x;
        std::int64_t y;
    };

    void flatten(const QPainterPath& path, const QTransform& toDevice, const QRect& target);
    void closeSubpath();
    void convert();
    void moveTo(FixedPoint to);
    void lineTo(FixedPoint to);
    void walkRow(std::int64_t row, std::int64_t fromX, std::int64_t fromY, std::int64_t toX, std::int64_t toY);
    void setCell(std::int64_t x, std::int64_t y);
    void keepCell();
    void sweep(bool evenOdd, const RowSink& sink);

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

    // The pixel being accumulated (column relative to m_left, -1 for everything left of it).
    std::int64_t m_cellX = 0;
    std::int64_t m_cellY = 0;
    int m_cover = 0;
    std::int64_t m_area = 0;
    bool m_cellOutside = true;
    // Current position in 1/256 pixel.
    std::int64_t m_x = 0;
    std::int64_t m_y = 0;

    std::vector<Cell> m_cells;
    std::vector<Cell> m_sorted;
    std::vector<int> m_rowStarts;
    std::vector<Span> m_rowSpans;
};

} // namespace player::render
