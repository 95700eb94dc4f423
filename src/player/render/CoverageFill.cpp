#include "CoverageFill.h"

#include "CoverageRasterizer.h"

#include <QImage>
#include <QPaintEngine>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace player::render {

namespace {

// `length` pixels from `pixels` on, covered `coverage` / 255 by the premultiplied `color`.
void blendSolid(QRgb* pixels, int length, QRgb color, int coverage)
{
    const QRgb covered = coverage == 255 ? color : CoverageFill::scaledPixel(color, static_cast<unsigned>(coverage));
    const unsigned uncovered = 255u - qAlpha(covered);
    if (uncovered == 0) {
        std::fill(pixels, pixels + length, covered);
        return;
    }
    for (int index = 0; index < length; ++index)
        pixels[index] = covered + CoverageFill::scaledPixel(pixels[index], uncovered);
}

CoverageRasterizer& rasterizer()
{
    thread_local CoverageRasterizer kept;
    return kept;
}


struct RowSpan {
    int x;
    int y;
    int length;
    int coverage;
};

// Qt's raster engine hands the spans of a fill to its brush in batches of 256 and shares a
// batch of more than 95 among its worker threads in equal parts; within a part, spans that
// touch on a row are fetched from the brush as one run, in pieces of at most 2048 pixels. Where
// a run starts matters for gradients and transformed bitmaps, whose colours are stepped along
// it in fixed point: the same runs give the same colours.
constexpr int SpansPerBatch = 256;

void brushRuns(const std::vector<RowSpan>& spans, std::vector<QRect>& runs)
{
    runs.clear();
    const int count = static_cast<int>(spans.size());
    for (int batchStart = 0; batchStart < count; batchStart += SpansPerBatch) {
        const int batchLength = std::min(SpansPerBatch, count - batchStart);
        const int parts = (batchLength + 32) / 64;
        int partStart = 0;
        for (int part = 0; part < std::max(parts, 1); ++part) {
            const int partLength = parts >= 2 ? (batchLength - partStart) / (parts - part) : batchLength;
            const int first = batchStart + partStart;
            const int end = first + partLength;
            for (int index = first; index < end;) {
                const RowSpan& span = spans[index];
                int right = span.x + span.length;
                int next = index + 1;
                while (next < end && spans[next].y == span.y && spans[next].x == right) {
                    right += spans[next].length;
                    ++next;
                }
                runs.emplace_back(span.x, span.y, right - span.x, 1);
                index = next;
            }
            partStart += partLength;
        }
    }
}

// Rows of brush colours for a band of the target, addressed with the target's own coordinates
// (the brush is stepped from them), over a buffer that keeps only the band's rows.
constexpr int RowsPerBand = 128;

// The brush's colours over every run within rows [top, top + rows) of a target `width` wide,
// each run fetched on its own as Qt fetches it: runs that touch go to separate passes, so that no
// clip rectangle joins them.
QRgb* fetchBrush(const QRect* runs, std::size_t count, const QBrush& brush, int width, int top, int rows)
{
    thread_local std::vector<QRgb> buffer;
    buffer.resize(std::size_t(width) * std::size_t(rows));
    QRgb* const origin = buffer.data() - std::ptrdiff_t(top) * width;
    QImage band(reinterpret_cast<uchar*>(origin), width, top + rows, qsizetype(width) * 4,
                QImage::Format_ARGB32_Premultiplied);
    thread_local std::vector<QRect> pass[2];
    pass[0].clear();
    pass[1].clear();
    int lastY = -1;
    int parity = 0;
    for (std::size_t index = 0; index < count; ++index) {
        const QRect& run = runs[index];
        parity = run.y() == lastY ? 1 - parity : 0;
        lastY = run.y();
        pass[parity].push_back(run);
    }
    QPainter painter(&band);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const std::vector<QRect>& rects : pass) {
        if (rects.empty())
            continue;
        QRegion region;
        region.setRects(rects.data(), static_cast<int>(rects.size()));
        painter.setClipRegion(region);
        painter.fillRect(region.boundingRect(), brush);
    }
    return origin;
}

} // namespace

QRgb CoverageFill::premultipliedColor(const QColor& color)
{
    return color.rgba64().premultiplied().toArgb32();
}

bool CoverageFill::handles(const QPainter& painter, const QBrush& brush)
{
    const Qt::BrushStyle style = brush.style();
    const bool gradient = style == Qt::LinearGradientPattern || style == Qt::RadialGradientPattern;
    if ((style != Qt::SolidPattern && !gradient) || !painter.isActive())
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

bool CoverageFill::fill(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice)
{
    if (!handles(painter, brush) || !CoverageRasterizer::handles(path, toDevice))
        return false;
    if (brush.style() != Qt::SolidPattern)
        return fillWithBrush(painter, path, brush, toDevice);
    const QRgb color = premultipliedColor(brush.color());
    if (qAlpha(color) == 0)
        return true;
    const auto* image = static_cast<const QImage*>(painter.device());
    // The painter draws into the image's pixels as they are, shared or not; so does this.
    auto* bits = const_cast<uchar*>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    rasterizer().fill(path, toDevice, image->rect(), [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        for (const CoverageRasterizer::Span& span : spans)
            blendSolid(row + span.x, span.length, color, span.coverage);
    });
    return true;
}

} // namespace player::render

namespace player::render {

bool CoverageFill::fillWithBrush(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice)
{
    // The brush is stepped through the transform the fill is drawn with; only device paths
    // (drawn without one) are taken here.
    if (!toDevice.isIdentity())
        return false;
    const auto* image = static_cast<const QImage*>(painter.device());
    thread_local std::vector<RowSpan> spans;
    thread_local std::vector<QRect> runs;
    spans.clear();
    rasterizer().fill(path, toDevice, image->rect(), [&](int y, std::span<const CoverageRasterizer::Span> row) {
        for (const CoverageRasterizer::Span& span : row)
            spans.push_back(RowSpan{ span.x, y, span.length, span.coverage });
    });
    if (spans.empty())
        return true;
    brushRuns(spans, runs);
    auto* bits = const_cast<uchar*>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    std::size_t firstSpan = 0;
    std::size_t firstRun = 0;
    while (firstSpan < spans.size()) {
        const int top = spans[firstSpan].y;
        const int rows = std::min(RowsPerBand, image->height() - top);
        std::size_t endSpan = firstSpan;
        while (endSpan < spans.size() && spans[endSpan].y < top + rows)
            ++endSpan;
        std::size_t endRun = firstRun;
        while (endRun < runs.size() && runs[endRun].y() < top + rows)
            ++endRun;
        const QRgb* colours = fetchBrush(runs.data() + firstRun, endRun - firstRun, brush, image->width(), top, rows);
        for (std::size_t index = firstSpan; index < endSpan; ++index) {
            const RowSpan& span = spans[index];
            auto* target = reinterpret_cast<QRgb*>(bits + span.y * stride) + span.x;
            const QRgb* source = colours + std::ptrdiff_t(span.y) * image->width() + span.x;
            for (int pixel = 0; pixel < span.length; ++pixel) {
                const QRgb covered = span.coverage == 255 ? source[pixel] : scaledPixel(source[pixel], unsigned(span.coverage));
                if (covered == 0)
                    continue;
                const unsigned uncovered = 255u - qAlpha(covered);
                target[pixel] = uncovered == 0 ? covered : covered + scaledPixel(target[pixel], uncovered);
            }
        }
        firstSpan = endSpan;
        firstRun = endRun;
    }
    return true;
}

} // namespace player::render
