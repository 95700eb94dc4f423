#include "imaging/ImageHeader.h"
#include "platform/RuntimeError.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

using namespace imaging;

#include <sys/stat.h>

namespace {

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

void putBigEndian16(QByteArray& bytes, int position, int value)
{
    bytes[position] = char((value >> 8) & 0xFF);
    bytes[position + 1] = char(value & 0xFF);
}

void putLittleEndian32(QByteArray& bytes, int position, qint32 value)
{
    for (int index = 0; index < 4; ++index)
        bytes[position + index] = char((quint32(value) >> (8 * index)) & 0xFF);
}

// The signature and the IHDR chunk; nothing past it is read.
QByteArray pngHeader(quint32 width, quint32 height, int bitDepth, int colourType)
{
    QByteArray bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (quint32 value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(char((value >> shift) & 0xFF));
    bytes.append(char(bitDepth));
    bytes.append(char(colourType));
    bytes.append(QByteArray(7, '\0'));
    return bytes;
}

QByteArray bmpHeader(qint32 width, qint32 height, int bitsPerPixel)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLittleEndian32(bytes, 14, 40);
    putLittleEndian32(bytes, 18, width);
    putLittleEndian32(bytes, 22, height);
    bytes[26] = 1;
    bytes[28] = char(bitsPerPixel);
    return bytes;
}

// A start-of-image marker, an application segment of the given payload length, then a frame
// header with the given marker for 120 x 80 pixels of the given number of components.
QByteArray jpegWithFrameAfter(int applicationLength, int frameMarker, int components)
{
    QByteArray bytes("\xFF\xD8\xFF\xE1", 4);
    bytes.append(char(0));
    bytes.append(char(0));
    putBigEndian16(bytes, 4, applicationLength);
    bytes.append(QByteArray(applicationLength - 2, 'x'));
    const QByteArray frame("\xFF\x00\x00\x11\x08\x00\x50\x00\x78", 9);
    bytes.append(frame);
    bytes[bytes.size() - 8] = char(frameMarker);
    bytes.append(char(components));
    bytes.append(QByteArray(16, '\0'));
    return bytes;
}

QImage testPicture(QImage::Format format)
{
    QImage image(300, 200, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x % 256, y, 100, 128 + (x % 100)));
    if (format == QImage::Format_Indexed8)
        return image.convertToFormat(QImage::Format_RGB32).convertToFormat(format, Qt::ThresholdDither);
    return image.convertToFormat(format);
}

} // namespace

class ImageHeaderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void readsHeader_data();
    void readsHeader();
    void depthTooLargeForEightBitsRaisesOverflow_data();
    void depthTooLargeForEightBitsRaisesOverflow();
    void unreadablePathsRaise();

private:
    QString writeFile(const QByteArray& bytes);
    QTemporaryDir m_folder;
    int m_files = 0;
};

