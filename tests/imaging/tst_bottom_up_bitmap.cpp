#include "imaging/BottomUpBitmap.h"

#include <QImage>
#include <QtTest>

using namespace imaging;

namespace {

// Every pixel different, so that a swapped channel, a flipped row or a shifted column shows.
QImage patternPicture(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 7) & 255, (y * 11) & 255, (x + 3 * y) & 255, 255));
    return image.convertToFormat(format);
}

QRgb pixelAt(const BottomUpBitmap& dib, int x, int y)
{
    const uint8_t* pixel = dib.bits() + (dib.height() - 1 - y) * dib.bytesPerLine() + 3 * x;
    return qRgb(pixel[2], pixel[1], pixel[0]);
}

} // namespace

class BottomUpBitmapTest : public QObject {
    Q_OBJECT

private slots:
    void bytesPerScanLine_data();
    void bytesPerScanLine();
    void pictureCopyHasTheBitmapLayout_data();
    void pictureCopyHasTheBitmapLayout();
    void clearUpKeepsTheSize();
    void createRefusesImpossibleSizes();
    void rectangleCopyIsClipped();
    void transparencyIsDropped();
};

void BottomUpBitmapTest::bytesPerScanLine_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expected");
    QTest::newRow("1") << 1 << 4;
    QTest::newRow("2") << 2 << 8;
    QTest::newRow("3") << 3 << 12;
    QTest::newRow("4") << 4 << 12;
    QTest::newRow("5") << 5 << 16;
    QTest::newRow("100") << 100 << 300;
    QTest::newRow("4097") << 4097 << 12292;
}

void BottomUpBitmapTest::bytesPerScanLine()
{
    QFETCH(int, width);
    QFETCH(int, expected);
    BottomUpBitmap dib;
    QVERIFY(dib.create(width, 3));
    QCOMPARE(dib.bytesPerLine(), expected);
    // A new bitmap is black, padding included.
    const uint8_t* bits = dib.bits();
    QVERIFY(std::all_of(bits, bits + expected * 3, [](uint8_t byte) { return byte == 0; }));
}

void BottomUpBitmapTest::pictureCopyHasTheBitmapLayout_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("format");
    QTest::newRow("100 x 50") << 100 << 50 << int(QImage::Format_RGB32);
    QTest::newRow("5 x 3 padded") << 5 << 3 << int(QImage::Format_RGB32);
    QTest::newRow("1 x 1") << 1 << 1 << int(QImage::Format_RGB888);
    QTest::newRow("17 x 9 from rgb888") << 17 << 9 << int(QImage::Format_RGB888);
}

void BottomUpBitmapTest::pictureCopyHasTheBitmapLayout()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, format);
    const QImage picture = patternPicture(width, height, QImage::Format(format));

    BottomUpBitmap dib;
    dib.assign(picture);
    QVERIFY(dib.isHeld());
    QCOMPARE(dib.width(), width);
    QCOMPARE(dib.height(), height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            QCOMPARE(pixelAt(dib, x, y), picture.pixel(x, y) | 0xFF000000);
        // The padding after each row stays zero.
        const uint8_t* row = dib.bits() + y * dib.bytesPerLine();
        for (int pad = width * 3; pad < dib.bytesPerLine(); ++pad)
            QCOMPARE(int(row[pad]), 0);
    }
    const QImage back = dib.toImage();
    QCOMPARE(back.size(), picture.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
}

void BottomUpBitmapTest::clearUpKeepsTheSize()
{
    BottomUpBitmap dib;
    dib.assign(patternPicture(100, 50));
    QCOMPARE(dib.bytesPerLine() * dib.height(), 15000);
    dib.clear();
    QVERIFY(!dib.isHeld());
    QVERIFY(dib.bits() == nullptr);
    QCOMPARE(dib.width(), 100);
    QCOMPARE(dib.height(), 50);
    QVERIFY(dib.toImage().isNull());

    // A second Create replaces the first picture with a black one of the new size.
    dib.assign(patternPicture(10, 10));
    QVERIFY(dib.create(3, 2));
    QCOMPARE(dib.width(), 3);
    QCOMPARE(pixelAt(dib, 0, 0), qRgb(0, 0, 0));
}

void BottomUpBitmapTest::createRefusesImpossibleSizes()
{
    BottomUpBitmap dib;
    for (const QSize size : {QSize(0, 5), QSize(5, 0), QSize(-5, 5), QSize(5, -5), QSize(70000, 70000)}) {
        QVERIFY(dib.create(4, 4));
        QVERIFY2(!dib.create(size.width(), size.height()), qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        QVERIFY(!dib.isHeld());
    }
    dib.assign(QImage());
    QVERIFY(!dib.isHeld());
}

void BottomUpBitmapTest::rectangleCopyIsClipped()
{
    const QImage source = patternPicture(20, 10);
    BottomUpBitmap dib;
    QVERIFY(dib.create(6, 4));

    dib.copyFrom(source, 10, 5);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            QCOMPARE(pixelAt(dib, x, y), source.pixel(10 + x, 5 + y));

    // Hanging over the source's right and bottom edges: only the part inside is copied.
    QVERIFY(dib.create(6, 4));
    dib.copyFrom(source, 17, 8);
    QCOMPARE(pixelAt(dib, 2, 1), source.pixel(19, 9));
    QCOMPARE(pixelAt(dib, 3, 1), qRgb(0, 0, 0));
    QCOMPARE(pixelAt(dib, 2, 2), qRgb(0, 0, 0));

    // Starting left of and above the source: the picture lands shifted.
    QVERIFY(dib.create(6, 4));
    dib.copyFrom(source, -2, -1, 4, 3);
    QCOMPARE(pixelAt(dib, 0, 0), qRgb(0, 0, 0));
    QCOMPARE(pixelAt(dib, 2, 1), source.pixel(0, 0));
    QCOMPARE(pixelAt(dib, 3, 2), source.pixel(1, 1));
    QCOMPARE(pixelAt(dib, 4, 2), qRgb(0, 0, 0)); // beyond the given width of 4
    QCOMPARE(pixelAt(dib, 2, 3), qRgb(0, 0, 0)); // beyond the given height of 3

    // Entirely outside: nothing happens.
    dib.copyFrom(source, 100, 100);
    dib.copyFrom(source, -50, 0, 10, 10);
    QCOMPARE(pixelAt(dib, 2, 1), source.pixel(0, 0));
}

void BottomUpBitmapTest::transparencyIsDropped()
{
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 100, 50, 0));
    picture.setPixel(1, 0, qRgba(10, 20, 30, 128));
    BottomUpBitmap dib;
    dib.assign(picture);
    QCOMPARE(pixelAt(dib, 0, 0), qRgb(200, 100, 50));
    QCOMPARE(pixelAt(dib, 1, 0), qRgb(10, 20, 30));
}

QTEST_GUILESS_MAIN(BottomUpBitmapTest)
#include "tst_bottom_up_bitmap.moc"
