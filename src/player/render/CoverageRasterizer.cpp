#include "CoverageRasterizer.h"

#include <algorithm>
#include <bit>
#include <limits>
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

// Whether the device points `a` to `d` all lie more than a pixel beyond the same side of
// `target`. A curve with those control points then stays within their hull, as does its chord,
// and both are outside the target even after rounding.
bool allBeyond(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d, const QRectF& target)
{
    const double left = std::min({ a.x(), b.x(), c.x(), d.x() });
    const double right = std::max({ a.x(), b.x(), c.x(), d.x() });
    const double top = std::min({ a.y(), b.y(), c.y(), d.y() });
    const double bottom = std::max({ a.y(), b.y(), c.y(), d.y() });
    return right < target.left() - 1 || left > target.right() + 1 || bottom < target.top() - 1
        || top > target.bottom() + 1;
}

// A transform's mapping of points, with the same operations, in the same order, as
// QTransform::map() does for the transform's kind (an affine one), so that device points come
// out to the same bits without a call per point.
struct PointMapping {
    QTransform::TransformationType type;
    double m11, m12, m21, m22, dx, dy;

    explicit PointMapping(const QTransform& transform)
        : type(transform.type())
        , m11(transform.m11())
        , m12(transform.m12())
        , m21(transform.m21())
        , m22(transform.m22())
        , dx(transform.dx())
        , dy(transform.dy())
    {
    }

    // The mapping for a transform of kind `Type`.
    template <QTransform::TransformationType Type>
    QPointF mapAs(const QPointF& point) const
    {
        if constexpr (Type == QTransform::TxNone)
            return point;
        else if constexpr (Type == QTransform::TxTranslate)
            return QPointF(point.x() + dx, point.y() + dy);
        else if constexpr (Type == QTransform::TxScale)
            return QPointF(m11 * point.x() + dx, m22 * point.y() + dy);
        else
            return QPointF(m11 * point.x() + m21 * point.y() + dx, m12 * point.x() + m22 * point.y() + dy);
    }

    QPointF map(const QPointF& point) const
    {
        switch (type) {
        case QTransform::TxNone:
            return mapAs<QTransform::TxNone>(point);
        case QTransform::TxTranslate:
            return mapAs<QTransform::TxTranslate>(point);
        case QTransform::TxScale:
            return mapAs<QTransform::TxScale>(point);
        default:
            return mapAs<QTransform::TxShear>(point);
        }
    }
};

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
    const PointMapping mapping(toDevice);
    // Whether any curve can lie beyond the target: not when the whole path's control points
    // stay within a pixel of it.
    const QRectF reach = toDevice.mapRect(path.controlPointRect());
    const bool mayLieBeyond = !(reach.left() >= targetArea.left() - 1 && reach.right() <= targetArea.right() + 1
                                && reach.top() >= targetArea.top() - 1 && reach.bottom() <= targetArea.bottom() + 1);
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
            const QPainterPath::Element& second = path.elementAt(index + 1);
            const QPainterPath::Element& third = path.elementAt(index + 2);
            const QPointF control1(element.x, element.y);
            const QPointF control2(second.x, second.y);
            const QPointF end(third.x, third.y);
            index += 2;
            if (m_points.empty())
                break;
            const QPointF start = m_points.back();
            // A curve wholly outside the target adds the same winding to the pixels inside it
            // as its chord.
            const bool outside = mayLieBeyond
                && allBeyond(mapping.map(start), mapping.map(control1), mapping.map(control2), mapping.map(end),
                             targetArea);
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
    const auto toFixed = [&](auto map) {
        for (std::size_t index = 0; index < m_points.size(); ++index) {
            const QPointF device = map(m_points[index]);
            m_fixed[index] = FixedPoint{ qRound(device.x() * 64), qRound(device.y() * 64) };
        }
    };
    // One loop for each kind of transform, so that the kind is not asked at every point.
    switch (mapping.type) {
    case QTransform::TxNone:
        toFixed([&](const QPointF& point) { return mapping.mapAs<QTransform::TxNone>(point); });
        break;
    case QTransform::TxTranslate:
        toFixed([&](const QPointF& point) { return mapping.mapAs<QTransform::TxTranslate>(point); });
        break;
    case QTransform::TxScale:
        toFixed([&](const QPointF& point) { return mapping.mapAs<QTransform::TxScale>(point); });
        break;
    default:
        toFixed([&](const QPointF& point) { return mapping.mapAs<QTransform::TxShear>(point); });
        break;
    }
}

