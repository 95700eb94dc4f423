#include "ShapeBuilder.h"

#include "player/render/MorphInterpolator.h"
#include "player/render/ShapeConverter.h"
#include "player/render/ShapePainter.h"

#include <QPainter>
#include <QtTest>

using namespace player;
using namespace player::render;

Q_DECLARE_METATYPE(player::swf::Shape)

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb None = 0x00000000;

// Renders a shape (twips) onto a transparent 100x100 image at one pixel per 20 twips, times
// an extra scale; returns straight (not premultiplied) colours for comparing.
QImage renderShape(const swf::Shape& shape, const BitmapLookup& bitmaps = {}, bool highQuality = true, double scale = 1.0,
              const swf::ColorTransform& colorTransform = {})
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setWorldTransform(QTransform::fromScale(scale / 20.0, scale / 20.0));
    ShapePainter::paint(painter, ShapeConverter::convert(shape), colorTransform, bitmaps, highQuality);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

swf::FillStyle gradientFill(swf::FillType type, swf::SpreadMode spread, double widthPixels, double centreX, double centreY,
                            swf::InterpolationMode interpolation = swf::InterpolationMode::Normal, double focal = 0.0)
{
    swf::FillStyle style;
    style.type = type;
    style.gradient.spread = spread;
    style.gradient.interpolation = interpolation;
    style.gradient.focalPoint = focal;
    const double scale = widthPixels * 20.0 / 32768.0;
    style.gradient.matrix = swf::Matrix { scale, 0.0, 0.0, scale, centreX * 20.0, centreY * 20.0 };
    style.gradient.records = { { 0, ShapeBuilder::rgba(Red) }, { 255, ShapeBuilder::rgba(Blue) } };
    return style;
}

swf::Shape square(const swf::FillStyle& fill)
{
    return ShapeBuilder().fill(fill).rectangle(0, 0, 100, 100, 0, 1).build();
}

// A 2x2 bitmap: red, green on top; blue, white below.
QImage checkerBitmap()
{
    QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, Red);
    image.setPixel(1, 0, Green);
    image.setPixel(0, 1, Blue);
    image.setPixel(1, 1, White);
    return image;
}

swf::Shape bitmapSquare(swf::FillType type)
{
    swf::FillStyle style;
    style.type = type;
    style.bitmapId = 7;
    style.bitmapMatrix = swf::Matrix { 200.0, 0.0, 0.0, 200.0, 0.0, 0.0 }; // ten pixels per bitmap pixel
    return ShapeBuilder().fill(style).rectangle(0, 0, 40, 40, 0, 1).build();
}

BitmapLookup checkerLookup()
{
    return [](uint16_t id, const swf::ColorTransform&) { return id == 7 ? checkerBitmap() : QImage(); };
}

} // namespace

class ShapeRenderingTest : public QObject {
    Q_OBJECT

private slots:
    void fills_data();
    void fills();
    void linesAndGroups_data();
    void linesAndGroups();
    void lineWidthNeverBelowOnePixel();
    void bitmapFills_data();
    void bitmapFills();
    void bitmapSmoothing();
    void colourTransformAppliesToFills();
    void convertedShapeDrawnAgainInOtherColours();
    void linesDrawnAgainMatchQtsStroker_data();
    void linesDrawnAgainMatchQtsStroker();
    void changedCopyDrawsItsOwnLines();
    void morphAtHalfway();
};

