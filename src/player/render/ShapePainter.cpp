#include "ShapePainter.h"

#include "AliasedFill.h"
#include "AliasedGeometry.h"
#include "AntialiasedGeometry.h"
#include "BandRows.h"
#include "ColorTransforms.h"
#include "CoverageFill.h"
#include "FillBrush.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <functional>
#include <cmath>

namespace player::render {

namespace {

// Clipped bitmap fills repeat their edge pixels outside the bitmap, as Flash does. The image
// is padded with copies of its edges as far as the shape reaches beyond it (within reason), so
// that an ordinary antialiased texture brush gives the same result.
constexpr int MaximumEdgePadding = 512;

QImage padWithEdges(const QImage& image, int padding)
{
    QImage padded(image.width() + 2 * padding, image.height() + 2 * padding, QImage::Format_ARGB32_Premultiplied);
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < padded.height(); ++y) {
        const int sourceY = std::clamp(y - padding, 0, source.height() - 1);
        const auto* sourceLine = reinterpret_cast<const QRgb*>(source.constScanLine(sourceY));
        auto* line = reinterpret_cast<QRgb*>(padded.scanLine(y));
        for (int x = 0; x < padded.width(); ++x)
            line[x] = sourceLine[std::clamp(x - padding, 0, source.width() - 1)];
    }
    return padded;
}

QBrush clippedBitmapBrush(const swf::FillStyle& fill, const QImage& bitmap, const QPainterPath& path)
{
    const QTransform matrix = toTransform(fill.bitmapMatrix);
    bool invertible = false;
    const QTransform inverse = matrix.inverted(&invertible);
    if (!invertible)
        return QBrush(Qt::NoBrush);
    const QRectF reach = inverse.mapRect(path.boundingRect());
    const double beyond = std::max({ 0.0 - reach.left(), 0.0 - reach.top(), reach.right() - bitmap.width(),
                                     reach.bottom() - bitmap.height(), 0.0 });
    const int padding = std::min(MaximumEdgePadding, static_cast<int>(std::ceil(beyond)) + 1);
    QBrush brush(padWithEdges(bitmap, padding));
    brush.setTransform(QTransform::fromTranslate(-padding, -padding) * matrix);
    return brush;
}

bool isGradientFill(swf::FillType type)
{
    return type == swf::FillType::LinearGradient || type == swf::FillType::RadialGradient
        || type == swf::FillType::FocalGradient;
}

// A gradient style's brush and shader, made again only when the colour transform differs from
// last time.
const ConvertedShape::GradientBrush& gradientBrushFor(std::vector<std::optional<ConvertedShape::GradientBrush>>& made,
                                                      std::size_t styleIndex, std::size_t styleCount,
                                                      const swf::FillStyle& fill, const swf::ColorTransform& colorTransform,
                                                      bool highQuality)
{
    if (made.size() != styleCount)
        made.assign(styleCount, std::nullopt);
    std::optional<ConvertedShape::GradientBrush>& entry = made[styleIndex];
    if (!entry || !(entry->colorTransform == colorTransform) || entry->highQuality != highQuality) {
        QBrush brush = makeFillBrush(fill, colorTransform, {}, highQuality);
        std::optional<FillShader> shader = makeGradientShader(fill, colorTransform, highQuality);
        entry = ConvertedShape::GradientBrush{colorTransform, highQuality, std::move(brush), std::move(shader)};
    }
    return *entry;
}

QBrush brushFor(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform, const QImage& bitmap,
                const QPainterPath& path)
{
    if (!isBitmapFill(fill.type))
        return makeFillBrush(fill, colorTransform);
    if (bitmap.isNull())
        return QBrush(Qt::NoBrush);
    if (isClippedBitmapFill(fill.type))
        return clippedBitmapBrush(fill, bitmap, path);
    return makeFillBrush(fill, colorTransform, bitmap);
}

// What a style paints with: the brush for Qt, made only if Qt draws it, and the shader for
// CoverageFill, if there is one.
struct StylePaint {
    std::function<QBrush()> brush;
    std::optional<FillShader> shader;
};

StylePaint stylePaintFor(std::vector<std::optional<ConvertedShape::GradientBrush>>& gradients, std::size_t styleIndex,
                         std::size_t styleCount, const swf::FillStyle& fill, const swf::ColorTransform& colorTransform,
                         const BitmapLookup& bitmaps, const QPainterPath& path, bool highQuality)
{
    if (isGradientFill(fill.type)) {
        const ConvertedShape::GradientBrush& made = gradientBrushFor(gradients, styleIndex, styleCount, fill, colorTransform,
                                                                     highQuality);
        return StylePaint{[brush = made.brush] { return brush; }, made.shader};
    }
    if (isBitmapFill(fill.type)) {
        const QImage bitmap = bitmaps ? bitmaps(fill.bitmapId, colorTransform) : QImage();
        if (bitmap.isNull())
            return StylePaint{[] { return QBrush(Qt::NoBrush); }, std::nullopt};
        return StylePaint{[&fill, &colorTransform, bitmap, &path] { return brushFor(fill, colorTransform, bitmap, path); },
                          FillShader::bitmap(bitmap, toTransform(fill.bitmapMatrix), isClippedBitmapFill(fill.type),
                                             highQuality && isSmoothedBitmapFill(fill.type))};
    }
    return StylePaint{[brush = makeFillBrush(fill, colorTransform)] { return brush; }, std::nullopt};
}

Qt::PenCapStyle toCap(swf::CapStyle cap)
{
    switch (cap) {
    case swf::CapStyle::None:
        return Qt::FlatCap;
    case swf::CapStyle::Square:
        return Qt::SquareCap;
    case swf::CapStyle::Round:
        break;
    }
    return Qt::RoundCap;
}

Qt::PenJoinStyle toJoin(swf::JoinStyle join)
{
    switch (join) {
    case swf::JoinStyle::Bevel:
        return Qt::BevelJoin;
    case swf::JoinStyle::Miter:
        return Qt::MiterJoin;
    case swf::JoinStyle::Round:
        break;
    }
    return Qt::RoundJoin;
}

// Fills go to device pixels first, so that Flash's rules for which pixels an edge takes can be
// applied (see AliasedGeometry and AntialiasedGeometry). The brush, made for shape coordinates,
// is carried along; so is the shader, which colours the pixels itself where it can.
void fillDevicePath(QPainter& painter, const QPainterPath& devicePath, const StylePaint& paint, const QTransform& toDevice)
{
    if (paint.shader) {
        if (const std::optional<FillShader> deviceShader = paint.shader->mapped(toDevice)) {
            if (CoverageFill::fill(painter, devicePath, *deviceShader, QTransform()))
                return;
            if (AliasedFill::fill(painter, devicePath, *deviceShader))
                return;
        }
    }
    const QBrush brush = paint.brush();
    if (brush.style() == Qt::NoBrush)
        return;
    QBrush deviceBrush(brush);
    deviceBrush.setTransform(brush.transform() * toDevice);
    if (CoverageFill::fill(painter, devicePath, deviceBrush, QTransform()))
        return;
    painter.save();
    painter.resetTransform();
    {
        // Qt's spans of a solid colour are blended each on its own; gradient and bitmap colours
        // are fetched along runs of spans, which a clip cuts differently.
        const BandRows::QtDrawing clip(painter, devicePath.controlPointRect(),
                                       deviceBrush.style() == Qt::SolidPattern ? BandRows::Rows::Independent
                                                                              : BandRows::Rows::Dependent);
        painter.fillPath(devicePath, deviceBrush);
    }
    painter.restore();
}

// The device pixels that aliased drawing may cover.
QRect deviceArea(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    return device ? QRect(0, 0, device->width(), device->height()) : QRect();
}

// A line one device pixel wide or thinner turns its corners without the round join's disc:
// only the bevel between the two pieces is filled. The disc would reach pixel centres just
// beyond the outer corner that Flash leaves empty.
QPen aliasedCornerPen(const QPen& pen, const QTransform& toDevice)
{
    if (pen.joinStyle() != Qt::RoundJoin)
        return pen;
    const double scale = pen.isCosmetic()
        ? 1.0
        : std::max(std::hypot(toDevice.m11(), toDevice.m12()), std::hypot(toDevice.m21(), toDevice.m22()));
    constexpr double OnePixel = 1.0 + 1e-9;
    if (pen.widthF() * scale > OnePixel)
        return pen;
    QPen bevelled(pen);
    bevelled.setJoinStyle(Qt::BevelJoin);
    return bevelled;
}

// A line one device pixel wide or thinner, with round ends and corners, is drawn as Flash
// draws it: one pixel wide around the path cut up as a fill's edges are.
bool isThinRoundLine(const QPen& pen, const QTransform& toDevice)
{
    if (pen.capStyle() != Qt::RoundCap || pen.joinStyle() != Qt::RoundJoin || pen.style() != Qt::SolidLine)
        return false;
    const double scale = pen.isCosmetic()
        ? 1.0
        : std::max(std::hypot(toDevice.m11(), toDevice.m12()), std::hypot(toDevice.m21(), toDevice.m22()));
    constexpr double OnePixel = 1.0 + 1e-9;
    return pen.widthF() * scale <= OnePixel;
}

// A stroke is filled as its outline, so that its edges follow the same rules as fills. Lines
// of a fixed pixel width are outlined in device pixels, the others in shape coordinates.
void strokePathAliased(QPainter& painter, const QPainterPath& path, const QPen& pen, const std::optional<FillShader>& shader)
{
    const QTransform toDevice = painter.worldTransform();
    const StylePaint paint { [&pen] { return pen.brush(); }, shader };
    if (isThinRoundLine(pen, toDevice)) {
        fillDevicePath(painter, AliasedGeometry::thinLineToDevice(path, toDevice, deviceArea(painter)), paint, toDevice);
        return;
    }
    const QPainterPathStroker stroker(aliasedCornerPen(pen, toDevice));
    const QPainterPath outline = pen.isCosmetic()
        ? AliasedGeometry::lineOutlineToDevice(stroker.createStroke(toDevice.map(path)), QTransform())
        : AliasedGeometry::lineOutlineToDevice(stroker.createStroke(path), toDevice);
    fillDevicePath(painter, outline, paint, toDevice);
}

void fillPath(QPainter& painter, const QPainterPath& path, const StylePaint& paint, bool highQuality)
{
    const QTransform toDevice = painter.worldTransform();
    const QPainterPath devicePath = highQuality ? AntialiasedGeometry::fillToDevice(path, toDevice)
                                                : AliasedGeometry::fillToDevice(path, toDevice, deviceArea(painter));
    fillDevicePath(painter, devicePath, paint, toDevice);
}

void fillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush, bool highQuality)
{
    fillPath(painter, path, StylePaint{[&brush] { return brush; }, std::nullopt}, highQuality);
}

