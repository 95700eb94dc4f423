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

std::vector<QRgb>& colorBuffer()
{
    thread_local std::vector<QRgb> kept;
    return kept;
}

// The pixels of one row's short spans, put aside in the buffers of ScatteredPixels.
struct ScatteredRow {
    int* columns;
    QRgb* colors;
    int* coverages;
    int count = 0;

    void put(int column, QRgb color, int coverage)
    {
        columns[count] = column;
        colors[count] = color;
        coverages[count] = coverage;
        ++count;
    }
    void blendInto(QRgb* pixels) const { RunBlender::blendScattered(pixels, columns, colors, coverages, count); }
};

// The pixels of a row's short spans (mostly where edges cross it, one coverage each), put
// aside while the row's long runs are blended and then blended together.
struct ScatteredPixels {
    std::vector<int> columns;
    std::vector<QRgb> colors;
    std::vector<int> coverages;

    // An empty row with room for `pixels`, and for the vector code's reading up to a whole group
    // of eight beyond.
    ScatteredRow row(std::size_t pixels)
    {
        const std::size_t needed = pixels + 8;
        if (columns.size() < needed) {
            columns.resize(needed);
            colors.resize(needed);
            coverages.resize(needed);
        }
        return ScatteredRow { columns.data(), colors.data(), coverages.data() };
    }
};

ScatteredPixels& scatteredPixels()
{
    thread_local ScatteredPixels kept;
    return kept;
}

// Colours and blends the spans of row `y` into the image at `bits`: long runs one by one, the
// pixels of short ones all together. Spans that touch one another (an edge's pixels of several
// coverages, then the run inside) are coloured in one call, as one run: each pixel's colour
// depends on its position alone.
void drawRow(uchar* bits, qsizetype stride, const FillShader& shader, int y, std::span<const CoverageRasterizer::Span> spans)
{
    auto* pixels = reinterpret_cast<QRgb*>(bits + y * stride);
    ScatteredRow scattered = scatteredPixels().row(spans.size() * (RunBlender::ShortRun - 1));
    if (shader.kind() == FillShader::Kind::Solid) {
        const QRgb color = shader.solidColor();
        for (const CoverageRasterizer::Span& span : spans) {
            if (span.length >= RunBlender::ShortRun) {
                RunBlender::blendSolidRun(pixels + span.x, span.length, color, span.coverage);
                continue;
            }
            for (int offset = 0; offset < span.length; ++offset)
                scattered.put(span.x + offset, color, span.coverage);
        }
        scattered.blendInto(pixels);
        return;
    }
    std::vector<QRgb>& colors = colorBuffer();
    const std::size_t count = spans.size();
    for (std::size_t first = 0; first < count;) {
        const int start = spans[first].x;
        int end = start + spans[first].length;
        std::size_t last = first + 1;
        while (last < count && spans[last].x == end) {
            end += spans[last].length;
            ++last;
        }
        const int length = end - start;
        if (colors.size() < static_cast<std::size_t>(length))
            colors.resize(static_cast<std::size_t>(length));
        shader.shade(start, y, length, colors.data());
        for (std::size_t index = first; index < last; ++index) {
            const CoverageRasterizer::Span& span = spans[index];
            const QRgb* spanColors = colors.data() + (span.x - start);
            if (span.length >= RunBlender::ShortRun) {
                RunBlender::blendColorsRun(pixels + span.x, spanColors, span.length, span.coverage);
                continue;
            }
            for (int offset = 0; offset < span.length; ++offset)
                scattered.put(span.x + offset, spanColors[offset], span.coverage);
        }
        first = last;
    }
    scattered.blendInto(pixels);
}

// Converts and draws the rows of the fill within `target`, on the calling thread.
void drawWithin(uchar* bits, qsizetype stride, const QRect& target, const QPainterPath& path, const FillShader& shader,
                const QTransform& toDevice)
{
    rasterizer().fill(path, toDevice, target, [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        drawRow(bits, stride, shader, y, spans);
    });
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
    const int middle = bounds.top() + bounds.height() / 2;
    const QRect upper(target.left(), target.top(), target.width(), middle - target.top());
    const QRect lower(target.left(), middle, target.width(), target.top() + target.height() - middle);
    RowWorkers::split([&](int part) {
        drawWithin(bits, stride, part == 0 ? upper : lower, path, shader, toDevice);
    });
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
