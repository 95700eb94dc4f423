#include "DisplayRenderer.h"

#include "BandRows.h"
#include "BlendCompositor.h"
#include "CachedBitmapPlacement.h"
#include "ColorTransforms.h"
#include "EditTextPainter.h"
#include "FillBrush.h"
#include "FilteredBitmapPlacement.h"
#include "FilterChain.h"
#include "MaskCompositor.h"
#include "RowWorkers.h"
#include "ScrollRectClip.h"
#include "ShapePainter.h"
#include "StageBands.h"
#include "StageLayout.h"

#include "player/display/BitmapPixels.h"
#include "player/display/EditTextInstance.h"
#include "player/display/GraphicInstances.h"
#include "player/display/MovieClip.h"

#include <QPaintDevice>
#include <QScopeGuard>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace player::render {

namespace {

using display::DisplayKind;
using display::DisplayObject;

QRectF toRectF(const swf::Rect& rect)
{
    return QRectF(rect.xMin, rect.yMin, rect.width(), rect.height());
}

QRectF shapeBounds(const ConvertedShape& shape)
{
    QRectF bounds;
    for (const ConvertedShape::DrawPath& drawPath : shape.paths) {
        QRectF pathBounds = drawPath.path.controlPointRect();
        if (drawPath.kind == ConvertedShape::Kind::Stroke) {
            const double half = shape.lineStyles[drawPath.styleIndex].width / 2.0;
            pathBounds.adjust(-half, -half, half, half);
        }
        bounds = bounds.united(pathBounds);
    }
    return bounds;
}

BitmapLookup bitmapLookupFor(RenderCache& cache, const DisplayObject& object)
{
    const auto& library = object.library();
    return [&cache, library](uint16_t id, const swf::ColorTransform& colorTransform) -> QImage {
        if (!library)
            return {};
        const swf::BitmapDefinition* definition = library->bitmap(id);
        if (!definition)
            return {};
        return cache.bitmap(library->character(id), *definition, library->movie().jpegTables, colorTransform);
    };
}

// The bitmap a bitmap instance shows, decoded through the cache.
QImage instanceBitmap(RenderCache& cache, const DisplayObject& object, const swf::ColorTransform& colorTransform)
{
    const auto& instance = static_cast<const display::BitmapInstance&>(object);
    // A script-made bitmap changes under the script's hands, so it is never cached.
    if (instance.pixels()) {
        const QImage& pixels = instance.pixels()->image();
        return colorTransform.isIdentity() ? pixels : applyColorTransform(colorTransform, pixels);
    }
    const swf::Bytes noTables;
    const swf::Bytes& tables = object.library() ? object.library()->movie().jpegTables : noTables;
    return cache.bitmap(object.character(), instance.bitmap(), tables, colorTransform);
}

// Where a text field's text may lie in device pixels, its box left out: a field used as a mask
// is not cut to its box.
QRectF textExtent(const display::EditTextInstance& field, const QTransform& parentToDevice)
{
    const display::TextLayout& layout = field.layout();
    const swf::Rect& box = field.box();
    // Layout pixels from the box's corner, a gutter's worth of slack on every side.
    const double gutter = display::TextLayout::gutter;
    const QRectF text(box.xMin - gutter * 20.0, box.yMin - gutter * 20.0, (layout.textWidth + 4.0 * gutter) * 20.0,
                      (layout.textHeight + 4.0 * gutter) * 20.0);
    return (toTransform(field.matrix()) * parentToDevice).mapRect(text);
}

// The most rows a filter of `object` or of anything it holds reaches above and below its layer.
int filterRowReach(const DisplayObject& object, double scale)
{
    int reach = object.filters().empty() ? 0 : FilterChain::rowReach(object.filters(), scale);
    if (const auto mask = object.scriptMask())
        reach = std::max(reach, filterRowReach(*mask, scale));
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (child)
                reach = std::max(reach, filterRowReach(*child, scale));
        }
    }
    return reach;
}

// Filter sizes are stage pixels; this many device pixels make one.
double filterScaleOf(const QTransform& stageToDevice)
{
    // Stage transforms count twips; twenty of them are a pixel.
    const double scale = std::sqrt(std::abs(stageToDevice.determinant())) * 20.0;
    return std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

} // namespace

