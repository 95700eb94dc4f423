#include "FrameScriptMovie.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"
#include "player/render/DisplayRenderer.h"
#include "../TracingPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

// Loading pictures and movies into clips and levels, as movies built here ask for them; the
// files live in a temporary folder.
class TestMovieLoading : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QStringList m_traces;
    std::unique_ptr<player::Player> m_player;

    static QByteArray movieWith(const QStringList& frameScripts) { return frameScriptMovie(8, frameScripts); }

    QString pathOf(const QString& name) const { return m_folder.filePath(name); }

    // Writes a picture of a single colour; returns its size in bytes.
    qint64 writePicture(const QString& name, const QByteArray& format, bool progressive = false)
    {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 0));
        QImageWriter writer(pathOf(name), format);
        writer.setProgressiveScanWrite(progressive);
        writer.setQuality(95);
        if (!writer.write(image))
            return -1;
        return QFileInfo(pathOf(name)).size();
    }

    // Plays the frames of a movie (it is kept in the folder as main.swf, which relative paths
    // start from) and returns the traces.
    QString play(const QStringList& frameScripts, int frames)
    {
        const QByteArray bytes = movieWith(frameScripts);
        if (bytes.isEmpty())
            return QStringLiteral("<no movie>");
        m_traces.clear();
        m_player = std::make_unique<player::Player>();
        runScriptsTracing(*m_player, m_traces);
        if (m_player->loadMovieData(0, bytes, QUrl::fromLocalFile(pathOf(QStringLiteral("main.swf"))).toString()))
            return QStringLiteral("<not loaded>");
        for (int frame = 1; frame < frames; ++frame)
            m_player->advanceFrame();
        return m_traces.join(u'|');
    }

    // Records every MovieClipLoader event in "log".
    static QString listenerScript()
    {
        return QStringLiteral(
            "var log = []; var loader = new MovieClipLoader(); var listener = {};"
            "listener.onLoadStart = function(target) { log.push('start ' + target._name); };"
            "listener.onLoadProgress = function(target, loaded, total) { log.push('progress ' + loaded + '/' + total); };"
            "listener.onLoadComplete = function(target, status) { log.push('complete ' + status); };"
            "listener.onLoadInit = function(target) { log.push('init ' + target._width); };"
            "listener.onLoadError = function(target, error) { log.push('error ' + target._name + ' ' + error); };"
            "loader.addListener(listener);"
            "createEmptyMovieClip('holder', 1);");
    }

    static bool fileIsOpen(const QString& path)
    {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        QDir descriptors(QStringLiteral("/proc/self/fd"));
        for (const QFileInfo& entry : descriptors.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
            if (entry.symLinkTarget() == canonical)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void cleanup() { m_player.reset(); }

    // The picture replaces what the clip showed and is there, at its pixel size, on the next
    // frame; the clip keeps its name, depth and position.
    void pictureReplacesContent_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<bool>("relative");
        QTest::newRow("baseline JPEG, absolute path") << "a.jpg" << QByteArray("jpeg") << false << false;
        QTest::newRow("progressive JPEG, relative path") << "b.jpg" << QByteArray("jpeg") << true << true;
        QTest::newRow("PNG, relative path") << "c.png" << QByteArray("png") << false << true;
    }

    void pictureReplacesContent()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, format);
        QFETCH(bool, progressive);
        QFETCH(bool, relative);
        QVERIFY(writePicture(fileName, format, progressive) > 0);
        const QString url = relative ? fileName : pathOf(fileName);
        const QString traces = play({
            QStringLiteral("createEmptyMovieClip('holder', 5); holder._x = 40; holder._y = 10;"
                           "holder.createEmptyMovieClip('previous', 1); holder.previous.lineStyle(1, 0); holder.previous.lineTo(90, 0);"
                           "trace(holder._width > 50); loadMovie('%1', holder); trace(typeof holder.previous);").arg(url),
            QStringLiteral("trace(holder._width + 'x' + holder._height + ' at ' + holder._x + ' ' + holder._name + ' '"
                           " + holder.getDepth() + ' ' + typeof holder.previous); stop();"),
        }, 2);
        QCOMPARE(traces, QStringLiteral("true|movieclip|30x20 at 40 holder 5 undefined"));
        QVERIFY(!fileIsOpen(pathOf(fileName)));

        // The picture is drawn where the clip is: red inside, the white background around it.
        player::render::DisplayRenderer renderer;
        const QImage frame = renderer.renderStageImage(m_player->stage(), QSize(200, 100), player::ScaleMode::NoScale);
        const QColor inside = frame.pixelColor(55, 20);
        QVERIFY2(inside.red() > 200 && inside.green() < 60 && inside.blue() < 60, qPrintable(inside.name()));
        QCOMPARE(frame.pixelColor(100, 20), QColor(Qt::white));
    }

    void gifPicture()
    {
        // A 1x1 GIF whose only pixel is red.
        const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ff00000000002c00000000010001000002024401003b");
        QFile file(pathOf(QStringLiteral("dot.gif")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gif);
        file.close();
        const QString traces = play({QStringLiteral("createEmptyMovieClip('holder', 1); loadMovie('dot.gif', holder);"),
                                     QStringLiteral("trace(holder._width + 'x' + holder._height); stop();")}, 2);
        QCOMPARE(traces, QStringLiteral("1x1"));
    }

    // MovieClipLoader's events in Flash's order; a missing file gives an error and nothing else.
    void loaderEvents()
    {
        const qint64 size = writePicture(QStringLiteral("events.png"), "png");
        QVERIFY(size > 0);
        const QString traces = play({listenerScript() + QStringLiteral("trace(loader.loadClip('events.png', holder)); trace(log.join(','));"),
                                     QStringLiteral("trace(log.join(',')); stop();")}, 2);
        QCOMPARE(traces, QStringLiteral("true||start holder,progress %1/%1,complete 0,init 30").arg(size));
    }

    // A missing file gives an error and no other event; the clip loses what it held.
    void missingFileGivesLoadError()
    {
        const QString traces = play({listenerScript()
                                         + QStringLiteral("holder.createEmptyMovieClip('kept', 1); trace(loader.loadClip('missing.jpg', holder));"),
                                     QStringLiteral("trace(log.join(',')); trace(typeof holder.kept); stop();")}, 2);
        QCOMPARE(traces, QStringLiteral("true|error holder URLNotFound|undefined"));
    }

    // What a clip reports for its movie: frame, frames loaded, total frames, bytes loaded and
    // total, version, whether its old child is there, and the file its _url names.
    static QString clipStateFunction()
    {
        return QStringLiteral(
            "function state(c) { return [c._currentframe, c._framesloaded, c._totalframes, c.getBytesLoaded(),"
            " c.getBytesTotal(), c.getSWFVersion(), typeof c.old, c._url.substr(c._url.lastIndexOf('/') + 1)].join(' '); }");
    }

    // A load that finds nothing to play (no file, or bytes that are no movie) leaves the clip
    // empty, with no frame, -1 frames loaded and -1 bytes to come, and no version; the address
    // is the one asked for. unloadMovie waits for the end of the frame, then leaves the same clip
    // empty with nothing loaded, and the address and version of the movie around it.
    void failedLoadThenUnload_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << QStringLiteral("missing.swf");
        QTest::newRow("no movie") << QStringLiteral("words.swf");
    }

    void failedLoadThenUnload()
    {
        QFETCH(QString, file);
        QFile text(pathOf(QStringLiteral("words.swf")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("These words are no movie.");
        text.close();
        const QString traces = play(
            {clipStateFunction()
                 + QStringLiteral("var mc = createEmptyMovieClip('holder', 1); mc.createEmptyMovieClip('old', 1);"
                                  "mc.loadMovie('%1'); trace(state(mc));").arg(file),
             QStringLiteral("trace(state(mc)); mc.unloadMovie(); trace(state(mc));"),
             QStringLiteral("trace(state(mc)); trace(mc == holder); stop();")},
            3);
        QCOMPARE(traces, QStringLiteral("0 1 1 0 0 8 movieclip main.swf|0 -1 0 0 -1 -1 undefined %1|0 -1 0 0 -1 -1 undefined %1|"
                                        "0 0 0 0 0 8 undefined main.swf|true").arg(file));
    }

    // Unloading a loaded movie sends the clip's unload event and takes the movie's content away at
    // the end of the frame; the clip stays, with no frame and nothing loaded.
    void unloadedMovieLeavesAnEmptyClip()
    {
        QFile child(pathOf(QStringLiteral("child.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(frameScriptMovie(6, {QStringLiteral("createEmptyMovieClip('old', 1); stop();")}));
        child.close();
        const qint64 size = child.size();
        const QString traces = play(
            {clipStateFunction() + QStringLiteral("var mc = createEmptyMovieClip('holder', 1); mc.loadMovie('child.swf');"),
             QStringLiteral("mc.onUnload = function() { trace('unload ' + this._name); };"
                            "trace(state(mc)); unloadMovie(mc); trace(state(mc));"),
             QStringLiteral("trace(state(mc)); trace(typeof holder); stop();")},
            3);
        const QString loaded = QStringLiteral("1 1 1 %1 %1 6 movieclip child.swf").arg(size);
        QCOMPARE(traces, loaded + u'|' + loaded + QStringLiteral("|unload holder|0 0 0 0 0 8 undefined main.swf|movieclip"));
    }

    // A web address is refused before any request: a server listening there never hears of it.
    void webAddressIsNeverRequested()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QString url = QStringLiteral("http://127.0.0.1:%1/picture.jpg").arg(server.serverPort());
        const QString traces = play({listenerScript() + QStringLiteral("trace(loader.loadClip('%1', holder)); loadMovie('%1', '_level3');"
                                                                       "holder.loadMovie('%1');").arg(url),
                                     QStringLiteral("trace(log.join(',')); trace(_level3 instanceof MovieClip); stop();"),
                                     QString()}, 3);
        QCOMPARE(traces, QStringLiteral("true|error holder URLNotFound|false"));
        QVERIFY(!server.waitForNewConnection(200));
        QVERIFY(!server.hasPendingConnections());
    }

    // A movie loaded into a level runs its own first frame before the next frame of the loader.
    void movieIntoLevel()
    {
        QFile child(pathOf(QStringLiteral("child.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(movieWith({QStringLiteral("trace('child ' + _level2.getDepth()); stop();")}));
        child.close();
        const QString traces = play({QStringLiteral("loadMovieNum('child.swf', 2); trace(_level2 instanceof MovieClip);"),
                                     QStringLiteral("trace(_level2 instanceof MovieClip); stop();")}, 2);
        QVERIFY2(traces.startsWith(QStringLiteral("false|child ")), qPrintable(traces));
        QVERIFY2(traces.endsWith(QStringLiteral("|true")), qPrintable(traces));
    }

    // The query of a loaded movie's address names the file no more; its variables are set on
    // the clip the movie goes into before the movie's first frame runs.
    void queryVariablesReachTheLoadedMovie()
    {
        QFile child(pathOf(QStringLiteral("query.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(movieWith({QStringLiteral("trace(this + ' ' + one + ' ' + two + ' ' + _root.one); stop();")}));
        child.close();
        const QString traces = play({QStringLiteral("createEmptyMovieClip('holder', 1); holder.loadMovie('query.swf?one=1&two=a+b%2F');"
                                                    "loadMovieNum('query.swf?one=level', 3);")},
                                    2);
        QCOMPARE(traces, QStringLiteral("_level0.holder 1 a b/ undefined|_level3 level undefined level"));
    }

    // A movie a script loads imports from its own folder, and importing runs the exporting
    // movie's init actions, with the clip the movie went into as "this".
    void loadedMovieImportsFromItsFolder()
    {
        QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("sub")));
        authoring::MovieWriter assets(8, 100, 100, 12);
        authoring::TimelineWriter empty;
        empty.showFrame();
        const uint16_t spriteId = assets.allocateCharacterId();
        assets.defineSprite(spriteId, empty);
        assets.exportAsset(spriteId, "thing");
        assets.doInitAction(spriteId, authoring::ScriptCompiler::compile("trace('init ' + this);").actions);
        assets.root().showFrame();
        QFile assetsFile(pathOf(QStringLiteral("sub/assets.swf")));
        QVERIFY(assetsFile.open(QIODevice::WriteOnly));
        assetsFile.write(assets.toBytes(false));
        assetsFile.close();

        authoring::MovieWriter importer(8, 100, 100, 12);
        QByteArray importTag("assets.swf");
        importTag.append('\0').append(char(1)).append(char(0)); // ImportAssets2's two reserved bytes
        importTag.append(char(1)).append(char(0)).append(char(1)).append(char(0)).append("thing").append('\0');
        importer.root().addTag(authoring::TagCode::ImportAssets2, importTag);
        importer.root().doAction(authoring::ScriptCompiler::compile("trace('frame ' + this); stop();").actions);
        importer.root().showFrame();
        QFile importerFile(pathOf(QStringLiteral("sub/importer.swf")));
        QVERIFY(importerFile.open(QIODevice::WriteOnly));
        importerFile.write(importer.toBytes(false));
        importerFile.close();

        const QString traces = play({QStringLiteral("createEmptyMovieClip('holder', 1); holder.loadMovie('sub/importer.swf');")}, 2);
        QCOMPARE(traces, QStringLiteral("init _level0.holder|frame _level0.holder"));
    }

    // A movie a script loads into level 0 takes the stage over but keeps the first movie's pace.
    void replacedRootKeepsTheFrameRate()
    {
        authoring::MovieWriter slow(8, 300, 300, 1);
        slow.root().doAction(authoring::ScriptCompiler::compile("trace('slow');").actions);
        slow.root().showFrame();
        QFile child(pathOf(QStringLiteral("slow.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(slow.toBytes(false));
        child.close();
        QCOMPARE(play({QStringLiteral("loadMovieNum('slow.swf', 0);")}, 2), QStringLiteral("slow"));
        QCOMPARE(m_player->frameRate(), 12.0);
    }

    // unloadMovieNum takes the level away at the end of the frame, as a load would arrive; a
    // host's goto, which ends no frame, carries it out when it returns.
    void levelUnloadWaitsForTheEndOfTheFrame()
    {
        QFile child(pathOf(QStringLiteral("level.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(movieWith({QStringLiteral("stop();")}));
        child.close();
        const QString traces = play({QStringLiteral("loadMovieNum('level.swf', 1);"),
                                     QStringLiteral("trace(typeof _level1); unloadMovieNum(1); trace(typeof _level1);"),
                                     QStringLiteral("trace(typeof _level1); loadMovieNum('level.swf', 1); stop();"),
                                     QStringLiteral("unloadMovieNum(1); trace(typeof _level1);")},
                                    3);
        QCOMPARE(traces, QStringLiteral("movieclip|movieclip|undefined"));
        QVERIFY(m_player->stage().level(1));
        m_traces.clear();
        m_player->gotoFrame(3);
        QCOMPARE(m_traces, QStringList{QStringLiteral("movieclip")});
        QVERIFY(!m_player->stage().level(1));
    }

    // A movie loaded into a clip starts it over for scripts: the variables and handlers set on
    // it before are gone, while references to the clip still reach it.
    void loadedMovieForgetsTheClipsVariables()
    {
        QFile child(pathOf(QStringLiteral("plain.swf")));
        QVERIFY(child.open(QIODevice::WriteOnly));
        child.write(movieWith({QStringLiteral("stop();")}));
        child.close();
        const QString traces = play({QStringLiteral("var holder = createEmptyMovieClip('holder', 1); holder.note = 'kept?';"
                                                    "holder.onEnterFrame = function() {}; holder.loadMovie('plain.swf');"
                                                    "trace(holder.note);"),
                                     QStringLiteral("trace(holder.note + ' ' + typeof holder.onEnterFrame + ' ' + holder);"
                                                    "stop();")},
                                    2);
        QCOMPARE(traces, QStringLiteral("kept?|undefined undefined _level0.holder"));
    }

    // Bytes that are neither a movie nor a picture empty the clip, and the load still completes.
    void unreadableContentEmptiesTheClip()
    {
        QFile text(pathOf(QStringLiteral("notes.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a movie");
        text.close();
        const QString traces = play({listenerScript() + QStringLiteral("holder.createEmptyMovieClip('old', 1); loader.loadClip('notes.txt', holder);"),
                                     QStringLiteral("trace(log.join(',')); trace(typeof holder.old); stop();")}, 2);
        QCOMPARE(traces, QStringLiteral("start holder,progress 0/0,complete 0,init 0|undefined"));
    }

    void invalidLoadClipArguments_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no target") << "loader.loadClip('a.jpg')" << "undefined";
        QTest::newRow("url that is no string") << "loader.loadClip(5, holder)" << "false";
        QTest::newRow("path to nothing") << "loader.loadClip('a.jpg', 'nowhere')" << "false";
        QTest::newRow("plain object") << "loader.loadClip('a.jpg', {})" << "false";
        QTest::newRow("level number") << "loader.loadClip('a.jpg', 4)" << "true";
        QTest::newRow("path to a clip") << "loader.loadClip('a.jpg', 'holder')" << "true";
    }

    void invalidLoadClipArguments()
    {
        QFETCH(QString, call);
        QFETCH(QString, expected);
        QCOMPARE(play({listenerScript() + QStringLiteral("trace(%1); stop();").arg(call)}, 1), expected);
    }
};

QTEST_MAIN(TestMovieLoading)
#include "tst_movie_loading.moc"
