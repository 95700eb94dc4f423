#include "AliasedScanConverter.h"

#include <algorithm>

namespace player::render {

namespace {

// An edge going down the screen (y0 < y1); `winding` is +1 when the outline ran downwards
// along it and -1 when it ran upwards.
struct Edge {
    int64_t x0 = 0;
    int64_t y0 = 0;
    int64_t x1 = 0;
    int64_t y1 = 0;
    int winding = 0;
};

struct Crossing {
    int64_t column = 0; // the first column whose centre lies right of the edge
    int winding = 0;
    bool operator<(const Crossing& other) const { return column < other.column; }
};

struct Span {
    int64_t left = 0;
    int64_t right = 0; // one past the last covered column
    bool operator==(const Span&) const = default;
};

// Products of two coordinates need more than 64 bits for points far off the stage.
using Wide = __int128;

int64_t floorDivide(Wide numerator, Wide denominator)
{
    Wide quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
        --quotient;
    return static_cast<int64_t>(quotient);
}

std::vector<Edge> collectEdges(const std::vector<AliasedScanConverter::Polygon>& polygons)
{
    std::vector<Edge> edges;
    for (const AliasedScanConverter::Polygon& polygon : polygons) {
        for (std::size_t index = 0; index < polygon.size(); ++index) {
            const GridPoint& from = polygon[index];
            const GridPoint& to = polygon[(index + 1) % polygon.size()];
            if (from.y == to.y)
                continue; // a level edge crosses no row of centres
            if (from.y < to.y)
                edges.push_back(Edge { from.x, from.y, to.x, to.y, 1 });
            else
                edges.push_back(Edge { to.x, to.y, from.x, from.y, -1 });
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    return edges;
}

bool isInside(int winding, Qt::FillRule fillRule)
{
    return fillRule == Qt::OddEvenFill ? (winding & 1) != 0 : winding != 0;
}

} // namespace

QPainterPath AliasedScanConverter::coveredPixels(const std::vector<Polygon>& polygons, Qt::FillRule fillRule,
                                                 int unitsPerPixel, const QRect& area)
{
    QPainterPath covered;
    const std::vector<Edge> edges = collectEdges(polygons);
    if (edges.empty() || area.isEmpty())
        return covered;

    const int64_t unit = unitsPerPixel;
    const int64_t half = unit / 2;
    int64_t lowest = edges.front().y0;
    int64_t highest = edges.front().y1;
    for (const Edge& edge : edges) {
        lowest = std::min(lowest, edge.y0);
        highest = std::max(highest, edge.y1);
    }
    // Row r's centres lie at r * unit + half; an edge holds the rows whose centre line lies
    // below its top and not below its bottom.
    const int64_t firstRow = std::max<int64_t>(area.top(), floorDivide(lowest - half, unit) + 1);
    const int64_t lastRow = std::min<int64_t>(area.bottom(), floorDivide(highest - half, unit));

    std::vector<const Edge*> active;
    std::size_t nextEdge = 0;
    std::vector<Crossing> crossings;
    std::vector<Span> spans;
    std::vector<Span> previousSpans;
    int64_t previousTop = firstRow;
    auto flush = [&](int64_t endRow) {
        for (const Span& span : previousSpans)
            covered.addRect(QRectF(double(span.left), double(previousTop), double(span.right - span.left),
                                   double(endRow - previousTop)));
    };

    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const int64_t centreY = row * unit + half;
        while (nextEdge < edges.size() && edges[nextEdge].y0 < centreY)
            active.push_back(&edges[nextEdge++]);
        std::erase_if(active, [centreY](const Edge* edge) { return edge->y1 < centreY; });

        crossings.clear();
        for (const Edge* edge : active) {
            // The edge meets the centre line at x = numerator / height. A centre exactly on
            // an upright edge counts as left of it; on a slanted edge, as right of it: Flash
            // steps along slanted edges with a slope that errs a little to the left.
            const Wide height = edge->y1 - edge->y0;
            const Wide numerator = Wide(edge->x0) * height + Wide(edge->x1 - edge->x0) * (centreY - edge->y0);
            const Wide tie = edge->x0 == edge->x1 ? 0 : 1;
            const int64_t column = floorDivide(numerator - half * height - tie, unit * height) + 1;
            crossings.push_back(Crossing { column, edge->winding });
        }
        std::sort(crossings.begin(), crossings.end());

        spans.clear();
        int winding = 0;
        for (std::size_t index = 0; index < crossings.size(); ++index) {
            winding += crossings[index].winding;
            const int64_t left = std::max<int64_t>(crossings[index].column, area.left());
            const int64_t right = index + 1 < crossings.size()
                ? std::min<int64_t>(crossings[index + 1].column, int64_t(area.right()) + 1)
                : left;
            if (left >= right || !isInside(winding, fillRule))
                continue;
            if (!spans.empty() && spans.back().right == left)
                spans.back().right = right;
            else
                spans.push_back(Span { left, right });
        }

        // Rows that cover the same columns as the row above extend its rectangles.
        if (spans != previousSpans) {
            flush(row);
            previousSpans.swap(spans);
            previousTop = row;
        }
    }
    flush(lastRow + 1);
    return covered;
}

} // namespace player::render