void DisplayRenderer::renderStage(QPainter& painter, const display::Stage& stage, const QSize& viewport, ScaleMode mode)
{
    const swf::Rgba background = stage.backgroundColor();
    painter.save();
    painter.resetTransform();
    painter.fillRect(BandRows::kept(painter.device(), QRect(QPoint(0, 0), viewport)),
                     QColor(background.r, background.g, background.b));
    painter.restore();

    m_scriptMasks.clear();
    for (const auto& [number, root] : stage.levels()) {
        if (root)
            collectScriptMasks(*root);
    }

    Context context;
    context.toDevice = StageLayout::stageTransform(stage.stageRect(), QSizeF(viewport), mode);
    context.stageToDevice = context.toDevice;
    m_filterScale = filterScaleOf(context.stageToDevice);
    for (const auto& [number, root] : stage.levels()) {
        if (root)
            drawObject(painter, *root, context);
    }
    m_cache.purgeExpired();
    if (!m_drawingBand)
        m_layers.endFrame();
    // Drawn through a painter, the stage is no longer drawn as images frame after frame: the
    // last one (a sheet perhaps, and large) is not kept for a next one.
    if (!m_drawingBand && !m_drawingImage)
        m_stageImage = QImage();
}

QImage DisplayRenderer::renderStageImage(const display::Stage& stage, const QSize& size, ScaleMode mode)
{
    // The image the last frame was drawn into serves again once its caller has let it go; every
    // pixel of it is painted over, the background being opaque.
    if (m_stageImage.size() != size || !m_stageImage.isDetached())
        m_stageImage = QImage(size, QImage::Format_ARGB32_Premultiplied);
    QImage& image = m_stageImage;
    m_drawingImage = true;
    const auto drawn = qScopeGuard([this] { m_drawingImage = false; });
    m_lastBandCount = 1;
    int bands = bandsFor(stage, size, mode);
    while (bands > 1 && !image.isNull()) {
        if (renderBands(image, stage, mode, bands)) {
            m_lastBandCount = bands;
            return image;
        }
        if (m_bandCount != 0)
            break;
        // Qt would not give the same pixels in these bands. The next frames most likely show the
        // same objects, so for a while they are drawn with fewer band edges straight away: in two
        // bands after more, in one piece after two. This frame is drawn again the same way.
        bands = bands > 2 ? 2 : 1;
        m_bandLimit = bands;
        m_framesAtBandLimit = 30;
    }
    QPainter painter(&image);
    renderStage(painter, stage, size, mode);
    painter.end();
    return image;
}

int DisplayRenderer::bandsFor(const display::Stage& stage, const QSize& size, ScaleMode mode)
{
    if (m_bandCount > 0)
        return std::min(m_bandCount, std::max(1, size.height()));
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    if (!twoCores || !RowWorkers::enabled())
        return 1;
    // Below this many pixels, handing a band over costs more than it saves.
    constexpr qint64 BandedPixels = 256 * 256;
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels < BandedPixels || size.height() < 64)
        return 1;
    // A band's rows of the stage and of its layers are drawn over and over (a shape over what
    // lies below, a mask's layers put down), which is cheap while they stay in the processor's
    // caches: a large stage is cut into bands of about this many pixels, and no band is thinner
    // than the smallest stage that is banded at all.
    constexpr qint64 CachedPixels = 1 << 19;
    int bands = int(std::clamp<qint64>((pixels + CachedPixels - 1) / CachedPixels, 2, size.height() / 64));
    if (bands > 2) {
        // A filtered layer is drawn in each band with the rows its filters reach above and below
        // it; bands at least four times as tall as that keep it from being drawn over and over.
        const double scale = filterScaleOf(StageLayout::stageTransform(stage.stageRect(), QSizeF(size), mode));
        int reach = 0;
        for (const auto& [number, root] : stage.levels()) {
            if (root)
                reach = std::max(reach, filterRowReach(*root, scale));
        }
        if (reach > 0)
            bands = std::clamp(size.height() / (4 * reach), 2, bands);
    }
    if (m_framesAtBandLimit > 0) {
        --m_framesAtBandLimit;
        bands = std::min(bands, m_bandLimit);
    }
    return bands;
}