void CoverageRasterizer::addLine(FixedPoint from, FixedPoint to)
{
    // A level line adds nothing to any pixel.
    if (from.y == to.y)
        return;
    const bool down = to.y > from.y;
    const FixedPoint& upper = down ? from : to;
    const FixedPoint& lower = down ? to : from;
    const std::int64_t topY = upper.y * (OnePixel >> 6);
    const std::int64_t bottomY = lower.y * (OnePixel >> 6);
    const std::int64_t topRow = topY >> PixelShift;
    // Lines wholly above or below the kept rows add nothing to them.
    if ((bottomY >> PixelShift) < m_top || topRow >= m_bottom)
        return;
    const std::size_t firstRow = static_cast<std::size_t>(std::max(topRow, m_top) - m_top);
    const int index = static_cast<int>(m_lines.size());
    m_lines.push_back(Line{ upper.x * (OnePixel >> 6), topY, lower.x * (OnePixel >> 6), bottomY,
                            m_firstAtRow[firstRow], down });
    m_firstAtRow[firstRow] = index;
}

// Where a row's cells are summed: per kept column (0 at the first kept one) the cover and the
// area, and a bit per touched column.
struct CoverageRasterizer::CellArrays {
    int* cover;
    AreaSum* area;
    TouchedWord* touched;
    std::int64_t left;
    std::int64_t columns;

    // Adds to a cell; with `Clipped`, a column left of the kept ones adds its cover to
    // `leftCover` and one right of them nothing.
    template <bool Clipped>
    void add(std::int64_t column, std::int64_t cellArea, std::int64_t cellCover, std::int64_t& leftCover) const
    {
        if constexpr (Clipped) {
            if (column < 0) {
                leftCover += cellCover;
                return;
            }
            if (column >= columns)
                return;
        }
        cover[static_cast<std::size_t>(column)] += static_cast<int>(cellCover);
        area[static_cast<std::size_t>(column)] += cellArea;
        touched[static_cast<std::size_t>(column >> 6)] |= TouchedWord(1) << (column & 63);
    }
};

// The row being converted: its cells, the touched columns' range (unclipped; the sweep clips
// it) and the cover of everything left of the kept columns. The conversion's loops keep one in
// a local that nothing else points to, so that the compiler holds it in registers while the
// lines are stepped.
struct CoverageRasterizer::RowCells {
    CellArrays cells;
    std::int64_t firstTouched;
    std::int64_t lastTouched;
    std::int64_t leftCover;

    [[gnu::always_inline]] void addPiece(std::int64_t fromX, std::int64_t fromY, std::int64_t toX, std::int64_t toY);
    // A line's piece within the row, from its upper point to its lower one, walked in the
    // line's own direction (the cover's sign follows it).
    [[gnu::always_inline]] void addLinePiece(bool down, std::int64_t upperX, std::int64_t upperY, std::int64_t lowerX,
                                             std::int64_t lowerY)
    {
        if (down)
            addPiece(upperX, upperY, lowerX, lowerY);
        else
            addPiece(lowerX, lowerY, upperX, upperY);
    }
};

// The part of a line within the current row, from (fromX, fromY) to (toX, toY), the heights
// being within the row (0 to 256). Each pixel it crosses gets the height it covers ("cover") and
// twice the area to its right within the pixel ("area"); where the line crosses from one pixel
// to the next is found by integer division with the remainder carried along.
[[gnu::always_inline]] inline void CoverageRasterizer::RowCells::addPiece(std::int64_t fromX, std::int64_t fromY, std::int64_t toX,
                                                   std::int64_t toY)
{
    if (fromY == toY)
        return;
    const std::int64_t column = (fromX >> PixelShift) - cells.left;
    const std::int64_t lastColumn = (toX >> PixelShift) - cells.left;
    const std::int64_t leftmost = std::min(column, lastColumn);
    const std::int64_t rightmost = std::max(column, lastColumn);
    if (leftmost >= cells.columns)
        return;
    if (rightmost < 0) {
        // Left of the kept columns only the winding counts: the covers add up to the height.
        leftCover += toY - fromY;
        return;
    }
    firstTouched = std::min(firstTouched, leftmost);
    lastTouched = std::max(lastTouched, rightmost);
    if (column == lastColumn) {
        cells.add<false>(column, ((fromX & FractionMask) + (toX & FractionMask)) * (toY - fromY), toY - fromY,
                         leftCover);
        return;
    }
    if (leftmost >= 0 && rightmost < cells.columns)
        walkColumns<false>(cells, fromX, fromY, toX, toY);
    else
        leftCover += walkColumns<true>(cells, fromX, fromY, toX, toY);
}