void ShapeRenderingTest::fills_data()
{
    QTest::addColumn<swf::Shape>("shape");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRgb>("expected");
    QTest::addColumn<int>("tolerance");

    const swf::Shape plain = ShapeBuilder().solid(Red).rectangle(10, 10, 90, 90, 0, 1).build();
    QTest::newRow("fill 1 inside") << plain << QPoint(50, 50) << Red << 0;
    QTest::newRow("fill 1 outside") << plain << QPoint(5, 5) << None << 0;
    QTest::newRow("fill 0 only") << ShapeBuilder().solid(Red).rectangle(10, 10, 90, 90, 1, 0).build() << QPoint(50, 50) << Red << 0;

    // Two squares sharing the edge x = 50: going down it has the left square on its right
    // (fill 1) and the right square on its left (fill 0). The right square's other edges come
    // in two pieces out of order, so they only close if the runs are joined.
    const swf::Shape adjacent = ShapeBuilder()
                                    .solid(Red)
                                    .solid(Blue)
                                    .change(10, 10, 0, 1)
                                    .lineTo(50, 10)
                                    .style(2, -1)
                                    .lineTo(50, 90)
                                    .style(0, -1)
                                    .lineTo(10, 90)
                                    .lineTo(10, 10)
                                    .change(90, 10, 0, 2)
                                    .lineTo(90, 90)
                                    .lineTo(50, 90)
                                    .change(50, 10, 0, 2)
                                    .lineTo(90, 10)
                                    .build();
    QTest::newRow("adjacent left") << adjacent << QPoint(30, 50) << Red << 0;
    QTest::newRow("adjacent right, joined runs") << adjacent << QPoint(60, 20) << Blue << 0;
    QTest::newRow("adjacent no seam left") << adjacent << QPoint(49, 50) << Red << 0;
    QTest::newRow("adjacent no seam right") << adjacent << QPoint(50, 50) << Blue << 0;

    // A hole: the inner square runs the same way with the fill on its outside (fill 0).
    const swf::Shape ring = ShapeBuilder().solid(Red).rectangle(10, 10, 90, 90, 0, 1).rectangle(30, 30, 70, 70, 1, 0).build();
    QTest::newRow("ring body") << ring << QPoint(20, 20) << Red << 0;
    QTest::newRow("ring hole") << ring << QPoint(50, 50) << None << 0;

    // Two squares drawn the same way round overlap: the even-odd rule leaves the overlap empty,
    // the non-zero winding a DefineShape4 may ask for fills it.
    swf::Shape overlapping = ShapeBuilder().solid(Red).rectangle(10, 10, 70, 70, 0, 1).rectangle(30, 30, 90, 90, 0, 1).build();
    QTest::newRow("overlap even-odd") << overlapping << QPoint(50, 50) << None << 0;
    QTest::newRow("overlap even-odd, one square") << overlapping << QPoint(20, 20) << Red << 0;
    overlapping.usesNonZeroWinding = true;
    QTest::newRow("overlap non-zero") << overlapping << QPoint(50, 50) << Red << 0;
    QTest::newRow("overlap non-zero, outside") << overlapping << QPoint(80, 20) << None << 0;

    // A curve bulging up to y = 10 (its apex is halfway to the control point).
    const swf::Shape dome = ShapeBuilder().solid(Red).change(10, 90, 0, 1).curveTo(50, -70, 90, 90).lineTo(10, 90).build();
    QTest::newRow("curve inside") << dome << QPoint(50, 15) << Red << 0;
    QTest::newRow("curve outside corner") << dome << QPoint(15, 20) << None << 0;

    QTest::newRow("style index past the array draws nothing")
        << ShapeBuilder().solid(Red).rectangle(10, 10, 90, 90, 0, 5).build() << QPoint(50, 50) << None << 0;

    using swf::FillType;
    using swf::SpreadMode;
    const auto linear = [](SpreadMode spread) { return square(gradientFill(FillType::LinearGradient, spread, 50, 25, 0)); };
    QTest::newRow("linear start") << linear(SpreadMode::Pad) << QPoint(0, 50) << Red << 8;
    QTest::newRow("linear middle") << linear(SpreadMode::Pad) << QPoint(25, 50) << qRgb(128, 0, 127) << 8;
    QTest::newRow("linear pad beyond") << linear(SpreadMode::Pad) << QPoint(60, 50) << Blue << 3;
    QTest::newRow("linear reflect beyond") << linear(SpreadMode::Reflect) << QPoint(60, 50) << qRgb(51, 0, 204) << 8;
    QTest::newRow("linear repeat beyond") << linear(SpreadMode::Repeat) << QPoint(60, 50) << qRgb(204, 0, 51) << 8;
    QTest::newRow("linear RGB middle is lighter")
        << square(gradientFill(FillType::LinearGradient, SpreadMode::Pad, 100, 50, 0, swf::InterpolationMode::LinearRgb))
        << QPoint(50, 50) << qRgb(188, 0, 188) << 8;
    const swf::Shape radial = square(gradientFill(FillType::RadialGradient, SpreadMode::Pad, 100, 50, 50));
    QTest::newRow("radial centre") << radial << QPoint(50, 50) << Red << 8;
    QTest::newRow("radial rim") << radial << QPoint(95, 50) << qRgb(25, 0, 230) << 10;
    QTest::newRow("radial corner pads") << radial << QPoint(2, 2) << Blue << 3;
    QTest::newRow("focal point has the first colour")
        << square(gradientFill(FillType::FocalGradient, SpreadMode::Pad, 100, 50, 50, swf::InterpolationMode::Normal, 0.5))
        << QPoint(75, 50) << Red << 12;
}

