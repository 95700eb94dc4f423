#include "../swf/SwfBuilder.h"

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/MovieLoader.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/ScriptServices.h"
#include "player/avm1/Machine.h"
#include "player/avm1/ScriptEngine.h"
#include "player/display/MovieClip.h"
#include "../TracingPlayer.h"

#include <QTest>
#include <zlib.h>

using namespace swf_test;

// A hostile movie meets a limit, not the end of the machine's memory or the user's patience:
// each limit is reached here by a movie built for it.
class TestPlayerLimits : public QObject {
    Q_OBJECT

private:
    static QByteArray toQByteArray(const Bytes& bytes)
    {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }

    // A movie whose first frame runs a script and whose third traces "frame 3". (Scripts stopped
    // by the time limit stay stopped for the rest of the frame's work, which includes the next
    // frame's scripts.)
    static QByteArray scriptMovie(const QString& script)
    {
        authoring::MovieWriter movie(8, 100, 100, 12);
        for (const QString& frameScript : {script, QString(), QStringLiteral("trace('frame 3'); stop();")}) {
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(frameScript.toStdString());
            if (!compiled.ok())
                return {};
            movie.root().doAction(compiled.actions);
            movie.root().showFrame();
        }
        return movie.toBytes(false);
    }

    // A PNG of the given size holding only its header: enough for a reader to learn the size.
    static QByteArray pngHeader(uint32_t width, uint32_t height)
    {
        QByteArray ihdr("IHDR");
        for (uint32_t value : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8)
                ihdr.append(char((value >> shift) & 0xFF));
        ihdr.append("\x08\x06\x00\x00\x00", 5);
        QByteArray png("\x89PNG\r\n\x1A\n", 8);
        png.append("\x00\x00\x00\x0D", 4);
        png.append(ihdr);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(ihdr.constData()), uInt(ihdr.size()));
        for (int shift = 24; shift >= 0; shift -= 8)
            png.append(char((crc >> shift) & 0xFF));
        // A reader learns the size at the first image data chunk; the data itself never comes.
        png.append("\x00\x00\x00\x00IDAT\x35\xAF\x06\x1E", 12);
        return png;
    }

