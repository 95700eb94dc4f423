#include "ScriptedStage.h"
#include "player/Player.h"
#include "player/avm1/ScriptEngine.h"
#include "player/render/DisplayRenderer.h"

#include <QTemporaryDir>
#include <QtTest>

// What scripts draw and how it looks: the drawing API, gradient fills, the look properties of
// clips (blendMode, opaqueBackground) and masks made of drawings, checked at chosen pixels of
// the rendered 100x100 stage.
class ScriptDrawingTest : public QObject {
    Q_OBJECT

private:
    using Result = ScriptedStage;

    QTemporaryDir m_folder;

    Result run(const QString& script) { return renderScriptedStage(m_folder, script); }

    static bool near(QRgb actual, QRgb expected, int tolerance)
    {
        return std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
            && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
    }

    static QByteArray describe(QRgb color) { return QByteArray::number(color & 0xFFFFFF, 16).rightJustified(6, '0'); }

private slots:
    void drawnPixels_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("expected");
        QTest::addColumn<int>("tolerance");

        // The path of a square from 10 to 90 in clip "a".
        const QString square = QStringLiteral("a.moveTo(10, 10); a.lineTo(90, 10); a.lineTo(90, 90); a.lineTo(10, 90); a.lineTo(10, 10); a.endFill();");
        const QString redBackdrop = QStringLiteral("createEmptyMovieClip('back', 0); back.beginFill(0xFF0000);"
                                                   "back.moveTo(0, 0); back.lineTo(100, 0); back.lineTo(100, 100); back.lineTo(0, 100); back.endFill();");

