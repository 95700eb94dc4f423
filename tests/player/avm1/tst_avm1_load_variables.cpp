#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>

// loadVariables and loadVariablesNum, as movies built here call them: url-encoded local files
// arrive on the target after the frame that asked, with its data event; other schemes are
// refused quietly. The checks wait two frames.
class TestLoadVariables : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString pathOf(const QString& name) const { return m_folder.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(pathOf(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Plays a movie with one frame per script (kept in the folder as main.swf, which relative
    // paths start from) for the given number of frames, and returns the traces.
    QString play(const QStringList& frameScripts, int frames)
    {
        authoring::MovieWriter movie(8, 200, 100, 12);
        for (const QString& script : frameScripts) {
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
            if (!compiled.ok())
                return QStringLiteral("<does not compile: %1>").arg(script);
            movie.root().doAction(compiled.actions);
            movie.root().showFrame();
        }
        TracingPlayer run;
        return run.playJoined(movie.toBytes(false), std::max(frames - 1, 0),
                              QUrl::fromLocalFile(pathOf(QStringLiteral("main.swf"))).toString());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        writeFile(QStringLiteral("vars.txt"), "greeting=hello%20there&count=3&spaced+name=a+b\n");
        writeFile(QStringLiteral("more.txt"), "\xEF\xBB\xBFword=caf%C3%A9");
    }

    void loads_data()
    {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QString>("expected");

        const QString stop = QStringLiteral("stop();");
        QTest::newRow("a clip gets the variables and its onData, not at once")
            << QStringList{"createEmptyMovieClip('holder', 1);"
                           "holder.onData = function() { trace('data ' + this.greeting + ' ' + this.count + ' ' + this['spaced name']); };"
                           "loadVariables('vars.txt', holder); trace('asked ' + holder.greeting);",
                           stop}
            << "asked undefined|data hello there 3 a b\n";
        QTest::newRow("a level by number")
            << QStringList{"loadVariablesNum('vars.txt', 0); trace('asked ' + greeting);", "", "trace('then ' + greeting);", stop}
            << "asked undefined|then hello there";
        QTest::newRow("a target path as text, and a byte order mark left out")
            << QStringList{"createEmptyMovieClip('box', 2); loadVariables('more.txt', '_level0.box');", "", "trace(box.word);", stop}
            << QString::fromUtf8("café");
        QTest::newRow("http is refused and nothing arrives")
            << QStringList{"createEmptyMovieClip('holder', 1); holder.onData = function() { trace('data'); };"
                           "loadVariables('http://localhost:1/vars.txt', holder); loadVariables('ftp://x/vars.txt', holder);",
                           "", "trace('greeting ' + holder.greeting);", stop}
            << "greeting undefined";
        QTest::newRow("a missing file and a missing target change nothing")
            << QStringList{"createEmptyMovieClip('holder', 1); loadVariables('absent.txt', holder);"
                           "loadVariables('vars.txt', '_level0.nowhere'); loadVariablesNum('vars.txt', 7);",
                           "", "trace(holder.greeting + ' ' + greeting);", stop}
            << "undefined undefined";
        QTest::newRow("sendAndLoad loads into its target, counting no bytes until they arrive")
            << QStringList{"var out = new LoadVars(); out.x = 1; var lv = new LoadVars();"
                           "lv.onLoad = function(ok) { trace('load ' + ok + ' ' + this.greeting + ' ' + this.getBytesLoaded() + ' ' + this.loaded); };"
                           "trace(out.sendAndLoad('vars.txt', lv, 'POST') + ' ' + lv.loaded + ' ' + lv.getBytesLoaded() + ' ' + out.sendAndLoad('vars.txt'));",
                           stop}
            << "true false 0 false|load true hello there 47 true";
        QTest::newRow("a load leaves the interval numbers alone")
            << QStringList{"createEmptyMovieClip('holder', 1); loadVariables('vars.txt', holder); var lv = new LoadVars(); lv.load('vars.txt');"
                           "var id = setInterval(function() {}, 1000); trace(id); clearInterval(id);",
                           stop}
            << "1";
    }
    void loads()
    {
        QFETCH(QStringList, frames);
        QFETCH(QString, expected);
        QCOMPARE(play(frames, 5), expected);
    }
};

QTEST_GUILESS_MAIN(TestLoadVariables)

#include "tst_avm1_load_variables.moc"
