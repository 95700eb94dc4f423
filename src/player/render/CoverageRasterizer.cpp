#include "CoverageRasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace player::render {

namespace {

// Device coordinates are taken in 1/64 pixel from the path and worked in 1/256 pixel.
constexpr int PixelShift = 8;
constexpr std::int64_t OnePixel = std::int64_t(1) << PixelShift;
constexpr std::int64_t FractionMask = OnePixel - 1;
// Beyond this many pixels from the origin the path is left to Qt, which clips such paths first.
constexpr double CoordinateLimit = double(1 << 21);
// A curve is halved at most this many times.
constexpr int MaximumHalvings = 9;

struct Cubic {
    double x1, y1, x2, y2, x3, y3, x4, y4;
    int halvingsLeft;
};

// Halves `whole` at its middle parameter: the first half into `first`, the second into `whole`.
void halve(Cubic& whole, Cubic& first)
{
    const double middleX = (whole.x2 + whole.x3) * .5;
    const double middleY = (whole.y2 + whole.y3) * .5;
    first.x1 = whole.x1;
    first.y1 = whole.y1;
    first.x2 = (whole.x1 + whole.x2) * .5;
    first.y2 = (whole.y1 + whole.y2) * .5;
    const double secondX3 = (whole.x3 + whole.x4) * .5;
    const double secondY3 = (whole.y3 + whole.y4) * .5;
    first.x3 = (first.x2 + middleX) * .5;
    first.y3 = (first.y2 + middleY) * .5;
    const double secondX2 = (secondX3 + middleX) * .5;
    const double secondY2 = (secondY3 + middleY) * .5;
    first.x4 = (first.x3 + secondX2) * .5;
    first.y4 = (first.y3 + secondY2) * .5;
    whole.x1 = first.x4;
    whole.y1 = first.y4;
    whole.x2 = secondX2;
    whole.y2 = secondY2;
    whole.x3 = secondX3;
    whole.y3 = secondY3;
}

// Appends the end points of the straight pieces that stand for a cubic curve (its start is
// already there). A piece is straight enough when the distances of both control points from its
// chord, measured against the chord's length along the axes, stay below the tolerance.
void flattenCubic(std::vector<QPointF>& points, const QPointF& start, const QPointF& control1, const QPointF& control2,
                  const QPointF& end, double tolerance)
{
    Cubic pieces[MaximumHalvings + 1];
    pieces[0] = Cubic{start.x(), start.y(), control1.x(), control1.y(), control2.x(), control2.y(), end.x(), end.y(),
                      MaximumHalvings};
    int top = 0;
    while (top >= 0) {
        Cubic& piece = pieces[top];
        const double chordX = piece.x4 - piece.x1;
        const double chordY = piece.y4 - piece.y1;
        double length = std::abs(chordX) + std::abs(chordY);
        double deviation = 0;
        if (length > 1.) {
            deviation = std::abs(chordX * (piece.y1 - piece.y2) - chordY * (piece.x1 - piece.x2))
                + std::abs(chordX * (piece.y1 - piece.y3) - chordY * (piece.x1 - piece.x3));
        } else {
            deviation = std::abs(piece.x1 - piece.x2) + std::abs(piece.y1 - piece.y2) + std::abs(piece.x1 - piece.x3)
                + std::abs(piece.y1 - piece.y3);
            length = 1.;
        }
        if (deviation < tolerance * length || piece.halvingsLeft == 0) {
            points.emplace_back(piece.x4, piece.y4);
            --top;
        } else {
            Cubic& first = pieces[top + 1];
            halve(piece, first);
            --piece.halvingsLeft;
            first.halvingsLeft = piece.halvingsLeft;
            ++top;
        }
    }
}

QRectF cubicBounds(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d)
{
    const double left = std::min({ a.x(), b.x(), c.x(), d.x() });
    const double right = std::max({ a.x(), b.x(), c.x(), d.x() });
    const double top = std::min({ a.y(), b.y(), c.y(), d.y() });
    const double bottom = std::max({ a.y(), b.y(), c.y(), d.y() });
    return QRectF(left, top, right - left, bottom - top);
}

// Quotient rounded down and a remainder that is never negative, for a positive divisor.
inline void divideDown(std::int64_t dividend, std::int64_t divisor, std::int64_t& quotient, std::int64_t& remainder)
{
    quotient = dividend / divisor;
    remainder = dividend % divisor;
    if (remainder < 0) {
        --quotient;
        remainder += divisor;
    }
}

// Coverage (0 to 255) of twice a pixel's signed area in 1/256 units squared, under a rule.
inline int coverageFor(std::int64_t doubleArea, bool evenOdd)
{
    // Twice the area over 2 * 256 * 256 gives 0 to 256; the shift rounds down before the sign
    // is dropped.
    std::int64_t coverage = doubleArea >> (PixelShift * 2 + 1 - 8);
    if (coverage < 0)
        coverage = -coverage;
    if (evenOdd) {
        coverage &= 511;
        if (coverage > 256)
            coverage = 512 - coverage;
        else if (coverage == 256)
            coverage = 255;
    } else if (coverage >= 256) {
        coverage = 255;
    }
    return static_cast<int>(coverage);
}

} // namespace

