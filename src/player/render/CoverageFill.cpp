#include "CoverageFill.h"

#include "BandRows.h"
#include "CoverageRasterizer.h"
#include "RowWorkers.h"
#include "RunBlender.h"

#include <QImage>
#include <QPaintEngine>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace player::render {

namespace {

CoverageRasterizer& rasterizer()
{
    thread_local CoverageRasterizer kept;
    return kept;
}

// The colours a thread's fills blend: per edge pixel (by its index in the row), and per column
// for the stretches of a row coloured by a shader. For a solid fill the edge pixels' colours
// are all the fill's colour, written once and kept while the colour stays.
struct FillColors {
    std::vector<QRgb> perPixel;
    std::vector<QRgb> perColumn;
    std::vector<QRgb> solid;
};

FillColors& fillColors()
{
    thread_local FillColors kept;
    return kept;
}

// Blends a row of a solid fill: long runs one by one, then the edge pixels and the pixels of
// short runs all together.
void drawSolidRow(QRgb* pixels, CoverageRasterizer::Row& row, QRgb color, const QRgb* colors)
{
    int count = row.pixels;
    for (const CoverageRasterizer::Span& run : row.runs) {
        if (run.length >= RunBlender::ShortRun) {
            RunBlender::blendSolidRun(pixels + run.x, run.length, color, run.coverage);
            continue;
        }
        for (int offset = 0; offset < run.length; ++offset) {
            row.columns[count] = run.x + offset;
            row.coverages[count] = run.coverage;
            ++count;
        }
    }
    RunBlender::blendScattered(pixels, row.columns, colors, row.coverages, count);
}

// Colours and blends a row of a shaded fill. Edge pixels and runs that touch one another (an
// edge's pixels, then the run inside, then the next edge) are coloured in one call, as one
// stretch: each pixel's colour depends on its position alone.
void drawShadedRow(QRgb* pixels, CoverageRasterizer::Row& row, const FillShader& shader, FillColors& colors)
{
    const int* columns = row.columns;
    const int edgePixels = row.pixels;
    const std::span<const CoverageRasterizer::Span> runs = row.runs;
    QRgb* const byColumn = colors.perColumn.data();
    int pixel = 0;
    std::size_t run = 0;
    while (pixel < edgePixels || run < runs.size()) {
        const int start
            = run == runs.size() || (pixel < edgePixels && columns[pixel] < runs[run].x) ? columns[pixel] : runs[run].x;
        int end = start;
        for (;;) {
            if (pixel < edgePixels && columns[pixel] == end) {
                ++end;
                ++pixel;
            } else if (run < runs.size() && runs[run].x == end) {
                end += runs[run].length;
                ++run;
            } else {
                break;
            }
        }
        shader.shade(start, row.y, end - start, byColumn + start);
    }
    QRgb* const perPixel = colors.perPixel.data();
    for (int index = 0; index < edgePixels; ++index)
        perPixel[index] = byColumn[columns[index]];
    int count = edgePixels;
    for (const CoverageRasterizer::Span& span : runs) {
        if (span.length >= RunBlender::ShortRun) {
            RunBlender::blendColorsRun(pixels + span.x, byColumn + span.x, span.length, span.coverage);
            continue;
        }
        for (int offset = 0; offset < span.length; ++offset) {
            row.columns[count] = span.x + offset;
            row.coverages[count] = span.coverage;
            perPixel[count] = byColumn[span.x + offset];
            ++count;
        }
    }
    RunBlender::blendScattered(pixels, row.columns, perPixel, row.coverages, count);
}

// Converts and draws the rows of the fill within `target`, on the calling thread.
void drawWithin(uchar* bits, qsizetype stride, const QRect& target, const QPainterPath& path, const FillShader& shader,
                const QTransform& toDevice)
{
    FillColors& colors = fillColors();
    // As many edge pixels as the target is wide, and the vector code's reading up to a whole
    // group of eight beyond.
    const std::size_t room = static_cast<std::size_t>(target.width()) + 8;
    const auto rowAt = [bits, stride](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    if (shader.kind() == FillShader::Kind::Solid) {
        const QRgb color = shader.solidColor();
        if (colors.solid.size() < room || colors.solid.front() != color)
            colors.solid.assign(std::max(room, colors.solid.size()), color);
        const QRgb* perPixel = colors.solid.data();
        rasterizer().fillRows(path, toDevice, target, [&](CoverageRasterizer::Row& row) {
            drawSolidRow(rowAt(row.y), row, color, perPixel);
        });
        return;
    }
    if (colors.perPixel.size() < room)
        colors.perPixel.resize(room);
    const std::size_t columns = static_cast<std::size_t>(target.left()) + static_cast<std::size_t>(target.width());
    if (colors.perColumn.size() < columns)
        colors.perColumn.resize(columns);
    rasterizer().fillRows(path, toDevice, target,
                          [&](CoverageRasterizer::Row& row) { drawShadedRow(rowAt(row.y), row, shader, colors); });
}

// Fills whose bounds hold at least this many pixels are converted and coloured in two bands of
// rows, one on each thread; below it, waking the second thread costs more than it saves.
constexpr std::int64_t SplitPixels = 16384;

bool fillInto(uchar* bits, qsizetype stride, const QRect& target, const QPainterPath& path, const FillShader& shader,
              const QTransform& toDevice)
{
    if (!CoverageRasterizer::handles(path, toDevice))
        return false;
    if (shader.kind() == FillShader::Kind::Solid && qAlpha(shader.solidColor()) == 0)
        return true;
    // The converter gives every row the same spans whatever rows the target keeps besides it
    // (each line is walked from its own ends, and what lies outside the target counts only by
    // its winding), so the two bands together give the pixels of the fill converted in one.
    // Both threads only read the path, the shader and its tables, and write their own rows.
    const QRect bounds = toDevice.mapRect(path.controlPointRect()).toAlignedRect() & target;
    if (bounds.adjusted(-1, -1, 1, 1).intersected(target).isEmpty())
        return true;
    if (!RowWorkers::enabled() || bounds.height() < 2
        || std::int64_t(bounds.width()) * bounds.height() < SplitPixels) {
        drawWithin(bits, stride, target, path, shader, toDevice);
        return true;
    }
    // Each part converts the whole outline, so two parts on one thread (the worker taken, as
    // while the stage is drawn in bands) would do that twice: then the fill is drawn in one piece.
    const int middle = bounds.top() + bounds.height() / 2;
    const QRect upper(target.left(), target.top(), target.width(), middle - target.top());
    const QRect lower(target.left(), middle, target.width(), target.top() + target.height() - middle);
    const bool split = RowWorkers::trySplit([&](int part) {
        drawWithin(bits, stride, part == 0 ? upper : lower, path, shader, toDevice);
    });
    if (!split)
        drawWithin(bits, stride, target, path, shader, toDevice);
    return true;
}

} // namespace

QRgb CoverageFill::premultipliedColor(const QColor& color)
{
    return color.rgba64().premultiplied().toArgb32();
}

const QImage* CoverageFill::plainTarget(const QPainter& painter)
{
    if (!painter.isActive())
        return nullptr;
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = painter.device();
    if (!engine || engine->type() != QPaintEngine::Raster || !device || device->devType() != QInternal::Image)
        return nullptr;
    const auto* image = static_cast<const QImage*>(device);
    if (image->format() != QImage::Format_ARGB32_Premultiplied || image->devicePixelRatio() != 1.0
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() != 1.0
        || painter.hasClipping())
        return nullptr;
    return image;
}

bool CoverageFill::handles(const QPainter& painter)
{
    return plainTarget(painter) && !painter.viewTransformEnabled() && painter.testRenderHint(QPainter::Antialiasing);
}

bool CoverageFill::handles(const QPainter& painter, const QBrush& brush)
{
    return brush.style() == Qt::SolidPattern && handles(painter);
}

bool CoverageFill::fill(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice)
{
    if (!handles(painter, brush))
        return false;
    return fill(painter, path, FillShader::solid(premultipliedColor(brush.color())), toDevice);
}

bool CoverageFill::fill(QPainter& painter, const QPainterPath& path, const FillShader& shader, const QTransform& toDevice)
{
    if (!handles(painter))
        return false;
    const auto* image = static_cast<const QImage*>(painter.device());
    // The painter draws into the image's pixels as they are, shared or not; so does this.
    auto* bits = const_cast<uchar*>(image->constBits());
    return fillInto(bits, image->bytesPerLine(), BandRows::kept(image, image->rect()), path, shader, toDevice);
}

bool CoverageFill::fill(QImage& image, const QRect& target, const QPainterPath& path, const FillShader& shader,
                        const QTransform& toDevice)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    return fillInto(image.bits(), image.bytesPerLine(), target & image.rect(), path, shader, toDevice);
}

} // namespace player::render