// A piece of line crossing columns within the row; returns the cover it adds left of the kept
// columns.
template <bool Clipped>
[[gnu::noinline]] std::int64_t CoverageRasterizer::walkColumns(CellArrays cells, std::int64_t fromX, std::int64_t fromY,
                                             std::int64_t toX, std::int64_t toY)
{
    std::int64_t leftCover = 0;
    std::int64_t column = (fromX >> PixelShift) - cells.left;
    const std::int64_t lastColumn = (toX >> PixelShift) - cells.left;
    std::int64_t fractionFrom = fromX & FractionMask;
    const std::int64_t fractionTo = toX & FractionMask;
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
    cells.add<Clipped>(column, (fractionFrom + entry) * rise, rise, leftCover);
    fromY += rise;
    column += step;
    if (column != lastColumn) {
        std::int64_t risePerPixel = 0;
        std::int64_t remainder = 0;
        divideDown(OnePixel * dy, dx, risePerPixel, remainder);
        do {
            if constexpr (Clipped) {
                // Past the right edge nothing more is kept; past the left one only the winding.
                if (step > 0 && column >= cells.columns)
                    return leftCover;
                if (step < 0 && column < 0)
                    return leftCover + toY - fromY;
            }
            rise = risePerPixel;
            carry += remainder;
            if (carry >= dx) {
                carry -= dx;
                ++rise;
            }
            cells.add<Clipped>(column, OnePixel * rise, rise, leftCover);
            fromY += rise;
            column += step;
        } while (column != lastColumn);
    }
    fractionFrom = OnePixel - entry;
    cells.add<Clipped>(lastColumn, (fractionFrom + fractionTo) * (toY - fromY), toY - fromY, leftCover);
    return leftCover;
}

// Takes up `line` at `row`, its first kept row: adds its piece within the row and, when it goes
// on below, keeps it among the active lines, stepped to the next row.
//
// The line is stepped as if walked from its start to its end, one row after the other: its
// crossing of the first row boundary is found by an integer division, and each next crossing by
// adding a whole step and carrying the remainder. The crossing after k steps is therefore also
// the first plus k whole steps plus the carries that k remainders make, which gives it at any
// row without stepping there; and a line running upwards is stepped back, undoing the carries.
[[gnu::always_inline]] inline void CoverageRasterizer::takeUp(const Line& line, std::int64_t row, RowCells& cells)
{
    const std::int64_t topRow = line.topY >> PixelShift;
    const std::int64_t bottomRow = line.bottomY >> PixelShift;
    if (topRow == bottomRow) {
        cells.addLinePiece(line.down, line.topX, line.topY & FractionMask, line.bottomX, line.bottomY & FractionMask);
        return;
    }
    const std::int64_t startX = line.down ? line.topX : line.bottomX;
    const std::int64_t startFraction = (line.down ? line.topY : line.bottomY) & FractionMask;
    const std::int64_t dx = line.down ? line.bottomX - line.topX : line.topX - line.bottomX;
    const std::int64_t dy = line.bottomY - line.topY;
    const std::int64_t product = (line.down ? OnePixel - startFraction : startFraction) * dx;
    std::int64_t firstShift = 0;
    std::int64_t firstCarry = 0;
    divideDown(product, dy, firstShift, firstCarry);
    ActiveLine active;
    divideDown(OnePixel * dx, dy, active.stepPerRow, active.remainder);
    active.height = dy;
    active.bottomRow = bottomRow;
    active.bottomX = line.bottomX;
    active.bottomFraction = line.bottomY & FractionMask;
    active.down = line.down;
    // The crossing of the bottom of `boundaryRow`, counted in steps from the start.
    const auto crossingAt = [&](std::int64_t boundaryRow, std::int64_t& carry) {
        const std::int64_t steps = line.down ? boundaryRow - topRow : bottomRow - 1 - boundaryRow;
        // The first crossing itself (most lines are taken up at their first row) needs no
        // division: its carry is already less than the height.
        if (steps == 0) {
            carry = firstCarry;
            return startX + firstShift;
        }
        const std::int64_t carried = firstCarry + steps * active.remainder;
        carry = carried % dy;
        return startX + firstShift + steps * active.stepPerRow + carried / dy;
    };
    std::int64_t upperX = line.topX;
    std::int64_t upperY = line.topY & FractionMask;
    if (row > topRow) {
        std::int64_t unused = 0;
        upperX = crossingAt(row - 1, unused);
        upperY = 0;
    }
    if (row == bottomRow) {
        cells.addLinePiece(line.down, upperX, upperY, line.bottomX, active.bottomFraction);
        return;
    }
    active.crossing = crossingAt(row, active.carry);
    cells.addLinePiece(line.down, upperX, upperY, active.crossing, OnePixel);
    active.crossingAbove = active.crossing;
    // A line running upwards is stepped back, its carry falling below zero where a downward
    // one's reaches the height: counted from the other end (height - 1 - carry), its carry
    // rises and wraps as a downward line's does, so both step alike.
    active.unit = 1;
    if (!line.down) {
        active.stepPerRow = -active.stepPerRow;
        active.carry = dy - 1 - active.carry;
        active.unit = -1;
    }
    // Stepped even when the next row is its last, where the crossing is not used.
    stepDown(active);
    m_active.push_back(active);
}

