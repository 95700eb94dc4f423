#include "ShapeBuilder.h"

#include "player/render/AliasedGeometry.h"
#include "player/render/ShapeConverter.h"
#include "player/render/ShapePainter.h"

#include <QPainter>
#include <QtTest>

using namespace player;
using namespace player::render;

Q_DECLARE_METATYPE(player::swf::Shape)

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

enum class Painting { Styled, Coverage, OneBrush };

// Paints a shape without antialiasing onto a transparent 100x100 image at `scale` pixels per
// 20 twips.
QImage renderAliased(const swf::Shape& shape, double scale = 1.0, Painting painting = Painting::Styled)
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setWorldTransform(QTransform::fromScale(scale / 20.0, scale / 20.0));
    const ConvertedShape converted = ShapeConverter::convert(shape);
    switch (painting) {
    case Painting::Styled:
        ShapePainter::paint(painter, converted, {}, {}, false);
        break;
    case Painting::Coverage:
        ShapePainter::paintCoverage(painter, converted, false);
        break;
    case Painting::OneBrush:
        ShapePainter::paintWithBrush(painter, converted, QBrush(Red), false);
        break;
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The first and last columns of row `y` that hold any colour, or (-1, -1).
QPair<int, int> paintedColumns(const QImage& image, int y)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(image.pixel(x, y)) == 0)
            continue;
        if (first < 0)
            first = x;
        last = x;
    }
    return { first, last };
}

QPair<int, int> paintedRows(const QImage& image, int x)
{
    return paintedColumns(image.transformed(QTransform(0, 1, 1, 0, 0, 0)), x);
}

} // namespace

class AliasedEdgesTest : public QObject {
    Q_OBJECT

private slots:
    void fillEdges_data();
    void fillEdges();
    void fillEdgesDownward();
    void everyWayOfPaintingFollowsTheRule_data();
    void everyWayOfPaintingFollowsTheRule();
    void lineColumns_data();
    void lineColumns();
    void lineEndsWithoutOverhang();
    void thinLineCornerIsBevelled_data();
    void thinLineCornerIsBevelled();
    void thinCurveFollowsItsCutPieces();
    void gradientStaysOnItsShape();
    void snappingKeepsFillRule();
    void pointsHeldInFixedPoint_data();
    void pointsHeldInFixedPoint();
    void smallCurveIsCutLikeFlash_data();
    void smallCurveIsCutLikeFlash();
    void largeCurveStaysClose();
};

void AliasedEdgesTest::fillEdges_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("lastColumn");

    QTest::newRow("whole pixels") << 10.0 << 20.0 << 1.0 << 10 << 19;
    // A pixel centre exactly on an edge belongs to the area left of it.
    QTest::newRow("centres on both edges") << 10.5 << 20.5 << 1.0 << 11 << 20;
    QTest::newRow("edges a quarter before centres") << 10.25 << 20.25 << 1.0 << 10 << 19;
    QTest::newRow("edges a quarter after centres") << 10.75 << 20.75 << 1.0 << 11 << 20;
    QTest::newRow("wide then narrow") << 10.25 << 20.75 << 1.0 << 10 << 20;
    QTest::newRow("narrower than a pixel, holding no centre") << 10.75 << 11.25 << 1.0 << -1 << -1;
    QTest::newRow("narrower than a pixel, ending on a centre") << 10.25 << 10.5 << 1.0 << 10 << 10;
    QTest::newRow("narrower than a pixel, starting on a centre") << 10.5 << 10.75 << 1.0 << -1 << -1;
    // The rule holds in device pixels, after the shape's transform.
    QTest::newRow("doubled, centres on both edges") << 5.25 << 10.25 << 2.0 << 11 << 20;
    QTest::newRow("halved, centres on both edges") << 21.0 << 41.0 << 0.5 << 11 << 20;
    // Transformed points are not rounded to device twips. Each edge below lies about a fifth of
    // a twip left of a centre, where the nearest device twip would put it on the centre: the
    // centre is inside the fill when the edge is its left edge and outside when it is its right.
    QTest::newRow("left edge just left of a centre") << 10.25 << 20.25 << 1.0234375 << 10 << 20;
    QTest::newRow("right edge just left of a centre") << 10.0 << 20.0 << 1.0244140625 << 10 << 19;
}

