#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstring>
#include <limits>

// What a movie learns about its own loading: ifFrameLoaded (WaitForFrame and WaitForFrame2) and
// the byte counts of getBytesLoaded, getBytesTotal and MovieClipLoader.getProgress.
class TestFramesAndBytesLoaded : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QStringList m_traces;
    std::unique_ptr<player::Player> m_player;

    // Action bytes written by hand, for the actions the compiler never writes.
    static QByteArray pushPayload(char type, const QByteArray& value)
    {
        QByteArray bytes;
        const int length = 1 + int(value.size());
        bytes.append(char(0x96)).append(char(length & 0xFF)).append(char(length >> 8));
        return bytes.append(type).append(value);
    }
    static QByteArray pushString(const QByteArray& text) { return pushPayload(0, text + '\0'); }
    static QByteArray pushInteger(int32_t value)
    {
        QByteArray bytes;
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((uint32_t(value) >> shift) & 0xFF));
        return pushPayload(7, bytes);
    }
    // Push's doubles keep their high 32 bits first, each half little-endian.
    static QByteArray pushDouble(double value)
    {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        QByteArray bytes;
        for (int shift : {32, 40, 48, 56, 0, 8, 16, 24})
            bytes.append(char((bits >> shift) & 0xFF));
        return pushPayload(6, bytes);
    }
    static QByteArray traceLoaded()
    {
        return pushString("loaded") + char(0x26);
    }
    static QByteArray waitForFrame(int frame, int skip)
    {
        QByteArray bytes;
        bytes.append(char(0x8A)).append(char(3)).append(char(0));
        return bytes.append(char(frame & 0xFF)).append(char(frame >> 8)).append(char(skip));
    }
    static QByteArray waitForFrame2(int skip)
    {
        QByteArray bytes;
        return bytes.append(char(0x8D)).append(char(1)).append(char(0)).append(char(skip));
    }
    static QByteArray setTarget(const QByteArray& path)
    {
        QByteArray bytes;
        const int length = int(path.size()) + 1;
        bytes.append(char(0x8B)).append(char(length & 0xFF)).append(char(length >> 8));
        return bytes.append(path).append('\0');
    }

    // A one-frame movie holding a one-frame sprite named "target", then the actions.
    static QByteArray movieRunning(const QByteArray& actions, bool compressed = false)
    {
        authoring::MovieWriter movie(8, 100, 100, 12);
        authoring::TimelineWriter sprite;
        authoring::CompileResult inside = authoring::ScriptCompiler::compile("var inside = 1;");
        sprite.doAction(inside.actions);
        sprite.showFrame();
        const uint16_t spriteId = movie.allocateCharacterId();
        movie.defineSprite(spriteId, sprite);
        authoring::PlaceObjectRecord place;
        place.characterId = spriteId;
        place.name = "target";
        movie.root().placeObject(place);
        movie.root().doAction(actions + char(0));
        movie.root().showFrame();
        return movie.toBytes(compressed);
    }

    static QByteArray compiled(const char* script)
    {
        authoring::CompileResult result = authoring::ScriptCompiler::compile(script);
        if (!result.ok())
            qWarning("script does not compile: %s", script);
        QByteArray actions = result.actions;
        actions.chop(1); // the End action; movieRunning adds its own
        return actions;
    }

    QStringList play(const QByteArray& bytes)
    {
        m_traces.clear();
        m_player = std::make_unique<player::Player>();
        runScriptsTracing(*m_player, m_traces);
        if (m_player->loadMovieData(0, bytes, QUrl::fromLocalFile(m_folder.filePath("main.swf")).toString()))
            return {QStringLiteral("<not loaded>")};
        return m_traces;
    }

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void cleanup() { m_player.reset(); }

    // A loaded timeline counts frames far past its end as loaded, up to the most frames a
    // timeline may have; the root and a sprite alike.
    void waitForFrameCountsUpToTheTimelineLimit_data()
    {
        QTest::addColumn<int>("frame"); // from 0, as the action stores it
        QTest::addColumn<bool>("loaded");
        QTest::newRow("first") << 0 << true;
        QTest::newRow("one past the only frame") << 1 << true;
        QTest::newRow("far past the end") << 300 << true;
        QTest::newRow("the limit") << 16000 << true;
        QTest::newRow("past the limit") << 16001 << false;
        QTest::newRow("largest") << 65535 << false;
    }
    void waitForFrameCountsUpToTheTimelineLimit()
    {
        QFETCH(int, frame);
        QFETCH(bool, loaded);
        const QStringList expected = loaded ? QStringList{"loaded", "loaded"} : QStringList{};
        const QByteArray test = waitForFrame(frame, 2) + traceLoaded();
        QCOMPARE(play(movieRunning(test + setTarget("target") + test + setTarget(""))), expected);
    }

    // WaitForFrame2 counts from 1 and takes its frame from the stack: whole numbers wrap to 32
    // bits, other values count only when their text is a whole number.
    void waitForFrame2ReadsItsFrameAsAWholeNumber_data()
    {
        QTest::addColumn<QByteArray>("push");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("0") << pushInteger(0) << true;
        QTest::newRow("negative") << pushInteger(-43) << true;
        QTest::newRow("past the end") << pushInteger(2) << true;
        QTest::newRow("one past the limit") << pushInteger(16001) << true;
        QTest::newRow("two past the limit") << pushInteger(16002) << false;
        QTest::newRow("two past the limit, as text") << pushString("16002") << false;
        QTest::newRow("fraction past the limit") << pushDouble(16002.5) << true;
        QTest::newRow("whole double past the limit") << pushDouble(16002.0) << false;
        QTest::newRow("label") << pushString("abc") << true;
        QTest::newRow("largest integer") << pushInteger(2147483647) << false;
        QTest::newRow("smallest integer") << pushInteger(-2147483647 - 1) << false;
        QTest::newRow("wraps to negative") << pushDouble(2147483649.0) << true;
        QTest::newRow("infinity") << pushDouble(std::numeric_limits<double>::infinity()) << true;
    }
    void waitForFrame2ReadsItsFrameAsAWholeNumber()
    {
        QFETCH(QByteArray, push);
        QFETCH(bool, loaded);
        const QStringList expected = loaded ? QStringList{"loaded", "loaded"} : QStringList{};
        const QByteArray test = push + waitForFrame2(2) + traceLoaded();
        QCOMPARE(play(movieRunning(test + setTarget("target") + test + setTarget(""))), expected);
    }

    // A sprite's instance counts the bytes of the sprite's tags; the root counts the movie's
    // length uncompressed; getProgress counts the file as it lies on disk.
    void byteCountsOfMoviesAndSprites_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("FWS") << false;
        QTest::newRow("CWS") << true;
    }
    void byteCountsOfMoviesAndSprites()
    {
        QFETCH(bool, compressed);
        const QByteArray script = compiled(
            "trace(getBytesLoaded() + ' ' + getBytesTotal());"
            "trace(target.getBytesLoaded() + ' ' + target.getBytesTotal());"
            "var p = new MovieClipLoader().getProgress(0); trace(p.bytesLoaded + ' ' + p.bytesTotal);"
            "p = new MovieClipLoader().getProgress(target); trace(p.bytesLoaded + ' ' + p.bytesTotal);");
        const QByteArray file = movieRunning(script, compressed);
        const QByteArray plain = movieRunning(script, false);
        // The sprite's tags: its DoAction, ShowFrame and End.
        authoring::TimelineWriter sprite;
        sprite.doAction(authoring::ScriptCompiler::compile("var inside = 1;").actions);
        sprite.showFrame();
        const QString spriteBytes = QString::number(sprite.finished().size());
        const QString movieLength = QString::number(plain.size());
        const QString fileLength = QString::number(file.size());
        QCOMPARE(play(file), (QStringList{movieLength + ' ' + movieLength, spriteBytes + ' ' + spriteBytes,
                                          fileLength + ' ' + fileLength, fileLength + ' ' + fileLength}));
    }
};

QTEST_GUILESS_MAIN(TestFramesAndBytesLoaded)
#include "tst_frames_and_bytes_loaded.moc"
