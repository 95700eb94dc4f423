#include "ShapeBuilder.h"

#include "player/render/BitmapDecoder.h"
#include "player/render/RenderCache.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtTest>
#include <zlib.h>

using namespace player;
using namespace player::render;

using Kind = swf::BitmapDefinition::Kind;

namespace {

swf::Bytes deflate(const swf::Bytes& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    swf::Bytes packed(size);
    if (compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
        qFatal("compress failed");
    packed.resize(size);
    return packed;
}

swf::BitmapDefinition lossless(Kind kind, uint8_t format, uint16_t width, uint16_t height, const swf::Bytes& raw,
                               uint16_t colorTableSize = 0)
{
    swf::BitmapDefinition bitmap;
    bitmap.id = 3;
    bitmap.kind = kind;
    bitmap.losslessFormat = format;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.colorTableSize = colorTableSize;
    bitmap.imageData = deflate(raw);
    return bitmap;
}

swf::Bytes encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    if (!writer.write(image))
        qFatal("could not encode a test image");
    return swf::Bytes(bytes.begin(), bytes.end());
}

// A 16x8 image: red on the left half, blue on the right.
QImage halves()
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

swf::BitmapDefinition jpegKind(Kind kind, swf::Bytes data, swf::Bytes alpha = {})
{
    swf::BitmapDefinition bitmap;
    bitmap.id = 4;
    bitmap.kind = kind;
    bitmap.imageData = std::move(data);
    bitmap.alphaData = std::move(alpha);
    return bitmap;
}

// Splits a JPEG the way DefineBits stores it: the quantisation and Huffman tables go to the
// movie's shared tables (wrapped in start and end markers), the rest stays with the image.
std::pair<swf::Bytes, swf::Bytes> splitTables(const swf::Bytes& jpeg)
{
    swf::Bytes tables { 0xFF, 0xD8 };
    swf::Bytes image { 0xFF, 0xD8 };
    std::size_t position = 2;
    while (position + 4 <= jpeg.size() && jpeg[position] == 0xFF && jpeg[position + 1] != 0xDA) {
        const std::size_t length = 2 + ((jpeg[position + 2] << 8) | jpeg[position + 3]);
        const bool isTable = jpeg[position + 1] == 0xDB || jpeg[position + 1] == 0xC4;
        swf::Bytes& target = isTable ? tables : image;
        target.insert(target.end(), jpeg.begin() + position, jpeg.begin() + position + length);
        position += length;
    }
    image.insert(image.end(), jpeg.begin() + position, jpeg.end());
    tables.push_back(0xFF);
    tables.push_back(0xD9);
    return { tables, image };
}

} // namespace

class BitmapDecodingTest : public QObject {
    Q_OBJECT

private slots:
    void losslessFormats_data();
    void losslessFormats();
    void refusals_data();
    void refusals();
    void compressionBeyondDeflate();
    void jpegPayloads();
    void alphaPlane();
    void sharedTables();
    void cacheFollowsOwner();
};

