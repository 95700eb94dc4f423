#pragma once

#include "DisplayKind.h"
#include "MovieLibrary.h"
#include "player/swf/Movie.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace player::display {

class ChangeCounter;
class DisplayContainer;
class DisplayObject;
class MovieClip;

// Whatever the script engine hangs on a display object (its script object). The engine derives
// from this; the display object owns it and drops it when the object is destroyed.
class ScriptBinding {
public:
    virtual ~ScriptBinding() = default;
    // The object is leaving the stage, still linked to its parent and with its name.
    virtual void leavingStage(const DisplayObject& object) { (void)object; }
};

// One instance on a display list. Objects are shared: the display list holds them, and scripts,
// queued actions and replaced levels keep them alive while they are in use, so a clip removed
// during a script is never freed under it. A removed object is marked (isRemoved) and stays
// readable.
class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    DisplayObject(DisplayKind kind, std::shared_ptr<const MovieLibrary> library,
                  std::shared_ptr<const swf::Character> character, uint16_t characterId);
    virtual ~DisplayObject();

    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    DisplayKind kind() const { return m_kind; }
    bool isMovieClip() const { return m_kind == DisplayKind::MovieClip; }
    MovieClip* asMovieClip();
    const MovieClip* asMovieClip() const;
    // Clips and buttons hold children; null for the other kinds.
    virtual DisplayContainer* asContainer() { return nullptr; }
    virtual const DisplayContainer* asContainer() const { return nullptr; }

    // The character this instance shows (null for script-created empty clips and level roots,
    // whose timeline comes from the movie itself).
    const std::shared_ptr<const swf::Character>& character() const { return m_character; }
    uint16_t characterId() const { return m_characterId; }
    // The movie this object belongs to: resolves character and bitmap ids.
    const std::shared_ptr<const MovieLibrary>& library() const { return m_library; }
    uint8_t swfVersion() const { return m_library ? m_library->swfVersion() : 8; }

    // Place in the tree.
    DisplayContainer* parent() const { return m_parent; }
    MovieClip* parentClip() const;
    int depth() const { return m_depth; }
    // The level number of the tree this object is in, or -1 when it is off the stage.
    int level() const;
    // The root timeline of this object's level (_root), or null when off the stage.
    MovieClip* root();
    // What scripts call _root from this object: the nearest clip, this one included, that locks
    // its root (_lockroot) when that clip or the level is a SWF 7 movie or later, else root().
    MovieClip* scriptRoot();
    // The "_level0.a.b" path of this object (Flash's _target is the slash form of it).
    QString dotPath() const;
    QString slashPath() const;

    // Transform as placed or as set by a script; translation in twips.
    const swf::Matrix& matrix() const { return m_matrix; }
    void setMatrix(const swf::Matrix& matrix);
    const swf::ColorTransform& colorTransform() const { return m_colorTransform; }
    void setColorTransform(const swf::ColorTransform& transform) { assignShown(m_colorTransform, transform); }

    // Morph shapes draw at this ratio; clips keep the ratio they were placed with.
    uint16_t ratio() const { return m_ratio; }
    void setRatio(uint16_t ratio) { assignShown(m_ratio, ratio); }

    // A mask: this object clips its siblings above it up to this depth (timeline depth numbers
    // translated like depth()). Nothing when it is not a mask.
    std::optional<int> clipDepth() const { return m_clipDepth; }
    void setClipDepth(std::optional<int> depth) { assignShown(m_clipDepth, depth); }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { assignShown(m_visible, visible); }
    swf::BlendMode blendMode() const { return m_blendMode; }
    void setBlendMode(swf::BlendMode mode) { assignShown(m_blendMode, mode); }
    const std::vector<swf::Filter>& filters() const { return m_filters; }
    void setFilters(std::vector<swf::Filter> filters) { assignShown(m_filters, std::move(filters)); }
    bool cacheAsBitmap() const { return m_cacheAsBitmap; }
    void setCacheAsBitmap(bool cache) { assignShown(m_cacheAsBitmap, cache); }
    // PlaceObject3's opaque background, drawn behind a cached bitmap.
    std::optional<swf::Rgba> opaqueBackground() const { return m_opaqueBackground; }
    void setOpaqueBackground(std::optional<swf::Rgba> colour) { assignShown(m_opaqueBackground, colour); }
    // scrollRect: the part of the content shown, in the object's own twips. The content moves
    // by (-xMin, -yMin) and is cut to the rectangle's size; nothing when all of it shows.
    const std::optional<swf::Rect>& scrollRect() const { return m_scrollRect; }
    void setScrollRect(std::optional<swf::Rect> rect) { assignShown(m_scrollRect, rect); }
    // The nine-slice grid in the object's own twips: the one a script set (scale9Grid), else the
    // character's DefineScalingGrid. A script setting nothing removes the grid.
    std::optional<swf::Rect> scaleGrid() const;
    void setScaleGrid(std::optional<swf::Rect> grid);

    // Script-set mask (MovieClip.setMask): the object that masks this one, kept weakly.
    std::shared_ptr<DisplayObject> scriptMask() const { return m_scriptMask.lock(); }
    void setScriptMask(const std::shared_ptr<DisplayObject>& mask);

    // Instance name, raw as placed or set (compared per the movie's version by the caller).
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // Bounds of the content in the object's own coordinates (twips), children included for
    // containers; an empty rectangle (all zero) when there is nothing.
    virtual swf::Rect localBounds() const;
    // Bounds in the parent's coordinates: localBounds through matrix().
    swf::Rect boundsInParent() const;
    // The bounds scripts see (getBounds, _width, hitTest against another clip). They differ from
    // the drawn ones only for a morph shape, which scripts always see at its start shape
    // however far the tween has gone.
    virtual swf::Rect scriptBounds() const;
    swf::Rect scriptBoundsInParent() const;

    // Script properties in Flash's units: _x/_y in pixels, scales in percent, rotation in
    // degrees, alpha in percent. Scale and rotation are remembered as set, as Flash does, so that
    // reading back what a script wrote gives the same value (the matrix alone would round).
    double x() const { return m_matrix.tx / 20.0; }
    double y() const { return m_matrix.ty / 20.0; }
    void setX(double pixels);
    void setY(double pixels);
    double xScale() const;
    double yScale() const;
    double rotation() const;
    void setXScale(double percent);
    void setYScale(double percent);
    void setRotation(double degrees);
    double alpha() const { return m_colorTransform.alphaMult / 2.56; }
    void setAlpha(double percent);
    double width() const;  // pixels, bounds in the parent's space
    double height() const;
    void setWidth(double pixels);
    void setHeight(double pixels);

    // Set when a script changed the transform: the timeline then stops moving the object, as in
    // Flash.
    bool isTransformedByScript() const { return m_transformedByScript; }
    void setTransformedByScript(bool value) { m_transformedByScript = value; }

    // Created by a timeline's PlaceObject (as opposed to attachMovie, duplicateMovieClip,
    // createEmptyMovieClip or a loaded movie); only these are touched by timeline gotos.
    bool isPlacedByTimeline() const { return m_placedByTimeline; }
    void setPlacedByTimeline(bool value) { m_placedByTimeline = value; }
    // The frame (1-based) of the parent's timeline whose PlaceObject created this object.
    int placeFrame() const { return m_placeFrame; }
    void setPlaceFrame(int frame) { m_placeFrame = frame; }

    // Clip events from PlaceObject2/3 (onClipEvent blocks).
    const std::vector<swf::ClipAction>& clipActions() const { return m_clipActions; }
    void setClipActions(std::vector<swf::ClipAction> actions) { m_clipActions = std::move(actions); }
    uint32_t clipEventMask() const;

    // Removed from its display list (unloaded). Scripts that still hold it see this.
    bool isRemoved() const { return m_removed; }
    // Taken off its depth but kept on the list, below every depth in use, until its unload
    // handlers have run (see DisplayContainer::setAsideChild). Scripts still see it there; its
    // own scripts other than the unload handlers no longer run.
    bool isAwaitingRemoval() const { return m_awaitingRemoval; }

    ScriptBinding* scriptBinding() const { return m_scriptBinding.get(); }
    void setScriptBinding(std::unique_ptr<ScriptBinding> binding) { m_scriptBinding = std::move(binding); }

    std::shared_ptr<DisplayObject> sharedFromThis() { return shared_from_this(); }

    // Counts a change to what this object shows on the change counter of the stage it is on
    // (nothing happens off the stage: putting an object on it counts by itself). Every setter of
    // a shown property calls this; code that changes what an object shows by other means must
    // call it too.
    void noteChange() const;
    // The counter of a level root, given by the stage that holds it.
    void setChangeCounter(std::shared_ptr<ChangeCounter> counter) { m_changeCounter = std::move(counter); }

