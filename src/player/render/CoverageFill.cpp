#include "CoverageFill.h"

#include "CoverageRasterizer.h"

#include <QImage>
#include <QPaintEngine>

#include <algorithm>

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

} // namespace

QRgb CoverageFill::premultipliedColor(const QColor& color)
{
    return color.rgba64().premultiplied().toArgb32();
}

bool CoverageFill::handles(const QPainter& painter, const QBrush& brush)
{
    if (brush.style() != Qt::SolidPattern || !painter.isActive())
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
