#include "ScriptRunner.h"

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/TemplateBuilder.h"
#include "player/Player.h"

#include "player/avm1/LocalFileReader.h"
#include "../TracingPlayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// A runner that reads files as the player does.
class FileRunner : public ScriptRunner {
public:
    std::optional<QByteArray> readLocalFile(const QString& url) override { return player::avm1::readLocalFileForScript(url); }
};

} // namespace

// Sound without audio, Selection and LoadVars, checked by what scripts trace.
class TestSoundSelectionLoadVars : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    // Runs a script as the first frame of a real movie, so that clips exist.
    QString traceOfMovie(const QString& script)
    {
        QString path = m_folder.filePath(QStringLiteral("script.as"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QStringLiteral("<no file>");
        file.write(script.toUtf8());
        file.close();
        authoring::TemplateBuildResult built = authoring::buildScriptMovie(path);
        if (built.movie.isEmpty())
            return QStringLiteral("<no movie>");
        TracingPlayer run;
        return run.playJoined(built.movie);
    }

    static QString traceOf(const QString& script)
    {
        ScriptRunner runner;
        return runner.run(script).join(u'|');
    }

private slots:
    void sound_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults")
            << "var s = new Sound(); var t = s.getTransform(); trace([s.getVolume(), s.getPan(), t.ll, t.lr, t.rl, t.rr, typeof s.duration, typeof s.position].join());"
            << "100,0,100,0,0,100,undefined,undefined";
        QTest::newRow("volume truncates; what does not fit, NaN too, is the smallest integer")
            << "var s = new Sound(); s.setVolume(50.7); trace(s.getVolume()); s.setVolume(-3.9); trace(s.getVolume());"
               "s.setVolume(NaN); trace(s.getVolume()); s.setVolume(3000000000); trace(s.getVolume()); s.setVolume(); trace(s.getVolume());"
            << "50|-3|-2147483648|-2147483648|0";
        QTest::newRow("pan turns one side down")
            << "var s = new Sound(); s.setPan(30); var t = s.getTransform(); trace(s.getPan() + ' ' + t.ll + ' ' + t.rr);"
               "s.setPan(-30); t = s.getTransform(); trace(s.getPan() + ' ' + t.ll + ' ' + t.rr);"
            << "30 70 100|-30 100 70";
        QTest::newRow("pan past the end comes back through the magnitude of the gain")
            << "var s = new Sound(); s.setPan(150); trace(s.getPan() + ' ' + s.getTransform().ll);"
            << "50 -50";
        QTest::newRow("setTransform takes own properties only, wrapped to 32 bits")
            << "var s = new Sound(); s.setTransform({ll: 80, rl: 3000000000}); var p = {rr: 5}; var o = new Object(); o.__proto__ = p;"
               "s.setTransform(o); var t = s.getTransform(); trace([t.ll, t.lr, t.rl, t.rr, s.getPan()].join());"
            << "80,0,-1294967296,100,20";
        QTest::newRow("Sounds without a clip share the movie's settings")
            << "var a = new Sound(); var b = new Sound(); a.setVolume(30); trace(b.getVolume());"
            << "30";
        QTest::newRow("methods on other objects give undefined")
            << "var o = new Object(); o.getVolume = Sound.prototype.getVolume; trace(o.getVolume());"
            << "undefined";
    }

    void sound()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traceOf(script), expected);
    }

    // attachSound takes a sound the movie exports; its length, from the sample count and rate
    // of its header, is the Sound's duration in whole milliseconds. Names that export no sound
    // (or a clip) leave the Sound as it was.
    void attachedSoundsHaveTheirDuration()
    {
        authoring::MovieWriter movie(8, 100, 100, 12);
        auto defineSound = [&](const char* name, uint8_t flags, uint32_t samples) {
            const uint16_t id = movie.allocateCharacterId();
            QByteArray body;
            body.append(char(id & 0xff)).append(char(id >> 8)).append(char(flags));
            for (int shift = 0; shift < 32; shift += 8)
                body.append(char((samples >> shift) & 0xff));
            body.append(QByteArray(4, '\0'));
            movie.root().addTag(authoring::TagCode::DefineSound, body);
            movie.exportAsset(id, name);
        };
        defineSound("long", 0x26, 16008);  // MP3, 11 kHz, 16 bits, mono
        defineSound("short", 0x0f, 22050); // raw, 44 kHz, 16 bits, stereo: half a second
        defineSound("slow", 0x02, 11025);  // raw, 5.5 kHz: two seconds
        const uint16_t clipId = movie.allocateCharacterId();
        authoring::TimelineWriter clip;
        clip.showFrame();
        movie.defineSprite(clipId, clip);
        movie.exportAsset(clipId, "clip");
        const authoring::CompileResult compiled = authoring::ScriptCompiler::compile(
            "var s = new Sound(); trace(s.duration); s.attachSound('long'); trace(s.duration + ' ' + s.getDuration());"
            "s.attachSound('nothing'); trace(s.duration); s.attachSound('clip'); trace(s.duration);"
            "s.attachSound('SHORT'); trace(s.duration); s.attachSound('slow'); trace(s.getDuration());"
            "var c = new Sound(createEmptyMovieClip('holder', 1)); c.attachSound('short'); trace(c.duration);");
        QVERIFY(compiled.ok());
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        TracingPlayer run;
        QCOMPARE(run.play(movie.toBytes(false)), (QStringList{"undefined", "1452 1452", "1452", "1452", "500", "2000", "500"}));
    }

    void soundsOfAClipShareItsSettings()
    {
        QCOMPARE(traceOfMovie(QStringLiteral(
                     "var c = createEmptyMovieClip('c', 1); var a = new Sound(c); var b = new Sound(c); var m = new Sound();"
                     "a.setVolume(20); trace(b.getVolume() + ' ' + m.getVolume());")),
                 QStringLiteral("20 100"));
    }

    void selection()
    {
        QCOMPARE(traceOf(QStringLiteral(
                     "trace(Selection.setFocus(false) + ' ' + Selection.setFocus(null) + ' ' + Selection.setFocus({}) + ' ' + Selection.getFocus());"
                     "trace(Selection.getBeginIndex() + ' ' + Selection.getEndIndex() + ' ' + Selection.getCaretIndex());")),
                 QStringLiteral("false true false null|-1 -1 -1"));
    }

    void selectionTellsOfFocusChanges()
    {
        QCOMPARE(traceOfMovie(QStringLiteral(
                     "var a = createEmptyMovieClip('a', 1); var b = createEmptyMovieClip('b', 2);"
                     "a.focusEnabled = b.focusEnabled = true;"
                     "a.onKillFocus = function(to) { trace('a loses to ' + to); };"
                     "b.onSetFocus = function(from) { trace('b gains from ' + from); };"
                     "Selection.addListener({onSetFocus: function(from, to) { trace('listener ' + from + ' ' + to); }});"
                     "trace(Selection.setFocus(a)); trace(Selection.getFocus());"
                     "Selection.setFocus('b'); Selection.setFocus(b); Selection.setFocus('nowhere'); trace(Selection.getFocus());")),
                 QStringLiteral("listener null _level0.a|true|_level0.a|a loses to _level0.b|b gains from _level0.a|"
                                "listener _level0.a _level0.b|listener _level0.b null|null"));
    }

    void loadVars_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decode")
            << "var v = new LoadVars(); v.decode('a=1&b=x+y%26z&c&=d&&e=%zz'); trace([v.a, v.b, v.c, v.e].join('|'));"
            << "1|x y&z||%zz";
        QTest::newRow("toString in the order the variables were made, methods left out")
            << "var v = new LoadVars(); v.b = 'two words'; v.a = 'é&'; v.f = function() {}; trace(v.toString());"
            << "b=two+words&a=%C3%A9%26";
        QTest::newRow("decode then toString")
            << "var v = new LoadVars(); v.decode('k=v%2Bw'); trace(v);"
            << "k=v%2Bw";
        QTest::newRow("a failed load tells onLoad later, and loaded stays hidden")
            << "var v = new LoadVars(); v.onLoad = function(ok) { trace('onLoad ' + ok); }; trace(v.load('missing.txt'));"
               "trace(v.loaded + ' ' + v.toString() + '.');"
            << "true|false .";
    }

    void loadVars()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traceOf(script), expected);
    }

    void menusConnectionsAndSharedObjects_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("context menu defaults, in Flash's order")
            << "var m = new ContextMenu(); var names = []; for (var n in m) names.push(n); trace(names.join());"
               "names = []; for (var n in m.builtInItems) names.push(n + '=' + m.builtInItems[n]); trace(names.join());"
            << "customItems,builtInItems,onSelect|save=true,zoom=true,quality=true,play=true,loop=true,rewind=true,forward_back=true,print=true";
        QTest::newRow("a copied menu shares its built-in items and copies custom ones")
            << "var m = new ContextMenu(); m.customItems.push(new ContextMenuItem('a', null, null, false));"
               "var c = m.copy(); c.builtInItems.play = false; c.customItems[0].caption = 'b';"
               "trace(m.builtInItems.play + ' ' + m.customItems[0].caption + ' ' + c.customItems[0].enabled + ' ' + c.customItems[0].separatorBefore);"
               "m.hideBuiltInItems(); trace(m.builtInItems.save + ' ' + c.builtInItems.save);"
            << "false a false false|false true";
        QTest::newRow("local connections go nowhere")
            << "var l = new LocalConnection(); trace(l.connect('a') + ' ' + l.connect('b') + ' ' + l.domain()); l.close(); trace(l.connect('c:d') + ' ' + l.connect('c'));"
            << "true false localhost|false true";
        QTest::newRow("shared objects live in memory")
            << "var s = SharedObject.getLocal('prefs'); s.data.x = 5; trace(SharedObject.getLocal('prefs').data.x + ' ' + s.flush());"
               "trace(SharedObject.getLocal('prefs', '/').data.x + ' ' + SharedObject.getLocal('a b')); s.clear(); trace(s.data.x);"
            << "5 true|undefined null|undefined";
    }

    void menusConnectionsAndSharedObjects()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traceOf(script), expected);
    }

    void loadVarsReadsLocalFilesOnly()
    {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("vars.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("name=Ada&age=36");
        file.close();
        QString url = QUrl::fromLocalFile(file.fileName()).toString();
        QCOMPARE(player::avm1::readLocalFileForScript(url).value_or("none"), QByteArray("name=Ada&age=36"));
        QCOMPARE(player::avm1::readLocalFileForScript(file.fileName() + "?x=1").value_or("none"), QByteArray("name=Ada&age=36"));
        QVERIFY(!player::avm1::readLocalFileForScript(QStringLiteral("http://example.com/vars.txt")));
        QVERIFY(!player::avm1::readLocalFileForScript(folder.filePath(QStringLiteral("missing.txt"))));
        QVERIFY(!player::avm1::readLocalFileForScript(QString()));

        FileRunner runner;
        runner.run(QStringLiteral("var v = new LoadVars(); v.onLoad = function(ok) { _root.result = ok + ' ' + this.name + ' ' + this.age + ' ' + this.loaded; };"
                                  "v.load('%1'); trace(result);").arg(url));
        runner.machine().runTimers(10);
        QCOMPARE(runner.run(QStringLiteral("trace(result);")).join(u'|'), QStringLiteral("true Ada 36 true"));
    }
};

QTEST_GUILESS_MAIN(TestSoundSelectionLoadVars)
#include "tst_avm1_sound_selection_loadvars.moc"