void AliasedEdgesTest::fillEdges()
{
    QFETCH(double, left);
    QFETCH(double, right);
    QFETCH(double, scale);
    QFETCH(int, firstColumn);
    QFETCH(int, lastColumn);
    const swf::Shape shape = ShapeBuilder().solid(Red).rectangle(left, 0, right, 100 / scale, 0, 1).build();
    const QImage image = renderAliased(shape, scale);
    QCOMPARE(paintedColumns(image, 50), qMakePair(firstColumn, lastColumn));
}

void AliasedEdgesTest::fillEdgesDownward()
{
    // Rows follow the same rule as columns: a centre on the top edge is outside, on the bottom
    // edge inside.
    const QImage centred = renderAliased(ShapeBuilder().solid(Red).rectangle(0, 10.5, 100, 20.5, 0, 1).build());
    QCOMPARE(paintedRows(centred, 50), qMakePair(11, 20));
    const QImage quarters = renderAliased(ShapeBuilder().solid(Red).rectangle(0, 10.25, 100, 20.75, 0, 1).build());
    QCOMPARE(paintedRows(quarters, 50), qMakePair(10, 20));
}

void AliasedEdgesTest::everyWayOfPaintingFollowsTheRule_data()
{
    QTest::addColumn<int>("painting");
    QTest::newRow("styled fill") << int(Painting::Styled);
    QTest::newRow("mask coverage") << int(Painting::Coverage);
    QTest::newRow("glyph brush") << int(Painting::OneBrush);
}

void AliasedEdgesTest::everyWayOfPaintingFollowsTheRule()
{
    QFETCH(int, painting);
    const swf::Shape shape = ShapeBuilder().solid(Blue).rectangle(10.5, 10.5, 20.5, 20.5, 0, 1).build();
    const QImage image = renderAliased(shape, 1.0, Painting(painting));
    QCOMPARE(paintedColumns(image, 15), qMakePair(11, 20));
    QCOMPARE(paintedRows(image, 15), qMakePair(11, 20));
    QCOMPARE(qAlpha(image.pixel(15, 15)), 255);
}

void AliasedEdgesTest::lineColumns_data()
{
    QTest::addColumn<uint16_t>("widthTwips");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("column");

    // A one-pixel line covers the pixels whose centres lie within half a pixel before its
    // middle, up to (not including) half a pixel after it: the other way round from fills.
    QTest::newRow("on a pixel border") << uint16_t(20) << 50.0 << 1.0 << 49;
    QTest::newRow("through pixel centres") << uint16_t(20) << 50.5 << 1.0 << 50;
    QTest::newRow("a quarter in") << uint16_t(20) << 50.25 << 1.0 << 50;
    QTest::newRow("three quarters in") << uint16_t(20) << 50.75 << 1.0 << 50;
    // Hairlines and lines thinner than a pixel on screen are one pixel wide and take the same
    // place.
    QTest::newRow("hairline on a pixel border") << uint16_t(0) << 50.0 << 1.0 << 49;
    QTest::newRow("hairline through centres") << uint16_t(0) << 50.5 << 1.0 << 50;
    QTest::newRow("thin line shrunk, on a border") << uint16_t(20) << 100.0 << 0.5 << 49;
    QTest::newRow("scaled line on a border") << uint16_t(10) << 25.0 << 2.0 << 49;
}

void AliasedEdgesTest::lineColumns()
{
    QFETCH(uint16_t, widthTwips);
    QFETCH(double, x);
    QFETCH(double, scale);
    QFETCH(int, column);
    const swf::Shape shape = ShapeBuilder().line(widthTwips, Blue).change(x, 0, 0, 0, 1).lineTo(x, 100 / scale).build();
    const QImage image = renderAliased(shape, scale);
    QCOMPARE(paintedColumns(image, 50), qMakePair(column, column));
}

void AliasedEdgesTest::lineEndsWithoutOverhang()
{
    // A one-pixel line from (20, 40) to (80, 40) with round ends: the ends' half discs hold no
    // pixel centre, so the line covers columns 20 to 79 of row 39 and nothing else.
    const swf::Shape shape = ShapeBuilder().line(20, Blue).change(20, 40, 0, 0, 1).lineTo(80, 40).build();
    const QImage image = renderAliased(shape);
    QCOMPARE(paintedColumns(image, 39), qMakePair(20, 79));
    QCOMPARE(paintedColumns(image, 38), qMakePair(-1, -1));
    QCOMPARE(paintedColumns(image, 40), qMakePair(-1, -1));
}