protected:
    friend class DisplayContainer;
    void setParent(DisplayContainer* parent) { m_parent = parent; }
    void setDepth(int depth) { m_depth = depth; }
    virtual void markRemoved();
    // Loading another movie into a clip gives it that movie's library and root timeline.
    void resetContent(std::shared_ptr<const MovieLibrary> library, std::shared_ptr<const swf::Character> character,
                      uint16_t characterId);

    // Sets a shown property, counting a change when its value differs.
    template <typename Value, typename NewValue>
    void assignShown(Value& property, NewValue&& value)
    {
        if (property == value)
            return;
        property = std::forward<NewValue>(value);
        noteChange();
    }

private:
    void refreshScaleAndRotation() const;
    void applyScaleAndRotation();
    // _width or _height set to pixels on the side of length along (the other side across, both
    // unscaled), with the scales along and across that side.
    void setSizeOfTurned(double along, double across, double pixels, double& alongScale, double& acrossScale);

    DisplayKind m_kind;
    std::shared_ptr<const MovieLibrary> m_library;
    std::shared_ptr<const swf::Character> m_character;
    uint16_t m_characterId = 0;
    DisplayContainer* m_parent = nullptr;
    int m_depth = 0;
    swf::Matrix m_matrix;
    swf::ColorTransform m_colorTransform;
    uint16_t m_ratio = 0;
    std::optional<int> m_clipDepth;
    bool m_visible = true;
    swf::BlendMode m_blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> m_filters;
    bool m_cacheAsBitmap = false;
    std::optional<swf::Rgba> m_opaqueBackground;
    std::optional<swf::Rect> m_scrollRect;
    bool m_scaleGridSetByScript = false;
    std::optional<swf::Rect> m_scriptScaleGrid;
    std::weak_ptr<DisplayObject> m_scriptMask;
    QString m_name;
    bool m_transformedByScript = false;
    bool m_placedByTimeline = false;
    int m_placeFrame = 0;
    std::vector<swf::ClipAction> m_clipActions;
    bool m_removed = false;
    bool m_awaitingRemoval = false;
    std::unique_ptr<ScriptBinding> m_scriptBinding;
    std::shared_ptr<ChangeCounter> m_changeCounter;

    // Remembered scale (as fractions) and rotation (radians), valid while m_scaleCacheValid.
    mutable bool m_scaleCacheValid = false;
    mutable double m_xScale = 1.0;
    mutable double m_yScale = 1.0;
    mutable double m_rotation = 0.0;
    mutable double m_skew = 0.0;
};

} // namespace player::display