bool DisplayRenderer::renderBands(QImage& image, const display::Stage& stage, ScaleMode mode, int bands)
{
    if (!StageBands::prepare(stage))
        return false;
    if (!m_bandHelper)
        m_bandHelper = std::make_unique<DisplayRenderer>();
    m_bandHelper->m_highQuality = m_highQuality;
    m_bandHelper->m_shownBitmaps = nullptr;
    std::vector<std::shared_ptr<const display::BitmapPixels>> shownByHelper;
    m_bandHelper->m_shownList = m_shownBitmaps ? &shownByHelper : nullptr;
    DisplayRenderer* const renderers[2] = { this, m_bandHelper.get() };
    m_drawingBand = true;
    m_bandHelper->m_drawingBand = true;

    uchar* const bits = image.bits();
    const QSize size = image.size();
    const qsizetype stride = image.bytesPerLine();
    std::atomic<bool> crossed { false };
    RowWorkers::share(bands, [&](int band, int thread) {
        const QRect rows = StageBands::band(size, band, bands);
        // The whole image over the same pixels, so that the band is drawn in the coordinates of
        // one piece; each thread paints through an image of its own.
        QImage view(bits, size.width(), size.height(), stride, QImage::Format_ARGB32_Premultiplied);
        const BandRows::Scope keep(&view, rows.top(), rows.bottom() + 1);
        QPainter painter(&view);
        renderers[thread]->renderStage(painter, stage, size, mode);
        painter.end();
        if (BandRows::takeCrossed())
            crossed.store(true, std::memory_order_relaxed);
    });
    m_bandHelper->m_shownList = nullptr;
    for (DisplayRenderer* renderer : renderers) {
        renderer->m_drawingBand = false;
        renderer->m_layers.endFrame();
    }
    if (m_shownBitmaps) {
        for (const auto& pixels : shownByHelper)
            m_shownBitmaps->add(pixels);
    }
    return !crossed.load(std::memory_order_relaxed);
}

void DisplayRenderer::noteShown(const std::shared_ptr<const display::BitmapPixels>& pixels)
{
    if (m_shownBitmaps)
        m_shownBitmaps->add(pixels);
    else if (m_shownList)
        m_shownList->push_back(pixels);
}

void DisplayRenderer::renderObject(QPainter& painter, const DisplayObject& object, const QTransform& parentToDevice,
                                   const swf::ColorTransform& parentColor)
{
    Context context;
    context.toDevice = parentToDevice;
    context.stageToDevice = parentToDevice;
    context.color = parentColor;
    m_filterScale = filterScaleOf(parentToDevice);
    drawObject(painter, object, context);
}

void DisplayRenderer::collectScriptMasks(const DisplayObject& object)
{
    if (const auto mask = object.scriptMask())
        m_scriptMasks.insert(mask.get());
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (child)
                collectScriptMasks(*child);
        }
    }
}

QTransform DisplayRenderer::stageTransformOf(const DisplayObject& object) const
{
    QTransform transform = toTransform(object.matrix());
    for (const display::DisplayContainer* parent = object.parent(); parent; parent = parent->parent())
        transform *= toTransform(parent->matrix());
    return transform;
}

void DisplayRenderer::drawObject(QPainter& painter, const DisplayObject& object, const Context& parent)
{
    if (!parent.coverage) {
        // An object that serves as a script mask is not drawn itself, as in Flash.
        if (!object.isVisible() || m_scriptMasks.contains(&object))
            return;
        const auto mask = object.scriptMask();
        if (mask && !mask->isRemoved()) {
            Context maskContext = parent;
            const QTransform maskParentToStage = stageTransformOf(*mask) * toTransform(mask->matrix()).inverted();
            maskContext.toDevice = maskParentToStage * parent.stageToDevice;
            maskContext.color = {};
            drawThroughMask(painter, *mask, maskContext, parent, deviceBounds(object, parent.toDevice),
                            [this, &object](QPainter& layerPainter, const Context& layerContext) {
                                drawObjectUnmasked(layerPainter, object, layerContext);
                            });
            return;
        }
        // Alpha and erase act on the layer of a parent with a blend mode; with none to act on,
        // Flash shows nothing of the object at all.
        const swf::BlendMode mode = object.blendMode();
        if ((mode == swf::BlendMode::Alpha || mode == swf::BlendMode::Erase) && !parent.onBlendLayer)
            return;
        if (BlendCompositor::needsLayer(mode) || !object.filters().empty()) {
            drawLayered(painter, object, parent);
            return;
        }
    }
    drawObjectUnmasked(painter, object, parent);
}

