#include "ShapeBuilder.h"

#include "player/render/ConvertedShape.h"
#include "player/render/GradientRamp.h"
#include "player/render/GradientTable.h"
#include "player/render/ShapeConverter.h"
#include "player/render/ShapePainter.h"

#include <QtTest>
#include <cmath>

using namespace player;
using namespace player::render;

Q_DECLARE_METATYPE(player::swf::SpreadMode)

namespace {

const swf::Rgba Red { 255, 0, 0, 255 };
const swf::Rgba Green { 0, 255, 0, 255 };
const swf::Rgba Blue { 0, 0, 255, 255 };
const swf::Rgba Black { 0, 0, 0, 255 };
const swf::Rgba White { 255, 255, 255, 255 };
const swf::Rgba Yellow { 255, 255, 0, 255 };

// One table entry expected: its index and colour.
struct Entry {
    int index = 0;
    swf::Rgba color;
};

QByteArray rgbaText(const swf::Rgba& color)
{
    return QByteArray::number(color.r) + ',' + QByteArray::number(color.g) + ',' + QByteArray::number(color.b) + ','
        + QByteArray::number(color.a);
}

swf::Rgba mixed(const swf::Rgba& from, const swf::Rgba& to, double amount)
{
    // Rounded down, as Flash's table is; the slack keeps exact steps from landing a hair below.
    auto channel = [amount](int first, int second) { return static_cast<uint8_t>(std::floor(first + (second - first) * amount + 1e-9)); };
    return swf::Rgba { channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), channel(from.a, to.a) };
}

} // namespace

Q_DECLARE_METATYPE(std::vector<player::swf::Rgba>)
Q_DECLARE_METATYPE(std::vector<uint8_t>)
Q_DECLARE_METATYPE(std::vector<Entry>)

// Flash's table of 256 gradient colours, built in one pass over the records in file order.
class GradientTableTest : public QObject {
    Q_OBJECT

private slots:
    void entries_data()
    {
        QTest::addColumn<std::vector<swf::Rgba>>("colors");
        QTest::addColumn<std::vector<uint8_t>>("ratios");
        QTest::addColumn<std::vector<Entry>>("expected");

        QTest::newRow("increasing ratios")
            << std::vector<swf::Rgba> { Red, Blue } << std::vector<uint8_t> { 50, 150 }
            << std::vector<Entry> { { 0, Red }, { 50, Red }, { 100, mixed(Red, Blue, 0.5) }, { 150, Blue }, { 255, Blue } };
        // Records sharing a ratio: each later one writes its predecessor's colour into the next
        // single entry, and the record after them mixes from the last of them at the shared ratio.
        QTest::newRow("repeated ratios")
            << std::vector<swf::Rgba> { Red, Green, Blue, Black, White } << std::vector<uint8_t> { 6, 6, 6, 6, 150 }
            << std::vector<Entry> { { 6, Red }, { 7, Red }, { 8, Green }, { 9, Blue },
                                    { 10, mixed(Black, White, 4.0 / 144.0) }, { 150, White }, { 151, White } };
        // A ratio lower than the one before: that record gets a single entry of its
        // predecessor's colour, and the next record mixes from it at its own (lower) ratio.
        QTest::newRow("backward ratios")
            << std::vector<swf::Rgba> { Red, Green, Blue, Yellow } << std::vector<uint8_t> { 31, 80, 50, 100 }
            << std::vector<Entry> { { 31, Red }, { 80, Green }, { 81, Green }, { 82, mixed(Blue, Yellow, 32.0 / 50.0) },
                                    { 100, Yellow }, { 200, Yellow } };
        // The table is full before the last record comes: it never shows, not even beyond.
        QTest::newRow("pairs at both ends")
            << std::vector<swf::Rgba> { Red, Green, Blue, Black } << std::vector<uint8_t> { 0, 0, 255, 255 }
            << std::vector<Entry> { { 0, Red }, { 1, Red }, { 2, mixed(Green, Blue, 2.0 / 255.0) }, { 255, Blue } };
        QTest::newRow("a last record that goes back shows beyond the table's end")
            << std::vector<swf::Rgba> { Red, Blue, Yellow } << std::vector<uint8_t> { 0, 200, 150 }
            << std::vector<Entry> { { 200, Blue }, { 201, Blue }, { 202, Yellow }, { 255, Yellow } };
        QTest::newRow("one record fills the table")
            << std::vector<swf::Rgba> { Green } << std::vector<uint8_t> { 128 }
            << std::vector<Entry> { { 0, Green }, { 255, Green } };
        // Measured on Flash: a gradient from 197 to 161 over the whole table shows 194 at entry 17
        // (197 less 36 * 17 / 255 is 194.6, rounded down).
        QTest::newRow("mixing rounds down")
            << std::vector<swf::Rgba> { swf::Rgba { 255, 197, 0, 255 }, swf::Rgba { 255, 161, 0, 255 } }
            << std::vector<uint8_t> { 0, 255 }
            << std::vector<Entry> { { 6, swf::Rgba { 255, 196, 0, 255 } }, { 17, swf::Rgba { 255, 194, 0, 255 } },
                                    { 38, swf::Rgba { 255, 191, 0, 255 } } };
        QTest::newRow("alpha mixes too")
            << std::vector<swf::Rgba> { swf::Rgba { 0, 0, 0, 0 }, White } << std::vector<uint8_t> { 0, 255 }
            << std::vector<Entry> { { 51, mixed(swf::Rgba { 0, 0, 0, 0 }, White, 0.2) } };
    }

