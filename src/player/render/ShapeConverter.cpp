#include "ShapeConverter.h"

#include <map>
#include <utility>

namespace player::render {

namespace {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
    auto operator<=>(const Point&) const = default;
};

struct Step {
    bool curved = false;
    Point control;
    Point to;
};

// A run of connected edges that share one style.
struct Run {
    Point start;
    std::vector<Step> steps;

    Point end() const { return steps.empty() ? start : steps.back().to; }
    bool empty() const { return steps.empty(); }

    Run reversed() const
    {
        Run result;
        result.start = end();
        result.steps.reserve(steps.size());
        for (std::size_t index = steps.size(); index-- > 0;) {
            const Point to = index == 0 ? start : steps[index - 1].to;
            result.steps.push_back(Step { steps[index].curved, steps[index].control, to });
        }
        return result;
    }
};

void appendSteps(QPainterPath& path, const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        if (step.curved)
            path.quadTo(step.control.x, step.control.y, step.to.x, step.to.y);
        else
            path.lineTo(step.to.x, step.to.y);
    }
}

// Joins the runs of one fill style into closed contours: each contour follows runs whose start
// is the end of the one before, until it comes back to where it began or no run continues it.
QPainterPath joinFillRuns(const std::vector<Run>& runs, Qt::FillRule fillRule)
{
    std::multimap<Point, std::size_t> runsByStart;
    for (std::size_t index = 0; index < runs.size(); ++index)
        runsByStart.emplace(runs[index].start, index);

    std::vector<bool> used(runs.size(), false);
    QPainterPath path;
    path.setFillRule(fillRule);
    for (std::size_t first = 0; first < runs.size(); ++first) {
        if (used[first])
            continue;
        used[first] = true;
        const Point contourStart = runs[first].start;
        path.moveTo(contourStart.x, contourStart.y);
        appendSteps(path, runs[first].steps);
        Point end = runs[first].end();
        while (end != contourStart) {
            auto [from, to] = runsByStart.equal_range(end);
            auto next = from;
            while (next != to && used[next->second])
                ++next;
            if (next == to)
                break; // an open contour: filling closes it with a straight line
            used[next->second] = true;
            appendSteps(path, runs[next->second].steps);
            end = runs[next->second].end();
        }
        path.closeSubpath();
    }
    return path;
}

class Conversion {
public:
    explicit Conversion(const swf::Shape& shape)
        : m_fillStyles(&shape.fillStyles)
        , m_lineStyles(&shape.lineStyles)
        , m_fillRule(shape.usesNonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill)
    {
        startGroup();
    }

    ConvertedShape run(const std::vector<swf::ShapeRecord>& records)
    {
        for (const swf::ShapeRecord& record : records) {
            if (const auto* change = std::get_if<swf::StyleChangeRecord>(&record))
                styleChange(*change);
            else if (const auto* straight = std::get_if<swf::StraightEdgeRecord>(&record))
                edge(Step { false, {}, Point { straight->toX, straight->toY } });
            else if (const auto* curved = std::get_if<swf::CurvedEdgeRecord>(&record))
                edge(Step { true, Point { curved->controlX, curved->controlY }, Point { curved->anchorX, curved->anchorY } });
        }
        flushGroup();
        return std::move(m_result);
    }

private:
    // The runs being drawn right now, one per side and one for the line.
    struct ActiveRun {
        uint32_t style = 0; // 1-based; 0 = none
        Run run;
    };

    void startGroup()
    {
        m_fillRuns.assign(m_fillStyles->size(), {});
        m_strokeRuns.assign(m_lineStyles->size(), {});
    }

    void styleChange(const swf::StyleChangeRecord& change)
    {
        if (change.hasMove) {
            m_pen = Point { change.moveX, change.moveY };
            flushActive();
        }
        if (change.hasNewStyles) {
            flushGroup();
            m_fillStyles = &change.newFillStyles;
            m_lineStyles = &change.newLineStyles;
            startGroup();
        }
        // An index beyond the current array is read as "no style", as Flash does.
        if (change.hasFill0) {
            flushFill(m_fill0, true);
            m_fill0.style = change.fill0 <= m_fillStyles->size() ? change.fill0 : 0;
        }
        if (change.hasFill1) {
            flushFill(m_fill1, false);
            m_fill1.style = change.fill1 <= m_fillStyles->size() ? change.fill1 : 0;
        }
        if (change.hasLine) {
            flushStroke();
            m_line.style = change.line <= m_lineStyles->size() ? change.line : 0;
        }
    }

    void edge(const Step& step)
    {
        for (ActiveRun* active : { &m_fill0, &m_fill1, &m_line }) {
            if (active->style != 0)
                active->run.steps.push_back(step);
        }
        m_pen = step.to;
    }

    void flushFill(ActiveRun& active, bool reverse)
    {
        if (active.style != 0 && !active.run.empty()) {
            // Fill 0 lies on the left of the edges: reversed, its runs keep the fill on the
            // same side as fill 1 runs, and the two join into one contour.
            m_fillRuns[active.style - 1].push_back(reverse ? active.run.reversed() : std::move(active.run));
        }
        active.run = Run { m_pen, {} };
    }

    void flushStroke()
    {
        if (m_line.style != 0 && !m_line.run.empty())
            m_strokeRuns[m_line.style - 1].push_back(std::move(m_line.run));
        m_line.run = Run { m_pen, {} };
    }

    void flushActive()
    {
        flushFill(m_fill0, true);
        flushFill(m_fill1, false);
        flushStroke();
    }

    void flushGroup()
    {
        flushActive();
        const std::size_t fillBase = m_result.fillStyles.size();
        const std::size_t lineBase = m_result.lineStyles.size();
        m_result.fillStyles.insert(m_result.fillStyles.end(), m_fillStyles->begin(), m_fillStyles->end());
        m_result.lineStyles.insert(m_result.lineStyles.end(), m_lineStyles->begin(), m_lineStyles->end());

        for (std::size_t style = 0; style < m_fillRuns.size(); ++style) {
            if (m_fillRuns[style].empty())
                continue;
            m_result.paths.push_back({ ConvertedShape::Kind::Fill, fillBase + style, joinFillRuns(m_fillRuns[style], m_fillRule), true });
        }
        for (std::size_t style = 0; style < m_strokeRuns.size(); ++style) {
            for (const Run& run : m_strokeRuns[style]) {
                QPainterPath path;
                path.moveTo(run.start.x, run.start.y);
                appendSteps(path, run.steps);
                const bool closed = run.end() == run.start;
                if (closed && !(*m_lineStyles)[style].noClose)
                    path.closeSubpath();
                m_result.paths.push_back({ ConvertedShape::Kind::Stroke, lineBase + style, std::move(path), closed });
            }
        }
        m_fillRuns.clear();
        m_strokeRuns.clear();
    }

    const std::vector<swf::FillStyle>* m_fillStyles;
    const std::vector<swf::LineStyle>* m_lineStyles;
    Qt::FillRule m_fillRule;
    std::vector<std::vector<Run>> m_fillRuns;
    std::vector<std::vector<Run>> m_strokeRuns;
    ActiveRun m_fill0;
    ActiveRun m_fill1;
    ActiveRun m_line;
    Point m_pen;
    ConvertedShape m_result;
};

} // namespace

ConvertedShape ShapeConverter::convert(const swf::Shape& shape)
{
    return Conversion(shape).run(shape.records);
}

} // namespace player::render
