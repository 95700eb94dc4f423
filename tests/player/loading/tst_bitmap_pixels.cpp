#include "player/display/BitmapPixels.h"

#include <QTest>

using player::display::BitmapPixels;

// Pixel operations of script-made bitmaps, against values worked out by hand.
class TestBitmapPixels : public QObject {
    Q_OBJECT

private slots:
    void allowedSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("2880 square in SWF 9") << 2880 << 2880 << 9 << true;
        QTest::newRow("2881 wide in SWF 9") << 2881 << 1 << 9 << false;
        QTest::newRow("2881 wide in SWF 10") << 2881 << 1 << 10 << true;
        QTest::newRow("8191 x 2048 in SWF 10") << 8191 << 2048 << 10 << true;
        QTest::newRow("8192 wide in SWF 10") << 8192 << 1 << 10 << false;
        QTest::newRow("more than 16777215 pixels") << 8191 << 2049 << 10 << false;
        QTest::newRow("zero width") << 0 << 5 << 8 << false;
        QTest::newRow("negative height") << 5 << -1 << 8 << false;
    }

    void allowedSizes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, version);
        QFETCH(bool, allowed);
        QCOMPARE(BitmapPixels::isAllowedSize(width, height, version), allowed);
    }

    // Colours go in unmultiplied and are kept premultiplied: what comes back is rounded twice.
    void pixelRoundTrip_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<uint>("written");
        QTest::addColumn<uint>("read");
        QTest::newRow("opaque colour unchanged") << true << 0xFF123456u << 0xFF123456u;
        QTest::newRow("half alpha, full red") << true << 0x80FF0000u << 0x80FF0000u;
        QTest::newRow("rounds up when dividing back") << true << 0x45112233u << 0x45122134u;
        QTest::newRow("high alpha, low channels") << true << 0xF00E0E0Eu << 0xF00E0E0Eu;
        QTest::newRow("half alpha, mixed channels") << true << 0x80AABBCCu << 0x80A9BBCBu;
        QTest::newRow("division truncates") << true << 0xAABBCCDDu << 0xAABBCCDCu;
        QTest::newRow("zero alpha loses the colour") << true << 0x00FFFFFFu << 0x00000000u;
        QTest::newRow("opaque bitmap ignores alpha") << false << 0x10123456u << 0xFF123456u;
    }

    void pixelRoundTrip()
    {
        QFETCH(bool, transparent);
        QFETCH(uint, written);
        QFETCH(uint, read);
        BitmapPixels pixels(3, 2, transparent, 0xFFFFFFFF);
        pixels.setPixel32(2, 1, written);
        QCOMPARE(uint(pixels.pixel32(2, 1)), read);
        QCOMPARE(uint(pixels.pixel(2, 1)), read & 0xFFFFFFu);
        QCOMPARE(uint(pixels.pixel32(1, 1)), 0xFFFFFFFFu);
    }

    void outsideIsZeroAndUntouched()
    {
        BitmapPixels pixels(2, 2, true, 0xFF00FF00);
        pixels.setPixel32(-1, 0, 0xFFFF0000);
        pixels.setPixel32(2, 0, 0xFFFF0000);
        QCOMPARE(uint(pixels.pixel32(2, 0)), 0u);
        QCOMPARE(uint(pixels.pixel32(0, -1)), 0u);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                QCOMPARE(uint(pixels.pixel32(x, y)), 0xFF00FF00u);
    }

    void setPixelKeepsAlpha()
    {
        BitmapPixels pixels(1, 1, true, 0x80000000);
        pixels.setPixel(0, 0, 0xFF0000FF);
        QCOMPARE(uint(pixels.pixel32(0, 0)), 0x800000FFu);
    }

    void fillRectIsClipped()
    {
        BitmapPixels pixels(4, 4, true, 0);
        pixels.fillRect(QRect(2, -1, 10, 2), 0xFFAA0000);
        QCOMPARE(uint(pixels.pixel32(2, 0)), 0xFFAA0000u);
        QCOMPARE(uint(pixels.pixel32(3, 0)), 0xFFAA0000u);
        QCOMPARE(uint(pixels.pixel32(1, 0)), 0u);
        QCOMPARE(uint(pixels.pixel32(2, 1)), 0u);
        const uint64_t before = pixels.version();
        pixels.fillRect(QRect(10, 10, 2, 2), 0xFF000000);
        QCOMPARE(pixels.version(), before);
    }

    void copyPixels_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("destination");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<QString>("expected"); // the destination row 0 and row 1, as hex alpha+red
        // The source is 3x2 with red 0x10, 0x20, 0x30 on its first row and 0x40.. on its second.
        QTest::newRow("whole copy") << QRect(0, 0, 3, 2) << QPoint(0, 0) << false << "ff10 ff20 ff30|ff40 ff50 ff60";
        QTest::newRow("shifted and clipped") << QRect(0, 0, 3, 2) << QPoint(1, 1) << false << "0000 0000 0000|0000 ff10 ff20";
        QTest::newRow("area partly outside the source") << QRect(-1, 0, 2, 1) << QPoint(0, 0) << false << "0000 ff10 0000|0000 0000 0000";
        QTest::newRow("negative destination") << QRect(0, 0, 3, 2) << QPoint(-2, -1) << false << "ff60 0000 0000|0000 0000 0000";
    }

    void copyPixels()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, destination);
        QFETCH(bool, merge);
        QFETCH(QString, expected);
        BitmapPixels source(3, 2, true, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                source.setPixel32(x, y, 0xFF000000u | uint32_t((y * 3 + x + 1) * 0x10) << 16);
        BitmapPixels target(3, 2, true, 0);
        target.copyPixels(source, area, destination, merge);
        QStringList rows;
        for (int y = 0; y < 2; ++y) {
            QStringList row;
            for (int x = 0; x < 3; ++x)
                row << QString::number(target.pixel32(x, y) >> 16, 16).rightJustified(4, u'0');
            rows << row.join(u' ');
        }
        QCOMPARE(rows.join(u'|'), expected);
    }

    void copyWithinOneBitmapOverlapping()
    {
        BitmapPixels pixels(4, 1, true, 0);
        for (int x = 0; x < 4; ++x)
            pixels.setPixel32(x, 0, 0xFF000000u | uint32_t(x + 1));
        pixels.copyPixels(pixels, QRect(0, 0, 3, 1), QPoint(1, 0), false);
        QCOMPARE(uint(pixels.pixel32(0, 0)), 0xFF000001u);
        QCOMPARE(uint(pixels.pixel32(1, 0)), 0xFF000001u);
        QCOMPARE(uint(pixels.pixel32(2, 0)), 0xFF000002u);
        QCOMPARE(uint(pixels.pixel32(3, 0)), 0xFF000003u);
    }

    void mergeAlphaLaysSourceOver()
    {
        BitmapPixels source(1, 1, true, 0x800000FF);
        BitmapPixels target(1, 1, true, 0xFFFF0000);
        target.copyPixels(source, QRect(0, 0, 1, 1), QPoint(0, 0), true);
        // Half blue over opaque red: 0x80 blue and 0x7F red, opaque.
        QCOMPARE(uint(target.pixel32(0, 0)), 0xFF7F0080u);
        BitmapPixels replaced(1, 1, true, 0xFFFF0000);
        replaced.copyPixels(source, QRect(0, 0, 1, 1), QPoint(0, 0), false);
        QCOMPARE(uint(replaced.pixel32(0, 0)), 0x800000FFu);
    }

    // Values recorded from Flash: what shows through a merged source is truncated, and an opaque
    // bitmap takes a translucent source's premultiplied channels as they are.
    void mergeTruncatesAndOpaqueTargetsKeepPremultipliedChannels()
    {
        BitmapPixels target(1, 1, true, 0x45112233);
        BitmapPixels source(1, 1, true, 0x22445566);
        target.copyPixels(source, QRect(0, 0, 1, 1), QPoint(0, 0), true);
        QCOMPARE(uint(target.pixel32(0, 0)), 0x5D243147u);
        BitmapPixels opaque(1, 1, false, 0);
        BitmapPixels translucent(1, 1, true, 0xF00E0E0E);
        opaque.copyPixels(translucent, QRect(0, 0, 1, 1), QPoint(0, 0), false);
        QCOMPARE(uint(opaque.pixel32(0, 0)), 0xFF0D0D0Du);
        opaque.copyPixels(translucent, QRect(0, 0, 1, 1), QPoint(0, 0), true);
        QCOMPARE(uint(opaque.pixel32(0, 0)), 0xFF0D0D0Du);
    }

    // A transparent alpha bitmap scales the source's alpha where it lies over the area and stops
    // the copy outside itself; an opaque one is ignored.
    void alphaBitmapScalesAndLimitsTheCopy()
    {
        BitmapPixels source(2, 1, true, 0xFF336699);
        BitmapPixels halfAlpha(1, 1, true, 0x80000000);
        BitmapPixels target(2, 1, true, 0xFFFF0000);
        target.copyPixels(source, QRect(0, 0, 2, 1), QPoint(0, 0), false, &halfAlpha, QPoint(0, 0));
        QCOMPARE(uint(target.pixel32(0, 0)) >> 24, 0x80u);
        QCOMPARE(uint(target.pixel32(1, 0)), 0xFFFF0000u);
        BitmapPixels opaqueAlpha(1, 1, false, 0);
        BitmapPixels plain(2, 1, true, 0xFFFF0000);
        plain.copyPixels(source, QRect(0, 0, 2, 1), QPoint(0, 0), false, &opaqueAlpha, QPoint(0, 0));
        QCOMPARE(uint(plain.pixel32(1, 0)), 0xFF336699u);
        // Into an opaque bitmap the translucent result is laid over, not copied.
        BitmapPixels opaqueTarget(1, 1, false, 0xFF0000FF);
        opaqueTarget.copyPixels(source, QRect(0, 0, 1, 1), QPoint(0, 0), false, &halfAlpha, QPoint(0, 0));
        QCOMPARE(uint(opaqueTarget.pixel32(0, 0)) & 0xFF, 0x7Fu + 0x4Du);
    }

    // A source pixel copied through an alpha bitmap onto opaque white, which shows the scaled
    // pixel's premultiplied channels plus 255 less its alpha. A translucent source's alpha is
    // scaled in 256ths and its colour put back at the new alpha; an opaque one takes the
    // alpha bitmap's alpha as it is.
    void alphaBitmapScalesTranslucentPixels_data()
    {
        QTest::addColumn<uint>("source");
        QTest::addColumn<uint>("alpha");
        QTest::addColumn<uint>("expected");
        // Stored as 0x44242424: alpha 68 * 238 / 256 is 63, colour 135 * 63 / 255 is 33.
        QTest::newRow("dark grey, alpha 238") << 0x44878787u << 0xEE000000u << 0xFFE1E1E1u;
        // Stored as 0xAA175B93, read back as 35, 137, 221: alpha 170 * 102 / 256 is 67.
        QTest::newRow("blue, alpha 102") << 0xAA2389DDu << 0x66000000u << 0xFFC5E0F6u;
        QTest::newRow("blue, alpha 238") << 0xAA2389DDu << 0xEE000000u << 0xFF77B6EAu;
        QTest::newRow("opaque source keeps the alpha") << 0xFF2288DDu << 0xEE000000u << 0xFF3190DFu;
    }

    void alphaBitmapScalesTranslucentPixels()
    {
        QFETCH(uint, source);
        QFETCH(uint, alpha);
        QFETCH(uint, expected);
        BitmapPixels from(1, 1, true, source);
        BitmapPixels alphaBitmap(1, 1, true, alpha);
        BitmapPixels white(1, 1, false, 0xFFFFFFFF);
        white.copyPixels(from, QRect(0, 0, 1, 1), QPoint(0, 0), false, &alphaBitmap, QPoint(0, 0));
        QCOMPARE(uint(white.pixel32(0, 0)), expected);
    }

    void colorTransformClampsAndStaysInArea()
    {
        BitmapPixels pixels(2, 1, true, 0xFF804020);
        BitmapPixels::ColorTransform transform;
        transform.redMultiplier = 2;
        transform.greenOffset = -100;
        transform.alphaMultiplier = 0.5;
        pixels.colorTransform(QRect(1, 0, 5, 5), transform);
        QCOMPARE(uint(pixels.pixel32(0, 0)), 0xFF804020u);
        // Red 0x80*2 clamps to 0xFF, green 0x40-100 to 0, alpha 0xFF*0.5 truncates to 0x7F.
        QCOMPARE(uint(pixels.pixel32(1, 0)), 0x7FFF0020u);
    }

    // Raising alpha by a multiplier takes a colour change beside it; lowering it does not.
    void alphaMultiplierAlone_data()
    {
        QTest::addColumn<double>("alphaMultiplier");
        QTest::addColumn<double>("redMultiplier");
        QTest::addColumn<double>("alphaOffset");
        QTest::addColumn<uint>("expectedAlpha");
        QTest::newRow("doubling alone changes nothing") << 2.0 << 1.0 << 0.0 << 0x40u;
        QTest::newRow("halving alone halves") << 0.5 << 1.0 << 0.0 << 0x20u;
        QTest::newRow("doubling beside a red change doubles") << 2.0 << 0.5 << 0.0 << 0x80u;
        QTest::newRow("an offset alone still adds") << 1.0 << 1.0 << 16.0 << 0x50u;
    }

    void alphaMultiplierAlone()
    {
        QFETCH(double, alphaMultiplier);
        QFETCH(double, redMultiplier);
        QFETCH(double, alphaOffset);
        QFETCH(uint, expectedAlpha);
        BitmapPixels pixels(1, 1, true, 0x40FFFFFF);
        BitmapPixels::ColorTransform transform;
        transform.alphaMultiplier = alphaMultiplier;
        transform.redMultiplier = redMultiplier;
        transform.alphaOffset = alphaOffset;
        pixels.colorTransform(QRect(0, 0, 1, 1), transform);
        QCOMPARE(uint(pixels.pixel32(0, 0)) >> 24, expectedAlpha);
    }

    void floodFillStopsAtOtherColours()
    {
        // A vertical wall at x = 2 keeps the fill on the left.
        BitmapPixels pixels(5, 3, false, 0xFFFFFFFF);
        pixels.fillRect(QRect(2, 0, 1, 3), 0xFF000000);
        pixels.floodFill(0, 1, 0xFF00FF00);
        QCOMPARE(uint(pixels.pixel32(0, 0)), 0xFF00FF00u);
        QCOMPARE(uint(pixels.pixel32(1, 2)), 0xFF00FF00u);
        QCOMPARE(uint(pixels.pixel32(2, 1)), 0xFF000000u);
        QCOMPARE(uint(pixels.pixel32(3, 1)), 0xFFFFFFFFu);
        QCOMPARE(uint(pixels.pixel32(4, 2)), 0xFFFFFFFFu);
    }
};

QTEST_GUILESS_MAIN(TestBitmapPixels)
#include "tst_bitmap_pixels.moc"
