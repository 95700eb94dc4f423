#include "../loading/FrameScriptMovie.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Movies of different SWF versions in one player: code of SWF 6 and older and code of SWF 7 on
// see two different sets of globals, and a call's scope and version depend on both the caller's
// and the function's movie. The movies are built here and loaded from a temporary folder.
class TestMixedVersions : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QStringList m_traces;
    std::unique_ptr<player::Player> m_player;

    static QByteArray movieWith(int version, const QStringList& frameScripts)
    {
        return frameScriptMovie(version, frameScripts);
    }

    bool writeMovie(const QString& name, int version, const QStringList& frameScripts)
    {
        QFile file(m_folder.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(movieWith(version, frameScripts)) > 0;
    }

    // Plays a root movie of the version for the frames and returns the traces.
    QString play(int version, const QStringList& frameScripts, int frames)
    {
        const QByteArray bytes = movieWith(version, frameScripts);
        if (bytes.isEmpty())
            return QStringLiteral("<no movie>");
        m_traces.clear();
        m_player = std::make_unique<player::Player>();
        runScriptsTracing(*m_player, m_traces);
        if (m_player->loadMovieData(0, bytes, QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("main.swf"))).toString()))
            return QStringLiteral("<not loaded>");
        for (int frame = 1; frame < frames; ++frame)
            m_player->advanceFrame();
        return m_traces.join(u'|');
    }

    // A child that leaves what its globals hold on its clip.
    bool writeReporter(const QString& name, int version)
    {
        return writeMovie(name, version,
                          {QStringLiteral("this.theObjectClass = Object; this.theArrayClass = Array; this.theClipClass = MovieClip;"
                                          "this.anObject = {}; this.anArray = [1, 2]; this.theGlobal = _global; stop();")});
    }

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void cleanup() { m_player.reset(); }

    // SWF 6 code has other classes than SWF 7 and 8 code; SWF 7 and SWF 8 share theirs.
    void olderAndNewerMoviesHaveTheirOwnGlobals()
    {
        QVERIFY(writeReporter(QStringLiteral("six.swf"), 6));
        QVERIFY(writeReporter(QStringLiteral("seven.swf"), 7));
        const QString traces = play(8, {QStringLiteral("createEmptyMovieClip('a', 1); createEmptyMovieClip('b', 2);"
                                                       "a.loadMovie('six.swf'); b.loadMovie('seven.swf');"),
                                        QStringLiteral("trace(typeof a.theGlobal);"
                                                       "trace(a.theGlobal === _global); trace(b.theGlobal === _global);"
                                                       "trace(a.theObjectClass === Object); trace(b.theObjectClass === Object);"
                                                       "trace(a.anObject instanceof Object); trace(a.anObject instanceof a.theObjectClass);"
                                                       "trace(b.anObject instanceof Object);"
                                                       "trace(a.anArray instanceof Array); trace(a.anArray instanceof a.theArrayClass);"
                                                       "trace(a instanceof MovieClip); trace(a instanceof a.theClipClass);"
                                                       "trace(b instanceof MovieClip); stop();")},
                                    3);
        QCOMPARE(traces, QStringLiteral("object|false|true|false|true|false|true|true|false|true|false|true|true"));
    }

    // What a SWF 8 movie puts on its MovieClip.prototype, a SWF 6 level does not see, and the
    // other way round; _global variables stay with their set too.
    void prototypeChangesStayWithTheirSet()
    {
        QVERIFY(writeMovie(QStringLiteral("level6.swf"), 6,
                           {QStringLiteral("MovieClip.prototype.fromSix = 'six'; _global.sixVariable = 6;"
                                           "this.report = function() { return this.fromEight + ' ' + this.fromSix + ' ' + eightVariable; }; stop();")}));
        const QString traces = play(8, {QStringLiteral("MovieClip.prototype.fromEight = 'eight'; _global.eightVariable = 8; loadMovieNum('level6.swf', 1);"),
                                        QStringLiteral("trace(_level1.fromEight); trace(_level1.fromSix); trace(_root.fromSix);"
                                                       "trace(typeof sixVariable); trace(_level1.report()); stop();")},
                                    3);
        QCOMPARE(traces, QStringLiteral("undefined|six|undefined|undefined| six "));
    }

    // Keys and the mouse reach the listeners of the first level's Key and Mouse, whichever set
    // of globals scripts used last.
    void inputReachesTheFirstLevelsListeners()
    {
        QVERIFY(writeMovie(QStringLiteral("eight.swf"), 8, {QStringLiteral("Key.addListener({onKeyDown: function() { trace('eight'); }}); stop();")}));
        play(6, {QStringLiteral("Key.addListener({onKeyDown: function() { trace('six ' + Key.getCode()); }});"
                                "Mouse.addListener({onMouseDown: function() { trace('mouse'); }});"
                                "createEmptyMovieClip('holder', 1); holder.loadMovie('eight.swf');"),
                 QStringLiteral("stop();")},
             3);
        m_traces.clear();
        m_player->keyDown(65, 97);
        m_player->mouseDown();
        QCOMPARE(m_traces.join(u'|'), QStringLiteral("six 65|mouse"));
    }

    // A function that tells what it sees: its "this", a variable of its scope, whether its code
    // has getDepth (SWF 6 on) and its target.
    static QString reporterFunction()
    {
        return QStringLiteral("var foo = 'child';"
                              "function f() { return typeof this + ' ' + foo + ' ' + typeof getDepth + ' ' + getProperty('', _target); }"
                              "var obj = {}; obj.toString = f; stop();");
    }

    // Calls made by SWF 5 code are no closures: a SWF 6 function called by name sees the
    // caller's clip and runs as SWF 5 code (on the timeline that holds it, or on nothing when a
    // local variable holds it); called on a clip it sees that clip and runs by that
    // clip's version; called by the player (a conversion) it sees the clip it was made on.
    void swf5CodeCallingSwf6Functions()
    {
        QVERIFY(writeMovie(QStringLiteral("child6.swf"), 6, {reporterFunction()}));
        const QString traces = play(5, {QStringLiteral("loadMovieNum('child6.swf', 1);"),
                                        QStringLiteral("var foo = 'root'; var f = _level1.f; trace(f()); trace(_level1.f());"
                                                       "function g() { var local = _level1.f; return local(); } trace(g());"
                                                       "trace('' + _level1.obj); stop();")},
                                    3);
        QCOMPARE(traces, QStringLiteral("movieclip root undefined /|movieclip child function _level1|undefined root undefined /|object child function _level1"));
    }

    // Calls made by SWF 6 code are closures: a SWF 5 function keeps the scope it was made in and
    // runs as SWF 5 code, which has no getDepth. Called by name it runs on the caller's target,
    // even from a local variable.
    void swf6CodeCallingSwf5Functions()
    {
        QVERIFY(writeMovie(QStringLiteral("child5.swf"), 5, {reporterFunction()}));
        const QString traces = play(6, {QStringLiteral("loadMovieNum('child5.swf', 1);"),
                                        QStringLiteral("var foo = 'root'; var f = _level1.f; trace(f()); trace(_level1.f());"
                                                       "function g() { var local = _level1.f; return local(); } trace(g());"
                                                       "trace('' + _level1.obj); stop();")},
                                    3);
        QCOMPARE(traces, QStringLiteral("movieclip child undefined _level1|movieclip child undefined _level1|movieclip child undefined _level1|object child undefined _level1"));
    }
};

QTEST_GUILESS_MAIN(TestMixedVersions)
#include "tst_avm1_mixed_versions.moc"