// Steps a line's crossing on to the bottom of the next row.
inline void CoverageRasterizer::stepDown(ActiveLine& line)
{
    line.crossing += line.stepPerRow;
    line.carry += line.remainder;
    if (line.carry >= line.height) {
        line.carry -= line.height;
        line.crossing += line.unit;
    }
}

// Adds the parts of the active lines within `row`, retiring those that end in it.
[[gnu::always_inline]] inline void CoverageRasterizer::convertActive(std::int64_t row, RowCells& cells)
{
    ActiveLine* lines = m_active.data();
    std::size_t count = m_active.size();
    for (std::size_t at = 0; at < count;) {
        ActiveLine& line = lines[at];
        if (row == line.bottomRow) {
            cells.addLinePiece(line.down, line.crossingAbove, 0, line.bottomX, line.bottomFraction);
            line = lines[--count];
            continue;
        }
        cells.addLinePiece(line.down, line.crossingAbove, 0, line.crossing, OnePixel);
        line.crossingAbove = line.crossing;
        stepDown(line);
        ++at;
    }
    m_active.resize(count);
}

// Adds the parts within `row` of the lines taken up at it.
[[gnu::always_inline]] inline void CoverageRasterizer::convertTakenUp(std::int64_t row, RowCells& cells)
{
    for (int index = m_firstAtRow[static_cast<std::size_t>(row - m_top)]; index >= 0;) {
        const Line& line = m_lines[static_cast<std::size_t>(index)];
        takeUp(line, row, cells);
        index = line.next;
    }
}

bool CoverageRasterizer::nextRow(Row& out)
{
    while (m_row < m_bottom) {
        const std::int64_t row = m_row++;
        if (m_active.empty() && m_firstAtRow[static_cast<std::size_t>(row - m_top)] < 0)
            continue;
        RowCells cells{ CellArrays{ m_cover.data(), m_area.data(), m_touched.data(), m_left, m_right - m_left },
                        std::numeric_limits<std::int64_t>::max(), -1, 0 };
        if (!m_active.empty())
            convertActive(row, cells);
        convertTakenUp(row, cells);
        const bool any = m_evenOdd ? sweepRow<true>(cells.firstTouched, cells.lastTouched, cells.leftCover, out)
                                   : sweepRow<false>(cells.firstTouched, cells.lastTouched, cells.leftCover, out);
        if (any) {
            out.y = static_cast<int>(row);
            return true;
        }
    }
    return false;
}