// Qt strokes a solid line of scalable width in shape coordinates with a curve tolerance of its
// own, whatever the transform, and fills that outline through the transform; only lines that
// come out one device pixel thin or less take its separate thin-line path. The row or column
// of the transform that scales least keeps those out.
bool strokedInShapeCoordinates(const QPen& pen, const QTransform& toDevice)
{
    if (pen.isCosmetic() || pen.style() != Qt::SolidLine)
        return false;
    const double leastScale = std::min({ std::hypot(toDevice.m11(), toDevice.m12()), std::hypot(toDevice.m21(), toDevice.m22()),
                                         std::hypot(toDevice.m11(), toDevice.m21()), std::hypot(toDevice.m12(), toDevice.m22()) });
    return pen.widthF() * leastScale > 1.0;
}

// The outline Qt's stroker makes for a path, kept with the shape: a shape turning or moving
// from frame to frame need not be stroked again.
const QPainterPath& strokeOutlineFor(const ConvertedShape& shape, std::size_t pathIndex, const QPen& pen)
{
    if (shape.strokeOutlines.size() != shape.paths.size())
        shape.strokeOutlines.assign(shape.paths.size(), std::nullopt);
    const QPainterPath& path = shape.paths[pathIndex].path;
    std::optional<ConvertedShape::StrokeOutline>& kept = shape.strokeOutlines[pathIndex];
    // Paths share their data when copied, so the comparison is immediate for the path the
    // outline was made from.
    if (!kept || !(kept->source == path))
        kept = ConvertedShape::StrokeOutline{path, QPainterPathStroker(pen).createStroke(path)};
    return kept->outline;
}