void ShapeRenderingTest::fills()
{
    QFETCH(swf::Shape, shape);
    QFETCH(QPoint, point);
    QFETCH(QRgb, expected);
    QFETCH(int, tolerance);
    const QRgb actual = renderShape(shape).pixel(point);
    QVERIFY2(closeTo(actual, expected, tolerance), qPrintable(describe(actual) + " != " + describe(expected)));
}

void ShapeRenderingTest::linesAndGroups_data()
{
    QTest::addColumn<swf::Shape>("shape");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRgb>("expected");

    // A 10-pixel green line recorded before the red fill of its group still lies above it; the
    // blue square of a later group lies above both.
    swf::LineStyle thick;
    thick.width = 200;
    thick.color = ShapeBuilder::rgba(Green);
    const swf::Shape layered = ShapeBuilder()
                                   .solid(Red)
                                   .line(200, Green)
                                   .change(0, 50.5, 0, 0, 1)
                                   .lineTo(100, 50.5)
                                   .rectangle(10, 10, 90, 90, 0, 1, 0)
                                   .newStyles({ ShapeBuilder::solidFill(Blue) }, {})
                                   .rectangle(40, 40, 60, 60, 0, 1)
                                   .build();
    QTest::newRow("fill of first group") << layered << QPoint(20, 20) << Red;
    QTest::newRow("line above its group's fill") << layered << QPoint(20, 50) << Green;
    QTest::newRow("line's edge, 5 pixels out") << layered << QPoint(20, 46) << Green;
    QTest::newRow("beyond line's edge") << layered << QPoint(20, 44) << Red;
    QTest::newRow("later group above lines") << layered << QPoint(50, 50) << Blue;
    QTest::newRow("new arrays index from 1 again") << layered << QPoint(45, 42) << Blue;
}

void ShapeRenderingTest::linesAndGroups()
{
    QFETCH(swf::Shape, shape);
    QFETCH(QPoint, point);
    QFETCH(QRgb, expected);
    const QRgb actual = renderShape(shape).pixel(point);
    QVERIFY2(closeTo(actual, expected), qPrintable(describe(actual) + " != " + describe(expected)));
}

void ShapeRenderingTest::lineWidthNeverBelowOnePixel()
{
    // A hairline (width 0) and a one-twip line shown at a tenth of its size are both one pixel.
    for (uint16_t width : { uint16_t(0), uint16_t(20) }) {
        const swf::Shape shape = ShapeBuilder().line(width, Blue).change(0, 505, 0, 0, 1).lineTo(1000, 505).build();
        const QImage image = renderShape(shape, {}, true, 0.1);
        QVERIFY2(qAlpha(image.pixel(50, 50)) > 200, qPrintable(QString::number(width)));
        QCOMPARE(qAlpha(image.pixel(50, 48)), 0);
        QCOMPARE(qAlpha(image.pixel(50, 52)), 0);
    }
    // A 10-pixel line shown at half size is 5 pixels wide.
    const swf::Shape thick = ShapeBuilder().line(200, Blue).change(0, 101, 0, 0, 1).lineTo(200, 101).build();
    const QImage half = renderShape(thick, {}, true, 0.5);
    QCOMPARE(half.pixel(50, 49), Blue);
    QCOMPARE(half.pixel(50, 51), Blue);
    QCOMPARE(qAlpha(half.pixel(50, 54)), 0);
}