private slots:
    // A picture loaded into a clip is refused when it is too large to hold, before any pixel is
    // allocated; its header alone gives it away.
    void hugePicturesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("65535 x 65535") << pngHeader(65535, 65535) << true;
        QTest::newRow("8191 x 8191, sides allowed but too many pixels") << pngHeader(8191, 8191) << true;
        QTest::newRow("9000 x 10") << pngHeader(9000, 10) << true;
        QTest::newRow("4000 x 4000") << pngHeader(4000, 4000) << false;
        // A 7 x 5 picture on a screen 9000 pixels wide, which is what a GIF is decoded on.
        QTest::newRow("GIF, 9000 x 5 screen") << QByteArray("GIF89a\x28\x23\x05\x00\x00\x00\x00"
                                                             "\x2C\x00\x00\x00\x00\x07\x00\x05\x00\x00"
                                                             "\x02\x02\x44\x01\x00\x3B",
                                                             29)
                                              << true;
    }
    void hugePicturesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QString error;
        const auto library = player::MovieLoader::libraryFromBytes(bytes, QStringLiteral("big.png"), 8, &error);
        QCOMPARE(!library, refused);
        if (refused)
            QVERIFY2(error.contains(QLatin1String("too large")), qPrintable(error));
    }

    // A sprite that places itself nests only so deep, and the movie plays on.
    void spritesNestOnlySoDeep()
    {
        const Bytes bytes = movie({defineSprite(1, 1, {placeObject2(Place(1).character(1)), showFrame()}),
                                   placeObject2(Place(1).character(1)), showFrame()},
                                  1);
        player::Player engine;
        QVERIFY(!engine.loadMovieData(0, toQByteArray(bytes), QStringLiteral("nest.swf")));
        engine.advanceFrame();
        engine.advanceFrame();
        int nesting = 0;
        for (player::display::DisplayObject* clip = engine.stage().level(0); clip && clip->asMovieClip();
             clip = clip->asMovieClip()->childAtDepth(1 + player::display::TimelineDepthOffset))
            ++nesting;
        QVERIFY2(nesting > 10 && nesting <= 65, qPrintable(QString::number(nesting)));
        QVERIFY(!engine.isStopped());
    }

    // Past the most display objects a player holds, the movie is stopped with a reason: its
    // frames no longer advance.
    void tooManyDisplayObjectsStopTheMovie_data()
    {
        QTest::addColumn<int>("instances");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("101 clips of 1000 shapes") << 101 << true;
        QTest::newRow("50 clips of 1000 shapes") << 50 << false;
    }
    void tooManyDisplayObjectsStopTheMovie()
    {
        QFETCH(int, instances);
        QFETCH(bool, stopped);
        std::vector<Bytes> spriteTags;
        for (uint16_t depth = 1; depth <= 1000; ++depth)
            spriteTags.push_back(placeObject2(Place(depth).character(1)));
        spriteTags.push_back(showFrame());
        std::vector<Bytes> tags{defineRectangle(1, 0, 0, 20, 20, 0xFF0000FF), defineSprite(2, 1, spriteTags)};
        for (int depth = 1; depth <= instances; ++depth)
            tags.push_back(placeObject2(Place(uint16_t(depth)).character(2)));
        tags.push_back(showFrame());
        tags.push_back(showFrame());

        player::Player engine;
        QStringList reasons;
        engine.onLimitReached = [&reasons](const QString& reason) { reasons.append(reason); };
        QVERIFY(!engine.loadMovieData(0, toQByteArray(movie(tags, 2)), QStringLiteral("crowd.swf")));
        engine.advanceFrame();
        const uint64_t frames = engine.frameCount();
        engine.advanceFrame();
        QCOMPARE(engine.isStopped(), stopped);
        if (stopped) {
            QCOMPARE(reasons, QStringList{QStringLiteral("the movie made more than 100000 display objects")});
            QCOMPARE(engine.stopReason(), reasons.first());
            QCOMPARE(engine.frameCount(), frames);
            // The host's next movie plays again.
            QVERIFY(!engine.loadMovieData(0, toQByteArray(movie({showFrame()}, 1)), QStringLiteral("next.swf")));
            QVERIFY(!engine.isStopped());
        } else {
            QVERIFY(reasons.isEmpty());
            QCOMPARE(engine.frameCount(), frames + 1);
        }
    }

    // Two frames whose scripts go to each other never let the frame end, each script being far
    // too short for the time limit: the player gives up on them and stops the movie.
    void scriptsThatQueueEachOtherForEverStopTheMovie()
    {
        authoring::MovieWriter writer(8, 100, 100, 12);
        for (const char* script : {"gotoAndStop(2);", "gotoAndStop(1);"}) {
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script);
            QVERIFY(compiled.ok());
            writer.root().doAction(compiled.actions);
            writer.root().showFrame();
        }
        player::Player engine;
        engine.setScriptHost(player::makeScriptHost(engine));
        QStringList reasons;
        engine.onLimitReached = [&reasons](const QString& reason) { reasons.append(reason); };
        QVERIFY(!engine.loadMovieData(0, writer.toBytes(false), QStringLiteral("ping-pong.swf")));
        engine.advanceFrame();
        QVERIFY(engine.isStopped());
        QCOMPARE(reasons.size(), 1);
        QVERIFY2(reasons.first().contains(QLatin1String("action lists without end")), qPrintable(reasons.first()));
    }

    // Two frames whose scripts go to each other, each script slow but far within the limits on
    // its own (and shorter than the actions between two looks at the clock): the queued lists of
    // a frame share the script time or the action budget, and once it is spent the rest is
    // dropped and reported, whether a list or the queue noticed. The movie plays on.
    void slowScriptsThatQueueEachOtherShareTheScriptTime_data()
    {
        QTest::addColumn<int>("timeCeiling");
        QTest::addColumn<int>("actionBudget");
        QTest::newRow("time ceiling") << 50 << 0;
        QTest::newRow("action budget") << 0 << 30000;
    }
    void slowScriptsThatQueueEachOtherShareTheScriptTime()
    {
        QFETCH(int, timeCeiling);
        QFETCH(int, actionBudget);
        authoring::MovieWriter writer(8, 100, 100, 12);
        for (const char* target : {"2", "1"}) {
            const std::string script = std::string("for (var i = 0; i < 200; i++) {} gotoAndStop(")
                + target + ");";
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script);
            QVERIFY(compiled.ok());
            writer.root().doAction(compiled.actions);
            writer.root().showFrame();
        }
        player::Player engine;
        auto scripts = std::make_unique<player::avm1::ScriptEngine>(std::make_unique<player::ScriptServices>(engine));
        scripts->machine().limits().setTimeCeiling(timeCeiling);
        scripts->machine().limits().setActionBudget(actionBudget);
        engine.setScriptHost(std::move(scripts));
        QStringList reasons;
        engine.onLimitReached = [&reasons](const QString& reason) { reasons.append(reason); };
        QVERIFY(!engine.loadMovieData(0, writer.toBytes(false), QStringLiteral("slow-ping-pong.swf")));
        engine.advanceFrame();
        QVERIFY(!reasons.isEmpty());
        QVERIFY2(reasons.last().contains(QLatin1String("time")), qPrintable(reasons.join('\n')));
        QVERIFY(!engine.isStopped());
    }

    // A script stopped by a limit of its own is reported with the limit it reached; the movie
    // plays on, and its next frame's scripts run.
    void scriptLimitsAreReported_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("reports");
        QTest::newRow("recursion") << "function f() { f(); } f();" << "levels of recursion were exceeded" << 1;
        QTest::newRow("string growth") << "var s = 'x'; while (true) s += s;" << "A string grew beyond" << 1;
        QTest::newRow("array length") << "var a = new Array(); a[100000000] = 1; a.reverse();" << "beyond the limit"
                                      << 1;
        QTest::newRow("endless loop, host's time ceiling") << "while (true) {}" << "time limit" << 1;
        // The time limit ends one frame's scripts only: an interval that never returns is stopped
        // once in each of the three frames (it first falls due before frame 2 starts), and the
        // frame script of frame 3 still runs.
        QTest::newRow("endless interval") << "setInterval(function() { while (true) {} }, 1);" << "time limit" << 3;
    }
    void scriptLimitsAreReported()
    {
        QFETCH(QString, script);
        QFETCH(QString, reason);
        QFETCH(int, reports);
        const QByteArray bytes = scriptMovie(script);
        QVERIFY(!bytes.isEmpty());
        TracingPlayer run(100);
        player::Player& engine = run.engine;
        const QStringList& traces = run.traces;
        QStringList reasons;
        engine.onLimitReached = [&reasons](const QString& text) { reasons.append(text); };
        QVERIFY(!engine.loadMovieData(0, bytes, QStringLiteral("script.swf")));
        engine.advanceFrame();
        engine.advanceFrame();
        QCOMPARE(reasons.size(), reports);
        for (const QString& text : std::as_const(reasons))
            QVERIFY2(text.contains(reason), qPrintable(text));
        QVERIFY(!engine.isStopped());
        QCOMPARE(traces, QStringList{QStringLiteral("frame 3")});
    }

};

QTEST_GUILESS_MAIN(TestPlayerLimits)
#include "tst_player_limits.moc"