void DisplayRenderer::drawLayered(QPainter& painter, const DisplayObject& object, const Context& parent)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    // Filters carry colour in from beyond the device's edges (a shadow of an object just off
    // the stage shows), so the layer reaches that far past them.
    const int reach = FilterChain::reach(object.filters(), m_filterScale);
    const QRect reachableRect = QRect(0, 0, device->width(), device->height()).adjusted(-reach, -reach, reach, reach);
    const QRect layerRect = deviceBounds(object, parent.toDevice).adjusted(-2, -2, 2, 2).toAlignedRect() & reachableRect;
    if (layerRect.isEmpty())
        return;
    QTransform toLayer = QTransform::fromTranslate(-layerRect.x(), -layerRect.y());
    if (!object.filters().empty()) {
        const QPointF shift = FilteredBitmapPlacement::shiftFor(deviceBounds(object, parent.toDevice, true), object.cacheAsBitmap());
        toLayer = QTransform::fromTranslate(shift.x(), shift.y()) * toLayer;
    }
    // In a band only the layer's rows over the band are put down; the filters take colour from
    // rows further away, so those are drawn too. The layer keeps its origin of one piece.
    int putTop = 0;
    int putBottom = 0;
    const bool banded = BandRows::layerRows(device, layerRect, putTop, putBottom);
    if (putTop >= putBottom)
        return;
    const int margin = banded ? FilterChain::rowReach(object.filters(), m_filterScale) : 0;
    const int drawTop = std::max(0, putTop - margin);
    const int drawBottom = std::min(layerRect.height(), putBottom + margin);
    QImage layer(layerRect.size(), QImage::Format_ARGB32_Premultiplied);
    StageBands::clearRows(layer, drawTop, drawBottom);
    {
        QPainter layerPainter(&layer);
        std::optional<BandRows::Scope> keep;
        if (banded)
            keep.emplace(&layer, drawTop, drawBottom);
        Context layerContext = parent;
        layerContext.toDevice = parent.toDevice * toLayer;
        layerContext.stageToDevice = parent.stageToDevice * toLayer;
        if (BlendCompositor::needsLayer(object.blendMode()))
            layerContext.onBlendLayer = true;
        drawObjectUnmasked(layerPainter, object, layerContext);
    }
    if (drawTop > 0 || drawBottom < layer.height()) {
        // The drawn rows filtered on their own: their edges lie beyond what the filters carry
        // into the rows put down, or are the layer's own.
        QImage drawn = layer.copy(0, drawTop, layer.width(), drawBottom - drawTop);
        FilterChain::apply(drawn, object.filters(), m_filterScale);
        BlendCompositor::composite(painter, StageBands::rows(drawn, putTop - drawTop, putBottom - drawTop),
                                   layerRect.topLeft() + QPoint(0, putTop), object.blendMode());
        return;
    }
    FilterChain::apply(layer, object.filters(), m_filterScale);
    BlendCompositor::composite(painter, StageBands::rows(layer, putTop, putBottom), layerRect.topLeft() + QPoint(0, putTop),
                               object.blendMode());
}

