#pragma once

#include "LayerPool.h"
#include "RenderCache.h"
#include "ScaleMode.h"
#include "ScaleNineMapping.h"
#include "ShownBitmaps.h"

#include "player/display/DisplayContainer.h"
#include "player/display/Stage.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace player::render {

// Draws the display tree of a stage: levels from 0 up, children in depth order, with matrices
// and colour transforms composed down the tree, clip-depth and script masks, the visible flag
// the background colour, blend modes and filters.
//
// Masks are drawn the way Flash shows them: the masked objects go to a layer, the mask's shapes
// (colour and alpha ignored) to a second one, and the first is kept only where the second is.
class DisplayRenderer {
public:
    // Flash's "high" quality (antialiasing, smoothed bitmaps) or "low" (neither).
    void setHighQuality(bool highQuality) { m_highQuality = highQuality; }
    bool highQuality() const { return m_highQuality; }

    // Paints the whole stage into a viewport of the given size at the painter's origin: the
    // background colour everywhere, then the levels placed by the scale mode.
    void renderStage(QPainter& painter, const display::Stage& stage, const QSize& viewport, ScaleMode mode);

    // The stage as an image of the given size. A large image is drawn in horizontal bands, on
    // this thread and RowWorkers' thread, with the pixels of one piece (see StageBands).
    QImage renderStageImage(const display::Stage& stage, const QSize& size, ScaleMode mode);

    // How many bands renderStageImage() cuts an image into: 0 chooses by its size (and draws in
    // one piece while RowWorkers is off), 1 always draws in one piece.
    void setBandCount(int count) { m_bandCount = count; }
    // Whether the last renderStageImage() drew in bands (false when it drew in one piece, also
    // when it found it could not keep the pixels of one piece in bands and drew again).
    bool lastDrawnInBands() const { return m_lastBandCount > 1; }
    // How many bands the last renderStageImage() drew in (1: in one piece).
    int lastBandCount() const { return m_lastBandCount; }

    // Paints one object and what it holds. `parentToDevice` maps the parent's twips to the
    // painter's device pixels (the painter's own transform is not used) and `parentColor` is
    // the parent's composed colour transform.
    void renderObject(QPainter& painter, const display::DisplayObject& object, const QTransform& parentToDevice,
                      const swf::ColorTransform& parentColor = {});

    RenderCache& cache() { return m_cache; }

    // Whether masked content is drawn only within the rectangle its mask covers (the default)
    // rather than over the whole of its layer; the pixels are the same, the switch is there so
    // that tests can compare the two.
    static void setMaskedContentCut(bool cut) { s_maskedContentCut.store(cut, std::memory_order_relaxed); }

    // While set, the script-made bitmaps drawn are noted there (the caller clears it first).
    void setShownBitmaps(ShownBitmaps* shown) { m_shownBitmaps = shown; }

private:
    struct Context {
        QTransform toDevice;          // the current object's parent twips to device pixels
        QTransform stageToDevice;     // stage (level) twips to device pixels, for script masks
        swf::ColorTransform color;    // the parent's composed colour transform
        bool coverage = false;        // drawing a mask: shapes only, opaque
        bool onBlendLayer = false;    // the painter's device is an ancestor's blend layer
        // The nine-slice scaling of the current object's shapes (its parent's grid), if any.
        std::optional<ScaleNineMapping> scaleNine;
    };
    using ChildIterator = display::DisplayContainer::ChildMap::const_iterator;

    void drawObject(QPainter& painter, const display::DisplayObject& object, const Context& parent);
    // Draws an object to a layer of its own, applies its filters to that and blends it onto what
    // lies below.
    void drawLayered(QPainter& painter, const display::DisplayObject& object, const Context& parent);
    void drawObjectUnmasked(QPainter& painter, const display::DisplayObject& object, const Context& parent);
    void drawOpaqueBackground(QPainter& painter, const display::DisplayObject& object, const swf::Rgba& color,
                              const Context& parent, const Context& own);
    void drawContent(QPainter& painter, const display::DisplayObject& object, const Context& own);
    // A shape inside a clip with a nine-slice grid: drawn in the clip's space, mapped.
    void drawNineSliceShape(QPainter& painter, const display::DisplayObject& object, const Context& parent,
                            const Context& own);
    void drawRange(QPainter& painter, ChildIterator begin, ChildIterator end, const Context& context);
    void drawStaticText(QPainter& painter, const display::DisplayObject& object, const Context& own);
    void drawEditTextBox(QPainter& painter, const display::DisplayObject& object, const Context& own);

    // Draws `drawMasked` into a layer kept only where `mask` (drawn at maskContext) covers.
    // `maskedBounds` bounds what drawMasked draws, in device pixels.
    template <typename DrawMasked>
    void drawThroughMask(QPainter& painter, const display::DisplayObject& mask, const Context& maskContext,
                         const Context& context, const QRectF& maskedBounds, DrawMasked&& drawMasked);

    // Bounds of an object's content in device pixels, from the converted geometry. What scroll
    // rectangles cut away counts unless `onlyVisible` is set.
    QRectF deviceBounds(const display::DisplayObject& object, const QTransform& parentToDevice, bool onlyVisible = false);
    QTransform stageTransformOf(const display::DisplayObject& object) const;
    void collectScriptMasks(const display::DisplayObject& object);
    // Notes a script-made bitmap as shown.
    void noteShown(const std::shared_ptr<const display::BitmapPixels>& pixels);
    // Draws `image` (the stage's size) in `bands` bands; false when it must be drawn in one piece
    // instead (what is drawn then is left to be drawn again).
    bool renderBands(QImage& image, const display::Stage& stage, ScaleMode mode, int bands);
    int bandsFor(const display::Stage& stage, const QSize& size, ScaleMode mode);

    static inline std::atomic<bool> s_maskedContentCut { true };

    RenderCache m_cache;
    // Memory for mask layers, kept between frames.
    LayerPool m_layers;
    // The last stage image drawn, drawn into again while no one else holds it.
    QImage m_stageImage;
    bool m_highQuality = true;
    double m_filterScale = 1.0; // device pixels per stage pixel
    std::set<const display::DisplayObject*> m_scriptMasks;
    ShownBitmaps* m_shownBitmaps = nullptr;
    // While drawing a band on another thread, script-made bitmaps shown are kept here instead.
    std::vector<std::shared_ptr<const display::BitmapPixels>>* m_shownList = nullptr;
    // The renderer of RowWorkers' thread, with its own cache, for the bands that thread draws.
    std::unique_ptr<DisplayRenderer> m_bandHelper;
    int m_bandCount = 0;
    int m_lastBandCount = 1;
    // Set while this renderer draws one band of a stage; the frame ends when all bands are done.
    bool m_drawingBand = false;
    // Set while renderStageImage() draws.
    bool m_drawingImage = false;
    // After a stage could not be drawn in bands: at most this many bands, for so many frames more.
    int m_bandLimit = 2;
    int m_framesAtBandLimit = 0;
};

} // namespace player::render