void BitmapDecodingTest::losslessFormats_data()
{
    QTest::addColumn<swf::BitmapDefinition>("bitmap");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRgb>("expected");

    // Colour-mapped, 3 pixels wide: rows padded to 4 bytes. Table: red, blue.
    const swf::BitmapDefinition mapped = lossless(Kind::Lossless, 3, 3, 2, { 255, 0, 0, 0, 0, 255, 0, 1, 0, 9, 1, 1, 5, 9 }, 1);
    QTest::newRow("mapped first") << mapped << QPoint(0, 0) << qRgb(255, 0, 0);
    QTest::newRow("mapped second") << mapped << QPoint(1, 0) << qRgb(0, 0, 255);
    QTest::newRow("mapped after padding") << mapped << QPoint(0, 1) << qRgb(0, 0, 255);
    QTest::newRow("mapped index past table is black") << mapped << QPoint(2, 1) << qRgb(0, 0, 0);

    // Colour-mapped with alpha: premultiplied entries (128, 0, 0, 128) = red at half alpha.
    const swf::BitmapDefinition mappedAlpha = lossless(Kind::Lossless2, 3, 2, 1, { 128, 0, 0, 128, 0, 1, 0, 0 }, 0);
    QTest::newRow("mapped alpha") << mappedAlpha << QPoint(0, 0) << qRgba(255, 0, 0, 128);
    QTest::newRow("mapped alpha index past table is clear") << mappedAlpha << QPoint(1, 0) << qRgba(0, 0, 0, 0);

    // 15-bit, 3 wide: rows padded to an even pixel count (8 bytes).
    const swf::BitmapDefinition fifteen = lossless(Kind::Lossless, 4, 3, 2,
                                                   { 0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0xAA, 0xAA,
                                                     0x7F, 0xFF, 0x42, 0x10, 0x00, 0x00, 0xAA, 0xAA });
    QTest::newRow("15-bit red") << fifteen << QPoint(0, 0) << qRgb(255, 0, 0);
    QTest::newRow("15-bit green") << fifteen << QPoint(1, 0) << qRgb(0, 255, 0);
    QTest::newRow("15-bit blue") << fifteen << QPoint(2, 0) << qRgb(0, 0, 255);
    QTest::newRow("15-bit white after padding") << fifteen << QPoint(0, 1) << qRgb(255, 255, 255);
    QTest::newRow("15-bit grey") << fifteen << QPoint(1, 1) << qRgb(132, 132, 132);

    // 32-bit: a reserved byte then red, green, blue; opaque whatever the reserved byte says.
    const swf::BitmapDefinition full = lossless(Kind::Lossless, 5, 2, 1, { 0, 10, 20, 30, 77, 40, 50, 60 });
    QTest::newRow("32-bit") << full << QPoint(0, 0) << qRgb(10, 20, 30);
    QTest::newRow("32-bit reserved byte ignored") << full << QPoint(1, 0) << qRgb(40, 50, 60);

    // 32-bit with premultiplied alpha; a colour above its alpha is clamped.
    const swf::BitmapDefinition withAlpha = lossless(Kind::Lossless2, 5, 2, 1, { 128, 128, 0, 0, 64, 255, 0, 0 });
    QTest::newRow("argb premultiplied") << withAlpha << QPoint(0, 0) << qRgba(255, 0, 0, 128);
    QTest::newRow("argb clamped") << withAlpha << QPoint(1, 0) << qRgba(255, 0, 0, 64);
}

void BitmapDecodingTest::losslessFormats()
{
    QFETCH(swf::BitmapDefinition, bitmap);
    QFETCH(QPoint, point);
    QFETCH(QRgb, expected);
    const DecodedBitmap decoded = BitmapDecoder::decode(bitmap, {});
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.image.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(decoded.image.size(), QSize(bitmap.width, bitmap.height));
    const QRgb actual = decoded.image.pixelColor(point).rgba();
    QVERIFY2(closeTo(actual, expected, 2), qPrintable(describe(actual) + " != " + describe(expected)));
}