void DisplayRenderer::drawObjectUnmasked(QPainter& painter, const DisplayObject& object, const Context& parent)
{
    Context own = parent;
    own.toDevice = toTransform(object.matrix()) * parent.toDevice;
    own.scaleNine.reset();
    if (!parent.coverage)
        own.color = composeColorTransforms(parent.color, object.colorTransform());
    if (object.cacheAsBitmap() && object.filters().empty() && !own.coverage) {
        // Flash draws the object into a bitmap placed on whole pixels, which moves it a little.
        const CachedBitmapPlacement placement = CachedBitmapPlacement::forBounds(deviceBounds(object, parent.toDevice, true));
        own.toDevice *= QTransform::fromTranslate(placement.shift.x(), placement.shift.y());
    }
    if (const std::optional<swf::Rgba> background = object.opaqueBackground(); background && !own.coverage)
        drawOpaqueBackground(painter, object, *background, parent, own);
    // A scroll rectangle moves the content and cuts it to the rectangle's size. Drawn as a mask,
    // the content moves but is not cut, as in Flash.
    const std::optional<swf::Rect>& scrollRect = object.scrollRect();
    if (scrollRect) {
        painter.save();
        if (!own.coverage)
            ScrollRectClip::clip(painter, *scrollRect, own.toDevice);
        own.toDevice = own.coverage ? ScrollRectClip::contentOffset(object) * own.toDevice
                                    : ScrollRectClip::contentToDevice(object, own.toDevice);
    }
    if (parent.scaleNine && object.kind() == DisplayKind::Shape)
        drawNineSliceShape(painter, object, parent, own);
    else
        drawContent(painter, object, own);
    if (const display::DisplayContainer* container = object.asContainer()) {
        if (const std::optional<swf::Rect> grid = object.scaleGrid())
            own.scaleNine = ScaleNineMapping::forClip(*grid, object.localBounds(), object.matrix());
        drawRange(painter, container->children().begin(), container->children().end(), own);
    }
    if (scrollRect)
        painter.restore();
}

void DisplayRenderer::drawNineSliceShape(QPainter& painter, const DisplayObject& object, const Context& parent,
                                         const Context& own)
{
    const auto& instance = static_cast<const display::ShapeInstance&>(object);
    const ConvertedShape mapped = parent.scaleNine->map(m_cache.shape(object.character(), instance.shape()),
                                                        toTransform(object.matrix()));
    painter.save();
    painter.setWorldTransform(parent.toDevice);
    if (own.coverage)
        ShapePainter::paintCoverage(painter, mapped, m_highQuality);
    else
        ShapePainter::paint(painter, mapped, own.color, bitmapLookupFor(m_cache, object), m_highQuality);
    painter.restore();
}

void DisplayRenderer::drawOpaqueBackground(QPainter& painter, const DisplayObject& object, const swf::Rgba& color,
                                           const Context& parent, const Context& own)
{
    // Flash fills the object's bounds behind its content, always fully opaque, with hard edges.
    QRectF bounds = deviceBounds(object, parent.toDevice, true);
    if (!object.filters().empty()) {
        const double reach = FilterChain::reach(object.filters(), m_filterScale);
        bounds.adjust(reach, reach, -reach, -reach);
    }
    if (bounds.isEmpty())
        return;
    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QColor fill = applyColorTransform(own.color, color);
    fill.setAlpha(255);
    // A cached bitmap is filled whole. Otherwise Flash fills the pixels whose centres lie in the
    // box, so each edge snaps to the nearest pixel boundary, and an edge halfway between two
    // goes up or left.
    const auto snap = [](double edge) { return int(std::ceil(edge - 0.5)); };
    const QRect snapped = object.cacheAsBitmap()
        ? CachedBitmapPlacement::forBounds(bounds).area()
        : QRect(QPoint(snap(bounds.left()), snap(bounds.top())), QPoint(snap(bounds.right()) - 1, snap(bounds.bottom()) - 1));
    const BandRows::QtDrawing clip(painter, QRectF(snapped), BandRows::Rows::Independent);
    painter.fillRect(snapped, fill);
    painter.restore();
}

void DisplayRenderer::drawRange(QPainter& painter, ChildIterator begin, ChildIterator end, const Context& context)
{
    for (auto child = begin; child != end;) {
        const DisplayObject* object = child->second.get();
        if (!object) {
            ++child;
            continue;
        }
        // A clip depth of 0 in the file is no mask at all: Flash draws such an object as usual.
        const std::optional<int> clipDepth = object->clipDepth();
        if (!clipDepth || *clipDepth <= display::TimelineDepthOffset) {
            drawObject(painter, *object, context);
            ++child;
            continue;
        }
        // A mask clips the siblings above it up to its clip depth, and is not drawn itself.
        auto maskedEnd = std::next(child);
        while (maskedEnd != end && maskedEnd->first <= *clipDepth)
            ++maskedEnd;
        const auto maskedBegin = std::next(child);
        if (maskedBegin != maskedEnd) {
            Context maskContext = context;
            maskContext.color = {};
            QRectF maskedBounds;
            for (auto masked = maskedBegin; masked != maskedEnd; ++masked) {
                if (masked->second)
                    maskedBounds = maskedBounds.united(deviceBounds(*masked->second, context.toDevice));
            }
            drawThroughMask(painter, *object, maskContext, context, maskedBounds,
                            [this, maskedBegin, maskedEnd](QPainter& layerPainter, const Context& layerContext) {
                                drawRange(layerPainter, maskedBegin, maskedEnd, layerContext);
                            });
        }
        child = maskedEnd;
    }
}

