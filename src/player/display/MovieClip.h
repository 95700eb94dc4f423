#pragma once

#include "DisplayContainer.h"
#include "Drawing.h"

#include <QString>
#include <map>
#include <vector>
#include <memory>
#include <optional>

namespace player::display {

class BitmapPixels;
class TimelineServices;

// A timeline with a display list: a sprite instance, the root of a level, or a clip made by a
// script. Frames are counted from 1, as scripts count them.
class MovieClip : public DisplayContainer {
public:
    // A sprite instance (character is a swf::Sprite), or, with a null character, the root
    // timeline of the library's movie.
    MovieClip(TimelineServices& services, std::shared_ptr<const MovieLibrary> library,
              std::shared_ptr<const swf::Character> character, uint16_t characterId);
    // An empty clip of one frame (createEmptyMovieClip).
    static std::shared_ptr<MovieClip> createEmpty(TimelineServices& services,
                                                  std::shared_ptr<const MovieLibrary> library);
    ~MovieClip() override;

    // The timeline played (the sprite's or the movie's); null for an empty clip.
    const swf::Timeline* timeline() const { return m_timeline; }
    bool isLevelRoot() const { return m_isLevelRoot; }
    void setLevelRoot(int levelNumber);
    int levelNumber() const { return m_levelNumber; }

    int currentFrame() const { return m_currentFrame; }
    int totalFrames() const;
    // Movies arrive whole, so all frames are loaded; a clip whose load failed answers -1, and
    // one whose movie was unloaded 0.
    int framesLoaded() const;
    // The stand-in the clip shows in place of a movie, if any (see swf::StandIn).
    swf::StandIn standIn() const;
    // The label of the current frame or the nearest before it (_currentlabel), empty if none.
    QString currentLabel() const;
    // The frame (1-based) of a label; labels compare case-insensitively as in Flash.
    std::optional<int> frameOfLabel(const QString& label) const;

    bool isPlaying() const { return m_playing; }
    void play() { m_playing = true; }
    void stop() { m_playing = false; }

    // Goes to a frame (from 1), running the timeline to it as Flash does: a forward goto applies
    // the frames in between without their scripts; a backward goto rebuilds the list from frame
    // 1, keeping the objects that stay. The target frame's scripts are queued; a frame past the
    // last runs the timeline to the last frame, whose scripts then stay unrun. A goto to the
    // current frame does nothing (but still sets play/stop).
    void gotoFrame(int frame, bool stop);
    // The same with a label (or a number in text); false when there is no such label.
    bool gotoLabel(const QString& label, bool stop);
    void nextFrame();
    void prevFrame();

    // One tick of the timeline: advances a frame when playing (looping at the end). Children are
    // the frame lifecycle's business.
    void advanceFrame();
    // Runs the current frame's control tags and queues its scripts: for a new clip's first frame.
    void runFirstFrame();

    // Script-made children. Each puts the object at a depth, replacing what was there; a depth
    // outside the script range (isScriptDepth) makes nothing.
    // attachMovie: an exported clip or button by its linkage name; null when there is none.
    DisplayObject* attachMovie(const QString& exportName, const QString& instanceName, int depth);
    MovieClip* createEmptyMovieClip(const QString& instanceName, int depth);
    // attachBitmap: a script-made bitmap shown at a depth, replacing what was there.
    void attachBitmap(std::shared_ptr<const BitmapPixels> pixels, int depth);
    // duplicateMovieClip: a copy of this clip in its parent at a depth (same character, transform,
    // clip events and drawing; the timeline starts over). Null for a level root.
    MovieClip* duplicate(const QString& instanceName, int depth);
    // removeMovieClip: only script-depth objects (0 and above) can go, as in Flash.
    bool removeFromParent();
    // swapDepths with a depth in the same parent; a depth outside the script range does nothing.
    void swapDepths(int depth);

    // The loadMovie of another movie into this clip: its content is replaced by the new movie's
    // root timeline, keeping name, depth and transform.
    void replaceWithMovie(std::shared_ptr<const MovieLibrary> library);
    // unloadMovie, when its time comes: what the clip holds goes, with the unload events of the
    // clips inside and then of the clip itself, and the clip stays as an empty stand-in with the
    // address and version of the movie around it. Its variables and handlers stay.
    void unloadMovie();

    // Whoever asks for the drawing to change it changes what the clip shows.
    Drawing& drawing()
    {
        noteChange();
        return m_drawing;
    }
    const Drawing& drawing() const { return m_drawing; }

    // Button-like clips (those with press/release handlers) set by the script engine.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // _lockroot: scripts inside this clip find it as their _root (DisplayObject::scriptRoot).
    bool locksRoot() const { return m_locksRoot; }
    void setLocksRoot(bool locks) { m_locksRoot = locks; }

    swf::Rect localBounds() const override;
    swf::Rect scriptBounds() const override;

    TimelineServices& services() const { return *m_services; }

    // Marks a level root (and everything in it) unloaded when its level is replaced or emptied.
    void markUnloaded() { markRemoved(); }

private:
    // A frame's placements folded per depth, for gotos: what the timeline would show there.
    struct FoldedPlace {
        swf::PlaceObject place;
        int frame = 0; // the frame that placed the character
        int order = 0; // when the depth was first placed in the fold, for Flash's order of events
    };
    struct FoldedFrames {
        std::map<int, FoldedPlace> depths;
        int nextOrder = 0;
    };
    void foldFrame(int frame, FoldedFrames& folded, bool removeExisting);
    void applyFoldedPlace(int depth, const FoldedPlace& entry, bool rewinding);
    void queueFrameScripts(int frame);
    void runFrameTags(int frame, bool queueScripts);
    void applyPlace(const swf::PlaceObject& place, int frame);
    void applyRemove(const swf::RemoveObject& remove);
    // Runs the timeline to a frame, forwards or from frame 1, and queues the target frame's
    // scripts when the timeline has that frame.
    void runGoto(int frame);
    void removeObjectsGoneAt(const FoldedFrames& folded);
    void runPendingFirstFrames();
    // Takes every child away, with the unload events of each.
    void removeAllChildren();
    void applyPlaceFields(DisplayObject& object, const swf::PlaceObject& place, bool resetMissing);
    const swf::Frame* frameData(int frame) const;
    std::shared_ptr<DisplayObject> placeNewObject(const swf::PlaceObject& place, int frame, int depth);

    TimelineServices* m_services;
    const swf::Timeline* m_timeline = nullptr;
    bool m_isLevelRoot = false;
    int m_levelNumber = -1;
    int m_currentFrame = 0; // 0 until the first frame ran
    bool m_playing = true;
    bool m_enabled = true;
    bool m_locksRoot = false;
    Drawing m_drawing;
    // Clips placed during the current timeline pass, whose first frames run after it.
    std::vector<std::shared_ptr<MovieClip>> m_pendingFirstFrames;
};

} // namespace player::display