    void entries()
    {
        QFETCH(std::vector<swf::Rgba>, colors);
        QFETCH(std::vector<uint8_t>, ratios);
        QFETCH(std::vector<Entry>, expected);
        const GradientColors table = makeGradientColors(colors, ratios);
        for (const Entry& entry : expected) {
            const swf::Rgba& actual = table[static_cast<size_t>(entry.index)];
            QVERIFY2(actual == entry.color, "entry " + QByteArray::number(entry.index) + ": " + rgbaText(actual)
                                                + " instead of " + rgbaText(entry.color));
        }
    }

    void linearLightMixesInLight()
    {
        // Halfway between black and white in light is byte 127 (127.5 cut), 187 in stored values.
        const GradientColors linear = makeGradientColors({ Black, White }, { 0, 254 }, GradientMixing::LinearLight);
        QCOMPARE(linear[127].r, uint8_t { 187 });
        QCOMPARE(linear[127].a, uint8_t { 255 });
        // Flash keeps linear light in bytes: green 20 is byte 1 however it is mixed, and byte 1
        // shows as 13, darker than either stop. Its pictures show the same.
        const swf::Rgba dark { 14, 20, 255, 255 };
        const swf::Rgba red { 255, 20, 25, 255 };
        const GradientColors darkMix = makeGradientColors({ dark, red }, { 0, 255 }, GradientMixing::LinearLight);
        QCOMPARE(darkMix[128].g, uint8_t { 13 });
        QCOMPARE(darkMix[0].g, uint8_t { 13 });
        // A translucent entry goes back from light as if its alpha were already applied: the
        // light is divided by alpha, converted and multiplied by alpha again, so white at half
        // alpha shows as 173 and an opaque entry is unchanged.
        const swf::Rgba halfWhite { 255, 255, 255, 128 };
        const GradientColors translucent = makeGradientColors({ halfWhite, halfWhite }, { 0, 255 }, GradientMixing::LinearLight);
        QCOMPARE(translucent[100].r, uint8_t { 173 });
        QCOMPARE(translucent[100].a, uint8_t { 128 });
        QCOMPARE(linear[254].r, uint8_t { 255 });
        const GradientColors straight = makeGradientColors({ Black, White }, { 0, 254 });
        QCOMPARE(straight[127].r, uint8_t { 127 }); // 127.5, rounded down
    }