void AliasedEdgesTest::thinLineCornerIsBevelled_data()
{
    QTest::addColumn<uint16_t>("widthTwips");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("cornerCovered");

    // A line down x = 50 to y = 60.45 that turns right there. The pixel just beyond the outer
    // corner, centred at (49.5, 60.5), lies 0.5025 pixels from the corner point: outside both
    // pieces and outside their bevel.
    QTest::newRow("one pixel") << uint16_t(20) << 1.0 << false;
    QTest::newRow("hairline") << uint16_t(0) << 1.0 << false;
    QTest::newRow("two pixels shrunk to one") << uint16_t(40) << 0.5 << false;
    // A wider line's round join is a disc that covers it.
    QTest::newRow("two pixels") << uint16_t(40) << 1.0 << true;
}

void AliasedEdgesTest::thinLineCornerIsBevelled()
{
    QFETCH(uint16_t, widthTwips);
    QFETCH(double, scale);
    QFETCH(bool, cornerCovered);
    const swf::Shape shape = ShapeBuilder()
                                 .line(widthTwips, Blue)
                                 .change(50 / scale, 10 / scale, 0, 0, 1)
                                 .lineTo(50 / scale, 60.45 / scale)
                                 .lineTo(90 / scale, 60.45 / scale)
                                 .build();
    const QImage image = renderAliased(shape, scale);
    QCOMPARE(qAlpha(image.pixel(49, 60)) != 0, cornerCovered);
    if (widthTwips * scale <= 20.0) {
        // Both pieces still end where they did: the upright one above row 60, the level one
        // on row 60 from column 50.
        QCOMPARE(paintedRows(image, 49), qMakePair(10, 59));
        QCOMPARE(paintedColumns(image, 60), qMakePair(50, 89));
    }
}

void AliasedEdgesTest::thinCurveFollowsItsCutPieces()
{
    // A one-pixel line along a quarter-round curve from (10.05, 60.1) through the control point
    // (10.05, 10.1) to (60.05, 10.1). The curve is cut into 14 straight pieces that stray equally
    // from it (longer near its ends, where it bends less, than around its corner), as a fill's edge
    // would be, and the line covers the pixels whose centres lie within half a pixel of a piece:
    // two pixels in the rows where the curve runs at about 45 degrees and none beyond its ends.
    struct Span {
        int row;
        int first;
        int last;
    };
    const Span spans[] = {
        { 10, 48, 59 }, { 11, 43, 47 }, { 12, 39, 42 }, { 13, 36, 38 }, { 14, 34, 35 },
        { 15, 32, 33 }, { 16, 30, 31 }, { 17, 28, 29 }, { 18, 27, 27 }, { 19, 25, 26 },
        { 20, 24, 25 }, { 21, 23, 24 }, { 22, 22, 22 }, { 23, 21, 21 }, { 24, 20, 21 },
        { 25, 19, 20 }, { 26, 19, 19 }, { 27, 18, 18 }, { 28, 17, 17 }, { 29, 17, 17 },
        { 30, 16, 16 }, { 31, 16, 16 }, { 32, 15, 15 }, { 33, 15, 15 }, { 34, 14, 14 },
        { 35, 14, 14 }, { 36, 13, 13 }, { 37, 13, 13 }, { 38, 13, 13 }, { 39, 12, 12 },
        { 40, 12, 12 }, { 41, 12, 12 }, { 42, 12, 12 }, { 43, 11, 11 }, { 44, 11, 11 },
        { 45, 11, 11 }, { 46, 11, 11 }, { 47, 11, 11 }, { 48, 10, 10 }, { 49, 10, 10 },
        { 50, 10, 10 }, { 51, 10, 10 }, { 52, 10, 10 }, { 53, 10, 10 }, { 54, 10, 10 },
        { 55, 10, 10 }, { 56, 10, 10 }, { 57, 10, 10 }, { 58, 10, 10 }, { 59, 10, 10 },
    };
    const swf::Shape shape = ShapeBuilder().line(20, Blue).change(10.05, 60.1, 0, 0, 1).curveTo(10.05, 10.1, 60.05, 10.1).build();
    const QImage image = renderAliased(shape);
    for (const Span& span : spans)
        QCOMPARE(paintedColumns(image, span.row), qMakePair(span.first, span.last));
    QCOMPARE(paintedColumns(image, 9), qMakePair(-1, -1));
    QCOMPARE(paintedColumns(image, 60), qMakePair(-1, -1));
    // Painted pixels lie in one run per row.
    for (const Span& span : spans)
        for (int x = span.first; x <= span.last; ++x)
            QVERIFY2(qAlpha(image.pixel(x, span.row)) != 0, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(span.row)));
}