void BitmapDecodingTest::refusals_data()
{
    QTest::addColumn<swf::BitmapDefinition>("bitmap");

    QTest::newRow("truncated rows") << lossless(Kind::Lossless, 5, 4, 4, swf::Bytes(20, 1));
    swf::BitmapDefinition corrupt = lossless(Kind::Lossless, 5, 1, 1, { 0, 1, 2, 3 });
    corrupt.imageData[3] ^= 0xFF;
    corrupt.imageData.resize(6);
    QTest::newRow("corrupt zlib") << corrupt;
    QTest::newRow("not zlib at all") << [] { auto b = lossless(Kind::Lossless, 5, 1, 1, {}); b.imageData = { 1, 2, 3 }; return b; }();
    QTest::newRow("unknown format") << lossless(Kind::Lossless, 7, 1, 1, { 0, 0, 0, 0 });
    QTest::newRow("zero width") << lossless(Kind::Lossless, 5, 0, 1, {});
    QTest::newRow("too large") << lossless(Kind::Lossless, 5, 20000, 20000, { 0, 0, 0, 0 });
    QTest::newRow("15-bit with alpha") << lossless(Kind::Lossless2, 4, 1, 1, { 0, 0, 0, 0 });
    QTest::newRow("unknown payload") << jpegKind(Kind::Jpeg2, { 'h', 'e', 'l', 'l', 'o' });
    QTest::newRow("empty payload") << jpegKind(Kind::Jpeg2, {});
    swf::Bytes cut = encoded(halves(), "jpeg");
    cut.resize(40);
    QTest::newRow("truncated jpeg") << jpegKind(Kind::Jpeg2, cut);
    swf::Bytes cutPng = encoded(halves(), "png");
    cutPng.resize(30);
    QTest::newRow("truncated png") << jpegKind(Kind::Jpeg2, cutPng);
    // Its picture is 7 x 5, but it would be decoded on a screen 63495 pixels wide; the data ends
    // after the descriptor, so only the size check can name the size.
    QTest::newRow("gif screen beyond the limit")
        << jpegKind(Kind::Jpeg2, { 'G', 'I', 'F', '8', '9', 'a', 0x07, 0xF8, 0, 0, 0, 0, 0,
                                   0x2C, 0, 0, 0, 0, 7, 0, 5, 0, 0 });
}

void BitmapDecodingTest::refusals()
{
    QFETCH(swf::BitmapDefinition, bitmap);
    const DecodedBitmap decoded = BitmapDecoder::decode(bitmap, {});
    QVERIFY(!decoded.ok());
    QVERIFY(!decoded.error.isEmpty());
    if (QByteArray(QTest::currentDataTag()).startsWith("gif screen"))
        QVERIFY2(decoded.error.contains(QLatin1String("63495x5 pixels")), qPrintable(decoded.error));
}

// Flat colour compresses about a thousand times and decodes; compressed data too short to
// hold the bitmap at deflate's best is refused with its sizes, before inflating.
void BitmapDecodingTest::compressionBeyondDeflate()
{
    const uint16_t width = 4096;
    const uint16_t height = 1024;
    swf::Bytes raw(std::size_t(width) * height * 4, 0);
    for (std::size_t offset = 0; offset < raw.size(); offset += 4)
        raw[offset + 2] = 200;
    const swf::BitmapDefinition flat = lossless(Kind::Lossless, 5, width, height, raw);
    QVERIFY(flat.imageData.size() * 900 < raw.size());
    const DecodedBitmap decoded = BitmapDecoder::decode(flat, {});
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.image.pixel(width - 1, height - 1), qRgb(0, 200, 0));

    swf::BitmapDefinition cut = flat;
    cut.imageData.resize(raw.size() / 1040);
    const DecodedBitmap refused = BitmapDecoder::decode(cut, {});
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error.contains(QStringLiteral("%1 compressed bytes cannot hold the %2 needed")
                                        .arg(cut.imageData.size())
                                        .arg(raw.size())),
             qPrintable(refused.error));
}

void BitmapDecodingTest::jpegPayloads()
{
    const swf::Bytes jpeg = encoded(halves(), "jpeg");
    DecodedBitmap decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg2, jpeg), {});
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.image.size(), QSize(16, 8));
    QVERIFY(closeTo(decoded.image.pixelColor(2, 4).rgba(), qRgb(255, 0, 0), 12));
    QVERIFY(closeTo(decoded.image.pixelColor(13, 4).rgba(), qRgb(0, 0, 255), 12));

    // The stray end/start marker pair in front, and the same pair inside the header.
    swf::Bytes prefixed { 0xFF, 0xD9, 0xFF, 0xD8 };
    prefixed.insert(prefixed.end(), jpeg.begin(), jpeg.end());
    QVERIFY(BitmapDecoder::decode(jpegKind(Kind::Jpeg2, prefixed), {}).ok());
    swf::Bytes inside = jpeg;
    const swf::Bytes strayPair { 0xFF, 0xD9, 0xFF, 0xD8 };
    inside.insert(inside.begin() + 2, strayPair.begin(), strayPair.end());
    QCOMPARE(BitmapDecoder::repairJpeg(inside), jpeg);
    // A missing end marker is added.
    swf::Bytes unterminated(jpeg.begin(), jpeg.end() - 2);
    QCOMPARE(BitmapDecoder::repairJpeg(unterminated), jpeg);

    // PNG with alpha comes out premultiplied.
    QImage translucent(4, 4, QImage::Format_ARGB32);
    translucent.fill(qRgba(0, 255, 0, 100));
    decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg2, encoded(translucent, "png")), {});
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.image.format(), QImage::Format_ARGB32_Premultiplied);
    QVERIFY(closeTo(decoded.image.pixelColor(1, 1).rgba(), qRgba(0, 255, 0, 100), 2));
}

