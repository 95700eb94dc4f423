#include "RecordingHost.h"

#include "player/Player.h"

#include <QTest>

using namespace player;
using namespace swf_test;

namespace {

struct EventBlock {
    uint32_t events;
    uint8_t marker;
};

// PlaceObject2 of a named character with onClipEvent blocks (SWF 6 and later layout).
Bytes placeWithEvents(uint16_t depth, uint16_t id, const std::string& name, const std::vector<EventBlock>& blocks)
{
    BitWriter w;
    w.u8(0x80 | 0x20 | 0x02); // clip actions, name, character
    w.u16(depth);
    w.u16(id);
    w.string(name);
    w.u16(0);
    uint32_t all = 0;
    for (const EventBlock& block : blocks)
        all |= block.events;
    w.u32(all);
    for (const EventBlock& block : blocks) {
        w.u32(block.events);
        w.u32(1);
        w.u8(block.marker);
    }
    w.u32(0);
    return tag(26, w.take());
}

} // namespace

class EventOrderTest : public QObject {
    Q_OBJECT

private slots:
    // A clip a frame places runs its initialize blocks, then its construct blocks, ahead of the
    // frame's scripts, even those before the PlaceObject; its load event and first frame come
    // where it was placed, between the parent's scripts.
    void placedClipConstructsBeforeFrameScripts()
    {
        namespace event = swf::clip_event;
        const Bytes bytes = movie({defineSprite(2, 1, {doAction({20}), showFrame()}), doAction({1}),
                                   placeWithEvents(1, 2, "a",
                                                   {{event::Load, 12}, {event::Construct, 11}, {event::Initialize, 10}}),
                                   doAction({2}), showFrame()},
                                  1);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        QCOMPARE(host->log, (std::vector<QString>{"_level0.a:10", "_level0.a:11", "_level0:1", "_level0.a:12",
                                                  "_level0.a:20", "_level0:2"}));
    }

    // A duplicate carries the original's clip events and runs its initialize and construct
    // blocks before its load event, as a clip the timeline places does.
    void duplicateRunsItsConstructBlocks()
    {
        namespace event = swf::clip_event;
        const Bytes bytes = movie({defineSprite(2, 1, {showFrame()}),
                                   placeWithEvents(1, 2, "a",
                                                   {{event::Load, 12}, {event::Construct, 11}, {event::Initialize, 10}}),
                                   showFrame()},
                                  1);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        host->log.clear();
        QVERIFY(root->childByName(QStringLiteral("a"), true)->asMovieClip()->duplicate(QStringLiteral("b"), 5));
        engine.runQueuedActions();
        QCOMPARE(host->log, (std::vector<QString>{"_level0.b:10", "_level0.b:11", "_level0.b:12"}));
    }

    // The clips of a button's state are named after the button and start their timelines when
    // the button is placed, as the clips a frame places do.
    void buttonStateClipsRunTheirTimelines()
    {
        const Bytes bytes = movie({defineSprite(2, 1, {doAction({20}), showFrame()}), defineButton(3, 2),
                                   placeObject2(Place(1).character(3)), doAction({1}), showFrame()},
                                  1);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        QCOMPARE(host->log, (std::vector<QString>{"_level0.instance1.instance2:20", "_level0:1"}));
    }

    // enterFrame goes to clips newest first, whatever their depth; a clip placed during the
    // tick gets its first enterFrame on the next one.
    void enterFrameGoesNewestFirst()
    {
        namespace event = swf::clip_event;
        const Bytes bytes = movie({defineSprite(2, 1, {showFrame()}),
                                   placeWithEvents(2, 2, "older", {{event::EnterFrame, 30}}), showFrame(),
                                   placeWithEvents(1, 2, "newer", {{event::EnterFrame, 31}}), showFrame(),
                                   showFrame()},
                                  3);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        host->log.clear();
        engine.advanceFrame();
        QCOMPARE(host->log, (std::vector<QString>{"_level0.older:30"}));
        host->log.clear();
        engine.advanceFrame();
        QCOMPARE(host->log, (std::vector<QString>{"_level0.newer:31", "_level0.older:30"}));
        // The loop back to frame 1 removes the newer clip in the walk, after its enterFrame was
        // queued: a removed clip's queued script does not run.
        host->log.clear();
        engine.advanceFrame();
        QCOMPARE(host->log, (std::vector<QString>{"_level0.older:30"}));
    }

