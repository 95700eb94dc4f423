#include "player/render/AliasedScanConverter.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace player::render;

namespace {

using Polygon = AliasedScanConverter::Polygon;

constexpr int Twips = 20;

// The pixels covered by `polygons` (in device twips) as an image of `size` pixels.
QImage coverage(const std::vector<Polygon>& polygons, Qt::FillRule fillRule = Qt::WindingFill, QSize size = QSize(40, 40))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillPath(AliasedScanConverter::coveredPixels(polygons, fillRule, Twips, image.rect()), Qt::black);
    painter.end();
    return image;
}

bool isCovered(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) != 0;
}

int coveredCount(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isCovered(image, x, y) ? 1 : 0;
    return count;
}

Polygon square(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return { { left, top }, { right, top }, { right, bottom }, { left, bottom } };
}

} // namespace

class AliasedScanConversionTest : public QObject {
    Q_OBJECT

private slots:
    void edgeCloseToACentre_data();
    void edgeCloseToACentre();
    void slantedRightEdgeThroughACentre();
    void fillRules_data();
    void fillRules();
    void keepsWithinTheArea();
    void degenerateOutlines();
};

void AliasedScanConversionTest::edgeCloseToACentre_data()
{
    QTest::addColumn<int64_t>("topX");
    QTest::addColumn<int64_t>("bottomX");
    QTest::addColumn<bool>("centreCovered");

    // A slanted left edge from (topX, 0) to (bottomX, 480) twips, the shape to its right; row 5
    // has its centres on y = 110 twips, where the edge lies at topX + (bottomX - topX) * 110 / 480.
    // The pixel at column 10 (centre x = 210) is covered when the edge passes left of it. These
    // edges miss the centre by less than a third of a twip, which rounding to 1/64 pixel loses.
    QTest::newRow("a twelfth of a twip right of the centre") << int64_t(211) << int64_t(207) << false;
    QTest::newRow("a fifth of a twip left of it") << int64_t(216) << int64_t(189) << true;
    QTest::newRow("a quarter of a twip left of it") << int64_t(221) << int64_t(172) << true;
    // A centre exactly on a fill's left edge is outside when the edge is upright, but inside
    // when it slants.
    QTest::newRow("slanted through the centre") << int64_t(221) << int64_t(173) << true;
    QTest::newRow("upright through the centre") << int64_t(210) << int64_t(210) << false;
}

void AliasedScanConversionTest::edgeCloseToACentre()
{
    QFETCH(int64_t, topX);
    QFETCH(int64_t, bottomX);
    QFETCH(bool, centreCovered);
    const Polygon shape { { topX, 0 }, { 600, 0 }, { 600, 480 }, { bottomX, 480 } };
    const QImage image = coverage({ shape });
    QCOMPARE(isCovered(image, 10, 5), centreCovered);
    QVERIFY(isCovered(image, 11, 5));
    QVERIFY(!isCovered(image, 8, 5));
}

void AliasedScanConversionTest::slantedRightEdgeThroughACentre()
{
    // The mirror case: on a slanted right edge the centre counts as right of it, so outside;
    // on an upright right edge it is inside.
    const Polygon slanted { { 0, 0 }, { 221, 0 }, { 173, 480 }, { 0, 480 } };
    QVERIFY(!isCovered(coverage({ slanted }), 10, 5));
    QVERIFY(isCovered(coverage({ slanted }), 9, 5));
    const Polygon upright { { 0, 0 }, { 210, 0 }, { 210, 480 }, { 0, 480 } };
    QVERIFY(isCovered(coverage({ upright }), 10, 5));
}

void AliasedScanConversionTest::fillRules_data()
{
    QTest::addColumn<int>("fillRule");
    QTest::addColumn<bool>("reversedInner");
    QTest::addColumn<bool>("middleCovered");

    QTest::newRow("odd-even leaves a hole") << int(Qt::OddEvenFill) << false << false;
    QTest::newRow("winding, same direction, fills it") << int(Qt::WindingFill) << false << true;
    QTest::newRow("winding, opposite direction, leaves a hole") << int(Qt::WindingFill) << true << false;
}

void AliasedScanConversionTest::fillRules()
{
    QFETCH(int, fillRule);
    QFETCH(bool, reversedInner);
    QFETCH(bool, middleCovered);
    Polygon inner = square(10 * Twips, 10 * Twips, 30 * Twips, 30 * Twips);
    if (reversedInner)
        std::reverse(inner.begin(), inner.end());
    const QImage image = coverage({ square(0, 0, 40 * Twips, 40 * Twips), inner }, Qt::FillRule(fillRule));
    QCOMPARE(isCovered(image, 20, 20), middleCovered);
    QVERIFY(isCovered(image, 5, 5));
    QVERIFY(isCovered(image, 35, 20));
    QCOMPARE(coveredCount(image), middleCovered ? 1600 : 1200);
}

void AliasedScanConversionTest::keepsWithinTheArea()
{
    // A shape a million pixels across is cut to the area asked for, quickly and exactly.
    const int64_t huge = 1000000LL * Twips;
    const QPainterPath covered
        = AliasedScanConverter::coveredPixels({ square(-huge, -huge, huge, huge) }, Qt::WindingFill, Twips, QRect(3, 4, 10, 20));
    QCOMPARE(covered.boundingRect(), QRectF(3, 4, 10, 20));
    // A square only partly inside the area.
    const QImage image = coverage({ square(-100 * Twips, 30 * Twips, 5 * Twips, 100 * Twips) });
    QCOMPARE(coveredCount(image), 5 * 10);
}

void AliasedScanConversionTest::degenerateOutlines()
{
    // Nothing to fill: no polygons, a flat polygon, a single point, or an empty area.
    QVERIFY(AliasedScanConverter::coveredPixels({}, Qt::WindingFill, Twips, QRect(0, 0, 10, 10)).isEmpty());
    QVERIFY(AliasedScanConverter::coveredPixels({ { { 0, 100 }, { 400, 100 }, { 200, 100 } } }, Qt::WindingFill, Twips,
                                                QRect(0, 0, 10, 10))
                .isEmpty());
    QVERIFY(AliasedScanConverter::coveredPixels({ { { 50, 50 } } }, Qt::WindingFill, Twips, QRect(0, 0, 10, 10)).isEmpty());
    QVERIFY(AliasedScanConverter::coveredPixels({ square(0, 0, 400, 400) }, Qt::WindingFill, Twips, QRect()).isEmpty());
}

QTEST_MAIN(AliasedScanConversionTest)
#include "tst_aliased_scan_conversion.moc"