double CoverageRasterizer::curveTolerance(const QTransform& toDevice)
{
    double scale = 1.0;
    const QTransform::TransformationType type = toDevice.type();
    if (type <= QTransform::TxTranslate) {
        scale = 1.0;
    } else if (type == QTransform::TxScale) {
        scale = std::max(std::abs(toDevice.m11()), std::abs(toDevice.m22()));
    } else {
        // The larger of the axis lengths, taken by columns or by rows, whichever pair differs more.
        const double columnX = toDevice.m11() * toDevice.m11() + toDevice.m21() * toDevice.m21();
        const double columnY = toDevice.m12() * toDevice.m12() + toDevice.m22() * toDevice.m22();
        const double rowX = toDevice.m11() * toDevice.m11() + toDevice.m12() * toDevice.m12();
        const double rowY = toDevice.m21() * toDevice.m21() + toDevice.m22() * toDevice.m22();
        if (std::abs(columnX - columnY) > std::abs(rowX - rowY))
            scale = std::sqrt(std::max(columnX, columnY));
        else
            scale = std::sqrt(std::max(rowX, rowY));
    }
    return scale == 0 ? 0.25 : 0.25 / scale;
}

bool CoverageRasterizer::handles(const QPainterPath& path, const QTransform& toDevice)
{
    if (toDevice.type() >= QTransform::TxProject)
        return false;
    const QRectF bounds = toDevice.mapRect(path.controlPointRect());
    const auto inRange = [](double value) { return std::isfinite(value) && std::abs(value) < CoordinateLimit; };
    return inRange(bounds.left()) && inRange(bounds.right()) && inRange(bounds.top()) && inRange(bounds.bottom());
}

int CoverageRasterizer::coverageOf(std::int64_t doubleArea, bool evenOdd)
{
    return coverageFor(doubleArea, evenOdd);
}

void CoverageRasterizer::closeSubpath()
{
    if (m_points.empty())
        return;
    if (m_points.back() != m_points[m_subpathStart]) {
        const QPointF start = m_points[m_subpathStart];
        m_points.push_back(start);
    }
}

