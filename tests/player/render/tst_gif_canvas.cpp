#include "player/render/GifCanvas.h"

#include <QByteArray>
#include <QtTest>

namespace {

QByteArray littleEndian16(int value)
{
    return QByteArray(1, char(value & 0xFF)) + QByteArray(1, char((value >> 8) & 0xFF));
}

QByteArray screen(int width, int height, uint8_t packedFields = 0)
{
    return QByteArray("GIF89a") + littleEndian16(width) + littleEndian16(height) + char(packedFields)
        + QByteArray(2, '\0');
}

QByteArray pictureDescriptor(int width, int height)
{
    return QByteArray(1, '\x2C') + littleEndian16(0) + littleEndian16(0) + littleEndian16(width)
        + littleEndian16(height) + QByteArray(1, '\0');
}

} // namespace

// The canvas a GIF is decoded on, read from its logical screen and its first picture.
class GifCanvasTest : public QObject {
    Q_OBJECT

private slots:
    void canvasSizes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("canvas");
        QTest::newRow("screen wider than the picture")
            << screen(9000, 1000) + pictureDescriptor(7, 5) << QSize(9000, 1000);
        QTest::newRow("zero screen height, taken from the picture")
            << screen(63495, 0) + pictureDescriptor(7, 239) << QSize(63495, 239);
        QTest::newRow("picture larger than the screen") << screen(7, 5) + pictureDescriptor(300, 200) << QSize(300, 200);
        // A global table of 4 colours, a graphic control extension and a comment in two
        // sub-blocks come before the picture.
        const QByteArray extensions = QByteArray("\x21\xF9\x04\x00\x00\x00\x00\x00", 8)
            + QByteArray("\x21\xFE\x03" "abc" "\x02" "xy\x00", 10);
        QTest::newRow("after a colour table and extensions")
            << screen(10, 10, 0x81) + QByteArray(12, '\x7F') + extensions + pictureDescriptor(20, 30) << QSize(20, 30);
        QTest::newRow("cut before the picture") << screen(40, 50, 0x81) + QByteArray(5, '\0') << QSize(40, 50);
        QTest::newRow("GIF87a") << QByteArray("GIF87a") + screen(3, 4).mid(6) << QSize(3, 4);
        QTest::newRow("not a GIF") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\0\0\0", 14) << QSize();
        QTest::newRow("cut within the screen") << screen(40, 50).left(12) << QSize();
    }
    void canvasSizes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, canvas);
        QCOMPARE(player::render::gifCanvasSize(reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
                 canvas);
    }
};

QTEST_GUILESS_MAIN(GifCanvasTest)
#include "tst_gif_canvas.moc"
