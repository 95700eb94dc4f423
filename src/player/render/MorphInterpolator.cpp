#include "MorphInterpolator.h"

#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

struct Blend {
    double amount = 0.0;

    double number(double start, double end) const { return start + (end - start) * amount; }

    int32_t twips(int32_t start, int32_t end) const
    {
        return static_cast<int32_t>(std::lround(number(start, end)));
    }

    // Flash drops the fraction of blended colours and ratios: two thirds of the way from
    // red 255 to 0 is 84, not 85.
    uint8_t byte(uint8_t start, uint8_t end) const
    {
        return static_cast<uint8_t>(std::clamp(std::floor(number(start, end)), 0.0, 255.0));
    }

    swf::Rgba color(const swf::Rgba& start, const swf::Rgba& end) const
    {
        return swf::Rgba { byte(start.r, end.r), byte(start.g, end.g), byte(start.b, end.b), byte(start.a, end.a) };
    }

    swf::Matrix matrix(const swf::Matrix& start, const swf::Matrix& end) const
    {
        return swf::Matrix { number(start.a, end.a), number(start.b, end.b), number(start.c, end.c),
                             number(start.d, end.d), number(start.tx, end.tx), number(start.ty, end.ty) };
    }

    swf::FillStyle fill(const swf::FillStyle& start, const swf::FillStyle& end) const
    {
        swf::FillStyle result = start;
        result.color = color(start.color, end.color);
        result.bitmapMatrix = matrix(start.bitmapMatrix, end.bitmapMatrix);
        result.gradient.matrix = matrix(start.gradient.matrix, end.gradient.matrix);
        result.gradient.focalPoint = number(start.gradient.focalPoint, end.gradient.focalPoint);
        // The end gradient should have as many records as the start; a file that disagrees
        // keeps the start's extra records unchanged.
        const std::size_t shared = std::min(start.gradient.records.size(), end.gradient.records.size());
        for (std::size_t index = 0; index < shared; ++index) {
            const swf::GradientRecord& from = start.gradient.records[index];
            const swf::GradientRecord& to = end.gradient.records[index];
            result.gradient.records[index] = swf::GradientRecord { byte(from.ratio, to.ratio), color(from.color, to.color) };
        }
        return result;
    }

    swf::LineStyle line(const swf::LineStyle& start, const swf::LineStyle& end) const
    {
        swf::LineStyle result = start;
        result.width = static_cast<uint16_t>(std::clamp<long>(std::lround(number(start.width, end.width)), 0, 65535));
        result.color = color(start.color, end.color);
        if (start.hasFill)
            result.fill = fill(start.fill, end.fill);
        return result;
    }
};

// An edge as a quadratic curve from the pen, so that a straight edge can blend with a curved one.
struct CurveEdge {
    int32_t controlX = 0;
    int32_t controlY = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    bool straight = true;
};

CurveEdge asCurve(const swf::ShapeRecord& record, int32_t penX, int32_t penY)
{
    if (const auto* curved = std::get_if<swf::CurvedEdgeRecord>(&record))
        return CurveEdge { curved->controlX, curved->controlY, curved->anchorX, curved->anchorY, false };
    const auto& straight = std::get<swf::StraightEdgeRecord>(record);
    return CurveEdge { (penX + straight.toX) / 2, (penY + straight.toY) / 2, straight.toX, straight.toY, true };
}

bool isEdge(const swf::ShapeRecord& record)
{
    return !std::holds_alternative<swf::StyleChangeRecord>(record);
}

} // namespace

swf::Shape MorphInterpolator::shapeAt(const swf::MorphShape& morph, uint16_t ratio)
{
    const Blend blend { ratio / 65535.0 };
    swf::Shape shape;
    shape.id = morph.id;
    shape.version = morph.version == 2 ? 4 : 3;
    shape.bounds = swf::Rect { blend.twips(morph.startBounds.xMin, morph.endBounds.xMin),
                               blend.twips(morph.startBounds.xMax, morph.endBounds.xMax),
                               blend.twips(morph.startBounds.yMin, morph.endBounds.yMin),
                               blend.twips(morph.startBounds.yMax, morph.endBounds.yMax) };
    shape.edgeBounds = shape.bounds;
    for (const swf::MorphFillStyle& fill : morph.fillStyles)
        shape.fillStyles.push_back(blend.fill(fill.start, fill.end));
    for (const swf::MorphLineStyle& line : morph.lineStyles)
        shape.lineStyles.push_back(blend.line(line.start, line.end));

    // The start records carry the styles; the end records carry moves and edges that pair one
    // to one with the start's edges.
    std::size_t endIndex = 0;
    int32_t startPenX = 0, startPenY = 0, endPenX = 0, endPenY = 0;
    auto advanceEndMoves = [&] {
        while (endIndex < morph.endRecords.size() && !isEdge(morph.endRecords[endIndex])) {
            const auto& change = std::get<swf::StyleChangeRecord>(morph.endRecords[endIndex]);
            if (change.hasMove) {
                endPenX = change.moveX;
                endPenY = change.moveY;
            }
            ++endIndex;
        }
    };

    for (const swf::ShapeRecord& record : morph.startRecords) {
        if (const auto* change = std::get_if<swf::StyleChangeRecord>(&record)) {
            swf::StyleChangeRecord blended = *change;
            if (change->hasMove) {
                // The end's move is the next style change of the end records, if there is one.
                if (endIndex < morph.endRecords.size() && !isEdge(morph.endRecords[endIndex])) {
                    const auto& endChange = std::get<swf::StyleChangeRecord>(morph.endRecords[endIndex]);
                    ++endIndex;
                    if (endChange.hasMove) {
                        endPenX = endChange.moveX;
                        endPenY = endChange.moveY;
                    }
                }
                startPenX = change->moveX;
                startPenY = change->moveY;
                blended.moveX = blend.twips(startPenX, endPenX);
                blended.moveY = blend.twips(startPenY, endPenY);
            }
            shape.records.push_back(std::move(blended));
            continue;
        }
        advanceEndMoves();
        if (endIndex >= morph.endRecords.size())
            break; // the end shape ran out of edges: the rest cannot be interpolated
        const CurveEdge from = asCurve(record, startPenX, startPenY);
        const CurveEdge to = asCurve(morph.endRecords[endIndex], endPenX, endPenY);
        ++endIndex;
        if (from.straight && to.straight) {
            shape.records.push_back(swf::StraightEdgeRecord { blend.twips(from.anchorX, to.anchorX), blend.twips(from.anchorY, to.anchorY) });
        } else {
            shape.records.push_back(swf::CurvedEdgeRecord { blend.twips(from.controlX, to.controlX), blend.twips(from.controlY, to.controlY),
                                                            blend.twips(from.anchorX, to.anchorX), blend.twips(from.anchorY, to.anchorY) });
        }
        startPenX = from.anchorX;
        startPenY = from.anchorY;
        endPenX = to.anchorX;
        endPenY = to.anchorY;
    }
    return shape;
}

} // namespace player::render
