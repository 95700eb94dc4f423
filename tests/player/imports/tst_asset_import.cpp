#include "../display/RecordingHost.h"

#include "player/AssetImporter.h"
#include "player/Player.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace player;
using namespace swf_test;

namespace {

// ImportAssets (version 1): the source URL, then id and name pairs.
Bytes importAssets(const std::string& url, const std::vector<std::pair<uint16_t, std::string>>& assets)
{
    BitWriter w;
    w.string(url);
    w.u16(static_cast<uint16_t>(assets.size()));
    for (const auto& [id, name] : assets) {
        w.u16(id);
        w.string(name);
    }
    return tag(57, w.take());
}

// ImportAssets2: two reserved bytes after the URL.
Bytes importAssets2(const std::string& url, uint16_t id, const std::string& name)
{
    BitWriter w;
    w.string(url);
    w.u8(1);
    w.u8(0);
    w.u16(1);
    w.u16(id);
    w.string(name);
    return tag(71, w.take());
}

Bytes doInitAction(uint16_t spriteId, uint8_t markerValue)
{
    BitWriter w;
    w.u16(spriteId);
    w.u8(markerValue);
    return tag(59, w.take());
}


// The exporting movie: sprite 1 ("thing") with a frame script (marker 2) showing shape 2, an
// init action for it (marker 7), and an unexported sprite 3.
Bytes exportingMovie()
{
    return movie({defineRectangle(2, 0, 0, 200, 200, 0xFF0000FF),
                  defineSprite(1, 1, {doAction({2}), placeObject2(Place(1).character(2)), showFrame()}),
                  defineSprite(3, 1, {showFrame()}), exportAssets(1, "thing"), doInitAction(1, 7), showFrame()},
                 1);
}

// An importing movie: id 5 from a source, placed at depth 1 as "imported", and a frame script
// (marker 1) on the same frame.
Bytes importingMovie(const Bytes& importTag)
{
    return movie({importTag, doAction({1}), placeObject2(Place(1).character(5).named("imported")), showFrame()}, 1);
}

bool writeFile(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size());
}

display::DisplayObject* placedAt(Player& engine, int depth)
{
    display::MovieClip* root = engine.stage().level(0);
    return root ? root->childAtDepth(depth + display::TimelineDepthOffset) : nullptr;
}

} // namespace

class AssetImportTest : public QObject {
    Q_OBJECT

private slots:
    void localPaths_data()
    {
        QTest::addColumn<QString>("importUrl");
        QTest::addColumn<QString>("baseUrl");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside the movie") << "lib.swf" << "/movies/a/test.swf" << "/movies/a/lib.swf";
        QTest::newRow("parent folder") << "../lib.swf" << "/movies/a/test.swf" << "/movies/lib.swf";
        QTest::newRow("base as file URL") << "sub/lib.swf" << "file:///movies/a/test.swf" << "/movies/a/sub/lib.swf";
        QTest::newRow("absolute path") << "/other/lib.swf" << "/movies/a/test.swf" << "/other/lib.swf";
        QTest::newRow("file URL") << "file:///other/lib.swf" << "/movies/a/test.swf" << "/other/lib.swf";
        QTest::newRow("query dropped") << "lib.swf?v=2" << "/movies/test.swf" << "/movies/lib.swf";
        QTest::newRow("http refused") << "http://example.com/lib.swf" << "/movies/test.swf" << "";
        QTest::newRow("https refused") << "HTTPS://example.com/lib.swf" << "/movies/test.swf" << "";
        QTest::newRow("other scheme refused") << "ftp://example.com/lib.swf" << "/movies/test.swf" << "";
        QTest::newRow("empty") << "" << "/movies/test.swf" << "";
    }
    void localPaths()
    {
        QFETCH(QString, importUrl);
        QFETCH(QString, baseUrl);
        QFETCH(QString, expected);
        QCOMPARE(AssetImporter::localPath(importUrl, baseUrl), expected);
    }