    // Removing a clip unloads the clips inside it first, in depth order and each after its own
    // clips, and the removed clip last.
    void unloadGoesInsideOut()
    {
        namespace event = swf::clip_event;
        const Bytes bytes = movie({defineSprite(2, 1, {showFrame()}),
                                   defineSprite(4, 1, {placeWithEvents(1, 2, "innermost", {{event::Unload, 39}}),
                                                       showFrame()}),
                                   defineSprite(3, 1, {placeWithEvents(2, 2, "late", {{event::Unload, 41}}),
                                                       placeWithEvents(1, 4, "early", {{event::Unload, 40}}),
                                                       showFrame()}),
                                   placeWithEvents(1, 3, "outer", {{event::Unload, 42}}), showFrame(),
                                   removeObject2(1), showFrame()},
                                  2);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        host->log.clear();
        engine.advanceFrame();
        std::vector<QString> markers;
        for (const QString& entry : host->log)
            markers.push_back(entry.section(QLatin1Char(':'), -1));
        QCOMPARE(markers, (std::vector<QString>{"39", "40", "41", "42"}));
    }

    // A sprite that places itself nests only so deep, and the movie plays on.
    void selfPlacingSpriteStops()
    {
        const Bytes bytes = movie({defineSprite(2, 1, {placeObject2(Place(1).character(2)), showFrame()}),
                                   placeObject2(Place(1).character(2)), showFrame()},
                                  1);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        int levels = 0;
        for (display::DisplayObject* clip = engine.stage().level(0); clip;
             clip = clip->asContainer()->childAtDepth(1 + display::TimelineDepthOffset))
            ++levels;
        QVERIFY(levels > 8);
        QVERIFY(levels <= 66);
        engine.advanceFrame();
    }

    // A goto keeps the order the timeline would have made playing: clips placed on the frames
    // before the target first, in the order of their tags (not of their depths), then the target
    // frame's scripts, then the clips the target frame places.
    void gotoRunsEarlierClipsBeforeTargetScripts()
    {
        const Bytes bytes = movie({defineSprite(2, 1, {doAction({20}), showFrame()}),
                                   defineSprite(3, 1, {doAction({21}), showFrame()}),
                                   defineSprite(4, 1, {doAction({22}), showFrame()}), doAction({1}), showFrame(),
                                   placeObject2(Place(3).character(2).named("early")), showFrame(),
                                   placeObject2(Place(1).character(3).named("later")), showFrame(),
                                   placeObject2(Place(2).character(4).named("target")), doAction({4}), showFrame()},
                                  4);
        Player engine;
        auto* host = new RecordingHost;
        host->onMarker = [&engine](uint8_t marker) {
            if (marker == 1)
                engine.stage().level(0)->gotoFrame(4, true);
        };
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        QCOMPARE(host->log, (std::vector<QString>{"_level0:1", "_level0.early:20", "_level0.later:21", "_level0:4",
                                                  "_level0.target:22"}));
    }

    // A goto past the last frame runs the timeline to the last frame and places what it holds,
    // but that frame's scripts do not run: the frame asked for is not there.
    void gotoPastTheEndSkipsLastFrameScripts()
    {
        const Bytes bytes = movie({defineSprite(2, 1, {doAction({20}), showFrame()}), doAction({1}), showFrame(),
                                   showFrame(), placeObject2(Place(1).character(2).named("last")), doAction({3}),
                                   showFrame()},
                                  3);
        Player engine;
        auto* host = new RecordingHost;
        host->onMarker = [&engine](uint8_t marker) {
            if (marker == 1)
                engine.stage().level(0)->gotoFrame(999, true);
        };
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        QCOMPARE(host->log, (std::vector<QString>{"_level0:1", "_level0.last:20"}));
        QCOMPARE(engine.stage().level(0)->currentFrame(), 3);
        // Going there again from the last frame does nothing.
        host->log.clear();
        engine.stage().level(0)->gotoFrame(999, true);
        engine.runQueuedActions();
        QVERIFY(host->log.empty());
    }

    // A clip a goto places runs its first frame as it is placed, so the clips inside it take
    // their default names before the next clip of the goto takes one.
    void gotoNamesClipsInsideFirst()
    {
        const Bytes bytes = movie({defineSprite(2, 1, {doAction({20}), showFrame()}),
                                   defineSprite(3, 1, {placeObject2(Place(1).character(2)), showFrame()}),
                                   doAction({1}), showFrame(), placeObject2(Place(1).character(3)),
                                   placeObject2(Place(2).character(2)), showFrame()},
                                  2);
        Player engine;
        auto* host = new RecordingHost;
        host->onMarker = [&engine](uint8_t marker) {
            if (marker == 1)
                engine.stage().level(0)->gotoFrame(2, true);
        };
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        QCOMPARE(host->log, (std::vector<QString>{"_level0:1", "_level0.instance1.instance2:20",
                                                  "_level0.instance3:20"}));
    }
};

QTEST_GUILESS_MAIN(EventOrderTest)
#include "tst_event_order.moc"
