#include "MovieClip.h"

#include "Bounds.h"
#include "GraphicInstances.h"
#include "ScriptHost.h"
#include "TimelineServices.h"

#include <algorithm>

namespace player::display {

namespace {

// Depths that removeMovieClip may act on: Flash refuses timeline depths and the reserved top.
constexpr int HighestRemovableDepth = 1048575;

// Timelines placed inside timelines stop this deep.
constexpr int MaximumNesting = 64;

// The deepest depth a PlaceObject can reach (its 16-bit depth, shifted like every timeline depth).
constexpr int HighestTimelineDepth = 0xFFFF + TimelineDepthOffset;

// Fields of a later placement at a depth laid over an earlier one, as a goto folds frames.
void mergePlace(swf::PlaceObject& into, const swf::PlaceObject& later)
{
    if (later.characterId)
        into.characterId = later.characterId;
    if (later.matrix)
        into.matrix = later.matrix;
    if (later.colorTransform)
        into.colorTransform = later.colorTransform;
    if (later.ratio)
        into.ratio = later.ratio;
    if (later.name)
        into.name = later.name;
    if (later.clipDepth)
        into.clipDepth = later.clipDepth;
    if (later.filters)
        into.filters = later.filters;
    if (later.blendMode)
        into.blendMode = later.blendMode;
    if (later.cacheAsBitmap)
        into.cacheAsBitmap = later.cacheAsBitmap;
    if (later.visible)
        into.visible = later.visible;
    if (later.backgroundColor)
        into.backgroundColor = later.backgroundColor;
    if (!later.clipActions.empty())
        into.clipActions = later.clipActions;
}

} // namespace

MovieClip::MovieClip(TimelineServices& services, std::shared_ptr<const MovieLibrary> library,
                     std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayContainer(DisplayKind::MovieClip, std::move(library), std::move(character), characterId),
      m_services(&services)
{
    if (const swf::Character* definition = this->character().get()) {
        if (const auto* sprite = std::get_if<swf::Sprite>(definition))
            m_timeline = &sprite->timeline;
    } else if (this->library()) {
        m_timeline = &this->library()->movie().timeline;
    }
}

std::shared_ptr<MovieClip> MovieClip::createEmpty(TimelineServices& services, std::shared_ptr<const MovieLibrary> library)
{
    auto clip = std::make_shared<MovieClip>(services, std::move(library), nullptr, 0);
    clip->m_timeline = nullptr;
    return clip;
}

MovieClip::~MovieClip() = default;

void MovieClip::setLevelRoot(int levelNumber)
{
    m_isLevelRoot = true;
    m_levelNumber = levelNumber;
    setDepth(levelNumber);
    // A level's root has no name of its own for scripts; its paths come from the level number.
    setName(QString());
}

swf::StandIn MovieClip::standIn() const
{
    return library() ? library()->standIn() : swf::StandIn::None;
}

int MovieClip::totalFrames() const
{
    if (standIn() != swf::StandIn::None)
        return 0;
    if (!m_timeline)
        return 1;
    return std::max<int>(1, m_timeline->declaredFrameCount);
}

int MovieClip::framesLoaded() const
{
    switch (standIn()) {
    case swf::StandIn::FailedLoad: return -1;
    case swf::StandIn::Unloaded: return 0;
    case swf::StandIn::None: break;
    }
    return totalFrames();
}

const swf::Frame* MovieClip::frameData(int frame) const
{
    if (!m_timeline || frame < 1 || frame > static_cast<int>(m_timeline->frames.size()))
        return nullptr;
    return &m_timeline->frames[frame - 1];
}

QString MovieClip::currentLabel() const
{
    for (int frame = m_currentFrame; frame >= 1; --frame) {
        const swf::Frame* data = frameData(frame);
        if (data && !data->labels.empty())
            return QString::fromStdString(data->labels.front().name);
    }
    return {};
}

std::optional<int> MovieClip::frameOfLabel(const QString& label) const
{
    if (!m_timeline)
        return std::nullopt;
    const int frameCount = static_cast<int>(m_timeline->frames.size());
    for (int frame = 1; frame <= frameCount; ++frame) {
        for (const swf::FrameLabel& candidate : m_timeline->frames[frame - 1].labels) {
            const QString name = swfVersion() >= 6 ? QString::fromStdString(candidate.name)
                                                   : QString::fromLatin1(candidate.name);
            if (name.compare(label, Qt::CaseInsensitive) == 0)
                return frame;
        }
    }
    return std::nullopt;
}

void MovieClip::gotoFrame(int frame, bool stop)
{
    m_playing = !stop;
    frame = std::max(frame, 1);
    if (frame == m_currentFrame)
        return; // A goto to the current frame does nothing.
    runGoto(frame);
}

bool MovieClip::gotoLabel(const QString& label, bool stop)
{
    if (std::optional<int> frame = frameOfLabel(label)) {
        gotoFrame(*frame, stop);
        return true;
    }
    bool isNumber = false;
    const int number = label.trimmed().toInt(&isNumber);
    if (isNumber) {
        gotoFrame(number, stop);
        return true;
    }
    return false;
}

void MovieClip::nextFrame()
{
    if (m_currentFrame < totalFrames())
        gotoFrame(m_currentFrame + 1, true);
    else
        m_playing = false;
}

void MovieClip::prevFrame()
{
    if (m_currentFrame > 1)
        gotoFrame(m_currentFrame - 1, true);
    else
        m_playing = false;
}

void MovieClip::advanceFrame()
{
    // A stand-in has no frame to go to: it stays at frame 0.
    if (!m_playing || isRemoved() || standIn() != swf::StandIn::None)
        return;
    // A timeline plays every frame it holds, even past the count its header declares. One whose
    // tags stopped without an End tag, or left a frame without its ShowFrame, is still loading:
    // it stays at its last frame rather than going round to frame 1. A movie's own timeline
    // arrives frame by frame and stops at its last whole one; a sprite comes whole, and plays
    // the unfinished frame too. A sprite goes round after the frames it holds, whatever count it
    // declares.
    const bool loading = m_timeline && !m_timeline->complete;
    const bool movieTimeline = m_timeline && library() && m_timeline == &library()->movie().timeline;
    const int held = m_timeline ? static_cast<int>(m_timeline->frames.size()) : 1;
    const int total = !m_timeline ? 1
        : loading      ? std::max(1, movieTimeline ? m_timeline->shownFrames : held)
        : movieTimeline ? std::max(totalFrames(), held)
                       : std::max(1, held);
    if (m_currentFrame < total) {
        ++m_currentFrame;
        runFrameTags(m_currentFrame, true);
    } else if (total > 1 && !loading) {
        // The end of the timeline loops to frame 1, which rebuilds the list like a goto.
        runGoto(1);
    }
    runPendingFirstFrames();
}

void MovieClip::runFirstFrame()
{
    if (m_currentFrame != 0)
        return;
    m_currentFrame = 1;
    runFrameTags(1, true);
    runPendingFirstFrames();
}

void MovieClip::runPendingFirstFrames()
{
    // A clip placed by a timeline, played or gone to, runs its first frame straight after its
    // PlaceObject, before the next object is placed.
    std::vector<std::shared_ptr<MovieClip>> pending;
    pending.swap(m_pendingFirstFrames);
    for (const std::shared_ptr<MovieClip>& clip : pending) {
        if (!clip->isRemoved())
            clip->runFirstFrame();
    }
}

void MovieClip::runFrameTags(int frame, bool queueScripts)
{
    const swf::Frame* data = frameData(frame);
    if (!data)
        return;
    // Holding the movie keeps the frame data alive even if a script replaces this clip's content.
    const std::shared_ptr<const MovieLibrary> keepLibrary = library();
    const bool importsHere = queueScripts && keepLibrary && m_timeline == &keepLibrary->movie().timeline
        && !keepLibrary->movie().imports.empty();
    for (const swf::ControlTag& tag : data->tags) {
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            applyPlace(*place, frame);
            // A clip placed as the timeline plays runs its first frame at once, so its frame
            // scripts wait ahead of the scripts that come later in this frame (Flash's order).
            runPendingFirstFrames();
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            applyRemove(*remove);
        } else if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            if (queueScripts)
                m_services->queueFrameActions(*this, action->actions);
        } else if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
            if (queueScripts)
                m_services->queueInitActions(*this, init->spriteId, init->actions);
        }
    }
    // The init actions a frame's imports bring run after the frame's own.
    if (importsHere)
        m_services->importsReached(*this, frame);
}