        QTest::newRow("solid fill inside") << "createEmptyMovieClip('a', 1); a.beginFill(0x00FF00);" + square
                                           << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("fill with alpha over red")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF, 50);" + square
            << QPoint(50, 50) << qRgb(128, 0, 127) << 2;
        // A fill left open is closed back to its start.
        QTest::newRow("open fill closes")
            << "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF); a.moveTo(10, 10); a.lineTo(90, 10); a.lineTo(90, 90);"
            << QPoint(80, 30) << qRgb(0, 0, 255) << 0;
        QTest::newRow("beginFill without colour fills nothing")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill();" + square
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("line of four pixels")
            << "createEmptyMovieClip('a', 1); a.lineStyle(4, 0x0000FF, 100); a.moveTo(10, 50); a.lineTo(90, 50);"
            << QPoint(50, 51) << qRgb(0, 0, 255) << 0;
        QTest::newRow("lineStyle without thickness ends the line")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.lineStyle(4, 0x0000FF); a.lineStyle(); a.moveTo(10, 50); a.lineTo(90, 50);"
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        // A fade from transparent black to opaque white is mixed straight, through half-transparent
        // grey: over red, the middle is (191, 64, 64). Mixed premultiplied, it would be pink.
        QTest::newRow("gradient mixes straight colours")
            << redBackdrop + "createEmptyMovieClip('a', 1);"
                             "a.beginGradientFill('linear', [0x000000, 0xFFFFFF], [0, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0});"
               + square
            << QPoint(50, 50) << qRgb(191, 64, 64) << 6;
        QTest::newRow("gradient box start")
            << "createEmptyMovieClip('a', 1);"
               "a.beginGradientFill('linear', [0x0000FF, 0xFFFF00], [100, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0});"
               + square
            << QPoint(11, 50) << qRgb(28, 28, 227) << 8;
        // Rotated a quarter turn the gradient runs downwards.
        QTest::newRow("gradient box rotated")
            << "createEmptyMovieClip('a', 1);"
               "a.beginGradientFill('linear', [0x0000FF, 0xFFFF00], [100, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: Math.PI / 2});"
               + square
            << QPoint(50, 88) << qRgb(224, 224, 31) << 8;
        QTest::newRow("gradient with a plain matrix")
            << "createEmptyMovieClip('a', 1);"
               "a.beginGradientFill('linear', [0x0000FF, 0xFFFF00], [100, 100], [0, 255], {a: 100 / 1638.4, b: 0, c: 0, d: 100 / 1638.4, tx: 50, ty: 50});"
               + square
            << QPoint(88, 50) << qRgb(224, 224, 31) << 8;
        // The focal point is kept in 8.8 fixed point, its fraction cut: 0.99 becomes 253/256. Close to
        // the edge that moves the gradient a lot: at (50, 50), 0.9955 of the way across the box,
        // the fade from black to white is 0.62 of the way along (157), not 0.55 (140).
        QTest::newRow("focal point in whole 256ths")
            << "createEmptyMovieClip('a', 1);"
               "a.beginGradientFill('radial', [0x000000, 0xFFFFFF], [100, 100], [0, 255], {matrixType: 'box', x: -1945, y: -950, w: 2000, h: 2000, r: 0}, 'pad', 'RGB', 0.99);"
               + square
            << QPoint(50, 50) << qRgb(157, 157, 157) << 5;
        // At low quality a pixel mixes the two table entries around it. Ratios 100 and 101 put a
        // step between entries 100 and 101, whose middles lie at 39.26 and 39.65 pixels across the
        // box: the centre of column 39 is 62% of the way from red to blue.
        const QString stepFill = QStringLiteral("createEmptyMovieClip('a', 1);"
                                                "a.beginGradientFill('linear', [0xFF0000, 0x0000FF], [100, 100], [100, %1], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0}%2);");
        QTest::newRow("gradient step mixes neighbouring entries")
            << stepFill.arg(101).arg(QString()) + square << QPoint(39, 50) << qRgb(96, 0, 159) << 4;
        QTest::newRow("gradient step beside the mix")
            << stepFill.arg(101).arg(QString()) + square << QPoint(38, 50) << qRgb(255, 0, 0) << 0;
        // In linear light the mix is made on light and only then converted back.
        QTest::newRow("linear-light gradient step mixes light")
            << stepFill.arg(101).arg(QStringLiteral(", 'pad', 'linearRGB'")) + square << QPoint(39, 50) << qRgb(165, 0, 207) << 4;
        // A script's ratio that does not rise above the one before is moved one past it, so
        // ratios 100 and 100 draw as 100 and 101.
        QTest::newRow("repeated ratio moves one on")
            << stepFill.arg(100).arg(QString()) + square << QPoint(39, 50) << qRgb(96, 0, 159) << 4;
        // The matrix keeps its scale in 16.16 fixed point, the fraction cut: a box 0.999 pixels
        // wide scales by 39/65536, a repeat of 0.975 pixels, so 19 pixels on the colours are
        // nearly back at the start (0.999 pixels would be halfway through the fade).
        const QString tinyRepeat = QStringLiteral("createEmptyMovieClip('a', 1);"
                                                  "a.beginGradientFill('linear', [0xFF0000, 0x0000FF], [100, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 0.999, h: 100, r: 0}, 'repeat');");
        QTest::newRow("gradient matrix scale in 16.16 fixed point before the wrap")
            << tinyRepeat + square << QPoint(19, 50) << qRgb(3, 0, 252) << 12;
        QTest::newRow("gradient matrix scale in 16.16 fixed point after the wrap")
            << tinyRepeat + square << QPoint(20, 50) << qRgb(252, 0, 3) << 12;
        QTest::newRow("gradient lists of different lengths fill nothing")
            << redBackdrop + "createEmptyMovieClip('a', 1);"
                             "a.beginGradientFill('linear', [0x0000FF, 0xFFFF00], [100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0});"
               + square
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("line gradient colours the line")
            << "createEmptyMovieClip('a', 1); a.lineStyle(6, 0x000000);"
               "a.lineGradientStyle('linear', [0x00FF00, 0x00FF00], [100, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0});"
               "a.moveTo(10, 50); a.lineTo(90, 50);"
            << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        // What Flash cannot read leaves the line's gradient as it was: a call without arguments,
        // nine arguments, a ratio of 256 or of -1, or a type in capitals.
        const QString greenLine = QStringLiteral("createEmptyMovieClip('a', 1); a.lineStyle(6, 0x000000);"
                                                 "a.lineGradientStyle('linear', [0x00FF00, 0x00FF00], [100, 100], [0, 255], {matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0});");
        const QString blue = QStringLiteral("[0x0000FF, 0x0000FF], [100, 100], ");
        const QString box = QStringLiteral("{matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0}");
        const QString line = QStringLiteral("a.moveTo(10, 50); a.lineTo(90, 50);");
        QTest::newRow("line gradient without arguments keeps the gradient")
            << greenLine + "a.lineGradientStyle();" + line << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("line gradient with nine arguments keeps the gradient")
            << greenLine + "a.lineGradientStyle('linear', " + blue + "[0, 255], " + box + ", 'pad', 'RGB', 0, 'extra');" + line
            << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("line gradient ratio of 256 keeps the gradient")
            << greenLine + "a.lineGradientStyle('linear', " + blue + "[0, 256], " + box + ");" + line << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("line gradient ratio of -1 keeps the gradient")
            << greenLine + "a.lineGradientStyle('linear', " + blue + "[-1, 255], " + box + ");" + line << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("line gradient type is case sensitive")
            << greenLine + "a.lineGradientStyle('LINEAR', " + blue + "[0, 255], " + box + ");" + line << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("line gradient ratio just above -1 counts as 0")
            << greenLine + "a.lineGradientStyle('linear', " + blue + "[-0.99, 255], " + box + ");" + line << QPoint(50, 50) << qRgb(0, 0, 255) << 0;
        // A bitmap of ten pixels, the left half blue and the right half green, filling the square.
        const QString halves = QStringLiteral("createEmptyMovieClip('a', 1); var b = new flash.display.BitmapData(10, 10, false, 0x00FF00);"
                                              "b.fillRect(new flash.geom.Rectangle(0, 0, 5, 10), 0x0000FF);");
        QTest::newRow("bitmap fill repeats from the clip's origin")
            << halves + "a.beginBitmapFill(b);" + square << QPoint(12, 50) << qRgb(0, 0, 255) << 0;
        QTest::newRow("bitmap fill's right half")
            << halves + "a.beginBitmapFill(b);" + square << QPoint(17, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("bitmap fill through a matrix in pixels")
            << halves + "a.beginBitmapFill(b, new flash.geom.Matrix(2, 0, 0, 2, 10, 10));" + square << QPoint(25, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("clipped bitmap fill stretches its edge")
            << halves + "a.beginBitmapFill(b, null, false);" + square << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        QTest::newRow("bitmap fill shows later changes to the bitmap")
            << halves + "a.beginBitmapFill(b);" + square + "b.fillRect(b.rectangle, 0xFF0000);" << QPoint(12, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("bitmap fill without a bitmap fills nothing")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginBitmapFill({});" + square << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("clear takes the drawing away")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF);" + square + "a.clear();"
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("drawing under the children")
            << "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF);" + square
                   + "a.createEmptyMovieClip('b', 1); a.b.beginFill(0x00FF00); a.b.moveTo(40, 40); a.b.lineTo(60, 40); a.b.lineTo(60, 60); a.b.lineTo(40, 60); a.b.endFill();"
            << QPoint(50, 50) << qRgb(0, 255, 0) << 0;
        // A drawn clip used as a mask shows its shape, not its colour.
        QTest::newRow("drawing as a script mask inside")
            << redBackdrop + "createEmptyMovieClip('m', 2); m.beginFill(0x0000FF, 10); m.moveTo(20, 20); m.lineTo(40, 20); m.lineTo(40, 40); m.lineTo(20, 40); m.endFill();"
                             "back.setMask(m);"
            << QPoint(30, 30) << qRgb(255, 0, 0) << 0;
        QTest::newRow("drawing as a script mask outside")
            << redBackdrop + "createEmptyMovieClip('m', 2); m.beginFill(0x0000FF, 10); m.moveTo(20, 20); m.lineTo(40, 20); m.lineTo(40, 40); m.lineTo(20, 40); m.endFill();"
                             "back.setMask(m);"
            << QPoint(60, 60) << qRgb(255, 255, 255) << 0;
        // Multiply of blue on red is black; where only the blue clip is, blue shows.
        QTest::newRow("blend mode set by name")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF);" + square + "a.blendMode = 'multiply';"
            << QPoint(50, 50) << qRgb(0, 0, 0) << 0;
        QTest::newRow("blend mode set by number")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF);" + square + "a.blendMode = 8;"
            << QPoint(50, 50) << qRgb(255, 0, 255) << 0;
        // Subtract takes the premultiplied colour away: half-transparent white takes 128 off a
        // red of 200, even though white is brighter than that red.
        const QString darkRedBackdrop = QStringLiteral("createEmptyMovieClip('back', 0); back.beginFill(0xC80000);"
                                                       "back.moveTo(0, 0); back.lineTo(100, 0); back.lineTo(100, 100); back.lineTo(0, 100); back.endFill();");
        QTest::newRow("subtract of a half-transparent source")
            << darkRedBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0xFFFFFF, 50);" + square + "a.blendMode = 'subtract';"
            << QPoint(50, 50) << qRgb(72, 0, 0) << 1;
        // Alpha and erase need a parent with a layer of its own; without one the object vanishes.
        QTest::newRow("alpha blend without a layer shows nothing")
            << redBackdrop + "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF, 50);" + square + "a.blendMode = 'alpha';"
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        // Alpha inside a layer scales the layer by the object's alpha, but leaves it alone where
        // the object is wholly transparent.
        const QString blueLayer = QStringLiteral("createEmptyMovieClip('p', 1); p.beginFill(0x0000FF); p.moveTo(0, 0); p.lineTo(100, 0); p.lineTo(100, 100); p.lineTo(0, 100); p.endFill();"
                                                 "p.blendMode = 'layer'; p.createEmptyMovieClip('e', 1); p.e.blendMode = 'alpha';");
        QTest::newRow("alpha inside a layer fades the parent")
            << redBackdrop + blueLayer + "p.e.beginFill(0, 50); p.e.moveTo(40, 40); p.e.lineTo(60, 40); p.e.lineTo(60, 60); p.e.lineTo(40, 60); p.e.endFill();"
            << QPoint(50, 50) << qRgb(128, 0, 127) << 2;
        QTest::newRow("alpha inside a layer keeps the parent where it is transparent")
            << redBackdrop + blueLayer + "p.e.beginFill(0, 0); p.e.moveTo(40, 40); p.e.lineTo(60, 40); p.e.lineTo(60, 60); p.e.lineTo(40, 60); p.e.endFill();"
            << QPoint(50, 50) << qRgb(0, 0, 255) << 0;
        QTest::newRow("alpha inside a layer keeps the parent beside the object")
            << redBackdrop + blueLayer + "p.e.beginFill(0, 50); p.e.moveTo(40, 40); p.e.lineTo(60, 40); p.e.lineTo(60, 60); p.e.lineTo(40, 60); p.e.endFill();"
            << QPoint(39, 50) << qRgb(0, 0, 255) << 0;
        QTest::newRow("erase inside a layer cuts the parent")
            << redBackdrop + "createEmptyMovieClip('p', 1); p.beginFill(0x0000FF); p.moveTo(0, 0); p.lineTo(100, 0); p.lineTo(100, 100); p.lineTo(0, 100); p.endFill();"
                             "p.blendMode = 'layer'; p.createEmptyMovieClip('e', 1); p.e.beginFill(0); p.e.moveTo(40, 40); p.e.lineTo(60, 40); p.e.lineTo(60, 60); p.e.lineTo(40, 60); p.e.endFill();"
                             "p.e.blendMode = 'erase';"
            << QPoint(50, 50) << qRgb(255, 0, 0) << 0;
        QTest::newRow("erase inside a layer leaves the rest")
            << redBackdrop + "createEmptyMovieClip('p', 1); p.beginFill(0x0000FF); p.moveTo(0, 0); p.lineTo(100, 0); p.lineTo(100, 100); p.lineTo(0, 100); p.endFill();"
                             "p.blendMode = 'layer'; p.createEmptyMovieClip('e', 1); p.e.beginFill(0); p.e.moveTo(40, 40); p.e.lineTo(60, 40); p.e.lineTo(60, 60); p.e.lineTo(40, 60); p.e.endFill();"
                             "p.e.blendMode = 'erase';"
            << QPoint(20, 20) << qRgb(0, 0, 255) << 0;
        QTest::newRow("opaque background behind a drawing")
            << "createEmptyMovieClip('a', 1); a.beginFill(0x0000FF, 0);" + square + "a.opaqueBackground = 0x00FF00;"
            << QPoint(50, 50) << qRgb(0, 255, 0) << 0;

        // A text field's frame is a sharp line on whole pixels wherever the field sits: a box
        // from 20.5 to 30.5 is framed on columns 20 and 30, and scaled boxes keep a one-pixel frame.
        const QString halfPixelField = QStringLiteral("createTextField('t', 1, 0, 0, 10, 10); t._x = 20.5; t._y = 50.5; t.border = true;");
        QTest::newRow("field frame left column") << halfPixelField << QPoint(20, 55) << qRgb(0, 0, 0) << 0;
        QTest::newRow("field frame right column") << halfPixelField << QPoint(30, 55) << qRgb(0, 0, 0) << 0;
        QTest::newRow("field frame top row") << halfPixelField << QPoint(25, 50) << qRgb(0, 0, 0) << 0;
        QTest::newRow("field inside the frame") << halfPixelField << QPoint(21, 51) << qRgb(255, 255, 255) << 0;
        QTest::newRow("field past the frame") << halfPixelField << QPoint(31, 55) << qRgb(255, 255, 255) << 0;
        // Device text cannot turn: the box of a field without embedded fonts stays upright and
        // sharp, while one with embedded fonts turns with its clip.
        const QString turnedField = QStringLiteral("createTextField('t', 1, 0, 0, 30, 30); t._x = 20; t._y = 20; t._rotation = 30;"
                                                   "t.border = true; t.borderColor = 0xFF00FF;");
        QTest::newRow("device text field frame stays upright") << turnedField + "t._rotation = 0.3;" << QPoint(35, 20) << qRgb(255, 0, 255) << 0;
        QTest::newRow("embedded text field frame turns") << turnedField + "t.embedFonts = true;" << QPoint(35, 20) << qRgb(255, 255, 255) << 0;
        const QString scaledField = QStringLiteral("createTextField('t', 1, 10, 10, 10, 10); t._xscale = t._yscale = 300; t.border = true;");
        QTest::newRow("scaled field frame stays one pixel") << scaledField << QPoint(41, 25) << qRgb(255, 255, 255) << 0;
        QTest::newRow("scaled field frame edge") << scaledField << QPoint(40, 25) << qRgb(0, 0, 0) << 0;
    }

    void drawnPixels()
    {
        QFETCH(QString, script);
        QFETCH(QPoint, point);
        QFETCH(QRgb, expected);
        QFETCH(int, tolerance);
        const Result result = run(script);
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        const QRgb actual = result.image.pixel(point);
        QVERIFY2(near(actual, expected, tolerance), describe(actual) + " instead of " + describe(expected));
    }

    void lookProperties_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blend mode reads as a name")
            << "createEmptyMovieClip('a', 1); trace(a.blendMode); a.blendMode = 3; trace(a.blendMode); a.blendMode = 'hardlight'; trace(a.blendMode);"
            << "normal|multiply|hardlight";
        QTest::newRow("unknown blend modes are ignored")
            << "createEmptyMovieClip('a', 1); a.blendMode = 'screen'; a.blendMode = 'shiny'; a.blendMode = 15; a.blendMode = 0; a.blendMode = true; trace(a.blendMode);"
            << "screen";
        QTest::newRow("opaque background as a number")
            << "createEmptyMovieClip('a', 1); trace(a.opaqueBackground); a.opaqueBackground = 0x123456; trace(a.opaqueBackground);"
               "a.opaqueBackground = null; trace(a.opaqueBackground);"
            << "undefined|1193046|undefined";
        QTest::newRow("cache as bitmap")
            << "createEmptyMovieClip('a', 1); trace(a.cacheAsBitmap); a.cacheAsBitmap = 1; trace(a.cacheAsBitmap);"
            << "false|true";
    }

    void lookProperties()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(run(script).traces.join(u'|'), expected);
    }
};

QTEST_MAIN(ScriptDrawingTest)
#include "tst_script_drawing.moc"
