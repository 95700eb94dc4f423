#include "ScriptedStage.h"
#include "player/Player.h"
#include "player/avm1/ScriptEngine.h"
#include "player/render/CachedBitmapPlacement.h"
#include "player/render/DisplayRenderer.h"

#include <QTemporaryDir>
#include <QtTest>

using player::render::CachedBitmapPlacement;

// Masks set by scripts (MovieClip.setMask and what it accepts) and where clips drawn through
// cacheAsBitmap land, checked on the traces and pixels of a 100x100 stage at low quality.
class MasksTest : public QObject {
    Q_OBJECT

private:
    using Result = ScriptedStage;

    QTemporaryDir m_folder;

    Result run(const QString& script) { return renderScriptedStage(m_folder, script); }

    // The first row from the top in column x that has the colour, or -1.
    static int firstRowOf(const QImage& image, int x, QRgb color)
    {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) == color)
                return y;
        }
        return -1;
    }

    static QByteArray describe(QRgb color) { return QByteArray::number(color & 0xFFFFFF, 16).rightJustified(6, '0'); }

private slots:
    void setMask_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("traced");
        QTest::addColumn<QRgb>("inside");  // at 30, 30: inside m
        QTest::addColumn<QRgb>("outside"); // at 70, 70

        // A green backdrop, the red clip c over all of it and the blue clip m over 20..40 above
        // both. Masked by m, c shows red only inside 20..40 and m itself is not drawn.
        const QRgb masked[] = { qRgb(255, 0, 0), qRgb(0, 255, 0) };
        const QRgb unmasked[] = { qRgb(0, 0, 255), qRgb(255, 0, 0) };
        const QString scene = QStringLiteral(
            "function box(name, depth, colour, left, top, right, bottom) {"
            "  var clip = createEmptyMovieClip(name, depth); clip.beginFill(colour); clip.moveTo(left, top);"
            "  clip.lineTo(right, top); clip.lineTo(right, bottom); clip.lineTo(left, bottom); clip.endFill(); return clip;"
            "}"
            "box('back', 1, 0x00FF00, 0, 0, 100, 100); box('c', 2, 0xFF0000, 0, 0, 100, 100); box('m', 3, 0x0000FF, 20, 20, 40, 40);");

        QTest::newRow("a clip") << scene + "trace(c.setMask(m));" << "true" << masked[0] << masked[1];
        QTest::newRow("a path from the calling script's clip")
            << scene + "trace(c.setMask('m'));" << "true" << masked[0] << masked[1];
        QTest::newRow("a path through a level")
            << scene + "trace(c.setMask('_level0:m'));" << "true" << masked[0] << masked[1];
        QTest::newRow("a number names a member")
            << scene + "this[7] = m; trace(c.setMask(7));" << "true" << masked[0] << masked[1];
        QTest::newRow("a path to nothing keeps the mask")
            << scene + "c.setMask(m); trace(c.setMask('nothing'));" << "false" << masked[0] << masked[1];
        QTest::newRow("no argument keeps the mask")
            << scene + "c.setMask(m); trace(c.setMask());" << "undefined" << masked[0] << masked[1];
        QTest::newRow("null takes the mask away")
            << scene + "c.setMask(m); trace(c.setMask(null));" << "true" << unmasked[0] << unmasked[1];
        QTest::newRow("undefined takes the mask away")
            << scene + "c.setMask(m); trace(c.setMask(undefined));" << "true" << unmasked[0] << unmasked[1];
        // Each masks the other: both serve as masks, so neither is drawn (and nothing loops).
        QTest::newRow("masks of each other")
            << scene + "c.setMask(m); trace(m.setMask(c));" << "true" << qRgb(0, 255, 0) << qRgb(0, 255, 0);
        // An object that is no display object names nothing, whatever its text says.
        QTest::newRow("a plain object is refused")
            << scene + "var o = {}; o.toString = function() { return 'm'; }; trace(c.setMask(o));" << "false" << unmasked[0]
            << unmasked[1];
    }

    void setMask()
    {
        QFETCH(QString, script);
        QFETCH(QString, traced);
        QFETCH(QRgb, inside);
        QFETCH(QRgb, outside);

        const Result result = run(script);
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(result.traces.join(u'|'), traced);
        QVERIFY2(result.image.pixel(30, 30) == inside, describe(result.image.pixel(30, 30)));
        QVERIFY2(result.image.pixel(70, 70) == outside, describe(result.image.pixel(70, 70)));
    }

    // A text field can mask a clip: one without text leaves nothing of it, and is not drawn.
    void textFieldAsMask()
    {
        const Result result = run(QStringLiteral(
            "createEmptyMovieClip('c', 2); c.beginFill(0xFF0000); c.moveTo(0, 0); c.lineTo(100, 0); c.lineTo(100, 100);"
            "c.lineTo(0, 100); c.endFill(); createTextField('t', 3, 10, 10, 80, 80); t.background = false;"
            "trace(c.setMask(t));"));
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(result.traces.join(u'|'), QStringLiteral("true"));
        QVERIFY(result.image.pixel(50, 50) != qRgb(255, 0, 0));
        QVERIFY(result.image.pixel(5, 5) != qRgb(255, 0, 0));
    }

    void placement_data()
    {
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPointF>("shift");

        // Half pixels go down and right; the size is rounded up from the bounds' own.
        QTest::newRow("half pixels") << QRectF(35.5, 59.5, 215.0, 269.95) << QRect(36, 60, 215, 270) << QPointF(0.5, 0.5);
        QTest::newRow("nearest pixel") << QRectF(10.2, 10.7, 5.0, 5.0) << QRect(10, 11, 5, 5) << QPointF(-0.2, 0.3);
        QTest::newRow("negative") << QRectF(-3.5, -0.25, 1.5, 1.0) << QRect(-3, 0, 2, 1) << QPointF(0.5, 0.25);
        QTest::newRow("whole pixels stay") << QRectF(4.0, 8.0, 3.0, 2.0) << QRect(4, 8, 3, 2) << QPointF(0.0, 0.0);
        QTest::newRow("empty") << QRectF(4.0, 8.0, 0.0, 2.0) << QRect() << QPointF(0.0, 0.0);
        QTest::newRow("beyond any grid") << QRectF(1e12, 0.0, 5.0, 5.0) << QRect() << QPointF(0.0, 0.0);
    }

    void placement()
    {
        QFETCH(QRectF, bounds);
        QFETCH(QRect, area);
        QFETCH(QPointF, shift);

        const CachedBitmapPlacement placement = CachedBitmapPlacement::forBounds(bounds);
        QCOMPARE(placement.area(), area);
        QVERIFY2(std::abs(placement.shift.x() - shift.x()) < 1e-9 && std::abs(placement.shift.y() - shift.y()) < 1e-9,
                 qPrintable(QStringLiteral("%1, %2").arg(placement.shift.x()).arg(placement.shift.y())));
    }

    // A one-pixel line from y = 10 has bounds from 9.5 to 10.5: cached, the bitmap starts at 10
    // and the line moves half a pixel down, onto the next row. Its opaque background fills the
    // whole bitmap.
    void cachedClipLandsOnWholePixels()
    {
        const QString line = QStringLiteral(
            "createEmptyMovieClip('a', 1); a.lineStyle(1, 0xFF0000); a.moveTo(10, 10); a.lineTo(80, 10); a.lineTo(80, 60);");
        const Result straight = run(line);
        const Result cached = run(line + "a.cacheAsBitmap = true;");
        const Result filled = run(line + "a.cacheAsBitmap = true; a.opaqueBackground = 0x0000FF;");
        QVERIFY(!straight.image.isNull() && !cached.image.isNull() && !filled.image.isNull());

        const int straightRow = firstRowOf(straight.image, 40, qRgb(255, 0, 0));
        QVERIFY(straightRow >= 0);
        QCOMPARE(firstRowOf(cached.image, 40, qRgb(255, 0, 0)), straightRow + 1);
        QCOMPARE(firstRowOf(filled.image, 40, qRgb(255, 0, 0)), straightRow + 1);
        // The background covers columns 10 to 80 and rows 10 to 60, under the line.
        QCOMPARE(filled.image.pixel(10, 30), qRgb(0, 0, 255));
        QCOMPARE(filled.image.pixel(40, 59), qRgb(0, 0, 255));
        QVERIFY(filled.image.pixel(9, 30) != qRgb(0, 0, 255));
        QVERIFY(filled.image.pixel(40, 9) != qRgb(0, 0, 255));
    }
};

QTEST_MAIN(MasksTest)
#include "tst_masks.moc"
