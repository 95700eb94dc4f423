#include "../avm1/ScriptRunner.h"

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"
#include "player/render/DisplayRenderer.h"
#include "../TracingPlayer.h"

#include <QTest>

// BitmapData as scripts see it, and attachBitmap showing its pixels.
class TestBitmapDataScript : public QObject {
    Q_OBJECT

private slots:
    void methods_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("size, transparency and rectangle")
            << "var b = new flash.display.BitmapData(5, 6); trace(b.width + ' ' + b.height + ' ' + b.transparent);"
               "var r = b.rectangle; trace(r.x + ',' + r.y + ',' + r.width + ',' + r.height);"
            << "5 6 true|0,0,5,6";
        QTest::newRow("default fill is opaque white, read as a signed number")
            << "var b = new flash.display.BitmapData(2, 2); trace(b.getPixel32(1, 1)); trace(b.getPixel(0, 0));"
            << "-1|16777215";
        QTest::newRow("missing arguments answer -1 and change nothing")
            << "var b = new flash.display.BitmapData(2, 2, false, 0x123456); trace(b.setPixel(1, 0)); trace(b.getPixel(1));"
               "b.setPixel(1, 0, 0xFF0000); trace(b.getPixel(1, 0)); trace(b.getPixel(0, 0));"
            << "-1|-1|16711680|1193046";
        // Flash's constructor refuses a bitmap wider than 2880 pixels and `new` gives undefined.
        QTest::newRow("refused sizes make no bitmap")
            << "var b = new flash.display.BitmapData(2881, 1); trace(typeof b); trace(b.width);"
            << "undefined|undefined";
        QTest::newRow("setPixel32 on a transparent bitmap")
            << "var b = new flash.display.BitmapData(2, 1, true, 0); b.setPixel32(0, 0, 0x80FF0000); trace(b.getPixel32(0, 0) >>> 0); trace(b.getPixel32(1, 0));"
            << QString::number(0x80FF0000u) + "|0";
        QTest::newRow("fillRect with a rectangle")
            << "var b = new flash.display.BitmapData(4, 4, false, 0);"
               "b.fillRect(new flash.geom.Rectangle(1, 1, 2, 2), 0x00FF00); trace(b.getPixel(1, 1) + ' ' + b.getPixel(3, 3) + ' ' + b.getPixel(2, 2));"
            << "65280 0 65280";
        QTest::newRow("copyPixels between bitmaps")
            << "var a = new flash.display.BitmapData(2, 2, false, 0x0000FF); var b = new flash.display.BitmapData(3, 3, false, 0);"
               "b.copyPixels(a, new flash.geom.Rectangle(0, 0, 2, 2), new flash.geom.Point(1, 1));"
               "trace(b.getPixel(0, 0) + ' ' + b.getPixel(1, 1) + ' ' + b.getPixel(2, 2));"
            << "0 255 255";
        QTest::newRow("colorTransform over the whole bitmap")
            << "var b = new flash.display.BitmapData(1, 1, false, 0x102030);"
               "b.colorTransform(b.rectangle, new flash.geom.ColorTransform(2, 1, 1, 1, 0, 16, 0, 0)); trace(b.getPixel(0, 0).toString(16));"
            << "203030";
        QTest::newRow("clone is independent, dispose empties")
            << "var a = new flash.display.BitmapData(1, 1, false, 0xFF); var c = a.clone(); a.setPixel(0, 0, 0); trace(c.getPixel(0, 0));"
               "a.dispose(); trace(a.width + ' ' + c.width);"
            << "255|-1 1";
        QTest::newRow("draw another bitmap through a matrix")
            << "var a = new flash.display.BitmapData(1, 1, false, 0xFF0000); var b = new flash.display.BitmapData(4, 4, false, 0);"
               "b.draw(a, new flash.geom.Matrix(2, 0, 0, 2, 1, 1)); trace(b.getPixel(0, 0) + ' ' + b.getPixel(1, 1).toString(16) + ' ' + b.getPixel(2, 2).toString(16) + ' ' + b.getPixel(3, 3));"
            << "0 ff0000 ff0000 0";
        // Helpers for the noise rows: whether two bitmaps hold the same pixels, and the range of
        // one channel.
        const QString same = "function same(a, b) { for (var y = 0; y < a.height; y++) for (var x = 0; x < a.width; x++)"
                             " if (a.getPixel32(x, y) != b.getPixel32(x, y)) return false; return true; }";
        const QString greys = "function greys(a) { for (var y = 0; y < a.height; y++) for (var x = 0; x < a.width; x++) {"
                              " var c = a.getPixel(x, y); if ((c >> 16) != (c & 255) || ((c >> 8) & 255) != (c & 255)) return false; } return true; }";
        QTest::newRow("noise follows its seed; a seed below one counts as one minus it")
            << same + "var a = new flash.display.BitmapData(8, 8); var b = a.clone(); var c = a.clone();"
                      "a.noise(-5); b.noise(6); c.noise(7); trace(same(a, b) + ' ' + same(a, c));"
            << "true false";
        QTest::newRow("noise keeps within low and high, in the channels asked for")
            << "var a = new flash.display.BitmapData(16, 16, true, 0); a.noise(3, 40, 50, 4);"
               "var low = 255, high = 0, redGreen = 0, alpha = 255;"
               "for (var y = 0; y < 16; y++) for (var x = 0; x < 16; x++) { var c = a.getPixel32(x, y);"
               " var blue = c & 255; low = Math.min(low, blue); high = Math.max(high, blue); redGreen |= (c >>> 8) & 0xFFFF;"
               " alpha = Math.min(alpha, c >>> 24); }"
               "trace(low + ' ' + high + ' ' + redGreen + ' ' + alpha);"
            << "40 50 0 255";
        QTest::newRow("grey noise and grey perlin noise have equal channels")
            << greys + "var a = new flash.display.BitmapData(8, 8, false); a.noise(9, 0, 255, 7, true);"
                       "var b = new flash.display.BitmapData(8, 8, false); b.perlinNoise(4, 4, 2, 9, false, true, 7, true); trace(greys(a) + ' ' + greys(b));"
            << "true true";
        // With no base size the noise is zero everywhere. Flash adds the rounding half before it
        // halves a fractal sum, so zero comes out as 0x7F, not 0x80; a turbulence gives 0.
        // Channels left out are 0, and alpha left out is opaque. The levels are stored as they
        // are, premultiplied, so a grey as light as its alpha reads back as white.
        QTest::newRow("perlin noise of zero base size is flat")
            << "var a = new flash.display.BitmapData(4, 4, true, 0); a.perlinNoise(0, 0, 1, 1, false, true, 15);"
               "var b = a.clone(); b.perlinNoise(0, 0, 1, 1, false, false, 7);"
               "var c = a.clone(); c.perlinNoise(0, 0, 1, 1, false, true, 1);"
               "trace(a.getPixel32(2, 2) >>> 0); trace(b.getPixel32(3, 1) >>> 0); trace(c.getPixel32(0, 0) >>> 0);"
            << QString::number(0x7FFFFFFFu) + "|" + QString::number(0xFF000000u) + "|" + QString::number(0xFF7F0000u);
        QTest::newRow("perlin noise follows its seed and base size")
            << same + "var a = new flash.display.BitmapData(12, 12); var b = a.clone(); var c = a.clone(); var d = a.clone();"
                      "a.perlinNoise(6, 5, 3, 42, true, true); b.perlinNoise(6, 5, 3, 42, true, true);"
                      "c.perlinNoise(6, 5, 3, 43, true, true); d.perlinNoise(9, 5, 3, 42, true, true);"
                      "trace(same(a, b) + ' ' + same(a, c) + ' ' + same(a, d));"
            << "true false false";
    }

    void methods()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        QCOMPARE(runner.run(script).join(u'|'), expected);
    }

    // An attached bitmap is drawn where its clip is, and follows later changes to its pixels.
    void attachedBitmapIsDrawn()
    {
        authoring::CompileResult first = authoring::ScriptCompiler::compile(
            "var b = new flash.display.BitmapData(10, 10, false, 0x0000FF); createEmptyMovieClip('holder', 1);"
            "holder._x = 20; holder.attachBitmap(b, 1); trace(holder._width);");
        authoring::CompileResult second = authoring::ScriptCompiler::compile("b.fillRect(b.rectangle, 0x00FF00); stop();");
        QVERIFY(first.ok() && second.ok());
        authoring::MovieWriter movie(8, 100, 50, 12);
        movie.root().doAction(first.actions);
        movie.root().showFrame();
        movie.root().doAction(second.actions);
        movie.root().showFrame();
        TracingPlayer run;
        player::Player& player = run.engine;
        QCOMPARE(run.playJoined(movie.toBytes(false), 0, QStringLiteral("file:///bitmap.swf")), QStringLiteral("10"));

        player::render::DisplayRenderer renderer;
        QImage frame = renderer.renderStageImage(player.stage(), QSize(100, 50), player::ScaleMode::NoScale);
        QCOMPARE(frame.pixelColor(25, 5), QColor(0, 0, 255));
        QCOMPARE(frame.pixelColor(35, 5), QColor(Qt::white));
        player.advanceFrame();
        frame = renderer.renderStageImage(player.stage(), QSize(100, 50), player::ScaleMode::NoScale);
        QCOMPARE(frame.pixelColor(25, 5), QColor(0, 255, 0));
    }
};

QTEST_MAIN(TestBitmapDataScript)
#include "tst_bitmap_data_script.moc"
