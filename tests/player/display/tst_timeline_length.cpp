// How far a timeline plays: every frame it holds, whatever its header declares, going round to
// frame 1 at the end, unless its tags stop without an End tag or leave a frame without its
// ShowFrame: it is then still loading, and a movie waits at its last whole frame while a sprite
// plays the unfinished frame too and stays there.

#include "RecordingHost.h"

#include "player/Player.h"

#include <QTest>

using namespace player;
using namespace swf_test;

namespace {

// The movie's bytes without the End tag that closes its root timeline.
Bytes withoutEndTag(Bytes bytes)
{
    bytes.erase(bytes.end() - 2, bytes.end());
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    for (int index = 0; index < 4; ++index)
        bytes[4 + size_t(index)] = static_cast<uint8_t>(length >> (8 * index));
    return bytes;
}

} // namespace

class TimelineLengthTest : public QObject {
    Q_OBJECT

private slots:
    void framesPlayed_data()
    {
        QTest::addColumn<QByteArray>("movieBytes");
        QTest::addColumn<QString>("expected");
        const std::vector<Bytes> twoFrames{doAction({1}), showFrame(), doAction({2}), showFrame()};
        QTest::newRow("two frames declared as two go round")
            << toQByteArray(movie(twoFrames, 2)) << "1 2 1 2 1";
        QTest::newRow("two frames declared as one still play both")
            << toQByteArray(movie(twoFrames, 1)) << "1 2 1 2 1";
        QTest::newRow("a timeline with no End tag waits at its last whole frame")
            << toQByteArray(withoutEndTag(movie(twoFrames, 3))) << "1 2";
        QTest::newRow("tags after the last ShowFrame of an unfinished timeline never play")
            << toQByteArray(withoutEndTag(movie({doAction({1}), showFrame(), doAction({2})}, 2))) << "1";
        QTest::newRow("tags left after the last ShowFrame keep a finished movie from going round")
            << toQByteArray(movie({doAction({1}), showFrame(), doAction({2}), showFrame(), doAction({3})}, 3)) << "1 2";
        QTest::newRow("a sprite plays its unfinished last frame, then stays there")
            << toQByteArray(movie({defineSprite(5, 3, {doAction({1}), showFrame(), doAction({2})}),
                                   placeObject2(Place(1).character(5)), showFrame()}, 1)) << "1 2";
        QTest::newRow("a sprite with no End tag plays its unfinished last frame too")
            << toQByteArray(movie({defineSprite(5, 1, {doAction({1}), showFrame(), doAction({2}), showFrame(), doAction({3})}, false),
                                   placeObject2(Place(1).character(5)), showFrame()}, 1)) << "1 2 3";
        QTest::newRow("a whole sprite goes round at the frames it holds, whatever it declares")
            << toQByteArray(movie({defineSprite(5, 3, {doAction({1}), showFrame(), doAction({2}), showFrame()}),
                                   placeObject2(Place(1).character(5)), showFrame()}, 1)) << "1 2 1 2 1";
    }

    void framesPlayed()
    {
        QFETCH(QByteArray, movieBytes);
        QFETCH(QString, expected);
        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovieData(0, movieBytes, QStringLiteral("test.swf")));
        for (int tick = 1; tick < 5; ++tick)
            engine.advanceFrame();
        QStringList markers;
        for (const QString& entry : host->log)
            markers.append(entry.section(QLatin1Char(':'), -1));
        QCOMPARE(markers.join(QLatin1Char(' ')), expected);
    }
};

QTEST_GUILESS_MAIN(TimelineLengthTest)
#include "tst_timeline_length.moc"