void MovieClip::queueFrameScripts(int frame)
{
    const swf::Frame* data = frameData(frame);
    if (!data)
        return;
    for (const swf::ControlTag& tag : data->tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag))
            m_services->queueFrameActions(*this, action->actions);
        else if (const auto* init = std::get_if<swf::DoInitAction>(&tag))
            m_services->queueInitActions(*this, init->spriteId, init->actions);
    }
}

void MovieClip::applyPlaceFields(DisplayObject& object, const swf::PlaceObject& place, bool resetMissing)
{
    // A script that moved the object owns its transform from then on.
    if (!object.isTransformedByScript()) {
        if (place.matrix)
            object.setMatrix(*place.matrix);
        else if (resetMissing)
            object.setMatrix({});
        if (place.colorTransform)
            object.setColorTransform(*place.colorTransform);
        else if (resetMissing)
            object.setColorTransform({});
    }
    if (place.ratio)
        object.setRatio(*place.ratio);
    else if (resetMissing)
        object.setRatio(0);
    if (place.clipDepth)
        object.setClipDepth(int(*place.clipDepth) + TimelineDepthOffset);
    if (place.filters)
        object.setFilters(*place.filters);
    if (place.blendMode)
        object.setBlendMode(*place.blendMode);
    if (place.cacheAsBitmap)
        object.setCacheAsBitmap(*place.cacheAsBitmap);
    if (place.visible)
        object.setVisible(*place.visible);
    if (place.backgroundColor)
        object.setOpaqueBackground(place.backgroundColor);
}