void ShapeRenderingTest::bitmapFills_data()
{
    QTest::addColumn<int>("fillType");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRgb>("expected");

    const int repeating = int(swf::FillType::NonSmoothedRepeatingBitmap);
    const int clipped = int(swf::FillType::NonSmoothedClippedBitmap);
    QTest::newRow("first pixel") << repeating << QPoint(5, 5) << Red;
    QTest::newRow("second pixel") << repeating << QPoint(15, 5) << Green;
    QTest::newRow("second row") << repeating << QPoint(5, 15) << Blue;
    QTest::newRow("repeats after the bitmap") << repeating << QPoint(25, 5) << Red;
    QTest::newRow("repeats below") << repeating << QPoint(35, 35) << White;
    QTest::newRow("clipped repeats its edge") << clipped << QPoint(25, 5) << Green;
    QTest::newRow("clipped corner") << clipped << QPoint(35, 35) << White;
    QTest::newRow("clipped last column of bitmap") << clipped << QPoint(9, 5) << Red;
    QTest::newRow("outside the shape") << clipped << QPoint(45, 45) << None;
}

void ShapeRenderingTest::bitmapFills()
{
    QFETCH(int, fillType);
    QFETCH(QPoint, point);
    QFETCH(QRgb, expected);
    const QRgb actual = renderShape(bitmapSquare(swf::FillType(fillType)), checkerLookup()).pixel(point);
    QVERIFY2(closeTo(actual, expected, 0), qPrintable(describe(actual) + " != " + describe(expected)));
}

void ShapeRenderingTest::bitmapSmoothing()
{
    // Smoothing blends neighbouring bitmap pixels near their border; non-smoothed fills do not.
    const QImage smoothed = renderShape(bitmapSquare(swf::FillType::ClippedBitmap), checkerLookup());
    QVERIFY(qGreen(smoothed.pixel(9, 5)) > 20 && qRed(smoothed.pixel(9, 5)) > 20);
    // Low quality never smooths.
    QCOMPARE(renderShape(bitmapSquare(swf::FillType::ClippedBitmap), checkerLookup(), false).pixel(9, 5), Red);
}

void ShapeRenderingTest::colourTransformAppliesToFills()
{
    swf::ColorTransform halfRedPlusBlue;
    halfRedPlusBlue.redMult = 128;
    halfRedPlusBlue.blueAdd = 100;
    const swf::Shape solid = ShapeBuilder().solid(Red).rectangle(0, 0, 100, 100, 0, 1).build();
    // 255 * 128 / 256 rounds down, as in Flash's integer arithmetic.
    QCOMPARE(renderShape(solid, {}, true, 1.0, halfRedPlusBlue).pixel(50, 50), qRgb(127, 0, 100));

    // Gradients take it on every record.
    const swf::Shape gradient = square(gradientFill(swf::FillType::LinearGradient, swf::SpreadMode::Pad, 50, 25, 0));
    QVERIFY(closeTo(renderShape(gradient, {}, true, 1.0, halfRedPlusBlue).pixel(0, 50), qRgb(128, 0, 100), 8));
    QVERIFY(closeTo(renderShape(gradient, {}, true, 1.0, halfRedPlusBlue).pixel(80, 50), qRgb(0, 0, 255), 3));

    // Lines too, including their alpha.
    swf::ColorTransform halfAlpha;
    halfAlpha.alphaMult = 128;
    const swf::Shape line = ShapeBuilder().line(200, Green).change(0, 50, 0, 0, 1).lineTo(100, 50).build();
    QVERIFY(closeTo(renderShape(line, {}, true, 1.0, halfAlpha).pixel(50, 50), qRgba(0, 255, 0, 128), 2));
}

