#include "ScriptRunner.h"

#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTemporaryDir>
#include <QTest>

// Colour and geometry built-ins: Color, Stage, and Matrix, ColorTransform and Transform of
// flash.geom, checked by what scripts trace.
class TestGeometryAndColour : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    // Runs a script as the first frame of a real movie, so that clips exist, and returns the
    // traced lines joined with '|'.
    QString traceOfMovie(const QString& script, std::optional<QSize> viewport = std::nullopt)
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
        run.engine.setViewportSize(viewport);
        return run.playJoined(built.movie);
    }

private slots:
    // Without scaling the stage is the window that shows it; the scale mode that changes the
    // stage size tells the Stage listeners at once. A mode that keeps the size tells nobody,
    // and a player that does not know its window keeps the movie's frame.
    void unscaledStageIsTheWindow()
    {
        const QString script = QStringLiteral(
            "Stage.addListener({onResize: function() { trace('resize ' + Stage.width + ' ' + Stage.height); }});"
            "trace(Stage.width + ' ' + Stage.height); Stage.scaleMode = 'noScale'; trace(Stage.width + ' ' + Stage.height);"
            "Stage.scaleMode = 'NOSCALE'; Stage.scaleMode = 'exactFit'; Stage.scaleMode = 'noBorder'; trace('end');");
        const QString frame = traceOfMovie(QStringLiteral("trace(Stage.width + ' ' + Stage.height);"));
        QCOMPARE(traceOfMovie(script, QSize(300, 200)),
                 frame + "|resize 300 200|300 200|resize " + frame + "|end");
        QCOMPARE(traceOfMovie(script), frame + "|" + frame + "|end");
    }

    void scriptsWithoutClips_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("matrix identity and terms")
            << "var m = new flash.geom.Matrix(); trace(m); var n = new flash.geom.Matrix(2, 0, 0, 3); trace(n.tx);"
            << "(a=1, b=0, c=0, d=1, tx=0, ty=0)|undefined";
        QTest::newRow("matrix scale then translate")
            << "var m = new flash.geom.Matrix(); m.translate(10, 5); m.scale(2, 3); trace(m);"
               "var p = m.transformPoint(new flash.geom.Point(1, 1)); trace(p.x + ',' + p.y);"
               "var d = m.deltaTransformPoint(new flash.geom.Point(1, 1)); trace(d.x + ',' + d.y);"
            << "(a=2, b=0, c=0, d=3, tx=20, ty=15)|22,18|2,3";
        QTest::newRow("matrix concat applies the argument after")
            << "var m = new flash.geom.Matrix(1, 0, 0, 1, 5, 0); m.concat(new flash.geom.Matrix(2, 0, 0, 2, 1, 1)); trace(m);"
            << "(a=2, b=0, c=0, d=2, tx=11, ty=1)";
        QTest::newRow("matrix invert, and singular ones become identity")
            << "var m = new flash.geom.Matrix(2, 0, 0, 4, 10, 20); m.invert(); trace(m);"
               "var s = new flash.geom.Matrix(1, 2, 2, 4, 3, 3); s.invert(); trace(s);"
            << "(a=0.5, b=0, c=0, d=0.25, tx=-5, ty=-5)|(a=1, b=0, c=0, d=1, tx=0, ty=0)";
        QTest::newRow("matrix boxes")
            << "var m = new flash.geom.Matrix(); m.createBox(2, 3, 0, 4, 5); trace(m);"
               "m.createGradientBox(1638.4, 819.2, 0, 10, 20); trace(m);"
               "m.createBox(1, 1, Math.PI / 2); trace(Math.round(m.b) + ',' + Math.round(m.c));"
            << "(a=2, b=0, c=0, d=3, tx=4, ty=5)|(a=1, b=0, c=0, d=0.5, tx=829.2, ty=429.6)|1,-1";
        QTest::newRow("colour transform defaults, concat and rgb")
            << "var c = new flash.geom.ColorTransform(); trace(c);"
               "var a = new flash.geom.ColorTransform(0.5, 1, 1, 1, 10, 0, 0, 0);"
               "a.concat(new flash.geom.ColorTransform(2, 1, 1, 1, 4, 0, 0, 0)); trace(a.redMultiplier + ' ' + a.redOffset);"
               "a.rgb = 0x336699; trace(a.redMultiplier + ' ' + a.redOffset + ' ' + a.blueOffset + ' ' + a.rgb);"
            << "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, greenOffset=0, blueOffset=0, alphaOffset=0)"
               "|1 12|0 51 153 3368601";
        QTest::newRow("stage alignment and scale mode are normalised")
            << "Stage.align = 'bTl'; trace(Stage.align); Stage.align = 'xyz'; trace(Stage.align); Stage.align = true; trace(Stage.align);"
               "Stage.scaleMode = 'NOSCALE'; trace(Stage.scaleMode); Stage.scaleMode = 'stretch'; trace(Stage.scaleMode);"
            << "LTB||TR|noScale|showAll";
        QTest::newRow("stage tells listeners of full screen changes once")
            << "var l = {onFullScreen: function(full) { trace('full ' + full); }}; Stage.addListener(l);"
               "Stage.displayState = 'FULLSCREEN'; Stage.displayState = 'fullScreen'; trace(Stage.displayState);"
               "Stage.displayState = 'bogus'; Stage.displayState = 'normal'; trace(Stage.displayState);"
            << "full true|fullScreen|full false|normal";
        QTest::newRow("Color without a clip does nothing")
            << "var c = new Color(); c.setRGB(0xff0000); trace(c.getRGB()); trace(typeof c.getTransform());"
            << "undefined|undefined";
    }

    void scriptsWithoutClips()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        ScriptRunner runner;
        QCOMPARE(runner.run(script).join(u'|'), expected);
    }

    void clipColours_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("setRGB paints flat and keeps alpha")
            << "createEmptyMovieClip('hat', 1); hat._alpha = 50; var c = new Color(hat); c.setRGB(0x12ab34);"
               "trace(c.getRGB() == 0x12ab34); var t = c.getTransform(); trace(t.ra + ' ' + t.rb + ' ' + t.gb + ' ' + t.bb + ' ' + t.aa);"
            << "true|0 18 171 52 50";
        QTest::newRow("setTransform takes own terms only and wraps to 16 bits")
            << "createEmptyMovieClip('hat', 1); var c = new Color(hat); var proto = {ra: 10}; var t = {}; t.__proto__ = proto;"
               "t.ga = 50; t.bb = 70000; c.setTransform(t); var r = c.getTransform(); trace(r.ra + ' ' + r.ga + ' ' + r.bb);"
               "c.setTransform({ra: 20000}); trace(c.getTransform().ra);"
            << "100 50 4464|-5600";
        QTest::newRow("getRGB combines offsets as stored, spilling negative ones")
            << "createEmptyMovieClip('hat', 1); var c = new Color(hat); c.setTransform({rb: -1, gb: 2, bb: 3}); trace(c.getRGB());"
            << "-65021";
        QTest::newRow("Color follows a target path")
            << "createEmptyMovieClip('hat', 1); var c = new Color('hat'); c.setRGB(255); trace(hat.transform.colorTransform.blueOffset);"
            << "255";
        QTest::newRow("transform reads and writes the clip")
            << "createEmptyMovieClip('outer', 1); outer.createEmptyMovieClip('inner', 1); outer._x = 10; outer._xscale = 200;"
               "outer.inner._x = 5; var t = outer.inner.transform; trace(t.matrix); trace(t.concatenatedMatrix);"
               "t.matrix = {}; trace(outer.inner._x); t.matrix = new flash.geom.Matrix(1, 0, 0, 1, 7, 8); trace(outer.inner._x + ',' + outer.inner._y);"
               "t.colorTransform = new flash.geom.ColorTransform(0.5, 1, 1, 1, 0, 0, 0, 0); trace(outer.inner.transform.colorTransform.redMultiplier);"
            << "(a=1, b=0, c=0, d=1, tx=5, ty=0)|(a=2, b=0, c=0, d=1, tx=20, ty=0)|5|7,8|0.5";
        QTest::newRow("a transform of a removed clip reads nothing")
            << "createEmptyMovieClip('gone', 1); var t = new flash.geom.Transform(gone); gone.removeMovieClip(); trace(t.matrix);"
            << "undefined";
    }

    void clipColours()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traceOfMovie(script), expected);
    }
};

QTEST_GUILESS_MAIN(TestGeometryAndColour)
#include "tst_avm1_geometry_and_colour.moc"