std::shared_ptr<DisplayObject> MovieClip::placeNewObject(const swf::PlaceObject& place, int frame, int depth)
{
    // A sprite that places itself, directly or through others, would nest for ever.
    int nesting = 0;
    for (const DisplayObject* up = this; up && nesting <= MaximumNesting; up = up->parent())
        ++nesting;
    if (nesting > MaximumNesting)
        return nullptr;
    std::shared_ptr<DisplayObject> object = m_services->instantiate(library(), *place.characterId);
    if (!object)
        return nullptr;
    object->setPlacedByTimeline(true);
    object->setPlaceFrame(frame);
    applyPlaceFields(*object, place, false);
    // Only a new placement names an object: a move at its depth, even one that changes its
    // character, leaves the name it has. Clips, buttons and text fields placed without a name
    // get "instanceN"; shapes and static text stay nameless, as in Flash.
    if (place.name) {
        const std::string& raw = *place.name;
        object->setName(swfVersion() >= 6 ? QString::fromStdString(raw) : QString::fromLatin1(raw));
    }
    const DisplayKind kind = object->kind();
    if (!place.name && (kind == DisplayKind::MovieClip || kind == DisplayKind::Button || kind == DisplayKind::EditText))
        object->setName(m_services->nextInstanceName());
    object->setClipActions(place.clipActions);
    if (std::shared_ptr<DisplayObject> previous = removeChild(depth))
        m_services->objectRemoved(*previous);
    insertChild(depth, object);
    m_services->objectPlaced(*object);
    if (object->isMovieClip()) {
        auto clip = std::static_pointer_cast<MovieClip>(object);
        m_services->queueConstruction(*clip);
        m_pendingFirstFrames.push_back(std::move(clip));
    }
    return object;
}

