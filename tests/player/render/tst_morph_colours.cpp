#include "ShapeBuilder.h"

#include "player/render/MorphInterpolator.h"

#include <QtTest>

using namespace player;
using namespace player::render;

// Colours between the two ends of a morph, as Flash rounds them.
class MorphColoursTest : public QObject {
    Q_OBJECT

private slots:
    void blendedChannel_data();
    void blendedChannel();
};

void MorphColoursTest::blendedChannel_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<int>("expected");

    // Fractions are dropped, not rounded: 255 * 21844 / 65535 is 84.997.
    QTest::newRow("two thirds down") << 255 << 0 << 43691 << 84;
    QTest::newRow("two thirds up") << 0 << 255 << 43691 << 170;
    QTest::newRow("halfway up") << 0 << 255 << 32768 << 127;
    QTest::newRow("halfway down") << 255 << 0 << 32768 << 127;
    QTest::newRow("start") << 255 << 0 << 0 << 255;
    QTest::newRow("end") << 0 << 255 << 65535 << 255;
    QTest::newRow("same at both ends") << 100 << 100 << 12345 << 100;
}

void MorphColoursTest::blendedChannel()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, ratio);
    QFETCH(int, expected);
    swf::MorphShape morph;
    const QRgb startColor = qRgba(start, 0, 0, start);
    const QRgb endColor = qRgba(end, 0, 0, end);
    morph.fillStyles.push_back({ ShapeBuilder::solidFill(startColor), ShapeBuilder::solidFill(endColor) });
    morph.startRecords = ShapeBuilder().rectangle(0, 0, 20, 20, 0, 1).build().records;
    morph.endRecords = ShapeBuilder().rectangle(0, 0, 20, 20, -1, -1).build().records;

    const swf::Shape shape = MorphInterpolator::shapeAt(morph, static_cast<uint16_t>(ratio));
    QCOMPARE(shape.fillStyles.size(), std::size_t(1));
    const swf::Rgba color = shape.fillStyles.front().color;
    QCOMPARE(int(color.r), expected);
    QCOMPARE(int(color.a), expected);
}

QTEST_MAIN(MorphColoursTest)
#include "tst_morph_colours.moc"