void strokePath(QPainter& painter, const ConvertedShape& shape, std::size_t pathIndex, const QPen& pen,
                const std::optional<FillShader>& shader, bool highQuality)
{
    const QPainterPath& path = shape.paths[pathIndex].path;
    if (!highQuality)
        strokePathAliased(painter, path, pen, shader);
    else if (strokedInShapeCoordinates(pen, painter.worldTransform())) {
        const QPainterPath& outline = strokeOutlineFor(shape, pathIndex, pen);
        const QTransform toDevice = painter.worldTransform();
        if (shader) {
            if (const std::optional<FillShader> deviceShader = shader->mapped(toDevice))
                if (CoverageFill::fill(painter, outline, *deviceShader, toDevice))
                    return;
        }
        if (!CoverageFill::fill(painter, outline, pen.brush(), toDevice)) {
            const BandRows::QtDrawing clip(painter, toDevice.mapRect(outline.controlPointRect()),
                                           pen.brush().style() == Qt::SolidPattern ? BandRows::Rows::Independent
                                                                                   : BandRows::Rows::Dependent);
            painter.fillPath(outline, pen.brush());
        }
    }
    else {
        // Qt's thin-line drawer steps a line from where the clip cuts it.
        const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(path.controlPointRect()),
                                       BandRows::Rows::Dependent);
        painter.strokePath(path, pen);
    }
}

} // namespace

