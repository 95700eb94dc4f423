#include "CoverageFill.h"

#include "CoverageRasterizer.h"

#include <QImage>
#include <QPaintEngine>

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

// `length` pixels from `pixels` on, covered `coverage` / 255 by the premultiplied `colors`, one
// each, blended as blendSolid() blends one colour.
void blendColors(QRgb* pixels, const QRgb* colors, int length, int coverage)
{
    if (coverage == 255) {
        for (int index = 0; index < length; ++index) {
            const QRgb color = colors[index];
            const unsigned uncovered = 255u - qAlpha(color);
            pixels[index] = uncovered == 0 ? color : color + CoverageFill::scaledPixel(pixels[index], uncovered);
        }
        return;
    }
    for (int index = 0; index < length; ++index) {
        const QRgb covered = CoverageFill::scaledPixel(colors[index], static_cast<unsigned>(coverage));
        pixels[index] = covered + CoverageFill::scaledPixel(pixels[index], 255u - qAlpha(covered));
    }
}

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

bool fillInto(uchar* bits, qsizetype stride, const QRect& target, const QPainterPath& path, const FillShader& shader,
              const QTransform& toDevice)
{
    if (!CoverageRasterizer::handles(path, toDevice))
        return false;
    if (shader.kind() == FillShader::Kind::Solid) {
        const QRgb color = shader.solidColor();
        if (qAlpha(color) == 0)
            return true;
        rasterizer().fill(path, toDevice, target, [&](int y, std::span<const CoverageRasterizer::Span> spans) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            for (const CoverageRasterizer::Span& span : spans)
                blendSolid(row + span.x, span.length, color, span.coverage);
        });
        return true;
    }
    std::vector<QRgb>& colors = colorBuffer();
    rasterizer().fill(path, toDevice, target, [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        for (const CoverageRasterizer::Span& span : spans) {
            if (colors.size() < static_cast<std::size_t>(span.length))
                colors.resize(static_cast<std::size_t>(span.length));
            shader.shade(span.x, y, span.length, colors.data());
            blendColors(row + span.x, colors.data(), span.length, span.coverage);
        }
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