void CoverageRasterizer::flatten(const QPainterPath& path, const QTransform& toDevice, const QRect& target)
{
    m_points.clear();
    m_contourEnds.clear();
    m_subpathStart = 0;
    const double tolerance = curveTolerance(toDevice);
    const QRectF targetArea(target);
    const int count = path.elementCount();
    for (int index = 0; index < count; ++index) {
        const QPainterPath::Element element = path.elementAt(index);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            if (index == count - 1)
                continue;
            closeSubpath();
            if (!m_points.empty())
                m_contourEnds.push_back(static_cast<int>(m_points.size()));
            m_subpathStart = m_points.size();
            m_points.emplace_back(element.x, element.y);
            break;
        case QPainterPath::LineToElement:
            m_points.emplace_back(element.x, element.y);
            break;
        case QPainterPath::CurveToElement: {
            if (index + 2 >= count)
                return;
            const QPointF control1(element.x, element.y);
            const QPointF control2(path.elementAt(index + 1).x, path.elementAt(index + 1).y);
            const QPointF end(path.elementAt(index + 2).x, path.elementAt(index + 2).y);
            index += 2;
            if (m_points.empty())
                break;
            const QPointF start = m_points.back();
            // A curve wholly outside the target adds the same winding to the pixels inside it
            // as its chord.
            bool outside = false;
            if (!targetArea.contains(toDevice.map(end)))
                outside = !toDevice.mapRect(cubicBounds(start, control1, control2, end)).intersects(targetArea);
            if (outside)
                m_points.push_back(end);
            else
                flattenCubic(m_points, start, control1, control2, end, tolerance);
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    closeSubpath();
    if (!m_points.empty())
        m_contourEnds.push_back(static_cast<int>(m_points.size()));

    m_fixed.resize(m_points.size());
    const bool identity = toDevice.isIdentity();
    for (std::size_t index = 0; index < m_points.size(); ++index) {
        const QPointF device = identity ? m_points[index] : toDevice.map(m_points[index]);
        m_fixed[index] = FixedPoint{ qRound(device.x() * 64), qRound(device.y() * 64) };
    }
}

void CoverageRasterizer::keepCell()
{
    if (m_area != 0 || m_cover != 0)
        m_cells.push_back(Cell{ static_cast<int>(m_cellY), static_cast<int>(m_cellX), m_cover, m_area });
}

void CoverageRasterizer::setCell(std::int64_t x, std::int64_t y)
{
    y -= m_top;
    if (x > m_right)
        x = m_right;
    x -= m_left;
    if (x < 0)
        x = -1;
    if (x != m_cellX || y != m_cellY) {
        if (!m_cellOutside)
            keepCell();
        m_area = 0;
        m_cover = 0;
        m_cellX = x;
        m_cellY = y;
    }
    m_cellOutside = y < 0 || y >= m_bottom - m_top || x >= m_right - m_left;
}

void CoverageRasterizer::moveTo(FixedPoint to)
{
    if (!m_cellOutside)
        keepCell();
    m_x = to.x * (OnePixel >> 6);
    m_y = to.y * (OnePixel >> 6);
    std::int64_t x = m_x >> PixelShift;
    const std::int64_t y = m_y >> PixelShift;
    x = std::clamp(x, m_left - 1, m_right);
    m_area = 0;
    m_cover = 0;
    m_cellX = x - m_left;
    m_cellY = y - m_top;
    m_cellOutside = false;
    setCell(x, y);
}

// The part of a line within one pixel row, from (fromX, fromY) to (toX, toY), the heights being
// within the row (0 to 256).
void CoverageRasterizer::walkRow(std::int64_t row, std::int64_t fromX, std::int64_t fromY, std::int64_t toX,
                                 std::int64_t toY)
{
    std::int64_t column = fromX >> PixelShift;
    const std::int64_t lastColumn = toX >> PixelShift;
    if (fromY == toY) {
        setCell(lastColumn, row);
        return;
    }
    std::int64_t fractionFrom = fromX & FractionMask;
    const std::int64_t fractionTo = toX & FractionMask;
    if (column != lastColumn) {
        std::int64_t dx = toX - fromX;
        const std::int64_t dy = toY - fromY;
        std::int64_t product = 0;
        std::int64_t entry = 0;
        int step = 0;
        if (dx > 0) {
            product = (OnePixel - fractionFrom) * dy;
            entry = OnePixel;
            step = 1;
        } else {
            product = fractionFrom * dy;
            entry = 0;
            step = -1;
            dx = -dx;
        }
        std::int64_t rise = 0;
        std::int64_t carry = 0;
        divideDown(product, dx, rise, carry);
        m_area += (fractionFrom + entry) * rise;
        m_cover += static_cast<int>(rise);
        fromY += rise;
        column += step;
        setCell(column, row);
        if (column != lastColumn) {
            std::int64_t risePerPixel = 0;
            std::int64_t remainder = 0;
            divideDown(OnePixel * dy, dx, risePerPixel, remainder);
            do {
                rise = risePerPixel;
                carry += remainder;
                if (carry >= dx) {
                    carry -= dx;
                    ++rise;
                }
                m_area += OnePixel * rise;
                m_cover += static_cast<int>(rise);
                fromY += rise;
                column += step;
                setCell(column, row);
            } while (column != lastColumn);
        }
        fractionFrom = OnePixel - entry;
    }
    const std::int64_t rest = toY - fromY;
    m_area += (fractionFrom + fractionTo) * rest;
    m_cover += static_cast<int>(rest);
}

void CoverageRasterizer::lineTo(FixedPoint to)
{
    const std::int64_t toX = to.x * (OnePixel >> 6);
    const std::int64_t toY = to.y * (OnePixel >> 6);
    std::int64_t row = m_y >> PixelShift;
    const std::int64_t lastRow = toY >> PixelShift;
    const auto finish = [&] {
        m_x = toX;
        m_y = toY;
    };
    if ((row >= m_bottom && lastRow >= m_bottom) || (row < m_top && lastRow < m_top))
        return finish();
    const std::int64_t fractionFrom = m_y & FractionMask;
    const std::int64_t fractionTo = toY & FractionMask;
    if (row == lastRow) {
        walkRow(row, m_x, fractionFrom, toX, fractionTo);
        return finish();
    }
    std::int64_t dx = toX - m_x;
    std::int64_t dy = toY - m_y;
    if (dx == 0) {
        // A vertical line covers the same share of every row it crosses; the rows outside the
        // kept ones are skipped.
        const std::int64_t column = m_x >> PixelShift;
        const std::int64_t twiceFraction = (m_x & FractionMask) * 2;
        const std::int64_t entry = dy > 0 ? OnePixel : 0;
        std::int64_t delta = entry - fractionFrom;
        m_area += twiceFraction * delta;
        m_cover += static_cast<int>(delta);
        delta = entry + entry - OnePixel;
        const int step = dy > 0 ? 1 : -1;
        std::int64_t next = row + step;
        if (step > 0) {
            for (next = std::max(next, m_top - 1); next < lastRow && next < m_bottom; ++next) {
                setCell(column, next);
                m_area += twiceFraction * delta;
                m_cover += static_cast<int>(delta);
            }
        } else {
            for (next = std::min(next, m_bottom); next > lastRow && next >= m_top; --next) {
                setCell(column, next);
                m_area += twiceFraction * delta;
                m_cover += static_cast<int>(delta);
            }
        }
        setCell(column, lastRow);
        delta = fractionTo - OnePixel + entry;
        m_area += twiceFraction * delta;
        m_cover += static_cast<int>(delta);
        return finish();
    }

    std::int64_t product = 0;
    std::int64_t entry = 0;
    int step = 0;
    if (dy > 0) {
        product = (OnePixel - fractionFrom) * dx;
        entry = OnePixel;
        step = 1;
    } else {
        product = fractionFrom * dx;
        entry = 0;
        step = -1;
        dy = -dy;
    }
    std::int64_t shift = 0;
    std::int64_t carry = 0;
    divideDown(product, dy, shift, carry);
    std::int64_t x = m_x + shift;
    walkRow(row, m_x, fractionFrom, x, entry);
    row += step;
    setCell(x >> PixelShift, row);
    if (row != lastRow) {
        std::int64_t shiftPerRow = 0;
        std::int64_t remainder = 0;
        divideDown(OnePixel * dx, dy, shiftPerRow, remainder);
        do {
            shift = shiftPerRow;
            carry += remainder;
            if (carry >= dy) {
                carry -= dy;
                ++shift;
            }
            const std::int64_t nextX = x + shift;
            walkRow(row, x, OnePixel - entry, nextX, entry);
            x = nextX;
            row += step;
            setCell(x >> PixelShift, row);
        } while (row != lastRow);
    }
    walkRow(row, x, OnePixel - entry, toX, fractionTo);
    finish();
}

void CoverageRasterizer::convert()
{
    m_cells.clear();
    m_cellOutside = true;
    m_area = 0;
    m_cover = 0;
    m_cellX = -2;
    m_cellY = -1;
    int first = 0;
    for (const int end : m_contourEnds) {
        if (end <= first)
            continue;
        moveTo(m_fixed[first]);
        for (int index = first + 1; index < end; ++index)
            lineTo(m_fixed[index]);
        lineTo(m_fixed[first]);
        first = end;
    }
    if (!m_cellOutside)
        keepCell();
}

void CoverageRasterizer::sweep(bool evenOdd, const RowSink& sink)
{
    const int rows = static_cast<int>(m_bottom - m_top);
    const int columns = static_cast<int>(m_right - m_left);
    m_rowStarts.assign(rows + 1, 0);
    for (const Cell& cell : m_cells)
        ++m_rowStarts[cell.y + 1];
    for (int row = 0; row < rows; ++row)
        m_rowStarts[row + 1] += m_rowStarts[row];
    m_sorted.resize(m_cells.size());
    {
        std::vector<int> next(m_rowStarts.begin(), m_rowStarts.end() - 1);
        for (const Cell& cell : m_cells)
            m_sorted[next[cell.y]++] = cell;
    }

    const auto byColumn = [](const Cell& a, const Cell& b) { return a.x < b.x; };
    for (int row = 0; row < rows; ++row) {
        Cell* begin = m_sorted.data() + m_rowStarts[row];
        Cell* end = m_sorted.data() + m_rowStarts[row + 1];
        if (begin == end)
            continue;
        if (end - begin < 24) {
            for (Cell* cell = begin + 1; cell < end; ++cell) {
                const Cell moving = *cell;
                Cell* place = cell;
                while (place > begin && place[-1].x > moving.x) {
                    *place = place[-1];
                    --place;
                }
                *place = moving;
            }
        } else {
            std::sort(begin, end, byColumn);
        }

        // At most a span between each two cells and one for each cell, and one after the last.
        const std::size_t most = 2 * static_cast<std::size_t>(end - begin) + 1;
        if (m_rowSpans.size() < most)
            m_rowSpans.resize(most);
        Span* const spans = m_rowSpans.data();
        std::size_t count = 0;
        const auto addSpan = [&](std::int64_t column, std::int64_t length, std::int64_t doubleArea) {
            const int coverage = coverageFor(doubleArea, evenOdd);
            if (coverage == 0)
                return;
            const int x = static_cast<int>(column + m_left);
            if (count != 0) {
                Span& last = spans[count - 1];
                if (last.x + last.length == x && last.coverage == coverage) {
                    last.length += static_cast<int>(length);
                    return;
                }
            }
            spans[count++] = Span{ x, static_cast<int>(length), coverage };
        };

        std::int64_t cover = 0;
        std::int64_t x = 0;
        for (Cell* cell = begin; cell < end;) {
            const int column = cell->x;
            std::int64_t cellCover = 0;
            std::int64_t cellArea = 0;
            for (; cell < end && cell->x == column; ++cell) {
                cellCover += cell->cover;
                cellArea += cell->area;
            }
            if (column > x && cover != 0)
                addSpan(x, column - x, cover * (OnePixel * 2));
            cover += cellCover;
            const std::int64_t area = cover * (OnePixel * 2) - cellArea;
            if (area != 0 && column >= 0)
                addSpan(column, 1, area);
            x = column + 1;
        }
        if (columns > x && cover != 0)
            addSpan(x, columns - x, cover * (OnePixel * 2));
        if (count != 0)
            sink(static_cast<int>(row + m_top), std::span<const Span>(spans, count));
    }
}

void CoverageRasterizer::fill(const QPainterPath& path, const QTransform& toDevice, const QRect& target, const RowSink& sink)
{
    if (path.isEmpty() || target.isEmpty())
        return;
    flatten(path, toDevice, target);
    if (m_fixed.empty())
        return;
    std::int64_t minX = m_fixed[0].x;
    std::int64_t maxX = minX;
    std::int64_t minY = m_fixed[0].y;
    std::int64_t maxY = minY;
    for (const FixedPoint& point : m_fixed) {
        minX = std::min(minX, point.x);
        maxX = std::max(maxX, point.x);
        minY = std::min(minY, point.y);
        maxY = std::max(maxY, point.y);
    }
    // The pixels the points reach, within the target.
    m_left = std::max<std::int64_t>(minX >> 6, target.left());
    m_top = std::max<std::int64_t>(minY >> 6, target.top());
    m_right = std::min<std::int64_t>((maxX + 63) >> 6, std::int64_t(target.left()) + target.width());
    m_bottom = std::min<std::int64_t>((maxY + 63) >> 6, std::int64_t(target.top()) + target.height());
    if (m_left >= m_right || m_top >= m_bottom)
        return;
    convert();
    if (m_cells.empty())
        return;
    sweep(path.fillRule() == Qt::OddEvenFill, sink);
}

} // namespace player::render