QString ImageHeaderTest::writeFile(const QByteArray& bytes)
{
    const QString path = m_folder.filePath(QStringLiteral("file%1.bin").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

void ImageHeaderTest::readsHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("depth");

    const QByteArray rgbaPng = encoded(testPicture(QImage::Format_ARGB32), "png");
    QCOMPARE(int(rgbaPng[25]), 6); // the writer really made an RGB-with-alpha PNG
    QTest::newRow("png rgba") << rgbaPng << 3 << 300 << 200 << 32;
    const QByteArray palettePng = encoded(testPicture(QImage::Format_Indexed8), "png");
    QCOMPARE(int(palettePng[25]), 3);
    QTest::newRow("png palette") << palettePng << 3 << 300 << 200 << 8;
    QTest::newRow("png 1-bit palette") << pngHeader(5, 6, 1, 3) << 3 << 5 << 6 << 8;
    QTest::newRow("png grey 16") << pngHeader(5, 6, 16, 0) << 3 << 5 << 6 << 16;
    QTest::newRow("png rgb 8") << pngHeader(5, 6, 8, 2) << 3 << 5 << 6 << 24;
    QTest::newRow("png rgba 16") << pngHeader(5, 6, 16, 6) << 3 << 5 << 6 << 64;
    QTest::newRow("png 70000 wide") << pngHeader(70000, 3, 8, 2) << 3 << 4464 << 3 << 24;
    QTest::newRow("png unknown colour type") << pngHeader(5, 6, 8, 5) << 0 << 0 << 0 << 0;

    QByteArray gif("GIF89a\x40\x01\xC8\x00\xF7\x00\x00", 13);
    QTest::newRow("gif 0xF7") << gif << 1 << 320 << 200 << 8;
    gif[10] = char(0x80);
    QTest::newRow("gif 0x80") << gif << 1 << 320 << 200 << 1;

    const QByteArray bmp = encoded(QImage(30, 20, QImage::Format_RGB888), "bmp");
    QCOMPARE(int(bmp[28]), 24);
    QTest::newRow("bmp 24") << bmp << 4 << 30 << 20 << 24;
    QTest::newRow("bmp top-down") << bmpHeader(40, -100, 24) << 4 << 40 << 65436 << 24;

    QImage colour = testPicture(QImage::Format_RGB32);
    QTest::newRow("jpeg baseline") << encoded(colour, "jpeg") << 2 << 300 << 200 << 24;
    QTest::newRow("jpeg grey") << encoded(colour.convertToFormat(QImage::Format_Grayscale8), "jpeg") << 2 << 300
                               << 200 << 8;
    const QByteArray progressive = encoded(colour, "jpeg", true);
    QVERIFY(progressive.contains("\xFF\xC2") && !progressive.contains("\xFF\xC0"));
    QTest::newRow("jpeg progressive") << progressive << 2 << 300 << 200 << 24;
    QTest::newRow("jpeg four components") << jpegWithFrameAfter(20, 0xC1, 4) << 2 << 120 << 80 << 32;
    QTest::newRow("jpeg after garbage") << QByteArray("junk\xFF\xFF", 6) + jpegWithFrameAfter(20, 0xC0, 3) << 2 << 120
                                        << 80 << 24;
    // The Huffman table and arithmetic-coding markers lie among the frame markers but are skipped.
    QTest::newRow("jpeg huffman table first") << jpegWithFrameAfter(20, 0xC4, 3) << 0 << 0 << 0 << 0;
    QTest::newRow("jpeg arithmetic table first") << jpegWithFrameAfter(20, 0xCC, 3) << 0 << 0 << 0 << 0;
    QTest::newRow("jpeg frame at 65524") << jpegWithFrameAfter(65520, 0xC0, 3) << 2 << 120 << 80 << 24;
    QTest::newRow("jpeg frame at 65525") << jpegWithFrameAfter(65521, 0xC0, 3) << 0 << 0 << 0 << 0;
    QTest::newRow("start of image alone") << QByteArray("\xFF\xD8\xFF", 3) << 0 << 0 << 0 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << 0 << 0;
    QTest::newRow("text") << QByteArray("Just some words, BM is not at the start.\n") << 0 << 0 << 0 << 0;
}

void ImageHeaderTest::readsHeader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, type);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, depth);

    ImageHeader info = readImageHeader(writeFile(bytes));
    QCOMPARE(int(info.type), type);
    QCOMPARE(info.width, width);
    QCOMPARE(info.height, height);
    QCOMPARE(int(info.depth), depth);
}

void ImageHeaderTest::depthTooLargeForEightBitsRaisesOverflow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("png 255-bit rgba") << pngHeader(5, 6, 255, 6);
    QTest::newRow("jpeg 32 components") << jpegWithFrameAfter(20, 0xC0, 32);
}

void ImageHeaderTest::depthTooLargeForEightBitsRaisesOverflow()
{
    QFETCH(QByteArray, bytes);
    try {
        readImageHeader(writeFile(bytes));
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), 6);
        QCOMPARE(error.description(), QStringLiteral("Overflow"));
    }
}

void ImageHeaderTest::unreadablePathsRaise()
{
    for (const QString& path : {m_folder.filePath("missing.gif"), QString()}) {
        try {
            readImageHeader(path);
            QFAIL("no error raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), 53);
            QCOMPARE(error.source(), QStringLiteral("tst_image_header"));
        }
    }
    // A named pipe without a writer must be refused, not waited on.
    const QString pipe = m_folder.filePath("pipe");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    for (const QString& path : {m_folder.path(), pipe}) {
        try {
            readImageHeader(path);
            QFAIL("no error raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), 75);
        }
    }
}

QTEST_GUILESS_MAIN(ImageHeaderTest)
#include "tst_image_header.moc"
