#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "../TracingPlayer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

// What a template may read: its own folder and the folders the host allows. Every way a script
// reads a file is tried on files inside and outside them; a file it may not read must look
// exactly like a missing one.
//
// The temporary folder holds:
//   template/        the movie, data.txt, pic.png, and links that lead out to outside/
//   outside/         data.txt and pic.png that no template may read
//   host/            data.txt and pic.png, readable when the host allows the folder
class TestTemplateSandbox : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString pathOf(const QString& name) const { return m_folder.filePath(name); }

    static QByteArray movieWith(const QString& script, int frames)
    {
        authoring::MovieWriter movie(8, 200, 100, 12);
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
        if (!compiled.ok())
            return {};
        movie.root().doAction(compiled.actions);
        for (int frame = 0; frame < frames; ++frame)
            movie.root().showFrame();
        return movie.toBytes(false);
    }

    // Plays a movie kept as template/main.swf whose script reads a file, and returns its traces.
    QString play(const QString& scriptPattern, const QString& file, bool allowHostFolder)
    {
        const QByteArray bytes = movieWith(scriptPattern.arg(file), 4);
        if (bytes.isEmpty())
            return QStringLiteral("<no movie>");
        TracingPlayer run;
        if (allowHostFolder)
            run.engine.setReadableFolders({pathOf(QStringLiteral("host"))});
        return run.playJoined(bytes, 4, QUrl::fromLocalFile(pathOf(QStringLiteral("template/main.swf"))).toString());
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        for (const QString& folder : {QStringLiteral("template"), QStringLiteral("outside"), QStringLiteral("host")}) {
            QVERIFY(QDir(m_folder.path()).mkdir(folder));
            QVERIFY(writeFile(pathOf(folder + QStringLiteral("/data.txt")), "a=1"));
            QVERIFY(picture.save(pathOf(folder + QStringLiteral("/pic.png"))));
        }
        QVERIFY(QFile::link(pathOf(QStringLiteral("outside/data.txt")), pathOf(QStringLiteral("template/linked.txt"))));
        QVERIFY(QFile::link(pathOf(QStringLiteral("outside/pic.png")), pathOf(QStringLiteral("template/linked.png"))));
        QVERIFY(QFile::link(pathOf(QStringLiteral("outside")), pathOf(QStringLiteral("template/door"))));
        for (const char* name : {"template/fifo.txt", "template/fifo.png"})
            QCOMPARE(::mkfifo(QFile::encodeName(pathOf(QString::fromLatin1(name))).constData(), 0600), 0);
    }

    void readsOnlyTheAllowedFolders_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("allowHostFolder");
        QTest::addColumn<bool>("readable");

        const QList<std::pair<const char*, std::pair<QString, QString>>> readers = {
            {"loadVariables", {QStringLiteral("var n = 0; createEmptyMovieClip('h', 1); loadVariables('%1', h);"
                                              "onEnterFrame = function() { if (++n == 3) trace(h.a == '1' ? 'read' : 'missing'); };"),
                               QStringLiteral("txt")}},
            {"LoadVars.load", {QStringLiteral("var lv = new LoadVars(); lv.onLoad = function(ok) { trace(ok ? 'read ' + lv.a : 'missing'); };"
                                              "lv.load('%1');"),
                               QStringLiteral("txt")}},
            {"XML.load", {QStringLiteral("var x = new XML(); x.onData = function(text) { trace(text == undefined ? 'missing' : 'read ' + text); };"
                                         "x.load('%1');"),
                          QStringLiteral("txt")}},
            {"MovieClipLoader.loadClip", {QStringLiteral("var l = new MovieClipLoader(); var o = new Object();"
                                                         "o.onLoadInit = function(c) { trace('read ' + c._width); };"
                                                         "o.onLoadError = function(c, e) { trace('missing ' + e); };"
                                                         "l.addListener(o); createEmptyMovieClip('h', 1); l.loadClip('%1', h);"),
                                          QStringLiteral("png")}},
            {"loadMovieNum", {QStringLiteral("var n = 0; loadMovieNum('%1', 3);"
                                             "onEnterFrame = function() { if (++n == 3) trace(_level3 == undefined ? 'missing' : 'read ' + _level3._width); };"),
                              QStringLiteral("png")}},
        };
        const struct {
            const char* name;
            QString file;
            bool allowHostFolder;
            bool readable;
        } places[] = {
            {"in the template's folder", QStringLiteral("template/data"), false, true},
            {"in a folder the host allows", QStringLiteral("host/data"), true, true},
            {"in a folder the host does not allow", QStringLiteral("host/data"), false, false},
            {"outside", QStringLiteral("outside/data"), true, false},
            {"out through ..", QStringLiteral("template/../outside/data"), true, false},
            {"a link out of the folder", QStringLiteral("template/linked"), true, false},
            {"through a linked folder", QStringLiteral("template/door/data"), true, false},
            {"a FIFO in the template's folder", QStringLiteral("template/fifo"), true, false},
        };
        for (const auto& [reader, scriptAndExtension] : readers) {
            for (const auto& place : places) {
                QString file = pathOf(place.file);
                if (scriptAndExtension.second == QLatin1String("png"))
                    file.replace(QLatin1String("/data"), QLatin1String("/pic"));
                QTest::addRow("%s %s", reader, place.name)
                    << scriptAndExtension.first << scriptAndExtension.second << file << place.allowHostFolder << place.readable;
            }
        }
    }
    void readsOnlyTheAllowedFolders()
    {
        QFETCH(QString, script);
        QFETCH(QString, extension);
        QFETCH(QString, file);
        QFETCH(bool, allowHostFolder);
        QFETCH(bool, readable);

        // The path is written without its extension in the table; ".." must reach the player
        // unresolved, so the path is joined as text.
        const QString path = file + QLatin1Char('.') + extension;
        const QString result = play(script, path, allowHostFolder);
        const QString missing = play(script, pathOf(QStringLiteral("template/absent.") + extension), allowHostFolder);
        QVERIFY2(missing.startsWith(QLatin1String("missing")), qPrintable(missing));
        if (readable)
            QVERIFY2(result.startsWith(QLatin1String("read")), qPrintable(result));
        else
            QCOMPARE(result, missing);
    }

    // A script-loaded movie in level 0 does not make its own folder readable: only the host's
    // load does.
    void aScriptLoadDoesNotWidenTheFolders()
    {
        const QByteArray bytes = movieWith(QStringLiteral("loadMovieNum('%1', 0);").arg(pathOf(QStringLiteral("outside/pic.png"))), 1);
        QVERIFY(!bytes.isEmpty());
        player::Player engine;
        engine.setScriptHost(player::makeScriptHost(engine));
        QVERIFY(!engine.loadMovieData(0, bytes, QUrl::fromLocalFile(pathOf(QStringLiteral("template/main.swf"))).toString()));
        engine.advanceFrame();
        QVERIFY(engine.readableFolders().mayRead(pathOf(QStringLiteral("template/data.txt"))));
        QVERIFY(!engine.readableFolders().mayRead(pathOf(QStringLiteral("outside/data.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestTemplateSandbox)
#include "tst_template_sandbox.moc"