void MovieClip::applyPlace(const swf::PlaceObject& place, int frame)
{
    const int depth = int(place.depth) + TimelineDepthOffset;
    DisplayObject* existing = childAtDepth(depth);
    if (!place.isMove) {
        // A new placement never replaces: the depth must be free.
        if (existing)
            m_services->placementFailed(int(place.depth));
        else if (place.characterId)
            placeNewObject(place, frame, depth);
        return;
    }
    if (!existing) {
        // A move at an empty depth places the character if it names one; otherwise nothing.
        if (place.characterId)
            placeNewObject(place, frame, depth);
        return;
    }
    if (place.characterId && *place.characterId != existing->characterId() && !existing->isMovieClip()) {
        // Replacing the character of a shape or text keeps the instance's place and properties.
        std::shared_ptr<DisplayObject> replacement = m_services->instantiate(library(), *place.characterId);
        if (replacement && !replacement->isMovieClip()) {
            replacement->setPlacedByTimeline(true);
            replacement->setPlaceFrame(existing->placeFrame());
            replacement->setMatrix(existing->matrix());
            replacement->setColorTransform(existing->colorTransform());
            replacement->setRatio(existing->ratio());
            replacement->setName(existing->name());
            replacement->setClipDepth(existing->clipDepth());
            replacement->setVisible(existing->isVisible());
            if (std::shared_ptr<DisplayObject> previous = removeChild(depth))
                m_services->objectRemoved(*previous);
            insertChild(depth, replacement);
            m_services->objectPlaced(*replacement);
            existing = replacement.get();
        }
    }
    applyPlaceFields(*existing, place, false);
}

void MovieClip::applyRemove(const swf::RemoveObject& remove)
{
    const int depth = int(remove.depth) + TimelineDepthOffset;
    DisplayObject* existing = childAtDepth(depth);
    if (!existing)
        return;
    if (remove.characterId && *remove.characterId != existing->characterId())
        return;
    m_services->removeObject(*this, depth);
}

void MovieClip::foldFrame(int frame, FoldedFrames& folded, bool removeExisting)
{
    const swf::Frame* data = frameData(frame);
    if (!data)
        return;
    for (const swf::ControlTag& tag : data->tags) {
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            const int depth = int(place->depth) + TimelineDepthOffset;
            auto found = folded.depths.find(depth);
            if (found == folded.depths.end()) {
                folded.depths[depth] = {*place, frame, folded.nextOrder++};
            } else if (!place->isMove && place->characterId) {
                // A new character at a depth the fold holds keeps the depth's place in the order.
                found->second.place = *place;
                found->second.frame = frame;
            } else {
                mergePlace(found->second.place, *place);
                if (place->characterId && *place->characterId != found->second.place.characterId)
                    found->second.frame = frame;
            }
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            const int depth = int(remove->depth) + TimelineDepthOffset;
            folded.depths.erase(depth);
            if (removeExisting)
                applyRemove(*remove);
        }
    }
}

void MovieClip::applyFoldedPlace(int depth, const FoldedPlace& entry, bool rewinding)
{
    const swf::PlaceObject& place = entry.place;
    DisplayObject* existing = childAtDepth(depth);
    if (rewinding && existing) {
        // The object outlived the rewind (removeObjectsGoneAt judged it): it keeps its name and
        // character, and only goes back to where the frames put it, unless a script moved it.
        if (!existing->isTransformedByScript()) {
            existing->setMatrix(place.matrix.value_or(swf::Matrix{}));
            existing->setColorTransform(place.colorTransform.value_or(swf::ColorTransform{}));
        }
        return;
    }
    if (place.isMove && existing && (!place.characterId || existing->isMovieClip())) {
        applyPlaceFields(*existing, place, false);
        return;
    }
    if (!place.isMove && existing) {
        m_services->placementFailed(int(place.depth));
        return;
    }
    if (place.characterId)
        placeNewObject(place, entry.frame, depth);
}