void BitmapDecodingTest::alphaPlane()
{
    // Alpha 128 everywhere over red: the JPEG colour is clamped to the alpha, as Flash does, so
    // the pixel is full red at half alpha.
    const swf::Bytes jpeg = encoded(halves(), "jpeg");
    DecodedBitmap decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg3, jpeg, deflate(swf::Bytes(16 * 8, 128))), {});
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QVERIFY(closeTo(decoded.image.pixelColor(2, 4).rgba(), qRgba(255, 0, 0, 128), 12));

    // A plane of the wrong size leaves the image opaque.
    decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg3, jpeg, deflate(swf::Bytes(10, 128))), {});
    QVERIFY(decoded.ok());
    QCOMPARE(qAlpha(decoded.image.pixelColor(2, 4).rgba()), 255);

    // With a PNG payload the alpha plane is ignored.
    decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg4, encoded(halves(), "png"), deflate(swf::Bytes(16 * 8, 0))), {});
    QVERIFY(decoded.ok());
    QCOMPARE(decoded.image.pixelColor(2, 4).rgba(), qRgb(255, 0, 0));
}

void BitmapDecodingTest::sharedTables()
{
    const auto [tables, image] = splitTables(encoded(halves(), "jpeg"));
    // Without its tables the image cannot be decoded; with them it can.
    QVERIFY(!BitmapDecoder::decode(jpegKind(Kind::Jpeg1, image), {}).ok());
    const DecodedBitmap decoded = BitmapDecoder::decode(jpegKind(Kind::Jpeg1, image), tables);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QVERIFY(closeTo(decoded.image.pixelColor(13, 4).rgba(), qRgb(0, 0, 255), 12));
}

void BitmapDecodingTest::cacheFollowsOwner()
{
    RenderCache cache;
    auto owner = std::make_shared<swf::BitmapDefinition>(lossless(Kind::Lossless, 5, 1, 1, { 0, 200, 100, 50 }));
    const QImage first = cache.bitmap(owner, *owner, {});
    QCOMPARE(cache.bitmap(owner, *owner, {}).cacheKey(), first.cacheKey());

    swf::ColorTransform inverted;
    inverted.redMult = inverted.greenMult = inverted.blueMult = -256;
    inverted.redAdd = inverted.greenAdd = inverted.blueAdd = 255;
    QCOMPARE(cache.bitmap(owner, *owner, {}, inverted).pixel(0, 0), qRgb(55, 155, 205));

    // A new definition at another owner is decoded afresh, and expired owners are dropped.
    auto other = std::make_shared<swf::BitmapDefinition>(lossless(Kind::Lossless, 5, 1, 1, { 0, 1, 2, 3 }));
    QCOMPARE(cache.bitmap(other, *owner, {}).pixel(0, 0), qRgb(200, 100, 50));
    QCOMPARE(cache.entryCount(), std::size_t(1));
    other.reset();
    owner.reset();
    cache.purgeExpired();
    QCOMPARE(cache.entryCount(), std::size_t(0));

    // A bitmap that fails is remembered with its reason.
    auto broken = std::make_shared<swf::BitmapDefinition>(jpegKind(Kind::Jpeg2, { 1, 2, 3 }));
    QVERIFY(cache.bitmap(broken, *broken, {}).isNull());
    QVERIFY(!cache.lastBitmapError().isEmpty());
}

QTEST_MAIN(BitmapDecodingTest)
#include "tst_bitmap_decoding.moc"