// A converted shape keeps the brushes of its gradients between draws; drawn again through another
// colour transform, and back, it must look exactly as a shape drawn once in those colours.
void ShapeRenderingTest::convertedShapeDrawnAgainInOtherColours()
{
    const swf::Shape gradient = square(gradientFill(swf::FillType::RadialGradient, swf::SpreadMode::Pad, 100, 50, 50));
    const ConvertedShape converted = ShapeConverter::convert(gradient);
    swf::ColorTransform greener;
    greener.greenAdd = 200;
    const auto drawConverted = [&converted](const swf::ColorTransform& colorTransform) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setWorldTransform(QTransform::fromScale(1 / 20.0, 1 / 20.0));
        ShapePainter::paint(painter, converted, colorTransform, {}, true);
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    const QImage plain = renderShape(gradient);
    const QImage green = renderShape(gradient, {}, true, 1.0, greener);
    QVERIFY(plain != green);
    QCOMPARE(drawConverted({}), plain);
    QCOMPARE(drawConverted(greener), green);
    QCOMPARE(drawConverted({}), plain);
}

void ShapeRenderingTest::linesDrawnAgainMatchQtsStroker_data()
{
    QTest::addColumn<swf::Shape>("shape");

    // Half-transparent lines, so that an outline covering a pixel twice or a seam between its
    // parts would show.
    constexpr QRgb HalfBlue = 0x800000FF;
    const auto styled = [](swf::Shape shape, swf::CapStyle cap, swf::JoinStyle join, double miterLimit) {
        for (swf::LineStyle& line : shape.lineStyles) {
            line.startCap = cap;
            line.endCap = cap;
            line.join = join;
            line.miterLimit = miterLimit;
        }
        return shape;
    };
    const swf::Shape zigzag = ShapeBuilder()
                                  .line(90, HalfBlue)
                                  .change(-60, -30, 0, 0, 1)
                                  .lineTo(-30, 40)
                                  .lineTo(-20, -40)
                                  .lineTo(10, 30)
                                  .lineTo(12, -35)
                                  .lineTo(60, 20)
                                  .build();
    const swf::Shape curves = ShapeBuilder()
                                  .line(130, HalfBlue)
                                  .change(-50, 0, 0, 0, 1)
                                  .curveTo(-50, -50, 0, -50)
                                  .curveTo(10, 0, 50, 0)
                                  .curveTo(0, 60, -50, 0)
                                  .build();
    const swf::Shape twoPaths = ShapeBuilder()
                                    .line(60, HalfBlue)
                                    .line(200, 0xC0FF0000)
                                    .change(-40, -40, 0, 0, 1)
                                    .lineTo(40, -40)
                                    .lineTo(40, -40)
                                    .lineTo(40, 40)
                                    .change(-40, 30, 0, 0, 2)
                                    .curveTo(0, -20, 30, 30)
                                    .build();
    QTest::newRow("round joins and caps") << zigzag;
    QTest::newRow("bevel joins, flat ends") << styled(zigzag, swf::CapStyle::None, swf::JoinStyle::Bevel, 3.0);
    QTest::newRow("miters cut short") << styled(zigzag, swf::CapStyle::Square, swf::JoinStyle::Miter, 1.5);
    QTest::newRow("long miters") << styled(zigzag, swf::CapStyle::Square, swf::JoinStyle::Miter, 20.0);
    QTest::newRow("closed curves") << curves;
    QTest::newRow("closed curves, miters") << styled(curves, swf::CapStyle::None, swf::JoinStyle::Miter, 3.0);
    QTest::newRow("two styles, a repeated point") << twoPaths;
}