    // How pixels take their colours from the table: the nearest entry, or a mix of the two
    // entries around the position, mixed in light before going back for linear-light gradients.
    // Ramp index k holds the position (k + 0.5) / 1024, which lies (k + 0.5) / 4 - 0.5 entries
    // past the middle of entry 0.
    void rampFromTable()
    {
        const auto at = [](int index) { return (index + 0.5) / GradientRamp::Size; };
        const auto pad = QGradient::PadSpread;
        // Entries 0 to 100 are red, the rest blue.
        const GradientColors step = makeMixingColors({ Red, Blue }, { 100, 101 }, GradientMixing::Straight);
        const auto nearest = GradientRamp::fromTable(step, GradientMixing::Straight, GradientRamp::Lookup::Nearest, 0.0, pad);
        const auto blended = GradientRamp::fromTable(step, GradientMixing::Straight, GradientRamp::Lookup::Blended, 0.0, pad);
        QCOMPARE(nearest->colorAt(at(403)), qRgb(255, 0, 0)); // entry 100.375
        QCOMPARE(nearest->colorAt(at(404)), qRgb(0, 0, 255)); // entry 100.625
        QCOMPARE(blended->colorAt(at(401)), qRgb(255, 0, 0)); // entry 99.875, between two reds
        QCOMPARE(blended->colorAt(at(402)), qRgb(223, 0, 32)); // entry 100.125: an eighth of the way to blue
        QCOMPARE(blended->colorAt(at(404)), qRgb(96, 0, 159)); // entry 100.625
        QCOMPARE(blended->colorAt(at(406)), qRgb(0, 0, 255)); // entry 101.125
        // A lead moves every entry back along the gradient.
        const auto leading = GradientRamp::fromTable(step, GradientMixing::Straight, GradientRamp::Lookup::Blended, 1.0, pad);
        QCOMPARE(leading->colorAt(at(398)), qRgb(223, 0, 32));
        // Before the first entry's middle and after the last one's the end entries hold.
        const GradientColors fade = makeMixingColors({ Black, White }, { 0, 255 }, GradientMixing::Straight);
        const auto ends = GradientRamp::fromTable(fade, GradientMixing::Straight, GradientRamp::Lookup::Blended, 0.0, pad);
        QCOMPARE(ends->colorAt(at(0)), qRgb(0, 0, 0));
        QCOMPARE(ends->colorAt(at(GradientRamp::Size - 1)), qRgb(255, 255, 255));
        // In linear light the mix is made on light: three eighths of the way from black to white
        // is light 0.375, which shows as 165 (straight mixing would give 96).
        const GradientColors light = makeMixingColors({ Black, White }, { 100, 101 }, GradientMixing::LinearLight);
        const auto lit = GradientRamp::fromTable(light, GradientMixing::LinearLight, GradientRamp::Lookup::Blended, 0.0, pad);
        QCOMPARE(lit->colorAt(at(403)), qRgb(165, 165, 165));
        // Alpha mixes too, and the colour is premultiplied after the mix.
        const GradientColors clear = makeMixingColors({ swf::Rgba { 255, 0, 0, 0 }, Red }, { 100, 101 }, GradientMixing::Straight);
        const auto appearing = GradientRamp::fromTable(clear, GradientMixing::Straight, GradientRamp::Lookup::Blended, 0.0, pad);
        QCOMPARE(appearing->colorAt(at(404)), qPremultiply(qRgba(255, 0, 0, 159)));
        QVERIFY(!appearing->opaque());
    }

    void nothingToBuildFrom()
    {
        const GradientTable empty = makeGradientTable({}, {});
        QCOMPARE(empty[0], QRgb { 0 });
        QCOMPARE(empty[255], QRgb { 0 });
        // Only as many records as both lists have.
        const GradientColors table = makeGradientColors({ Red, Blue, Green }, { 0, 255 });
        QVERIFY(table[255] == Blue);
    }

    void filterTableIsPremultiplied()
    {
        const GradientTable table = makeGradientTable({ swf::Rgba { 255, 0, 0, 0 }, swf::Rgba { 255, 0, 0, 255 } }, { 0, 255 });
        QCOMPARE(table[0], QRgb { 0 });
        QCOMPARE(table[255], qRgba(255, 0, 0, 255));
        QCOMPARE(qAlpha(table[51]), 51);
        QCOMPARE(qRed(table[51]), 51);
    }

    // A gradient painted across 512 pixels shows each table entry on two pixels: the hard steps
    // of repeated ratios stay hard, and the spread continues the table beyond the gradient square.
    // At high quality, where each pixel shows a single entry, entry e lies on pixels
    // 512 + 2(e - 1) and the one after.
    void paintedGradient_data()
    {
        QTest::addColumn<swf::SpreadMode>("spread");
        QTest::addColumn<int>("x");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("pad before") << swf::SpreadMode::Pad << 0 << qRgb(255, 0, 0);
        QTest::newRow("first record") << swf::SpreadMode::Pad << 512 + 9 << qRgb(255, 0, 0);
        QTest::newRow("repeated ratio writes its predecessor") << swf::SpreadMode::Pad << 512 + 21 << qRgb(255, 0, 0);
        QTest::newRow("and the next one its own predecessor") << swf::SpreadMode::Pad << 512 + 23 << qRgb(0, 255, 0);
        QTest::newRow("mixing after the repeated ratio") << swf::SpreadMode::Pad << 512 + 399 << qRgb(198, 198, 255);
        QTest::newRow("pad after holds the table's end") << swf::SpreadMode::Pad << 1400 << qRgb(255, 255, 255);
        QTest::newRow("repeat starts over") << swf::SpreadMode::Repeat << 1024 + 9 << qRgb(255, 0, 0);
        QTest::newRow("reflect turns back") << swf::SpreadMode::Reflect << 1024 + 110 << qRgb(198, 198, 255);
    }