template <typename DrawMasked>
void DisplayRenderer::drawThroughMask(QPainter& painter, const DisplayObject& mask, const Context& maskContext,
                                      const Context& context, const QRectF& maskedBounds, DrawMasked&& drawMasked)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    const QRect deviceRect(0, 0, device->width(), device->height());
    // The layers need only cover where both the mask and what it masks are, which is often far
    // less than the mask (a large mask over a small clip). One pixel more on each side for
    // antialiased edges and hairlines.
    QRectF maskBounds = deviceBounds(mask, maskContext.toDevice);
    if (mask.kind() == DisplayKind::EditText)
        maskBounds |= textExtent(static_cast<const display::EditTextInstance&>(mask), maskContext.toDevice);
    const QRect maskRect = maskBounds.adjusted(-2, -2, 2, 2).toAlignedRect();
    const QRect contentRect = maskedBounds.adjusted(-2, -2, 2, 2).toAlignedRect();
    const QRect layerRect = maskRect & contentRect & deviceRect;
    if (layerRect.isEmpty())
        return;
    const QTransform toLayer = QTransform::fromTranslate(-layerRect.x(), -layerRect.y());
    // In a band only the layers' rows over the band are drawn, the layers keeping their origin
    // of one piece; and of those only what the device itself keeps (layers inside masked content
    // need no more than the part of it that its mask shows).
    int rowTop = 0;
    int rowBottom = 0;
    const bool banded = BandRows::layerRows(device, layerRect, rowTop, rowBottom);
    if (rowTop >= rowBottom)
        return;
    const QRect keptArea = BandRows::kept(device, layerRect).translated(-layerRect.topLeft())
        & QRect(0, rowTop, layerRect.width(), rowBottom - rowTop);
    if (keptArea.isEmpty())
        return;

    LayerPool::Lease coverageLayer = m_layers.take(layerRect.size());
    QImage& coverage = coverageLayer.image();
    if (coverage.isNull())
        return;
    // The mask first: the content need only be drawn where the mask covers something.
    StageBands::clearArea(coverage, keptArea);
    {
        QPainter coveragePainter(&coverage);
        const BandRows::Scope keep(&coverage, BandRows::Keep { banded, rowTop, rowBottom, keptArea });
        Context coverageContext = maskContext;
        coverageContext.toDevice = maskContext.toDevice * toLayer;
        coverageContext.stageToDevice = maskContext.stageToDevice * toLayer;
        coverageContext.coverage = true;
        drawObjectUnmasked(coveragePainter, mask, coverageContext);
    }
    const QRect covered = s_maskedContentCut.load(std::memory_order_relaxed)
        ? MaskCompositor::coveredArea(coverage, keptArea)
        : keptArea;
    if (covered.isEmpty())
        return;

    LayerPool::Lease contentLayer = m_layers.take(layerRect.size());
    QImage& content = contentLayer.image();
    if (content.isNull())
        return;
    StageBands::clearArea(content, covered);
    {
        QPainter layerPainter(&content);
        const BandRows::Scope keep(&content, BandRows::Keep { banded, rowTop, rowBottom, covered });
        Context layerContext = context;
        layerContext.toDevice = context.toDevice * toLayer;
        layerContext.stageToDevice = context.stageToDevice * toLayer;
        drawMasked(layerPainter, layerContext);
    }

    const QPoint at = layerRect.topLeft() + covered.topLeft();
    if (MaskCompositor::composite(painter, at, StageBands::area(content, covered), StageBands::area(coverage, covered)))
        return;
    {
        QPainter layerPainter(&content);
        layerPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        layerPainter.drawImage(covered.topLeft(), StageBands::area(coverage, covered));
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(at, StageBands::area(content, covered));
    painter.restore();
}