QPen ShapePainter::makePen(const swf::LineStyle& style, const QTransform& worldTransform, const QBrush& brush)
{
    QPen pen(brush, style.width);
    pen.setCapStyle(toCap(style.startCap));
    pen.setJoinStyle(toJoin(style.join));
    // Flash's miter limit is the miter length over the line width; Qt counts from the middle
    // of the line, so half the ratio gives the same cut-off.
    pen.setMiterLimit(std::max(1.0, style.miterLimit) / 2.0);

    const double scaleX = std::hypot(worldTransform.m11(), worldTransform.m12());
    const double scaleY = std::hypot(worldTransform.m21(), worldTransform.m22());
    double deviceWidth = style.width * std::max(scaleX, scaleY);
    // Lines that must not scale keep their width in pixels (twips / 20) whatever the transform.
    if (style.noHScale && style.noVScale)
        deviceWidth = style.width / 20.0;
    const bool fixedWidth = (style.noHScale && style.noVScale) || deviceWidth < 1.0;
    if (fixedWidth) {
        pen.setCosmetic(true);
        pen.setWidthF(std::max(1.0, deviceWidth));
    }
    return pen;
}

void ShapePainter::paint(QPainter& painter, const ConvertedShape& shape, const swf::ColorTransform& colorTransform,
                         const BitmapLookup& bitmaps, bool highQuality)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, highQuality);
    for (std::size_t pathIndex = 0; pathIndex < shape.paths.size(); ++pathIndex) {
        const ConvertedShape::DrawPath& drawPath = shape.paths[pathIndex];
        if (drawPath.kind == ConvertedShape::Kind::Fill) {
            const swf::FillStyle& fill = shape.fillStyles[drawPath.styleIndex];
            painter.setRenderHint(QPainter::SmoothPixmapTransform, highQuality && isSmoothedBitmapFill(fill.type));
            fillPath(painter, drawPath.path,
                     stylePaintFor(shape.fillGradientBrushes, drawPath.styleIndex, shape.fillStyles.size(), fill,
                                   colorTransform, bitmaps, drawPath.path, highQuality),
                     highQuality);
        } else {
            const swf::LineStyle& line = shape.lineStyles[drawPath.styleIndex];
            QBrush brush;
            std::optional<FillShader> shader;
            if (line.hasFill) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform, highQuality && isSmoothedBitmapFill(line.fill.type));
                const StylePaint paint = stylePaintFor(shape.lineGradientBrushes, drawPath.styleIndex, shape.lineStyles.size(),
                                                       line.fill, colorTransform, bitmaps, drawPath.path, highQuality);
                brush = paint.brush();
                shader = paint.shader;
            } else {
                brush = QBrush(applyColorTransform(colorTransform, line.color));
            }
            if (brush.style() == Qt::NoBrush)
                continue;
            strokePath(painter, shape, pathIndex, makePen(line, painter.worldTransform(), brush), shader, highQuality);
        }
    }
    painter.restore();
}

void ShapePainter::paintCoverage(QPainter& painter, const ConvertedShape& shape, bool highQuality)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, highQuality);
    const QBrush opaque(Qt::black);
    // Only fills make a mask: Flash leaves lines out of a mask's area.
    for (const ConvertedShape::DrawPath& drawPath : shape.paths) {
        if (drawPath.kind == ConvertedShape::Kind::Fill)
            fillPath(painter, drawPath.path, opaque, highQuality);
    }
    painter.restore();
}

void ShapePainter::paintWithBrush(QPainter& painter, const ConvertedShape& shape, const QBrush& brush, bool highQuality)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, highQuality);
    for (const ConvertedShape::DrawPath& drawPath : shape.paths) {
        if (drawPath.kind == ConvertedShape::Kind::Fill)
            fillPath(painter, drawPath.path, brush, highQuality);
    }
    painter.restore();
}

} // namespace player::render