    void paintedGradient()
    {
        QFETCH(swf::SpreadMode, spread);
        QFETCH(int, x);
        QFETCH(QRgb, expected);
        // Ratios 10, 10, 10, 255: red up to 10, red again at 11, green at 12, then blue to white.
        swf::FillStyle fill;
        fill.type = swf::FillType::LinearGradient;
        fill.gradient.spread = spread;
        fill.gradient.records = { { 10, Red }, { 10, Green }, { 10, Blue }, { 255, White } };
        // The gradient square (32768 twips) over 512 pixels from x = 512.
        const double scale = 512.0 * 20.0 / 32768.0;
        fill.gradient.matrix = swf::Matrix { scale, 0.0, 0.0, scale, (512.0 + 256.0) * 20.0, 0.0 };
        const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(0, 0, 1536, 4, 0, 1).build();
        const ConvertedShape converted = ShapeConverter::convert(shape);
        QImage image(1536, 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setWorldTransform(QTransform::fromScale(0.05, 0.05));
        ShapePainter::paint(painter, converted, {}, {}, true);
        painter.end();
        const QRgb actual = image.pixel(x, 2);
        const int tolerance = 3;
        QVERIFY2(std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
                     && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(actual & 0xFFFFFF, 6, 16).arg(expected & 0xFFFFFF, 6, 16)));
    }

    // At low quality each pixel mixes the two table entries around its centre, the entries lying
    // in the middle of their 256ths of the gradient, as Flash's pictures of gradients of about one
    // entry a pixel show (a gradient starting on a pixel edge shows entry 0 on its first pixel).
    // On a smooth gradient that is within one level of the entry the centre lies in, and nearly
    // always that entry. (Leading by half an entry missed 118 of 273.)
    void lowQualityLinearGradientShowsTheEntryOfTheCentre()
    {
        swf::FillStyle fill;
        fill.type = swf::FillType::LinearGradient;
        fill.gradient.records = { { 0, Black }, { 255, White } };
        constexpr int width = 273;
        const double scale = width * 20.0 / 32768.0;
        fill.gradient.matrix = swf::Matrix { scale, 0.0, 0.0, scale, (100 + width / 2.0) * 20.0, 0.0 };
        const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(0, 0, 500, 4, 0, 1).build();
        const ConvertedShape converted = ShapeConverter::convert(shape);
        QImage image(500, 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        QPainter painter(&image);
        painter.setWorldTransform(QTransform::fromScale(0.05, 0.05));
        ShapePainter::paint(painter, converted, {}, {}, false);
        painter.end();
        QCOMPARE(image.pixel(100, 2), qRgb(0, 0, 0));
        int missed = 0;
        for (int pixel = 0; pixel < width; ++pixel) {
            const int containing = std::min(255, int(std::floor((pixel + 0.5) * 256.0 / width)));
            const int actual = qRed(image.pixel(100 + pixel, 2));
            QVERIFY2(std::abs(actual - containing) <= 1,
                     qPrintable(QStringLiteral("pixel %1 shows %2, not %3").arg(pixel).arg(actual).arg(containing)));
            missed += actual != containing;
        }
        QVERIFY2(missed <= width / 8, qPrintable(QStringLiteral("%1 pixels missed their entry").arg(missed)));
    }

    // A run of one entry at the start falls before the gradient once the entries lead; it must
    // not leave Qt a stop outside the gradient, which Qt refuses with a warning.
    void oneEntryRunAtTheStart()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        swf::FillStyle fill;
        fill.type = swf::FillType::LinearGradient;
        fill.gradient.records = { { 0, Red }, { 1, Blue } };
        const double scale = 512.0 * 20.0 / 32768.0;
        fill.gradient.matrix = swf::Matrix { scale, 0.0, 0.0, scale, 256.0 * 20.0, 0.0 };
        const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(0, 0, 512, 4, 0, 1).build();
        const ConvertedShape converted = ShapeConverter::convert(shape);
        QImage image(512, 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setWorldTransform(QTransform::fromScale(0.05, 0.05));
        ShapePainter::paint(painter, converted, {}, {}, false);
        painter.end();
        QCOMPARE(image.pixel(256, 2), qRgb(0, 0, 255));
    }
};

QTEST_MAIN(GradientTableTest)
#include "tst_gradient_table.moc"