void DisplayRenderer::drawContent(QPainter& painter, const DisplayObject& object, const Context& own)
{
    painter.save();
    painter.setWorldTransform(own.toDevice);
    switch (object.kind()) {
    case DisplayKind::Shape: {
        const auto& instance = static_cast<const display::ShapeInstance&>(object);
        const ConvertedShape& shape = m_cache.shape(object.character(), instance.shape());
        if (own.coverage)
            ShapePainter::paintCoverage(painter, shape, m_highQuality);
        else
            ShapePainter::paint(painter, shape, own.color, bitmapLookupFor(m_cache, object), m_highQuality);
        break;
    }
    case DisplayKind::MorphShape: {
        const auto& instance = static_cast<const display::MorphShapeInstance&>(object);
        const ConvertedShape& shape = m_cache.morph(object.character(), instance.morphShape(), object.ratio());
        if (own.coverage)
            ShapePainter::paintCoverage(painter, shape, m_highQuality);
        else
            ShapePainter::paint(painter, shape, own.color, bitmapLookupFor(m_cache, object), m_highQuality);
        break;
    }
    case DisplayKind::Bitmap: {
        // One bitmap pixel is 20 twips.
        painter.setWorldTransform(QTransform::fromScale(20.0, 20.0) * own.toDevice);
        noteShown(static_cast<const display::BitmapInstance&>(object).pixels());
        const QImage image = instanceBitmap(m_cache, object, own.color);
        // Qt draws a transformed image along the rows it keeps, each from its own position.
        const BandRows::QtDrawing clip(painter, painter.worldTransform().mapRect(QRectF(image.rect())),
                                       BandRows::Rows::Independent);
        if (own.coverage)
            painter.fillRect(QRectF(0, 0, image.width(), image.height()), Qt::black);
        else
            painter.drawImage(0, 0, image);
        break;
    }
    case DisplayKind::StaticText:
        drawStaticText(painter, object, own);
        break;
    case DisplayKind::EditText:
        drawEditTextBox(painter, object, own);
        break;
    case DisplayKind::MovieClip: {
        // What the drawing API made lies under the clip's children.
        const auto& clip = static_cast<const display::MovieClip&>(object);
        if (clip.drawing().isEmpty())
            break;
        const std::shared_ptr<const swf::Shape> drawing = clip.drawing().shape();
        if (!drawing)
            break;
        const ConvertedShape& shape = m_cache.shape(drawing, *drawing);
        if (own.coverage) {
            ShapePainter::paintCoverage(painter, shape, m_highQuality);
            break;
        }
        // Bitmap fills name the drawing's own script-made bitmaps first, drawn live, then the
        // movie's.
        const BitmapLookup fromLibrary = bitmapLookupFor(m_cache, object);
        const display::Drawing& drawn = clip.drawing();
        for (const auto& pixels : drawn.bitmaps())
            noteShown(pixels);
        const BitmapLookup lookup = [&drawn, &fromLibrary](uint16_t id, const swf::ColorTransform& colorTransform) -> QImage {
            if (const display::BitmapPixels* pixels = drawn.bitmap(id))
                return colorTransform.isIdentity() ? pixels->image() : applyColorTransform(colorTransform, pixels->image());
            return fromLibrary(id, colorTransform);
        };
        ShapePainter::paint(painter, shape, own.color, lookup, m_highQuality);
        break;
    }
    case DisplayKind::Button:
        break; // a button's look is its children
    case DisplayKind::Video:
        break; // no video is decoded: the object shows nothing
    }
    painter.restore();
}