// Sweeps the current row from left to right: the running sum of the covers gives the winding of
// the whole pixels between touched ones, and a touched pixel gets the winding less its area.
// Clears what the row touched. True when any pixel is covered.
template <bool EvenOdd>
bool CoverageRasterizer::sweepRow(std::int64_t firstTouched, std::int64_t lastTouched, std::int64_t leftCover, Row& out)
{
    const std::int64_t columns = m_right - m_left;
    const std::int64_t left = m_left;
    int* const pixelColumns = m_pixelColumns.data();
    int* const pixelCoverages = m_pixelCoverages.data();
    Span* const runs = m_runs.data();
    std::size_t pixels = 0;
    std::size_t runCount = 0;
    std::int64_t cover = leftCover;
    std::int64_t x = 0;
    firstTouched = std::max<std::int64_t>(firstTouched, 0);
    lastTouched = std::min(lastTouched, columns - 1);
    if (firstTouched <= lastTouched) {
        const std::size_t lastWord = static_cast<std::size_t>(lastTouched >> 6);
        for (std::size_t word = static_cast<std::size_t>(firstTouched >> 6); word <= lastWord; ++word) {
            TouchedWord bits = m_touched[word];
            if (bits == 0)
                continue;
            m_touched[word] = 0;
            do {
                const std::int64_t column = std::int64_t(word * 64) + std::countr_zero(bits);
                bits &= bits - 1;
                const auto cell = static_cast<std::size_t>(column);
                if (column > x && cover != 0) {
                    const int coverage = coverageFor(cover * (OnePixel * 2), EvenOdd);
                    if (coverage != 0)
                        runs[runCount++] = Span{ static_cast<int>(x + left), static_cast<int>(column - x), coverage };
                }
                cover += m_cover[cell];
                const int coverage = coverageFor(cover * (OnePixel * 2) - m_area[cell], EvenOdd);
                m_cover[cell] = 0;
                m_area[cell] = 0;
                // Written in any case, kept when covered.
                pixelColumns[pixels] = static_cast<int>(column + left);
                pixelCoverages[pixels] = coverage;
                pixels += coverage != 0;
                x = column + 1;
            } while (bits != 0);
        }
    }
    if (columns > x && cover != 0) {
        const int coverage = coverageFor(cover * (OnePixel * 2), EvenOdd);
        if (coverage != 0)
            runs[runCount++] = Span{ static_cast<int>(x + left), static_cast<int>(columns - x), coverage };
    }
    out.columns = pixelColumns;
    out.coverages = pixelCoverages;
    out.pixels = static_cast<int>(pixels);
    out.runs = std::span<const Span>(runs, runCount);
    return pixels != 0 || runCount != 0;
}

std::span<const CoverageRasterizer::Span> CoverageRasterizer::spansOf(const Row& row)
{
    Span* const spans = m_spans.data();
    std::size_t count = 0;
    const auto add = [&](int x, int length, int coverage) {
        if (count != 0 && spans[count - 1].x + spans[count - 1].length == x && spans[count - 1].coverage == coverage)
            spans[count - 1].length += length;
        else
            spans[count++] = Span{ x, length, coverage };
    };
    std::size_t run = 0;
    for (int pixel = 0; pixel < row.pixels; ++pixel) {
        for (; run < row.runs.size() && row.runs[run].x < row.columns[pixel]; ++run)
            add(row.runs[run].x, row.runs[run].length, row.runs[run].coverage);
        add(row.columns[pixel], 1, row.coverages[pixel]);
    }
    for (; run < row.runs.size(); ++run)
        add(row.runs[run].x, row.runs[run].length, row.runs[run].coverage);
    return std::span<const Span>(spans, count);
}

bool CoverageRasterizer::start(const QPainterPath& path, const QTransform& toDevice, const QRect& target)
{
    m_row = m_bottom = 0;
    if (path.isEmpty() || target.isEmpty())
        return false;
    flatten(path, toDevice, target);
    if (m_fixed.empty())
        return false;
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
    if (m_left >= m_right || m_top >= m_bottom) {
        m_bottom = 0;
        return false;
    }
    m_evenOdd = path.fillRule() == Qt::OddEvenFill;

    const std::size_t rows = static_cast<std::size_t>(m_bottom - m_top);
    const std::size_t columns = static_cast<std::size_t>(m_right - m_left);
    m_lines.clear();
    m_active.clear();
    m_firstAtRow.assign(rows, -1);
    int first = 0;
    for (const int end : m_contourEnds) {
        if (end <= first)
            continue;
        for (int index = first + 1; index < end; ++index)
            addLine(m_fixed[index - 1], m_fixed[index]);
        addLine(m_fixed[end - 1], m_fixed[first]);
        first = end;
    }
    if (m_lines.empty())
        return false;
    // The row buffers are zero outside a row's conversion; they only grow.
    if (m_cover.size() < columns) {
        m_cover.resize(columns);
        m_area.resize(columns);
        m_touched.resize((columns + 63) / 64);
    }
    // Room for every column and eight more (see Row).
    if (m_runs.size() < columns + 8) {
        m_runs.resize(columns + 8);
        m_spans.resize(columns + 8);
        m_pixelColumns.resize(columns + 8);
        m_pixelCoverages.resize(columns + 8);
    }
    m_row = m_top;
    return true;
}

} // namespace player::render