void AliasedEdgesTest::gradientStaysOnItsShape()
{
    // The gradient's square spans the 50-pixel shape from red on the left to blue on the right;
    // drawn at twice the size, it must still span the shape when drawing in device pixels.
    swf::FillStyle gradient;
    gradient.type = swf::FillType::LinearGradient;
    const double scale = 50.0 * 20.0 / 32768.0;
    gradient.gradient.matrix = swf::Matrix { scale, 0.0, 0.0, scale, 25.0 * 20.0, 25.0 * 20.0 };
    gradient.gradient.records = { { 0, ShapeBuilder::rgba(Red) }, { 255, ShapeBuilder::rgba(Blue) } };
    const swf::Shape shape = ShapeBuilder().fill(gradient).rectangle(0, 0, 50, 50, 0, 1).build();
    const QImage doubled = renderAliased(shape, 2.0);
    QVERIFY2(closeTo(doubled.pixel(1, 50), Red, 12), qPrintable(describe(doubled.pixel(1, 50))));
    QVERIFY2(closeTo(doubled.pixel(98, 50), Blue, 12), qPrintable(describe(doubled.pixel(98, 50))));
    const QRgb middle = doubled.pixel(50, 50);
    QVERIFY2(qRed(middle) > 100 && qBlue(middle) > 100, qPrintable(describe(middle)));
}

void AliasedEdgesTest::snappingKeepsFillRule()
{
    // Two nested squares drawn as one odd-even path leave a hole.
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(0, 0, 200, 200);
    path.addRect(50, 50, 100, 100);
    const QPainterPath device = AliasedGeometry::fillToDevice(path, QTransform::fromScale(0.05, 0.05), QRect(0, 0, 20, 20));
    QVERIFY(device.contains(QPointF(1.5, 1.5)));
    QVERIFY(!device.contains(QPointF(5.5, 5.5)));
}

void AliasedEdgesTest::pointsHeldInFixedPoint_data()
{
    QTest::addColumn<QPointF>("top");
    QTest::addColumn<QPointF>("bottom");
    QTest::addColumn<bool>("fillOnTheLeft");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("covered");

    // Each slanted edge (in twips) passes within a hundredth of a twip of the pixel's centre.
    // The centre of (10, 4), at (210, 90) twips, lies 0.005 twips right of this right edge, but
    // once the ends are rounded to 256ths of a pixel the edge passes right of it: filled.
    QTest::newRow("right edge rounded past the centre") << QPointF(217, 43) << QPointF(155, 459) << true
                                                        << QPoint(10, 4) << true;
    // The centre of (5, 23), at (110, 470) twips, lies exactly on this left edge, which would
    // fill it; rounded, the edge passes right of it: empty.
    QTest::newRow("left edge rounded past the centre") << QPointF(162, 96) << QPointF(32, 1031) << false
                                                       << QPoint(5, 23) << false;
    // Here the rounded edge still runs through the centre of (5, 28), at (110, 570) twips, which a
    // slanted left edge keeps inside.
    QTest::newRow("left edge still through the centre") << QPointF(175, 104) << QPointF(45, 1036) << false
                                                         << QPoint(5, 28) << true;
}

void AliasedEdgesTest::pointsHeldInFixedPoint()
{
    QFETCH(QPointF, top);
    QFETCH(QPointF, bottom);
    QFETCH(bool, fillOnTheLeft);
    QFETCH(QPoint, pixel);
    QFETCH(bool, covered);
    // A four-sided fill between the slanted edge and an upright one far to its left or right.
    const double far = fillOnTheLeft ? 0 : 1900;
    QPainterPath path;
    path.moveTo(far, top.y());
    path.lineTo(top);
    path.lineTo(bottom);
    path.lineTo(far, bottom.y());
    path.closeSubpath();
    const QPainterPath device = AliasedGeometry::fillToDevice(path, QTransform::fromScale(0.05, 0.05), QRect(0, 0, 100, 100));
    QCOMPARE(device.contains(QPointF(pixel) + QPointF(0.5, 0.5)), covered);
}

