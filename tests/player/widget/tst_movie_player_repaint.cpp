#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/ShapeBuilder.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

// The player widget paints again only when a frame changed what the stage shows: a movie
// standing still is not drawn again however many frames it plays, and whatever a script changes
// (a transform, a colour, text, a bitmap's pixels, a drawing, a removal) is drawn on the frame
// it changes. Paints are counted through the widget; frames are played one at a time.
class TestMoviePlayerRepaint : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    int m_movieCount = 0;

    static QByteArray compiled(const std::string& source)
    {
        authoring::CompileResult result = authoring::ScriptCompiler::compile(source);
        if (!result.ok())
            qWarning("script does not compile: %s", source.c_str());
        return result.actions;
    }

    static QByteArray square(uint16_t id)
    {
        authoring::ShapeBuilder shape;
        authoring::ShapeLayer layer;
        layer.fill = authoring::FillStyle{};
        layer.fill->color = authoring::Rgba{200, 0, 0, 255};
        layer.path.addRectangle(authoring::Rect{0, 1000, 0, 1000});
        shape.addLayer(layer);
        return shape.tagBody(id);
    }

    // A 400 x 300 stage at a quarter of a frame a second (so that the widget's own frame timer
    // stays out of the way; the virtual clock still moves 4 s a frame) with a clip "clip" at
    // 100,100: a square, or with `moving` a square that jumps between two places on its two
    // frames. The root runs `script` on its first frame and has `rootFrames` frames.
    QString writeMovie(const std::string& script, int rootFrames = 1, bool moving = false)
    {
        authoring::MovieWriter movie(8, 400, 300, 0.25);
        const uint16_t squareId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineShape3, square(squareId));

        authoring::TimelineWriter sprite;
        authoring::PlaceObjectRecord place;
        place.characterId = squareId;
        place.depth = 1;
        sprite.placeObject(place);
        sprite.showFrame();
        if (moving) {
            authoring::PlaceObjectRecord move;
            move.depth = 1;
            move.isMove = true;
            move.transform = authoring::translation(1000, 0);
            sprite.placeObject(move);
            sprite.showFrame();
        }
        const uint16_t spriteId = movie.allocateCharacterId();
        movie.defineSprite(spriteId, sprite);

        authoring::PlaceObjectRecord placeClip;
        placeClip.characterId = spriteId;
        placeClip.depth = 1;
        placeClip.name = "clip";
        placeClip.transform = authoring::translation(2000, 2000);
        movie.root().placeObject(placeClip);
        if (!script.empty())
            movie.root().doAction(compiled(script));
        movie.root().showFrame();
        for (int frame = 1; frame < rootFrames; ++frame)
            movie.root().showFrame();

        const QString path = m_folder.filePath(QStringLiteral("movie%1.swf").arg(++m_movieCount));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(movie.toBytes(false));
        return path;
    }

    static std::unique_ptr<player::MoviePlayer> shownPlayer(const QString& path)
    {
        auto widget = std::make_unique<player::MoviePlayer>();
        widget->resize(400, 300);
        widget->loadMovie(0, path);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget.get()))
            return nullptr;
        settle();
        return widget;
    }

    // Lets the widget paint what it asked to paint.
    static void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    static void playFrames(player::MoviePlayer& widget, int frames)
    {
        for (int frame = 0; frame < frames; ++frame) {
            widget.playFrame();
            settle();
        }
    }

    static int counter(const player::MoviePlayer& widget)
    {
        return widget.variable(QStringLiteral("/:n")).value_or(QString()).toInt();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
    }

    void stillMoviePaintsNoMore()
    {
        // A looping root of three frames that all show the same, and a script that stores a
        // variable every frame: nothing to draw again.
        auto widget = shownPlayer(writeMovie("onEnterFrame = function() { n = (n | 0) + 1; };", 3));
        QVERIFY(widget);
        QVERIFY(widget->paintCount() > 0);
        const uint64_t painted = widget->paintCount();
        playFrames(*widget, 30);
        QVERIFY(counter(*widget) >= 30);
        QCOMPARE(widget->paintCount(), painted);
        // Moving the mouse over a stage without buttons changes nothing either.
        QTest::mouseMove(widget.get(), QPoint(150, 150));
        QTest::mouseMove(widget.get(), QPoint(20, 20));
        settle();
        QCOMPARE(widget->paintCount(), painted);
    }

    void scriptChangePaintsOnItsFrame_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("change");
        QTest::newRow("position") << "" << "clip._x += 10;";
        QTest::newRow("rotation") << "" << "clip._rotation = 30;";
        QTest::newRow("colour") << "" << "new Color(clip).setRGB(0x00FF00);";
        QTest::newRow("alpha") << "" << "clip._alpha = 40;";
        QTest::newRow("visibility") << "" << "clip._visible = false;";
        QTest::newRow("filter") << "" << "clip.filters = [new flash.filters.BlurFilter(4, 4, 1)];";
        QTest::newRow("depth swap") << "createEmptyMovieClip('other', 5);" << "clip.swapDepths(other);";
        QTest::newRow("text") << "createTextField('label', 5, 0, 0, 120, 20); label.text = 'one';"
                              << "label.text = 'two';";
        QTest::newRow("text scroll")
            << "createTextField('label', 5, 0, 0, 120, 20); label.multiline = true; label.text = 'a\\rb\\rc\\rd';"
            << "label.scroll = 2;";
        QTest::newRow("drawing") << "createEmptyMovieClip('art', 5);" << "art.lineStyle(2, 0); art.lineTo(100, 100);";
        QTest::newRow("removal")
            << "createEmptyMovieClip('box', 5); box.beginFill(0xFF); box.lineTo(50, 0); box.lineTo(50, 50); box.endFill();"
            << "box.removeMovieClip();";
        QTest::newRow("new clip") << "" << "attachMovie('nothing', 'x', 6); createEmptyMovieClip('late', 7);";
        QTest::newRow("attached bitmap")
            << "var bmp = new flash.display.BitmapData(8, 8, false, 0xFF0000); createEmptyMovieClip('pic', 5).attachBitmap(bmp, 1);"
            << "bmp.setPixel32(1, 1, 0xFF00FF00);";
        QTest::newRow("bitmap fill")
            << "var bmp = new flash.display.BitmapData(8, 8, false, 0xFF0000); var art = createEmptyMovieClip('art', 5);"
               " art.beginBitmapFill(bmp); art.lineTo(80, 0); art.lineTo(80, 80); art.lineTo(0, 80); art.endFill();"
            << "bmp.setPixel32(1, 1, 0xFF00FF00);";
    }

    void scriptChangePaintsOnItsFrame()
    {
        QFETCH(QString, setup);
        QFETCH(QString, change);
        const std::string script = setup.toStdString() + " var n = 0; onEnterFrame = function() { if (++n == 10) { "
            + change.toStdString() + " } };";
        auto widget = shownPlayer(writeMovie(script));
        QVERIFY(widget);
        const uint64_t painted = widget->paintCount();
        while (counter(*widget) < 9) {
            widget->playFrame();
            settle();
        }
        QCOMPARE(widget->paintCount(), painted);
        widget->playFrame();
        QCOMPARE(counter(*widget), 10);
        // A picture the host takes in between is no paint of the widget's and must not hide the
        // change from it.
        QVERIFY(!widget->renderStage(QSize(40, 30)).isNull());
        settle();
        QVERIFY(widget->paintCount() > painted);
        // And then it rests again.
        const uint64_t afterChange = widget->paintCount();
        playFrames(*widget, 10);
        QCOMPARE(widget->paintCount(), afterChange);
    }

    void intervalChangePaintsWhenItRuns()
    {
        // At four seconds a frame, a ten-second interval runs on the third frame after the first.
        auto widget = shownPlayer(writeMovie(
            "var n = 0; var ranAt = 0; onEnterFrame = function() { n++; };"
            "var id = setInterval(function() { clip._y += 5; ranAt = n; clearInterval(id); }, 10000);"));
        QVERIFY(widget);
        int paintedAt = 0;
        uint64_t painted = widget->paintCount();
        for (int frame = 0; frame < 8; ++frame) {
            widget->playFrame();
            settle();
            if (widget->paintCount() != painted) {
                QCOMPARE(paintedAt, 0);
                paintedAt = counter(*widget);
                painted = widget->paintCount();
            }
        }
        const int ranAt = widget->variable(QStringLiteral("/:ranAt")).value_or(QString()).toInt();
        QVERIFY(ranAt > 0);
        QCOMPARE(paintedAt, ranAt);
    }

    void playingChildOfStoppedRootPaintsEveryFrame()
    {
        auto widget = shownPlayer(writeMovie("stop();", 2, true));
        QVERIFY(widget);
        const uint64_t painted = widget->paintCount();
        playFrames(*widget, 6);
        QVERIFY(widget->paintCount() >= painted + 6);
        // Stopped, the child rests too.
        widget->engine().stage().level(0)->childByName(QStringLiteral("clip"), true)->asMovieClip()->stop();
        settle();
        const uint64_t stopped = widget->paintCount();
        playFrames(*widget, 6);
        QCOMPARE(widget->paintCount(), stopped);
    }

    void hostOperationsPaintOnlyForChanges()
    {
        auto widget = shownPlayer(writeMovie("var n = 0;"));
        QVERIFY(widget);
        const uint64_t painted = widget->paintCount();
        // A variable the stage does not show, and a clip property that is already so.
        widget->setVariable(QStringLiteral("/:n"), QStringLiteral("5"));
        widget->setVariable(QStringLiteral("/clip:_x"), QStringLiteral("100"));
        settle();
        QCOMPARE(widget->paintCount(), painted);
        widget->setVariable(QStringLiteral("/clip:_x"), QStringLiteral("120"));
        settle();
        QVERIFY(widget->paintCount() > painted);
        // A new scale mode draws the stage anew.
        const uint64_t moved = widget->paintCount();
        widget->setScaleMode(player::ScaleMode::ShowAll);
        settle();
        QVERIFY(widget->paintCount() > moved);
    }
};

QTEST_MAIN(TestMoviePlayerRepaint)
#include "tst_movie_player_repaint.moc"
