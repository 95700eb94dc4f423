#include "../avm1/ScriptRunner.h"

#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTemporaryDir>
#include <QTest>

// The flash.filters classes as scripts see them: defaults, Flash's clamping and rounding,
// clone(), and the copying "filters" property of clips.
class TestFilterClasses : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static QString traces(const QString& script)
    {
        ScriptRunner runner;
        return runner.run(script).join(u'|');
    }

    // Runs a script as the first frame of a real movie, so that _root is a clip.
    QString traceOfMovie(const QString& script)
    {
        const QString path = m_folder.filePath(QStringLiteral("script.as"));
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

private slots:
    void defaults_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blur") << "var f = new flash.filters.BlurFilter(); trace([f.blurX, f.blurY, f.quality]);" << "4,4,1";
        QTest::newRow("glow") << "var f = new flash.filters.GlowFilter(); trace([f.color, f.alpha, f.blurX, f.blurY, f.strength, f.quality, f.inner, f.knockout]);"
                              << "16711680,1,6,6,2,1,false,false";
        QTest::newRow("drop shadow keeps Flash's not quite 45 degrees")
            << "var f = new flash.filters.DropShadowFilter(); trace([f.distance, f.angle, f.color, f.alpha, f.blurX, f.strength, f.hideObject]);"
            << "4,44.9999999772279,0,1,4,1,false";
        QTest::newRow("bevel") << "var f = new flash.filters.BevelFilter(); trace([f.highlightColor, f.highlightAlpha, f.shadowColor, f.shadowAlpha, f.type, f.knockout]);"
                               << "16777215,1,0,1,inner,false";
        QTest::newRow("gradient glow starts without colours")
            << "var f = new flash.filters.GradientGlowFilter(); trace([f.colors.length, f.alphas.length, f.ratios.length, f.type, f.distance]);"
            << "0,0,0,inner,4";
        QTest::newRow("colour matrix is the identity")
            << "var f = new flash.filters.ColorMatrixFilter(); trace(f.matrix);" << "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0";
        QTest::newRow("convolution") << "var f = new flash.filters.ConvolutionFilter(); trace([f.matrixX, f.matrixY, f.matrix.length, f.divisor, f.bias, f.preserveAlpha, f.clamp, f.color, f.alpha]);"
                                     << "0,0,0,1,0,true,true,0,0";
        QTest::newRow("displacement map") << "var f = new flash.filters.DisplacementMapFilter(); trace([f.mapBitmap, f.mapPoint, f.componentX, f.scaleX, f.mode, f.alpha]);"
                                          << "undefined,(x=0, y=0),0,0,wrap,0";
        QTest::newRow("arguments in the constructor's order")
            << "var f = new flash.filters.DropShadowFilter(10, 90, 0xFF, 0.5, 3, 5, 2, 3, true, true, true);"
               "trace([f.distance, f.angle, f.color, f.alpha, f.blurX, f.blurY, f.strength, f.quality, f.inner, f.knockout, f.hideObject]);"
            << "10,90,255,0.498039215686275,3,5,2,3,true,true,true";
    }
    void defaults()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traces(script), expected);
    }

    void clamping_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blur sizes 0..255") << "var f = new flash.filters.BlurFilter(-1, 256); trace([f.blurX, f.blurY]); f.blurX = 100.5; trace(f.blurX);"
                                           << "0,255|100.5";
        QTest::newRow("quality is a whole number 0..15")
            << "var f = new flash.filters.BlurFilter(); f.quality = 2.5; trace(f.quality); f.quality = -1; trace(f.quality); f.quality = 100; trace(f.quality);"
            << "2|0|15";
        QTest::newRow("angle modulo 360 keeping its sign")
            << "var f = new flash.filters.BevelFilter(); f.angle = 361; trace(f.angle); f.angle = -1; trace(f.angle); f.angle = 720; trace(f.angle);"
            << "1|-1|0";
        QTest::newRow("alpha truncated to 255ths, colour to 24 bits")
            << "var f = new flash.filters.GlowFilter(); f.alpha = 0.5; f.color = -305419896; trace([f.color, f.alpha]); f.alpha = 1.5; trace(f.alpha); f.alpha = -1; trace(f.alpha);"
            << "13347208,0.498039215686275|1|0";
        QTest::newRow("strength 0..255") << "var f = new flash.filters.GlowFilter(); f.strength = 256; trace(f.strength); f.strength = -1; trace(f.strength);"
                                         << "255|0";
        QTest::newRow("gradient strength is 8.8 fixed point")
            << "var f = new flash.filters.GradientBevelFilter(); f.strength = 1.1; trace(f.strength);" << "1.09765625";
        QTest::newRow("bevel type names are exact")
            << "var f = new flash.filters.BevelFilter(); f.type = 'outer'; trace(f.type); f.type = 'INNER'; trace(f.type); f.type = 'inner'; trace(f.type);"
            << "outer|full|inner";
        QTest::newRow("booleans converted") << "var f = new flash.filters.DropShadowFilter(); f.knockout = 1; trace(f.knockout); f.knockout = null; trace(f.knockout);"
                                            << "true|false";
        QTest::newRow("colour matrix fills with NaN and drops extras")
            << "var f = new flash.filters.ColorMatrixFilter(); f.matrix = [2]; trace(f.matrix.slice(0, 3)); f.matrix = null; trace(f.matrix[0]);"
               "var a = []; for (var i = 0; i < 21; i++) a.push(i); f.matrix = a; trace(f.matrix.length + ' ' + f.matrix[19]);"
            << "2,NaN,NaN|2|20 19";
        QTest::newRow("convolution matrix grows with its sides, never shrinks")
            << "var f = new flash.filters.ConvolutionFilter(); f.matrix = [1, 2, 3]; f.matrixX = 2; f.matrixY = 2; trace(f.matrix);"
               "f.matrixX = 1; trace(f.matrix); f.matrixX = 100; trace(f.matrixX); f.matrix = 'abc'; trace(f.matrix.length);"
            << "1,2,3,0|1,2,3,0|15|30";
        QTest::newRow("convolution divisor defaults to the matrix sum, colour alone is opaque")
            << "var f = new flash.filters.ConvolutionFilter(2, 1, [3, 4]); trace(f.divisor);"
               "var g = new flash.filters.ConvolutionFilter(1, 1, [1], 9, 0, true, true, 128); trace([g.divisor, g.color, g.alpha]);"
            << "7|9,128,1";
        QTest::newRow("gradient colours set the count, ratios only shorten it")
            << "var f = new flash.filters.GradientGlowFilter(); f.colors = [-305419896, 10]; trace([f.colors, f.alphas, f.ratios].join('/'));"
               "f.ratios = [500, 50.5, 100]; trace(f.ratios); f.alphas = [0.5]; trace(f.alphas); f.ratios = [7]; trace(f.colors.length);"
               "f.colors = [1, 2, 3]; trace(f.ratios);"
            << "13347208,10/0,0/0,0|255,50|0.501960784313725,1|1|7,50,0";
        QTest::newRow("at most sixteen gradient colours")
            << "var f = new flash.filters.GradientBevelFilter(); var a = []; for (var i = 0; i < 17; i++) a.push(i); f.colors = a; trace(f.colors.length);"
            << "16";
        QTest::newRow("displacement map point in whole pixels, copied")
            << "var f = new flash.filters.DisplacementMapFilter(); f.mapPoint = new flash.geom.Point(12.5, -3); trace(f.mapPoint);"
               "f.mapPoint.x += 10; trace(f.mapPoint.x); trace(f.mapPoint == f.mapPoint); f.mapPoint = null; trace(f.mapPoint);"
            << "(x=12, y=-3)|12|false|(x=0, y=0)";
        QTest::newRow("NaN sizes count as none") << "var f = new flash.filters.BlurFilter(); f.blurX = NaN; f.quality = 'x'; trace([f.blurX, f.quality]);"
                                                 << "0,0";
        QTest::newRow("colour matrix from a text is all NaN")
            << "var f = new flash.filters.ColorMatrixFilter('abc'); trace(f.matrix.length + ' ' + isNaN(f.matrix[0]) + ' ' + isNaN(f.matrix[19]));"
            << "20 true true";
        QTest::newRow("gradient arguments in order")
            << "var f = new flash.filters.GradientBevelFilter(2, 90, [0xFF0000, 0xFF], [1, 0.5], [0, 255], 3, 5, 2, 2, 'full', true);"
               "trace([f.distance, f.angle, f.colors.join('/'), f.alphas.join('/'), f.ratios.join('/'), f.blurX, f.blurY, f.strength, f.quality, f.type, f.knockout]);"
            << "2,90,16711680/255,1/0.501960784313725,0/255,3,5,2,2,full,true";
        QTest::newRow("displacement map scale and mode")
            << "var f = new flash.filters.DisplacementMapFilter(); f.scaleX = 65536; f.componentY = -2.5; f.mode = 'clamp'; trace([f.scaleX, f.componentY, f.mode]);"
               "f.mode = 'Color'; trace(f.mode); f.mapBitmap = 45; trace(f.mapBitmap);"
            << "65535,-2,clamp|wrap|undefined";
    }
    void clamping()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(traces(script), expected);
    }

    void cloneAndClassShape()
    {
        QCOMPARE(traces("var f = new flash.filters.GlowFilter(0xFF00, 0.5, 3, 4, 2, 3, true, true); var c = f.clone();"
                        "trace(c == f); trace(c instanceof flash.filters.GlowFilter); trace([c.color, c.alpha, c.blurX, c.blurY, c.strength, c.quality, c.inner, c.knockout]);"
                        "c.blurX = 9; trace(f.blurX);"),
                 QStringLiteral("false|true|65280,0.498039215686275,3,4,2,3,true,true|3"));
        QCOMPARE(traces("var g = new flash.filters.GradientGlowFilter(); g.colors = [1, 2]; g.ratios = [5]; var c = g.clone(); c.colors = [7, 8]; trace(c.ratios);"),
                 QStringLiteral("5,0"));
        QCOMPARE(traces("var b = new flash.filters.BitmapFilter(); trace(typeof b); trace(b.clone());"
                        "trace(new flash.filters.BlurFilter() instanceof flash.filters.BitmapFilter);"),
                 QStringLiteral("object|undefined|true"));
        // for..in shows a filter's properties and clone(), in the order Flash gives them.
        QCOMPARE(traces("var f = new flash.filters.BlurFilter(); var names = []; for (var n in f) names.push(n); trace(names);"),
                 QStringLiteral("clone,quality,blurY,blurX"));
        // Getters of one class do not read another class's filters, even through its prototype.
        QCOMPARE(traces("var f = new flash.filters.BlurFilter(); f.__proto__ = flash.filters.GlowFilter.prototype;"
                        "trace(f.color); f.color = 5; trace(f.color);"),
                 QStringLiteral("undefined|undefined"));
    }

    void bitmapApplyFilter()
    {
        // A white dot blurred by a box of three along the row: a third of it on each of three pixels.
        QCOMPARE(traces("var b = new flash.display.BitmapData(10, 1, true, 0); b.setPixel32(5, 0, 0xFFFFFFFF);"
                        "trace(b.applyFilter(b, new flash.geom.Rectangle(0, 0, 10, 1), new flash.geom.Point(0, 0), new flash.filters.BlurFilter(3, 0, 1)));"
                        "var a = []; for (var x = 3; x <= 7; x++) a.push(b.getPixel32(x, 0) >>> 24); trace(a);"
                        "b.dispose(); trace(b.applyFilter(b, new flash.geom.Rectangle(0, 0, 1, 1), new flash.geom.Point(0, 0), new flash.filters.BlurFilter()));"),
                 QStringLiteral("0|0,85,85,85,0|-1"));
        // Written at the destination point, the area only.
        QCOMPARE(traces("var s = new flash.display.BitmapData(4, 4, true, 0xFF0000FF); var d = new flash.display.BitmapData(8, 8, true, 0);"
                        "d.applyFilter(s, new flash.geom.Rectangle(0, 0, 2, 2), new flash.geom.Point(5, 5), new flash.filters.ColorMatrixFilter());"
                        "trace([d.getPixel32(4, 4) >>> 24, d.getPixel(5, 5), d.getPixel32(7, 7) >>> 24]);"),
                 QStringLiteral("0,255,0"));
    }

    void clipFiltersAreCopies()
    {
        const QString script = QStringLiteral(
            "var f = new flash.filters.BlurFilter(3, 5, 2);"
            "trace(_root.filters.length);"
            "var list = [f, 'not a filter', new flash.filters.GlowFilter()];"
            "_root.filters = list;"
            "trace(_root.filters.length);"
            "f.blurX = 20; list.pop();"
            "var got = _root.filters; trace(got[0].blurX + ' ' + got.length);"
            "trace(got[0] == f); trace(got[0] instanceof flash.filters.BlurFilter);"
            "got[0].blurY = 40; trace(_root.filters[0].blurY);"
            "_root.filters = [f]; trace(_root.filters[0].blurX);"
            "_root.filters = []; trace(_root.filters.length);"
            "_root.filters = [f]; _root.filters = 'nonsense'; trace(_root.filters.length);"
            "var plain = {}; plain.filters = [f]; trace(typeof plain.filters[0]);");
        QCOMPARE(traceOfMovie(script), QStringLiteral("0|2|3 2|false|true|5|20|0|0|object"));
    }
};

QTEST_GUILESS_MAIN(TestFilterClasses)
#include "tst_filter_classes.moc"