    // Importing anything from a movie runs all of that movie's init actions, in its order, those
    // of sprites nobody imports included, each once, after the importing frame's own.
    void importingRunsEveryInitActionOfTheExporter()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const Bytes exporter = movie({defineRectangle(2, 0, 0, 200, 200, 0xFF0000FF),
                                      defineSprite(1, 1, {doAction({2}), showFrame()}), defineSprite(3, 1, {showFrame()}),
                                      exportAssets(1, "thing"), doInitAction(3, 8), doInitAction(1, 7),
                                      doInitAction(3, 9), showFrame()},
                                     1);
        QVERIFY(writeFile(folder.filePath(QStringLiteral("source.swf")), exporter));
        const QString path = folder.filePath(QStringLiteral("test.swf"));
        QVERIFY(writeFile(path, movie({defineSprite(9, 1, {showFrame()}), doInitAction(9, 4),
                                       importAssets("source.swf", {{5, "thing"}}), doAction({1}),
                                       placeObject2(Place(1).character(5).named("imported")), showFrame()},
                                      1)));

        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovie(0, path));
        QCOMPARE(host->log,
                 (std::vector<QString>{"_level0:4", "_level0:8", "_level0:7", "_level0:1", "_level0.imported:2"}));
    }

    // The imported sprite is placed under the importing id, plays from the exporting movie's
    // own characters, and its init action runs before the importing frame's script, which runs
    // before the imported clip's first frame.
    void importedSpriteIsPlacedWithItsInitAction_data()
    {
        QTest::addColumn<bool>("secondVersion");
        QTest::addColumn<bool>("asFileUrl");
        QTest::newRow("ImportAssets") << false << false;
        QTest::newRow("ImportAssets2") << true << false;
        QTest::newRow("importing movie loaded by file URL") << false << true;
    }
    void importedSpriteIsPlacedWithItsInitAction()
    {
        QFETCH(bool, secondVersion);
        QFETCH(bool, asFileUrl);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("lib")));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("lib/source.swf")), exportingMovie()));
        const Bytes importTag = secondVersion ? importAssets2("lib/source.swf", 5, "thing")
                                              : importAssets("lib/source.swf", {{5, "thing"}});
        const QString path = folder.filePath(QStringLiteral("test.swf"));
        QVERIFY(writeFile(path, importingMovie(importTag)));

        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovie(0, asFileUrl ? QUrl::fromLocalFile(path).toString() : path));

        display::DisplayObject* imported = placedAt(engine, 1);
        QVERIFY(imported);
        QVERIFY(imported->isMovieClip());
        QCOMPARE(imported->name(), QStringLiteral("imported"));
        // The clip belongs to the exporting movie, so its timeline's id 2 is that movie's shape.
        QVERIFY(imported->library()->url().endsWith(QLatin1String("lib/source.swf")));
        display::DisplayObject* shape = imported->asMovieClip()->childAtDepth(1 + display::TimelineDepthOffset);
        QVERIFY(shape);
        QCOMPARE(shape->localBounds(), (swf::Rect{0, 200, 0, 200}));
        QCOMPARE(host->log, (std::vector<QString>{"_level0:7", "_level0:1", "_level0.imported:2"}));

        // Init actions run once: a second placement, by the export name, does not repeat them.
        host->log.clear();
        QVERIFY(engine.stage().level(0)->attachMovie(QStringLiteral("thing"), QStringLiteral("again"), 10));
        engine.advanceFrame();
        QVERIFY(std::find(host->log.begin(), host->log.end(), QStringLiteral("_level0.again:2")) != host->log.end());
        QVERIFY(std::find(host->log.begin(), host->log.end(), QStringLiteral("_level0:7")) == host->log.end());
    }

    // Whatever is wrong with the source, the importing movie plays and the id stays undefined.
    void badSourcesLeaveTheIdUndefined_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("sourceBytes"); // written as source.swf when not empty
        QTest::addColumn<QString>("name");
        const Bytes good = exportingMovie();
        const QByteArray goodBytes(reinterpret_cast<const char*>(good.data()), qsizetype(good.size()));
        QTest::newRow("missing file") << "absent.swf" << QByteArray() << "thing";
        QTest::newRow("not a movie") << "source.swf" << QByteArray("GIF89a not a movie at all") << "thing";
        QTest::newRow("cut short") << "source.swf" << goodBytes.left(20) << "thing";
        QTest::newRow("name not exported") << "source.swf" << goodBytes << "nothing";
        QTest::newRow("unexported sprite by id") << "source.swf" << goodBytes << "3";
        QTest::newRow("network") << "http://127.0.0.1:9/source.swf" << goodBytes << "thing";
        QTest::newRow("a folder") << "." << QByteArray() << "thing";
    }
    void badSourcesLeaveTheIdUndefined()
    {
        QFETCH(QString, url);
        QFETCH(QByteArray, sourceBytes);
        QFETCH(QString, name);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        if (!sourceBytes.isEmpty()) {
            QFile file(folder.filePath(QStringLiteral("source.swf")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(sourceBytes);
        }
        const QString path = folder.filePath(QStringLiteral("test.swf"));
        QVERIFY(writeFile(path, importingMovie(importAssets(url.toStdString(), {{5, name.toStdString()}}))));

        Player engine;
        auto* host = new RecordingHost;
        engine.setScriptHost(std::unique_ptr<display::ScriptHost>(host));
        QVERIFY(!engine.loadMovie(0, path));
        QVERIFY(!placedAt(engine, 1));
        QCOMPARE(host->log, (std::vector<QString>{"_level0:1"}));
        QVERIFY(!engine.stage().level(0)->attachMovie(name, QStringLiteral("x"), 3));
        engine.advanceFrame();
    }

    // Imports are reads like any other: a source outside the readable folders is as missing as
    // an absent one, however the path leads out.
    void importsReadOnlyTheReadableFolders_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("imported");
        QTest::newRow("own folder") << "source.swf" << true;
        QTest::newRow("folder the host allows") << "HOST/source.swf" << true;
        QTest::newRow("outside") << "OUTSIDE/source.swf" << false;
        QTest::newRow("out through ..") << "../outside/source.swf" << false;
        QTest::newRow("link out") << "linked.swf" << false;
    }
    void importsReadOnlyTheReadableFolders()
    {
        QFETCH(QString, url);
        QFETCH(bool, imported);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const char* name : {"template", "outside", "host"})
            QVERIFY(QDir(folder.path()).mkdir(QString::fromLatin1(name)));
        for (const char* name : {"template/source.swf", "outside/source.swf", "host/source.swf"})
            QVERIFY(writeFile(folder.filePath(QString::fromLatin1(name)), exportingMovie()));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("outside/source.swf")), folder.filePath(QStringLiteral("template/linked.swf"))));
        url.replace(QLatin1String("HOST"), folder.filePath(QStringLiteral("host")));
        url.replace(QLatin1String("OUTSIDE"), folder.filePath(QStringLiteral("outside")));
        const QString path = folder.filePath(QStringLiteral("template/test.swf"));
        QVERIFY(writeFile(path, importingMovie(importAssets(url.toStdString(), {{5, "thing"}}))));

        Player engine;
        engine.setReadableFolders({folder.filePath(QStringLiteral("host"))});
        QVERIFY(!engine.loadMovie(0, path));
        QCOMPARE(placedAt(engine, 1) != nullptr, imported);
    }

    // Two movies that import from each other, and one that imports from itself: each file is
    // read once, and loading ends.
    void importCyclesEnd()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const Bytes a = movie({importAssets("b.swf", {{5, "fromB"}}), defineSprite(1, 1, {doAction({1}), showFrame()}),
                               exportAssets(1, "fromA"), placeObject2(Place(1).character(5)), showFrame()},
                              1);
        const Bytes b = movie({importAssets("a.swf", {{6, "fromA"}}), defineSprite(1, 1, {doAction({2}), showFrame()}),
                               exportAssets(1, "fromB"), placeObject2(Place(1).character(6)), showFrame()},
                              1);
        const Bytes self = movie({importAssets("self.swf", {{5, "me"}}), defineSprite(1, 1, {showFrame()}),
                                  exportAssets(1, "me"), placeObject2(Place(1).character(5)), showFrame()},
                                 1);
        QVERIFY(writeFile(folder.filePath(QStringLiteral("a.swf")), a));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("b.swf")), b));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("self.swf")), self));

        Player engine;
        QVERIFY(!engine.loadMovie(0, folder.filePath(QStringLiteral("a.swf"))));
        display::DisplayObject* fromB = placedAt(engine, 1);
        QVERIFY(fromB);
        QVERIFY(fromB->library()->url().endsWith(QLatin1String("b.swf")));

        QVERIFY(!engine.loadMovie(0, folder.filePath(QStringLiteral("self.swf"))));
        QVERIFY(!placedAt(engine, 1));
    }

    // Clips placed without a name are called instance1, instance2... in the order they come into
    // being (a clip's children straight after it), one count for the whole player; named clips
    // take no number and shapes get no name.
    void unnamedInstancesAreNumbered()
    {
        const Bytes bytes = movie({defineRectangle(1, 0, 0, 10, 10, 0xFF0000FF), defineSprite(4, 1, {showFrame()}),
                                   defineSprite(2, 1, {placeObject2(Place(1).character(4)), showFrame()}),
                                   placeObject2(Place(1).character(1)), placeObject2(Place(2).character(2)),
                                   placeObject2(Place(3).character(2).named("box")), placeObject2(Place(4).character(2)),
                                   showFrame()},
                                  1);
        Player engine;
        QVERIFY(!engine.loadMovieData(0, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
                                      QStringLiteral("test.swf")));
        auto childName = [](display::DisplayObject* parent) {
            return parent->asContainer()->childAtDepth(1 + display::TimelineDepthOffset)->name();
        };
        QCOMPARE(placedAt(engine, 1)->name(), QString());
        QCOMPARE(placedAt(engine, 2)->name(), QStringLiteral("instance1"));
        QCOMPARE(childName(placedAt(engine, 2)), QStringLiteral("instance2"));
        QCOMPARE(placedAt(engine, 3)->name(), QStringLiteral("box"));
        QCOMPARE(childName(placedAt(engine, 3)), QStringLiteral("instance3"));
        QCOMPARE(placedAt(engine, 4)->name(), QStringLiteral("instance4"));
        QCOMPARE(childName(placedAt(engine, 4)), QStringLiteral("instance5"));

        // The count goes on in a movie loaded later.
        QVERIFY(!engine.loadMovieData(0, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
                                      QStringLiteral("test.swf")));
        QCOMPARE(placedAt(engine, 2)->name(), QStringLiteral("instance6"));
    }
};

QTEST_GUILESS_MAIN(AssetImportTest)
#include "tst_asset_import.moc"
