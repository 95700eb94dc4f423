#include "../avm1/ScriptRunner.h"

#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"
#include "player/avm1/ScriptEngine.h"
#include "player/render/DisplayRenderer.h"

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
        QStringList traces;
        player::Player player;
        player.setScriptHost(player::avm1::createScriptHost(player));
        player.onTrace = [&traces](const QString& line) { traces.append(line); };
        QVERIFY(!player.loadMovieData(0, movie.toBytes(false), QStringLiteral("file:///bitmap.swf")));
        QCOMPARE(traces.join(u'|'), QStringLiteral("10"));

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