void DisplayRenderer::drawStaticText(QPainter& painter, const DisplayObject& object, const Context& own)
{
    const auto& instance = static_cast<const display::StaticTextInstance&>(object);
    const swf::StaticText& text = instance.text();
    const auto& library = object.library();
    if (!library)
        return;
    const QTransform textToDevice = toTransform(text.matrix) * own.toDevice;

    const swf::Font* font = nullptr;
    std::shared_ptr<const swf::Character> fontOwner;
    swf::Rgba color;
    double x = 0.0;
    double y = 0.0;
    double height = 0.0;
    for (const swf::TextRecord& record : text.records) {
        if (record.fontId) {
            font = library->font(*record.fontId);
            fontOwner = library->character(*record.fontId);
        }
        if (record.color)
            color = *record.color;
        if (record.xOffset)
            x = *record.xOffset;
        if (record.yOffset)
            y = *record.yOffset;
        if (record.height)
            height = *record.height;
        // Glyphs are drawn on a 1024-unit em square; DefineFont3 glyphs are 20 times finer.
        const double emSquare = font && font->version >= 3 ? 1024.0 * 20.0 : 1024.0;
        const double scale = height / emSquare;
        const QBrush brush(applyColorTransform(own.color, color));
        for (const swf::GlyphEntry& entry : record.glyphs) {
            if (font && entry.index < font->glyphs.size()) {
                const ConvertedShape& glyph = m_cache.glyph(fontOwner, font->glyphs[entry.index]);
                painter.setWorldTransform(QTransform::fromScale(scale, scale) * QTransform::fromTranslate(x, y) * textToDevice);
                if (own.coverage)
                    ShapePainter::paintCoverage(painter, glyph, m_highQuality);
                else
                    ShapePainter::paintWithBrush(painter, glyph, brush, m_highQuality);
            }
            x += entry.advance;
        }
    }
}

void DisplayRenderer::drawEditTextBox(QPainter& painter, const DisplayObject& object, const Context& own)
{
    const auto& field = static_cast<const display::EditTextInstance&>(object);
    EditTextPainter::paint(painter, field, own.toDevice, own.color, own.coverage, m_cache, m_highQuality);
}

QRectF DisplayRenderer::deviceBounds(const DisplayObject& object, const QTransform& parentToDevice, bool onlyVisible)
{
    // A scroll rectangle moves the content; what it cuts away still counts, since masks draw it.
    const QTransform toDevice = ScrollRectClip::contentOffset(object) * toTransform(object.matrix()) * parentToDevice;
    QRectF local;
    switch (object.kind()) {
    case DisplayKind::Shape:
        local = shapeBounds(m_cache.shape(object.character(), static_cast<const display::ShapeInstance&>(object).shape()));
        break;
    case DisplayKind::MorphShape:
        local = shapeBounds(m_cache.morph(object.character(), static_cast<const display::MorphShapeInstance&>(object).morphShape(), object.ratio()));
        break;
    case DisplayKind::Bitmap: {
        const QImage image = instanceBitmap(m_cache, object, {});
        local = QRectF(0, 0, image.width() * 20.0, image.height() * 20.0);
        break;
    }
    case DisplayKind::StaticText: {
        const swf::StaticText& text = static_cast<const display::StaticTextInstance&>(object).text();
        // The bounds are meant to be in the text's own space already; movies disagree about
        // whether the text matrix applies, so both readings are covered.
        local = toRectF(text.bounds).united(toTransform(text.matrix).mapRect(toRectF(text.bounds)));
        break;
    }
    case DisplayKind::EditText:
        local = toRectF(static_cast<const display::EditTextInstance&>(object).box());
        break;
    case DisplayKind::MovieClip: {
        const auto& clip = static_cast<const display::MovieClip&>(object);
        if (!clip.drawing().isEmpty()) {
            if (const auto drawing = clip.drawing().shape())
                local = shapeBounds(m_cache.shape(drawing, *drawing));
        }
        break;
    }
    case DisplayKind::Button:
    case DisplayKind::Video:
        break;
    }
    QRectF bounds = local.isEmpty() ? QRectF() : toDevice.mapRect(local);
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (child)
                bounds = bounds.united(deviceBounds(*child, toDevice, onlyVisible));
        }
    }
    if (onlyVisible && object.scrollRect() && !bounds.isEmpty())
        bounds &= (toTransform(object.matrix()) * parentToDevice).mapRect(ScrollRectClip::visibleArea(*object.scrollRect()));
    if (!bounds.isEmpty() && !object.filters().empty()) {
        const double reach = FilterChain::reach(object.filters(), m_filterScale);
        bounds.adjust(-reach, -reach, reach, reach);
    }
    return bounds;
}

} // namespace player::render
