#include "RecordingHost.h"

#include "player/Player.h"
#include "player/display/GraphicInstances.h"

#include <QTest>

#include <functional>

using namespace player;
using namespace swf_test;

namespace {

// Frame scripts are single marker bytes here; the recording host notes which ran, where.
Bytes marker(uint8_t value)
{
    return doAction({value});
}


int32_t xOf(const display::DisplayObject* object)
{
    return static_cast<int32_t>(object->matrix().tx);
}

} // namespace

class DisplayListTest : public QObject {
    Q_OBJECT

private slots:
    // One timeline that places, moves, replaces and removes at depth 1, checked frame by frame.
    void placeMoveReplaceRemove()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 100, 100, 0xFF0000FF),
                                   defineRectangle(2, 0, 0, 300, 50, 0x00FF00FF),
                                   placeObject2(Place(1).character(1).at(20, 0).named("a")), showFrame(),
                                   placeObject2(Place(1).moving().at(40, 0)), showFrame(),
                                   placeObject2(Place(1).moving().character(2)), showFrame(),
                                   removeObject2(1), showFrame()},
                                  4);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        const int depth = 1 + display::TimelineDepthOffset;

        display::DisplayObject* first = root->childAtDepth(depth);
        QVERIFY(first);
        QCOMPARE(first->characterId(), 1);
        QCOMPARE(first->name(), QStringLiteral("a"));
        QCOMPARE(xOf(first), 20);
        QCOMPARE(first->depth(), -16383);

        engine.advanceFrame();
        QCOMPARE(root->childAtDepth(depth), first); // moved, same instance
        QCOMPARE(xOf(first), 40);

        engine.advanceFrame();
        display::DisplayObject* replaced = root->childAtDepth(depth);
        QCOMPARE(replaced->characterId(), 2);
        QCOMPARE(xOf(replaced), 40); // a replaced character keeps place and name
        QCOMPARE(replaced->name(), QStringLiteral("a"));
        QCOMPARE(replaced->localBounds(), (swf::Rect{0, 300, 0, 50}));

        engine.advanceFrame();
        QVERIFY(root->children().empty());
        QCOMPARE(root->currentFrame(), 4);

        // The end loops to frame 1, which places the first character again.
        engine.advanceFrame();
        QCOMPARE(root->currentFrame(), 1);
        QCOMPARE(root->childAtDepth(depth)->characterId(), 1);
    }

    // A new placement at a depth already taken fails: the object there stays, and Flash says so
    // in the trace output, with the depth as the tag numbers it.
    void placingOnATakenDepthFails()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 100, 100, 0xFF0000FF),
                                   defineRectangle(2, 0, 0, 300, 50, 0x00FF00FF),
                                   placeObject2(Place(7).character(1).named("first")), showFrame(),
                                   placeObject2(Place(7).character(2).named("second")), showFrame()},
                                  2);
        Player engine;
        QStringList traces;
        engine.onTrace = [&traces](const QString& line) { traces.append(line); };
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        engine.advanceFrame();
        display::DisplayObject* kept = engine.stage().level(0)->childAtDepth(7 + display::TimelineDepthOffset);
        QCOMPARE(kept->characterId(), 1);
        QCOMPARE(kept->name(), QStringLiteral("first"));
        QCOMPARE(traces, QStringList{QStringLiteral("Warning: Failed to place object at depth 7.")});
    }

    // A PlaceObject that moves what is at a depth, or replaces its character, leaves its name
    // alone: only a new placement names an object.
    void movesKeepTheName()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 100, 100, 0xFF0000FF),
                                   defineRectangle(2, 0, 0, 300, 50, 0x00FF00FF),
                                   defineSprite(3, 1, {showFrame()}),
                                   placeObject2(Place(1).character(1).named("shape")),
                                   placeObject2(Place(2).character(3).named("clip")), showFrame(),
                                   placeObject2(Place(1).moving().character(2).named("renamed")),
                                   placeObject2(Place(2).moving().at(40, 0).named("renamedClip")), showFrame()},
                                  2);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        engine.advanceFrame();
        display::DisplayObject* shape = root->childAtDepth(1 + display::TimelineDepthOffset);
        display::DisplayObject* clip = root->childAtDepth(2 + display::TimelineDepthOffset);
        QCOMPARE(shape->characterId(), 2);
        QCOMPARE(shape->name(), QStringLiteral("shape"));
        QCOMPARE(xOf(clip), 40);
        QCOMPARE(clip->name(), QStringLiteral("clip"));
    }

    // A backward goto rebuilds from frame 1: objects that stay keep their instance, objects
    // placed later go, and script-made objects are not the timeline's to touch.
    void backwardGotoKeepsWhatStays()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 10, 10, 0xFF0000FF),
                                   defineRectangle(2, 0, 0, 10, 10, 0x0000FFFF),
                                   placeObject2(Place(1).character(1).at(5, 0)), showFrame(),
                                   placeObject2(Place(2).character(2)), placeObject2(Place(1).moving().at(90, 0)),
                                   showFrame(), showFrame()},
                                  3);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        root->gotoFrame(3, true);
        display::DisplayObject* kept = root->childAtDepth(1 + display::TimelineDepthOffset);
        QVERIFY(root->childAtDepth(2 + display::TimelineDepthOffset));
        QCOMPARE(xOf(kept), 90);
        display::MovieClip* scripted = root->createEmptyMovieClip(QStringLiteral("made"), 3);
        QVERIFY(scripted);

        root->gotoFrame(1, true);
        QCOMPARE(root->currentFrame(), 1);
        QCOMPARE(root->childAtDepth(1 + display::TimelineDepthOffset), kept);
        QCOMPARE(xOf(kept), 5); // put back where frame 1 placed it
        QVERIFY(!root->childAtDepth(2 + display::TimelineDepthOffset));
        QCOMPARE(root->childAtDepth(3), scripted);
        QVERIFY(!root->isPlaying());
    }

    // A rewind matches clips to the frames' placements by depth and ratio, not by character or
    // by the frame that placed them: a clip swapped onto another timeline depth stands in for
    // the clip placed there, a later clip with the same ratio stays under its own name, and a
    // clip whose ratio differs is replaced by a new one.
    void rewindMatchesClipsByDepthAndRatio()
    {
        const Bytes bytes = movie({defineSprite(1, 1, {showFrame()}), defineSprite(2, 1, {showFrame()}),
                                   placeObject2(Place(1).character(1).named("a")),
                                   placeObject2(Place(2).character(1).named("b")),
                                   placeObject2(Place(3).character(1).named("c")), showFrame(),
                                   removeObject2(2), removeObject2(3),
                                   placeObject2(Place(2).character(2).named("late")),
                                   placeObject2(Place(3).character(1).named("other").withRatio(7)), showFrame()},
                                  2);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        root->gotoFrame(2, true);
        auto* a = root->childByName(QStringLiteral("a"), true)->asMovieClip();
        auto* late = root->childByName(QStringLiteral("late"), true)->asMovieClip();
        display::DisplayObject* other = root->childByName(QStringLiteral("other"), true);
        QVERIFY(a && late && other);
        a->swapDepths(late->depth());

        root->gotoFrame(1, true);
        QCOMPARE(root->childAtDepth(1 + display::TimelineDepthOffset), late);
        QCOMPARE(root->childAtDepth(2 + display::TimelineDepthOffset), a);
        QCOMPARE(late->name(), QStringLiteral("late"));
        QCOMPARE(late->characterId(), 2);
        display::DisplayObject* replaced = root->childAtDepth(3 + display::TimelineDepthOffset);
        QVERIFY(replaced && replaced != other);
        QCOMPARE(replaced->name(), QStringLiteral("c"));
        QVERIFY(other->isRemoved());
    }

    // attachMovie takes exported buttons as well as clips; any other exported character attaches
    // nothing.
    void attachMovieTakesButtonsAndClips()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 10, 10, 0xFF0000FF), defineButton(2, 1),
                                   defineSprite(3, 1, {showFrame()}), exportAssets(1, "shape"),
                                   exportAssets(2, "button"), exportAssets(3, "clip"), showFrame()},
                                  1);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        display::DisplayObject* button = root->attachMovie(QStringLiteral("button"), QStringLiteral("b"), 4);
        QVERIFY(button);
        QCOMPARE(button->kind(), display::DisplayKind::Button);
        QCOMPARE(root->childAtDepth(4), button);
        QCOMPARE(button->name(), QStringLiteral("b"));
        display::DisplayObject* clip = root->attachMovie(QStringLiteral("clip"), QStringLiteral("c"), 5);
        QVERIFY(clip && clip->isMovieClip());
        QVERIFY(!root->attachMovie(QStringLiteral("shape"), QStringLiteral("s"), 6));
        QVERIFY(!root->childAtDepth(6));
    }

    // A forward goto skips over what lives only in the frames between.
    void forwardGotoSkipsObjectsOfFramesInBetween()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 10, 10, 0xFF0000FF), showFrame(),
                                   placeObject2(Place(4).character(1)), showFrame(), removeObject2(4),
                                   placeObject2(Place(5).character(1).at(7, 7)), showFrame(), showFrame()},
                                  4);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        root->gotoFrame(4, false);
        // Only the root and the object at depth 5 were ever made.
        QCOMPARE(host->created, 2);
        QVERIFY(!root->childAtDepth(4 + display::TimelineDepthOffset));
        QCOMPARE(xOf(root->childAtDepth(5 + display::TimelineDepthOffset)), 7);
        QVERIFY(root->isPlaying());
    }

    void labelsAndFrameNumbers_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("frame");
        QTest::newRow("exact") << "Second" << true << 2;
        QTest::newRow("other case") << "sECOND" << true << 2;
        QTest::newRow("number text") << "3" << true << 3;
        QTest::newRow("missing") << "nowhere" << false << 1;
    }
    void labelsAndFrameNumbers()
    {
        QFETCH(QString, label);
        QFETCH(bool, found);
        QFETCH(int, frame);
        const Bytes bytes = movie({showFrame(), frameLabel("Second"), showFrame(), showFrame()}, 3);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        QCOMPARE(root->gotoLabel(label, true), found);
        QCOMPARE(root->currentFrame(), frame);
        if (frame >= 2)
            QCOMPARE(root->currentLabel(), QStringLiteral("Second"));
    }

    // Frame scripts: a new child's first frame runs where the child is placed, so its script
    // comes before the parent's scripts after the PlaceObject; a goto to the current frame does
    // nothing; scripts of removed clips do not run.
    void frameScriptOrder()
    {
        const Bytes bytes = movie({defineSprite(3, 1, {marker(2), showFrame()}),
                                   placeObject2(Place(1).character(3).named("child")), marker(1), showFrame(),
                                   marker(3), showFrame()},
                                  2);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        // The child runs its first frame when placed: its script waits ahead of the parent's
        // later script.
        QCOMPARE(host->log, (std::vector<QString>{"_level0.child:2", "_level0:1"}));
        engine.advanceFrame();
        QCOMPARE(host->log.back(), QStringLiteral("_level0:3"));
        const size_t before = host->log.size();
        engine.stage().level(0)->gotoFrame(2, true);
        engine.runQueuedActions();
        QCOMPARE(host->log.size(), before);
    }

    // A script that replaces the level it is running in (as an FSCommand handler may) leaves the
    // running clip alive until the call is over; the new movie is in place afterwards.
    void replacingTheRunningLevelFromAScript()
    {
        const Bytes first = movie({defineSprite(3, 2, {marker(9), showFrame(), showFrame()}),
                                   placeObject2(Place(1).character(3).named("inner")), showFrame()},
                                  1);
        const Bytes second = movie({defineRectangle(1, 0, 0, 10, 10, 0x00FF00FF), placeObject2(Place(1).character(1)),
                                    showFrame()},
                                   1);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        int replacements = 0;
        host->onMarker = [&](uint8_t value) {
            if (value == 9 && replacements++ == 0) {
                QVERIFY(!engine.loadMovieData(0, toQByteArray(second), QStringLiteral("second.swf")));
                engine.stage().level(0)->gotoFrame(1, true);
            }
        };
        QVERIFY(!engine.loadMovieData(0, toQByteArray(first), QStringLiteral("first.swf")));
        QCOMPARE(replacements, 1);
        display::MovieClip* root = engine.stage().level(0);
        QCOMPARE(root->library()->url(), QStringLiteral("second.swf"));
        QCOMPARE(root->children().size(), size_t(1));
        for (int i = 0; i < 3; ++i)
            engine.advanceFrame();
        QCOMPARE(replacements, 1);
    }

    void hostGotoAndFrameQueries()
    {
        const Bytes bytes = movie({defineSprite(3, 5, {showFrame(), showFrame(), showFrame(), showFrame(), showFrame()}),
                                   placeObject2(Place(1).character(3).named("effect")), showFrame()},
                                  1);
        Player engine;
        QVERIFY(!engine.loadMovieData(100, toQByteArray(bytes), QStringLiteral("fx.swf")));
        QVERIFY(engine.gotoFrameOf(QStringLiteral("_level100.effect"), 3));
        QCOMPARE(engine.currentFrameOf(QStringLiteral("_level100.effect")), std::optional<int>(3));
        QVERIFY(engine.gotoFrameOf(QStringLiteral("_level100.effect"), -5));
        QCOMPARE(engine.currentFrameOf(QStringLiteral("_level100.effect")), std::optional<int>(0));
        QVERIFY(!engine.gotoFrameOf(QStringLiteral("_level100.missing"), 1));
        QCOMPARE(engine.currentFrameOf(QStringLiteral("_level7.effect")), std::nullopt);
        QVERIFY(!engine.loadMovie(100, QStringLiteral("-1")));
        QVERIFY(!engine.stage().level(100));
        QVERIFY(engine.loadMovie(0, QStringLiteral("/nonexistent/movie.swf")).has_value());
    }

    void scriptDepthsAndNames()
    {
        const Bytes bytes = movie({showFrame()}, 1, Compression::None, 6);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        QCOMPARE(root->nextHighestDepth(), 0);
        display::MovieClip* low = root->createEmptyMovieClip(QStringLiteral("Low"), 1);
        display::MovieClip* high = root->createEmptyMovieClip(QStringLiteral("high"), 10);
        QCOMPARE(root->nextHighestDepth(), 11);
        QCOMPARE(root->childByName(QStringLiteral("low"), false), low);
        QCOMPARE(root->childByName(QStringLiteral("low"), true), nullptr);
        low->swapDepths(10);
        QCOMPARE(root->childAtDepth(10), low);
        QCOMPARE(root->childAtDepth(1), high);
        QCOMPARE(high->depth(), 1);
        QCOMPARE(low->dotPath(), QStringLiteral("_level0.Low"));
        QCOMPARE(low->slashPath(), QStringLiteral("/Low"));
        QVERIFY(low->removeFromParent());
        QVERIFY(low->isRemoved());
        QCOMPARE(root->childAtDepth(10), nullptr);
        display::MovieClip* copy = high->duplicate(QStringLiteral("copy"), 4);
        QVERIFY(copy && copy != high);
        QCOMPARE(root->childAtDepth(4), copy);
    }

    // Scale and rotation read back as a script set them, and compose into the matrix.
    void transformProperties()
    {
        const Bytes bytes = movie({showFrame()}, 1);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* clip = engine.stage().level(0)->createEmptyMovieClip(QStringLiteral("c"), 1);
        clip->drawing().beginFill(swf::FillStyle{});
        clip->drawing().lineTo(2000, 0);
        clip->drawing().lineTo(2000, 1000);
        clip->drawing().endFill();
        QCOMPARE(clip->width(), 100.0);
        QCOMPARE(clip->height(), 50.0);
        clip->setXScale(200);
        clip->setRotation(270);
        QCOMPARE(clip->rotation(), -90.0);
        QCOMPARE(clip->xScale(), 200.0);
        QCOMPARE(clip->yScale(), 100.0);
        QVERIFY(qAbs(clip->matrix().b + 2.0) < 1e-9);
        clip->setRotation(0);
        clip->setWidth(50);
        QCOMPARE(clip->xScale(), 50.0);
        clip->setAlpha(50);
        QCOMPARE(clip->colorTransform().alphaMult, 128);
        QVERIFY(clip->isTransformedByScript());
    }

    // A morph shape part way through its tween draws (and so is hit and redrawn) at its mixed
    // box, but scripts asking for sizes see the start shape's box, through every clip above it.
    void morphShapesShowScriptsTheirStartBox()
    {
        const Bytes bytes = movie({showFrame()}, 1);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* clip = engine.stage().level(0)->createEmptyMovieClip(QStringLiteral("c"), 1);
        swf::MorphShape morph;
        morph.startBounds = {0, 400, 0, 200};
        morph.endBounds = {0, 1200, -200, 200};
        auto shape = std::make_shared<display::MorphShapeInstance>(
            nullptr, std::make_shared<const swf::Character>(morph), 1);
        clip->insertChild(1, shape);
        shape->setRatio(32768);
        QCOMPARE(shape->localBounds().xMax, 800);
        QCOMPARE(shape->localBounds().yMin, -100);
        QCOMPARE(shape->scriptBounds(), morph.startBounds);
        QCOMPARE(clip->localBounds().xMax, 800);
        QCOMPARE(clip->scriptBounds(), morph.startBounds);
        clip->setXScale(50);
        QCOMPARE(clip->width(), 10.0);
        QCOMPARE(clip->height(), 10.0);
        clip->setHeight(20);
        QCOMPARE(clip->yScale(), 200.0);
    }

    // Clips a script swapped are the script's: the timeline's later moves at their new depths
    // leave them where they are, while a clip nobody swapped still follows its moves.
    void swappedClipsIgnoreTimelineMoves()
    {
        const Bytes bytes = movie({defineSprite(1, 1, {showFrame()}), placeObject2(Place(1).character(1).named("a")),
                                   placeObject2(Place(2).character(1).named("b")),
                                   placeObject2(Place(3).character(1).named("c")), showFrame(),
                                   placeObject2(Place(1).moving().at(2000, 0)), placeObject2(Place(2).moving().at(2000, 0)),
                                   placeObject2(Place(3).moving().at(2000, 0)), showFrame()},
                                  2);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("test.swf")));
        display::MovieClip* root = engine.stage().level(0);
        auto* a = root->childByName(QStringLiteral("a"), true)->asMovieClip();
        auto* b = root->childByName(QStringLiteral("b"), true)->asMovieClip();
        auto* c = root->childByName(QStringLiteral("c"), true)->asMovieClip();
        a->swapDepths(b->depth());
        root->stop();
        root->nextFrame();
        QCOMPARE(a->x(), 0.0);
        QCOMPARE(b->x(), 0.0);
        QCOMPARE(c->x(), 100.0);
    }
};

QTEST_GUILESS_MAIN(DisplayListTest)
#include "tst_display_list.moc"