void ShapeRenderingTest::linesDrawnAgainMatchQtsStroker()
{
    // A converted shape keeps what it can from one frame to the next; drawn again turned, scaled
    // (down to lines a pixel thin and below) and moved by parts of a pixel, its lines must stay
    // what Qt's own stroker draws at that transform.
    QFETCH(swf::Shape, shape);
    const ConvertedShape converted = ShapeConverter::convert(shape);
    const auto draw = [](const QTransform& toDevice, const auto& paint) {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setWorldTransform(toDevice);
        paint(painter);
        painter.end();
        return image;
    };
    QImage blank(200, 200, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    for (const double scale : { 1.0, 0.33, 2.7, 0.21, 0.011 }) {
        for (const double angle : { 0.0, 37.0, 90.0, 201.5 }) {
            for (const QPointF shift : { QPointF(0.0, 0.0), QPointF(0.37, 0.81) }) {
                QTransform toDevice = QTransform::fromScale(scale / 20.0, scale / 20.0);
                toDevice *= QTransform().rotate(angle);
                toDevice *= QTransform::fromTranslate(100.0 + shift.x(), 100.0 + shift.y());
                if (angle == 201.5)
                    toDevice = QTransform(1.0, 0.0, 0.4, 1.0, 0.0, 0.0) * toDevice; // a shear as well
                const QImage kept = draw(toDevice, [&converted](QPainter& painter) {
                    ShapePainter::paint(painter, converted, {}, {}, true);
                });
                const QImage stroked = draw(toDevice, [&converted](QPainter& painter) {
                    for (const ConvertedShape::DrawPath& drawPath : converted.paths) {
                        const swf::LineStyle& line = converted.lineStyles[drawPath.styleIndex];
                        const QBrush brush(QColor(line.color.r, line.color.g, line.color.b, line.color.a));
                        painter.strokePath(drawPath.path, ShapePainter::makePen(line, painter.worldTransform(), brush));
                    }
                });
                QVERIFY2(stroked != blank, "nothing drawn");
                QVERIFY2(kept == stroked, qPrintable(QStringLiteral("scale %1, angle %2, shift %3").arg(scale).arg(angle).arg(shift.x())));
            }
        }
    }
}

void ShapeRenderingTest::changedCopyDrawsItsOwnLines()
{
    // A copy of a shape that has been drawn, with its lines moved (as nine-slice scaling does),
    // draws the moved lines, not those of the original.
    const swf::Shape shape = ShapeBuilder().line(100, Blue).change(10, 20, 0, 0, 1).lineTo(90, 20).build();
    const ConvertedShape original = ShapeConverter::convert(shape);
    const auto draw = [](const ConvertedShape& converted) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setWorldTransform(QTransform::fromScale(1 / 20.0, 1 / 20.0));
        ShapePainter::paint(painter, converted, {}, {}, true);
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    QCOMPARE(draw(original).pixel(50, 20), Blue);
    ConvertedShape moved = original;
    moved.paths.at(0).path.translate(0, 60 * 20);
    const QImage image = draw(moved);
    QCOMPARE(qAlpha(image.pixel(50, 20)), 0);
    QCOMPARE(image.pixel(50, 80), Blue);
}

void ShapeRenderingTest::morphAtHalfway()
{
    // A red 20-pixel square that grows into a blue 80-pixel one.
    swf::MorphShape morph;
    morph.fillStyles.push_back({ ShapeBuilder::solidFill(Red), ShapeBuilder::solidFill(Blue) });
    const swf::Shape start = ShapeBuilder().rectangle(0, 0, 20, 20, 0, 1).build();
    const swf::Shape end = ShapeBuilder().rectangle(0, 0, 80, 80, -1, -1).build();
    morph.startRecords = start.records;
    morph.endRecords = end.records;

    const auto renderAt = [&morph](uint16_t ratio) { return renderShape(MorphInterpolator::shapeAt(morph, ratio)); };
    QCOMPARE(renderAt(0).pixel(10, 10), Red);
    QCOMPARE(qAlpha(renderAt(0).pixel(30, 30)), 0);
    QCOMPARE(renderAt(65535).pixel(75, 75), Blue);
    const QImage halfway = renderAt(32768);
    QVERIFY2(closeTo(halfway.pixel(45, 45), qRgb(127, 0, 128), 2), qPrintable(describe(halfway.pixel(45, 45))));
    QCOMPARE(qAlpha(halfway.pixel(55, 55)), 0);

    // A straight start edge blends with a curved end edge.
    swf::MorphShape bend = morph;
    const swf::Shape curvedEnd = ShapeBuilder().change(0, 0, -1, -1).curveTo(50, -40, 20, 0).lineTo(20, 20).lineTo(0, 20).lineTo(0, 0).build();
    bend.endRecords = curvedEnd.records;
    const swf::Shape blended = MorphInterpolator::shapeAt(bend, 32768);
    QVERIFY(std::holds_alternative<swf::CurvedEdgeRecord>(blended.records.at(1)));
}

QTEST_MAIN(ShapeRenderingTest)
#include "tst_shape_rendering.moc"