namespace {

// A shape under a curve from `from` through `control` to `to` (in twips), filled down to y =
// 2000 twips.
swf::Shape underCurve(QPoint from, QPoint control, QPoint to)
{
    swf::Shape shape = ShapeBuilder().solid(Red).change(from.x() / 20.0, 100, 0, 1).build();
    auto& start = std::get<swf::StyleChangeRecord>(shape.records.back());
    start.moveX = from.x();
    start.moveY = from.y();
    shape.records.push_back(swf::CurvedEdgeRecord { control.x(), control.y(), to.x(), to.y() });
    shape.records.push_back(swf::StraightEdgeRecord { to.x(), 2000 });
    shape.records.push_back(swf::StraightEdgeRecord { from.x(), 2000 });
    shape.records.push_back(swf::StraightEdgeRecord { from.x(), from.y() });
    return shape;
}

} // namespace

void AliasedEdgesTest::smallCurveIsCutLikeFlash_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("control");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("covered");

    // This curve strays 0.35 pixels from its chord, so Flash draws it as two straight edges
    // meeting at its lowest point. The centre of pixel (55, 50), at (1110, 1010) twips, lies
    // above the curve (1010.58 there) but below the first edge (1008.85): Flash fills it.
    QTest::newRow("between the curve and its edges") << QPoint(1000, 1005) << QPoint(1200, 1019) << QPoint(1400, 1005)
                                                     << QPoint(55, 50) << true;
    QTest::newRow("a row below") << QPoint(1000, 1005) << QPoint(1200, 1019) << QPoint(1400, 1005) << QPoint(55, 51)
                                 << true;
    QTest::newRow("a row above") << QPoint(1000, 1005) << QPoint(1200, 1019) << QPoint(1400, 1005) << QPoint(55, 49)
                                 << false;
    // Mirrored, the pixel (64, 50) at (1290, 1010) twips is filled for the same reason.
    QTest::newRow("mirrored") << QPoint(1000, 1005) << QPoint(1200, 1019) << QPoint(1400, 1005) << QPoint(64, 50) << true;
    // A curve straying less than a tenth of a pixel is one straight edge: the centre at
    // (1110, 1010) twips lies above the curve (1010.2 there) but below its chord (1009).
    QTest::newRow("nearly straight") << QPoint(1000, 1009) << QPoint(1200, 1012) << QPoint(1400, 1009) << QPoint(55, 50)
                                     << true;
    // A lopsided small curve, steep at its start and flat at its end, is also cut in two, but
    // where both pieces stray equally from it, past the middle of its parameter: the first
    // piece then meets the centre row of pixel (54, 52) right of its centre (54.5, 52.5), which
    // stays empty; a cut at the parameter's middle would reach 54.496 there and fill it.
    QTest::newRow("lopsided, cut where both pieces stray equally")
        << QPoint(1059, 1069) << QPoint(1096, 1038) << QPoint(1138, 1037) << QPoint(54, 52) << false;
    QTest::newRow("lopsided, a row below") << QPoint(1059, 1069) << QPoint(1096, 1038) << QPoint(1138, 1037)
                                           << QPoint(54, 53) << true;
}

void AliasedEdgesTest::smallCurveIsCutLikeFlash()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, control);
    QFETCH(QPoint, to);
    QFETCH(QPoint, pixel);
    QFETCH(bool, covered);
    const QImage image = renderAliased(underCurve(from, control, to));
    QCOMPARE(qAlpha(image.pixel(pixel)) != 0, covered);
}

void AliasedEdgesTest::largeCurveStaysClose()
{
    // A curve 20 pixels deep is cut finely enough to stay within a tenth of a pixel: the
    // pixels whose centres lie 0.3 pixels inside it are filled and those 0.3 pixels outside
    // are not, all along it.
    const QPoint from(0, 400);
    const QPoint control(1000, 1200);
    const QPoint to(2000, 400);
    const QImage image = renderAliased(underCurve(from, control, to));
    for (int column = 5; column < 95; ++column) {
        const double x = column * 20 + 10;
        // x = 2000 t on this curve, and y = 400 + 1600 t (1 - t).
        const double t = x / 2000.0;
        const double curveY = (400 + 1600 * t * (1 - t)) / 20.0;
        const int below = static_cast<int>(std::floor(curveY + 0.3 - 0.5)) + 1;
        const int above = static_cast<int>(std::ceil(curveY - 0.3 - 0.5)) - 1;
        if (below - above < 2)
            continue;
        QVERIFY2(qAlpha(image.pixel(column, below)) != 0, qPrintable(QStringLiteral("column %1").arg(column)));
        QVERIFY2(qAlpha(image.pixel(column, above)) == 0, qPrintable(QStringLiteral("column %1").arg(column)));
    }
}

QTEST_MAIN(AliasedEdgesTest)
#include "tst_aliased_edges.moc"
