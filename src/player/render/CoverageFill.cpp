#include "CoverageFill.h"

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

std::vector<QRgb>& colorBuffer()
{
    thread_local std::vector<QRgb> kept;
    return kept;
}

// The spans of every row of one fill, kept so that the rows can be coloured on two threads.
struct FillRows {
    struct Row {
        int y = 0;
        std::size_t first = 0;
        std::size_t count = 0;
    };
    std::vector<CoverageRasterizer::Span> spans;
    std::vector<Row> rows;
    std::int64_t pixels = 0;

    void clear()
    {
        spans.clear();
        rows.clear();
        pixels = 0;
    }
};

FillRows& fillRows()
{
    thread_local FillRows kept;
    return kept;
}

// Colours and blends rows `from` to `to` of `fillRows` into the image at `bits`.
void drawRows(uchar* bits, qsizetype stride, const FillShader& shader, const FillRows& fillRows, std::size_t from,
              std::size_t to)
{
    const bool solid = shader.kind() == FillShader::Kind::Solid;
    std::vector<QRgb>* colors = solid ? nullptr : &colorBuffer();
    for (std::size_t index = from; index < to; ++index) {
        const FillRows::Row& row = fillRows.rows[index];
        auto* pixels = reinterpret_cast<QRgb*>(bits + row.y * stride);
        for (std::size_t spanIndex = row.first; spanIndex < row.first + row.count; ++spanIndex) {
            const CoverageRasterizer::Span& span = fillRows.spans[spanIndex];
            if (solid) {
                RunBlender::blendSolid(pixels + span.x, span.length, shader.solidColor(), span.coverage);
                continue;
            }
            if (colors->size() < static_cast<std::size_t>(span.length))
                colors->resize(static_cast<std::size_t>(span.length));
            shader.shade(span.x, row.y, span.length, colors->data());
            RunBlender::blendColors(pixels + span.x, colors->data(), span.length, span.coverage);
        }
    }
}

// Fills with at least this many pixels are coloured on two threads; below it, waking the
// second thread costs more than it saves.
constexpr std::int64_t SplitPixels = 32768;

bool fillInto(uchar* bits, qsizetype stride, const QRect& target, const QPainterPath& path, const FillShader& shader,
              const QTransform& toDevice)
{
    if (!CoverageRasterizer::handles(path, toDevice))
        return false;
    if (shader.kind() == FillShader::Kind::Solid && qAlpha(shader.solidColor()) == 0)
        return true;
    FillRows& rows = fillRows();
    rows.clear();
    rasterizer().fill(path, toDevice, target, [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        rows.rows.push_back(FillRows::Row { y, rows.spans.size(), spans.size() });
        rows.spans.insert(rows.spans.end(), spans.begin(), spans.end());
        for (const CoverageRasterizer::Span& span : spans)
            rows.pixels += span.length;
    });
    if (!RowWorkers::enabled() || rows.pixels < SplitPixels || rows.rows.size() < 2) {
        drawRows(bits, stride, shader, rows, 0, rows.rows.size());
        return true;
    }
    // The rows are split where half the pixels lie above, so that both threads have as much to do.
    std::size_t middle = 0;
    std::int64_t above = 0;
    while (middle + 1 < rows.rows.size() && above * 2 < rows.pixels) {
        const FillRows::Row& row = rows.rows[middle];
        for (std::size_t index = row.first; index < row.first + row.count; ++index)
            above += rows.spans[index].length;
        ++middle;
    }
    RowWorkers::split([&](int part) {
        if (part == 0)
            drawRows(bits, stride, shader, rows, 0, middle);
        else
            drawRows(bits, stride, shader, rows, middle, rows.rows.size());
    });
    return true;
}

} // namespace

QRgb CoverageFill::premultipliedColor(const QColor& color)
{
    return color.rgba64().premultiplied().toArgb32();
}

bool CoverageFill::handles(const QPainter& painter)
{
    if (!painter.isActive())
        return false;
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = painter.device();
    if (!engine || engine->type() != QPaintEngine::Raster || !device || device->devType() != QInternal::Image)
        return false;
    const auto* image = static_cast<const QImage*>(device);
    return image->format() == QImage::Format_ARGB32_Premultiplied && image->devicePixelRatio() == 1.0
        && painter.compositionMode() == QPainter::CompositionMode_SourceOver && painter.opacity() == 1.0
        && !painter.hasClipping() && !painter.viewTransformEnabled() && painter.testRenderHint(QPainter::Antialiasing);
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
    return fillInto(bits, image->bytesPerLine(), image->rect(), path, shader, toDevice);
}

bool CoverageFill::fill(QImage& image, const QRect& target, const QPainterPath& path, const FillShader& shader,
                        const QTransform& toDevice)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    return fillInto(image.bits(), image.bytesPerLine(), target & image.rect(), path, shader, toDevice);
}

} // namespace player::render