void MovieClip::removeObjectsGoneAt(const FoldedFrames& folded)
{
    // A rewind compares what is shown with what the frames up to the target would show, depth by
    // depth, over the depths a timeline can use. A depth the frames leave empty loses what is
    // there if it is below 0 (timeline objects, and script objects swapped down there); objects
    // at 0 and above stay. At a depth the frames fill, an object scripts can see survives when
    // the timeline made it (wherever a swap has taken it since) and its ratio matches the
    // placement's: Flash does not compare characters, so a swapped clip stands in for the one the
    // frames place there. Shapes and static text stay only as the same character.
    std::vector<int> doomed;
    for (const auto& [depth, child] : children()) {
        if (depth > HighestTimelineDepth)
            break;
        // Objects already removed and waiting for their unload are no longer the timeline's.
        if (child->isAwaitingRemoval())
            continue;
        auto found = folded.depths.find(depth);
        if (found == folded.depths.end()) {
            if (depth < 0)
                doomed.push_back(depth);
            continue;
        }
        const swf::PlaceObject& place = found->second.place;
        const bool sameRatio = child->ratio() == place.ratio.value_or(0);
        const bool scriptVisible = child->kind() == DisplayKind::MovieClip || child->kind() == DisplayKind::Button
            || child->kind() == DisplayKind::EditText;
        const bool keep = scriptVisible
            ? child->isPlacedByTimeline() && sameRatio
            : child->isPlacedByTimeline() && sameRatio && place.characterId && *place.characterId == child->characterId();
        if (!keep)
            doomed.push_back(depth);
    }
    for (int depth : doomed)
        m_services->removeObject(*this, depth);
}

void MovieClip::runGoto(int frame)
{
    // A goto past the end runs the timeline to its last frame, but that frame's scripts stay
    // unrun: the frame asked for is not there.
    const int target = std::min(frame, totalFrames());
    const bool rewinding = frame <= m_currentFrame;
    FoldedFrames folded;
    for (int step = rewinding ? 1 : m_currentFrame + 1; step <= target; ++step)
        foldFrame(step, folded, !rewinding);
    if (rewinding)
        removeObjectsGoneAt(folded);
    m_currentFrame = target;

    // Events come in the order the timeline would have made them playing: objects placed on
    // earlier frames first, in the order their tags came, each clip running its first frame as
    // it is placed; then the target frame's own scripts; then what the target frame places.
    std::vector<std::pair<int, const FoldedPlace*>> ordered;
    ordered.reserve(folded.depths.size());
    for (const auto& [depth, entry] : folded.depths)
        ordered.emplace_back(depth, &entry);
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.second->order < b.second->order; });
    for (const auto& [depth, entry] : ordered) {
        if (entry->frame < frame) {
            applyFoldedPlace(depth, *entry, rewinding);
            runPendingFirstFrames();
        }
    }
    if (target == frame)
        queueFrameScripts(target);
    for (const auto& [depth, entry] : ordered) {
        if (entry->frame >= frame) {
            applyFoldedPlace(depth, *entry, rewinding);
            runPendingFirstFrames();
        }
    }
}

DisplayObject* MovieClip::attachMovie(const QString& exportName, const QString& instanceName, int depth)
{
    if (!isScriptDepth(depth))
        return nullptr;
    const std::optional<uint16_t> id = library() ? library()->exportedId(exportName.toStdString()) : std::nullopt;
    if (!id)
        return nullptr;
    std::shared_ptr<DisplayObject> object = m_services->instantiate(library(), *id);
    // Exported buttons attach as well as clips; nothing else does.
    if (!object || (!object->isMovieClip() && object->kind() != DisplayKind::Button))
        return nullptr;
    object->setName(instanceName);
    if (std::shared_ptr<DisplayObject> previous = removeChild(depth))
        m_services->objectRemoved(*previous);
    insertChild(depth, object);
    m_services->objectPlaced(*object);
    if (MovieClip* clip = object->asMovieClip())
        clip->runFirstFrame();
    return object.get();
}

MovieClip* MovieClip::createEmptyMovieClip(const QString& instanceName, int depth)
{
    std::shared_ptr<MovieClip> clip = createEmpty(*m_services, library());
    clip->setName(instanceName);
    if (std::shared_ptr<DisplayObject> previous = removeChild(depth))
        m_services->objectRemoved(*previous);
    insertChild(depth, clip);
    m_services->objectPlaced(*clip);
    // Its one frame comes with the next frame of the movie: until then it is at frame 0.
    return clip.get();
}

void MovieClip::attachBitmap(std::shared_ptr<const BitmapPixels> pixels, int depth)
{
    if (!pixels)
        return;
    auto bitmap = std::make_shared<BitmapInstance>(library(), std::move(pixels));
    if (std::shared_ptr<DisplayObject> previous = removeChild(depth))
        m_services->objectRemoved(*previous);
    insertChild(depth, bitmap);
    m_services->objectPlaced(*bitmap);
}

