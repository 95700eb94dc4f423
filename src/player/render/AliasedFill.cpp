#include "AliasedFill.h"

#include "BandRows.h"
#include "CoverageFill.h"
#include "RunBlender.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <optional>

namespace player::render {

namespace {

bool isWhole(double value)
{
    return std::isfinite(value) && value == std::floor(value) && std::abs(value) < (1 << 30);
}

// The rectangles of a path made of nothing but closed whole-pixel rectangles along the axes
// (a move and four lines back to the start each, as QPainterPath::addRect makes them), or
// nothing for any other path.
std::optional<std::vector<QRect>> wholePixelRectangles(const QPainterPath& path)
{
    constexpr int ElementsPerRectangle = 5;
    if (path.elementCount() % ElementsPerRectangle != 0)
        return std::nullopt;
    std::vector<QRect> rectangles;
    rectangles.reserve(std::size_t(path.elementCount() / ElementsPerRectangle));
    for (int start = 0; start < path.elementCount(); start += ElementsPerRectangle) {
        QPointF corners[ElementsPerRectangle];
        for (int index = 0; index < ElementsPerRectangle; ++index) {
            const QPainterPath::Element element = path.elementAt(start + index);
            const auto expected = index == 0 ? QPainterPath::MoveToElement : QPainterPath::LineToElement;
            if (element.type != expected || !isWhole(element.x) || !isWhole(element.y))
                return std::nullopt;
            corners[index] = QPointF(element.x, element.y);
        }
        if (corners[4] != corners[0])
            return std::nullopt;
        // Each side runs along one axis, the sides turning from one axis to the other.
        const bool firstAcross = corners[1].y() == corners[0].y();
        for (int side = 0; side < 4; ++side) {
            const QPointF& from = corners[side];
            const QPointF& to = corners[side + 1];
            const bool across = (side % 2 == 0) == firstAcross;
            if (across ? to.y() != from.y() : to.x() != from.x())
                return std::nullopt;
        }
        const int left = static_cast<int>(std::min(corners[0].x(), corners[2].x()));
        const int right = static_cast<int>(std::max(corners[0].x(), corners[2].x()));
        const int top = static_cast<int>(std::min(corners[0].y(), corners[2].y()));
        const int bottom = static_cast<int>(std::max(corners[0].y(), corners[2].y()));
        if (left < right && top < bottom)
            rectangles.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    return rectangles;
}

// The runs of the rectangles within `area`, or nothing when two of them share a pixel (which
// the fill rule then decides).
std::optional<std::vector<AliasedFill::Run>> rectangleRuns(const std::vector<QRect>& rectangles, const QRect& area)
{
    std::vector<AliasedFill::Run> runs;
    for (const QRect& rectangle : rectangles) {
        const QRect kept = rectangle & area;
        for (int y = kept.top(); y <= kept.bottom(); ++y)
            runs.push_back(AliasedFill::Run { kept.left(), y, kept.width() });
    }
    std::sort(runs.begin(), runs.end(), [](const AliasedFill::Run& a, const AliasedFill::Run& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::vector<AliasedFill::Run> joined;
    for (const AliasedFill::Run& run : runs) {
        if (!joined.empty() && joined.back().y == run.y) {
            AliasedFill::Run& last = joined.back();
            if (run.x < last.x + last.length)
                return std::nullopt;
            if (run.x == last.x + last.length) {
                last.length += run.length;
                continue;
            }
        }
        joined.push_back(run);
    }
    return joined;
}

// The pixels Qt's raster engine fills for the path without antialiasing, found by filling it
// into a mask over the part of `area` it may reach.
std::vector<AliasedFill::Run> rasterizedRuns(const QPainterPath& path, const QRect& area)
{
    std::vector<AliasedFill::Run> runs;
    const QRectF reach = path.controlPointRect();
    QRect bounds = area;
    if (std::isfinite(reach.left()) && std::isfinite(reach.top()) && std::isfinite(reach.right())
        && std::isfinite(reach.bottom()))
        bounds = (reach & QRectF(area).adjusted(-1, -1, 1, 1)).toAlignedRect().adjusted(-1, -1, 1, 1) & area;
    if (bounds.isEmpty())
        return runs;
    QImage mask(bounds.size(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-bounds.left(), -bounds.top());
        painter.fillPath(path, Qt::black);
    }
    for (int row = 0; row < mask.height(); ++row) {
        const uchar* line = mask.constScanLine(row);
        for (int column = 0; column < mask.width();) {
            if (!line[column]) {
                ++column;
                continue;
            }
            const int start = column;
            while (column < mask.width() && line[column])
                ++column;
            runs.push_back(AliasedFill::Run { bounds.left() + start, bounds.top() + row, column - start });
        }
    }
    return runs;
}

} // namespace

bool AliasedFill::handles(const QPainter& painter)
{
    return CoverageFill::plainTarget(painter) && !painter.viewTransformEnabled()
        && !painter.testRenderHint(QPainter::Antialiasing);
}

std::vector<AliasedFill::Run> AliasedFill::coveredRuns(const QPainterPath& devicePath, const QRect& area)
{
    if (area.isEmpty() || devicePath.isEmpty())
        return {};
    if (const std::optional<std::vector<QRect>> rectangles = wholePixelRectangles(devicePath))
        if (std::optional<std::vector<Run>> runs = rectangleRuns(*rectangles, area))
            return std::move(*runs);
    return rasterizedRuns(devicePath, area);
}

bool AliasedFill::fill(QPainter& painter, const QPainterPath& devicePath, const FillShader& shader)
{
    if (!handles(painter))
        return false;
    const QImage* image = CoverageFill::plainTarget(painter);
    if (shader.kind() == FillShader::Kind::Solid && qAlpha(shader.solidColor()) == 0)
        return true;
    // The painter draws into the image's pixels as they are, shared or not; so does this.
    auto* bits = const_cast<uchar*>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    std::vector<QRgb> colors;
    // In a band, only the rows the band keeps are found and drawn.
    for (const Run& run : coveredRuns(devicePath, BandRows::kept(image, image->rect()))) {
        QRgb* pixels = reinterpret_cast<QRgb*>(bits + run.y * stride) + run.x;
        if (shader.kind() == FillShader::Kind::Solid) {
            RunBlender::blendSolid(pixels, run.length, shader.solidColor(), 255);
            continue;
        }
        if (colors.size() < std::size_t(run.length))
            colors.resize(std::size_t(run.length));
        shader.shade(run.x, run.y, run.length, colors.data());
        RunBlender::blendColors(pixels, colors.data(), run.length, 255);
    }
    return true;
}

} // namespace player::render