MovieClip* MovieClip::duplicate(const QString& instanceName, int depth)
{
    MovieClip* parent = parentClip();
    if (!parent || m_isLevelRoot || isRemoved() || !isScriptDepth(depth))
        return nullptr;
    std::shared_ptr<MovieClip> copy = m_timeline && character()
        ? std::make_shared<MovieClip>(*m_services, library(), character(), characterId())
        : createEmpty(*m_services, library());
    copy->setName(instanceName);
    copy->setMatrix(matrix());
    copy->setColorTransform(colorTransform());
    copy->setClipActions(clipActions());
    copy->setVisible(isVisible());
    copy->setBlendMode(blendMode());
    copy->setFilters(filters());
    copy->setTransformedByScript(isTransformedByScript());
    copy->m_drawing = m_drawing;
    if (std::shared_ptr<DisplayObject> previous = parent->removeChild(depth))
        m_services->objectRemoved(*previous);
    parent->insertChild(depth, copy);
    m_services->objectPlaced(*copy);
    // The copy takes the original's clip events, its initialize and construct blocks included,
    // and runs them as a clip the timeline places would.
    m_services->queueConstruction(*copy);
    if (copy->m_timeline)
        copy->runFirstFrame();
    else
        copy->m_currentFrame = 1;
    return copy.get();
}

bool MovieClip::removeFromParent()
{
    DisplayContainer* container = parent();
    if (!container || m_isLevelRoot || isRemoved())
        return false;
    if (depth() < 0 || depth() > HighestRemovableDepth)
        return false;
    m_services->removeObject(*container, depth());
    return true;
}

void MovieClip::swapDepths(int targetDepth)
{
    DisplayContainer* container = parent();
    if (!container || m_isLevelRoot || isRemoved() || targetDepth == depth() || !isScriptDepth(targetDepth))
        return;
    // Once moved by a script, neither object follows the timeline's moves any more; both still
    // count as the timeline's own when a rewind matches clips to its placements.
    if (DisplayObject* other = container->childAtDepth(targetDepth))
        other->setTransformedByScript(true);
    setTransformedByScript(true);
    container->swapChildren(depth(), targetDepth);
}

void MovieClip::replaceWithMovie(std::shared_ptr<const MovieLibrary> movieLibrary)
{
    if (!movieLibrary)
        return;
    removeAllChildren();
    resetContent(std::move(movieLibrary), nullptr, 0);
    if (ScriptHost* host = m_services->scriptHost())
        host->contentReplaced(*this);
    m_currentFrame = 0;
    m_playing = true;
    m_drawing.clear();
    setClipActions({});
    // A stand-in has no timeline: the clip shows no frame.
    m_timeline = standIn() == swf::StandIn::None ? &library()->movie().timeline : nullptr;
    if (m_timeline)
        runFirstFrame();
}

void MovieClip::unloadMovie()
{
    if (isRemoved() || standIn() == swf::StandIn::Unloaded)
        return;
    removeAllChildren();
    // With its children gone, a removal's unload events come for the clip alone.
    m_services->objectRemoved(*this);
    const DisplayObject* around = parent();
    const DisplayObject* source = around && around->library() ? around : this;
    resetContent(MovieLibrary::standIn(swf::StandIn::Unloaded, source->library() ? source->library()->url() : QString(),
                                       source->swfVersion()),
                 nullptr, 0);
    m_timeline = nullptr;
    m_currentFrame = 0;
    m_drawing.clear();
}

void MovieClip::removeAllChildren()
{
    std::vector<int> depths;
    for (const auto& [depth, child] : children())
        depths.push_back(depth);
    for (int depth : depths) {
        if (std::shared_ptr<DisplayObject> removed = removeChild(depth))
            m_services->objectRemoved(*removed);
    }
}

swf::Rect MovieClip::localBounds() const
{
    return unitedRect(DisplayContainer::localBounds(), m_drawing.bounds());
}

swf::Rect MovieClip::scriptBounds() const
{
    return unitedRect(DisplayContainer::scriptBounds(), m_drawing.bounds());
}

} // namespace player::display
