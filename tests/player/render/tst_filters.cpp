#include "player/render/BevelFilter.h"
#include "player/render/BoxBlur.h"
#include "player/render/ColorMatrixFilter.h"
#include "player/render/ConvolutionFilter.h"
#include "player/render/FilterChain.h"
#include "player/render/FilteredBitmapPlacement.h"
#include "player/render/GradientTable.h"
#include "player/render/ShadowFilter.h"

#include <QtTest>
#include <cmath>

using namespace player;
using namespace player::render;

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Clear = 0x00000000;

// A 20x20 transparent layer with an opaque red square from (5,5) to (9,9) inclusive.
QImage squareLayer()
{
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 5; y <= 9; ++y) {
        for (int x = 5; x <= 9; ++x)
            image.setPixel(x, y, Red);
    }
    return image;
}

// One row of 21 pixels, transparent but for an opaque white pixel in the middle.
QImage dotRow()
{
    QImage image(21, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixel(10, 0, 0xFFFFFFFF);
    return image;
}

QString describe(QRgb pixel)
{
    return QStringLiteral("a=%1 r=%2 g=%3 b=%4").arg(qAlpha(pixel)).arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

bool closeTo(QRgb actual, QRgb expected, int tolerance = 1)
{
    return std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance && std::abs(qRed(actual) - qRed(expected)) <= tolerance
        && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

swf::Filter shadow(swf::FilterType type, double distance, double angle, swf::Rgba color)
{
    swf::Filter filter;
    filter.type = type;
    filter.blurX = 0.0;
    filter.blurY = 0.0;
    filter.distance = distance;
    filter.angle = angle;
    filter.color = color;
    return filter;
}

constexpr swf::Rgba Black { 0, 0, 0, 255 };

} // namespace

Q_DECLARE_METATYPE(player::swf::Filter)

class FiltersTest : public QObject {
    Q_OBJECT

private slots:
    void boxBlur_data();
    void boxBlur();
    void boxBlurOfSolidRuns();
    void largestBlurKeepsWholeAverages();
    void blurStaysWithinItsReach();
    void filteredBitmapPlacement_data();
    void filteredBitmapPlacement();
    void shadowsAndGlows_data();
    void shadowsAndGlows();
    void bevel();
    void roundingOfShadowsAndBevels();
    void colorMatrix_data();
    void colorMatrix();
    void convolution_data();
    void convolution();
    void gradientTables();
    void damagedFiltersAreHarmless();
};

void FiltersTest::boxBlur_data()
{
    QTest::addColumn<double>("blurX");
    QTest::addColumn<int>("passes");
    QTest::addColumn<QList<int>>("expected"); // alpha of pixels 6..14 around the dot at 10

    // An odd box of 3 spreads the dot over three pixels of 255/3.
    QTest::newRow("width 3, quality 1") << 3.0 << 1 << QList<int> { 0, 0, 0, 85, 85, 85, 0, 0, 0 };
    // Each pass drops the fraction of its average: 85 becomes 28 and 56 (not 57), then 9, 28, 56, 65.
    QTest::newRow("width 3, quality 3") << 3.0 << 3 << QList<int> { 0, 9, 28, 56, 65, 56, 28, 9, 0 };
    // An even box of 4 reaches two pixels each side with the two ends at 127/255: 127/4 and
    // 255/4, both rounded down.
    QTest::newRow("width 4, quality 1") << 4.0 << 1 << QList<int> { 0, 0, 31, 63, 63, 63, 31, 0, 0 };
    // Flash's own numbers: a glow of 5 spreads a one-pixel hairline into five pixels of 51.
    QTest::newRow("width 5, a hairline") << 5.0 << 1 << QList<int> { 0, 0, 51, 51, 51, 51, 51, 0, 0 };
    // Fractional sizes are not rounded: 2.6 weighs its ends 204/255 (0.8) and divides by 2.6,
    // so the dot keeps 255/2.6 = 98 and each neighbour gets 204/2.6 = 78.
    QTest::newRow("width 2.6") << 2.6 << 1 << QList<int> { 0, 0, 0, 78, 98, 78, 0, 0, 0 };
    // 4.5 reaches two pixels each side, the outer ones at 191/255 (0.75 rounded down).
    QTest::newRow("width 4.5") << 4.5 << 1 << QList<int> { 0, 0, 42, 56, 56, 56, 42, 0, 0 };
    QTest::newRow("width 1 does nothing") << 1.0 << 3 << QList<int> { 0, 0, 0, 0, 255, 0, 0, 0, 0 };
    QTest::newRow("quality 0 does nothing") << 8.0 << 0 << QList<int> { 0, 0, 0, 0, 255, 0, 0, 0, 0 };
}

void FiltersTest::boxBlur()
{
    QFETCH(double, blurX);
    QFETCH(int, passes);
    QFETCH(QList<int>, expected);
    QImage image = dotRow();
    BoxBlur::blur(image, blurX, 0.0, passes);
    QList<int> alphas;
    for (int x = 6; x <= 14; ++x) {
        const QRgb pixel = image.pixel(x, 0);
        // Premultiplied white stays grey-free: every channel equals the alpha.
        QCOMPARE(qRed(pixel), qAlpha(pixel));
        alphas.append(qAlpha(pixel));
    }
    QCOMPARE(alphas, expected);
}

void FiltersTest::boxBlurOfSolidRuns()
{
    // Eleven opaque white pixels in a row of 21. An odd box keeps the middle of the run whole; an
    // even one loses a level there, because its half-weighted ends count 127/255 and not 1/2.
    // A size a hair off a whole number (a scale's rounding error) blurs as the whole number.
    for (const auto& [size, middle] : { std::pair { 5.0, 255 }, std::pair { 4.0, 254 }, std::pair { 3.5, 254 },
                                        std::pair { 5.0 * (1.0 + 1e-12), 255 } }) {
        QImage image(21, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        for (int x = 5; x <= 15; ++x)
            image.setPixel(x, 0, 0xFFFFFFFF);
        BoxBlur::blur(image, size, 0.0, 1);
        QCOMPARE(qAlpha(image.pixel(10, 0)), middle);
        QCOMPARE(qRed(image.pixel(10, 0)), middle);
        // Both ends of the run fade alike.
        QCOMPARE(image.pixel(5, 0), image.pixel(15, 0));
    }
}

void FiltersTest::largestBlurKeepsWholeAverages()
{
    // The largest blur over a long opaque run: its sums are the largest the blur makes, and the
    // middle must still come out exactly whole (255), not a level short.
    QImage image(700, 1, QImage::Format_Alpha8);
    image.fill(255);
    BoxBlur::blur(image, 255.0, 0.0, 1);
    QCOMPARE(int(image.constScanLine(0)[350]), 255);
    // At the end of the run the box covers 128 of its 255 pixels: exactly 128.
    QCOMPARE(int(image.constScanLine(0)[0]), 128);
}

void FiltersTest::blurStaysWithinItsReach()
{
    for (const double size : { 1.2, 2.0, 2.6, 3.0, 4.5, 5.0, 6.0 }) {
        for (int passes = 1; passes <= 3; ++passes) {
            QImage image(61, 1, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            image.setPixel(30, 0, 0xFFFFFFFF);
            BoxBlur::blur(image, size, 0.0, passes);
            const int reach = BoxBlur::reach(size, passes);
            const QString where = QStringLiteral("size %1 passes %2 reach %3").arg(size).arg(passes).arg(reach);
            // After several passes the farthest pixels may round down to nothing.
            if (passes == 1) {
                QVERIFY2(qAlpha(image.pixel(30 + reach, 0)) > 0, qPrintable(where));
                QVERIFY2(qAlpha(image.pixel(30 - reach, 0)) > 0, qPrintable(where));
            }
            QVERIFY2(qAlpha(image.pixel(31 + reach, 0)) == 0, qPrintable(where));
            QVERIFY2(qAlpha(image.pixel(29 - reach, 0)) == 0, qPrintable(where));
        }
    }
}

void FiltersTest::filteredBitmapPlacement_data()
{
    QTest::addColumn<QPointF>("corner"); // the bounds' top left corner, device pixels
    QTest::addColumn<bool>("cached");
    QTest::addColumn<QPointF>("shift");

    // Where Flash drew the objects of its own filter movies.
    QTest::newRow("fractions round to the nearest pixel") << QPointF(36.55, 8.45) << false << QPointF(0.45, -0.45);
    QTest::newRow("halves go right") << QPointF(172.5, 125.0) << false << QPointF(0.5, 0.0);
    QTest::newRow("halves go down") << QPointF(87.0, 305.5) << false << QPointF(0.0, 0.5);
    QTest::newRow("cached as well: halves in y go up") << QPointF(105.5, 40.5) << true << QPointF(0.5, -0.5);
    QTest::newRow("negative corners") << QPointF(-1.55, -0.5) << false << QPointF(-0.45, 0.5);
    QTest::newRow("whole pixels stay") << QPointF(100.0, 80.0) << true << QPointF(0.0, 0.0);
}

void FiltersTest::filteredBitmapPlacement()
{
    QFETCH(QPointF, corner);
    QFETCH(bool, cached);
    QFETCH(QPointF, shift);
    const QPointF actual = FilteredBitmapPlacement::shiftFor(QRectF(corner, QSizeF(40.0, 30.0)), cached);
    QVERIFY2(std::abs(actual.x() - shift.x()) < 1e-9 && std::abs(actual.y() - shift.y()) < 1e-9,
             qPrintable(QStringLiteral("%1, %2").arg(actual.x()).arg(actual.y())));
    // Bounds that are empty or beyond any pixel grid leave the object where it is.
    QCOMPARE(FilteredBitmapPlacement::shiftFor(QRectF(corner, QSizeF(0.0, 0.0)), cached), QPointF());
    QCOMPARE(FilteredBitmapPlacement::shiftFor(QRectF(QPointF(std::nan(""), 0.5), QSizeF(4.0, 4.0)), cached), QPointF());
    QCOMPARE(FilteredBitmapPlacement::shiftFor(QRectF(QPointF(1e300, 0.5), QSizeF(4.0, 4.0)), cached), QPointF());
}

void FiltersTest::shadowsAndGlows_data()
{
    QTest::addColumn<swf::Filter>("filter");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("expected");

    using swf::FilterType;
    const swf::Filter dropShadow = shadow(FilterType::DropShadow, 4.0, 0.0, Black);
    // The square is 5..9; the shadow four pixels right covers 9..13.
    QTest::newRow("shadow beside the object") << dropShadow << QPoint(12, 7) << qRgba(0, 0, 0, 255);
    QTest::newRow("object over its shadow") << dropShadow << QPoint(9, 7) << Red;
    QTest::newRow("nothing past the shadow") << dropShadow << QPoint(14, 7) << Clear;
    swf::Filter downwards = shadow(FilterType::DropShadow, 4.0, M_PI / 2, Black);
    QTest::newRow("angle 90 degrees casts downwards") << downwards << QPoint(7, 12) << qRgba(0, 0, 0, 255);
    QTest::newRow("angle 90 degrees, nothing to the right") << downwards << QPoint(12, 7) << Clear;

    // Flash's own drop shadow of distance 5 at 45 degrees lies 4 pixels right and 4 down: 3.54
    // rounds to the nearest pixel.
    const swf::Filter diagonal = shadow(FilterType::DropShadow, 5.0, M_PI / 4, Black);
    QTest::newRow("diagonal distance rounds to whole pixels") << diagonal << QPoint(13, 13) << qRgba(0, 0, 0, 255);
    QTest::newRow("diagonal shadow ends there") << diagonal << QPoint(14, 14) << Clear;
    swf::Filter weak = dropShadow;
    weak.strength = 0.5;
    weak.color = swf::Rgba { 0, 0, 255, 255 };
    QTest::newRow("strength scales the alpha") << weak << QPoint(12, 7) << qRgba(0, 0, 128, 128);
    swf::Filter faint = dropShadow;
    faint.color = swf::Rgba { 255, 0, 0, 51 };
    QTest::newRow("colour alpha scales it too") << faint << QPoint(12, 7) << qRgba(51, 0, 0, 51);

    swf::Filter knockout = dropShadow;
    knockout.knockout = true;
    QTest::newRow("knockout removes the object") << knockout << QPoint(7, 7) << Clear;
    QTest::newRow("knockout keeps the shadow outside") << knockout << QPoint(12, 7) << qRgba(0, 0, 0, 255);
    QTest::newRow("knockout cuts the shadow under the object") << knockout << QPoint(9, 7) << Clear;

    swf::Filter hidden = dropShadow;
    hidden.compositeSource = false;
    QTest::newRow("hidden object leaves its whole shadow") << hidden << QPoint(9, 7) << qRgba(0, 0, 0, 255);
    QTest::newRow("hidden object is not drawn") << hidden << QPoint(6, 7) << Clear;

    swf::Filter inner = shadow(FilterType::DropShadow, 2.0, 0.0, Black);
    inner.inner = true;
    // Inside, the shadow comes from the left edge, two pixels deep.
    QTest::newRow("inner shadow at the lit edge") << inner << QPoint(6, 7) << qRgba(0, 0, 0, 255);
    QTest::newRow("inner shadow leaves the rest") << inner << QPoint(8, 7) << Red;
    QTest::newRow("inner shadow stays inside") << inner << QPoint(3, 7) << Clear;

    // A glow of 3 by 3 is a third of the square's alpha one pixel out, doubled by strength 2.
    swf::Filter glow = shadow(FilterType::Glow, 10.0, 0.0, swf::Rgba { 0, 255, 0, 255 });
    glow.blurX = 3.0;
    glow.blurY = 3.0;
    glow.strength = 2.0;
    QTest::newRow("glow beside the object, not moved") << glow << QPoint(10, 7) << qRgba(0, 170, 0, 170);
    QTest::newRow("glow on the other side too") << glow << QPoint(4, 7) << qRgba(0, 170, 0, 170);
    QTest::newRow("glow two pixels out is empty") << glow << QPoint(11, 7) << Clear;
    QTest::newRow("glow under the object") << glow << QPoint(7, 7) << Red;

    // A gradient glow reads its colour at the glow's strength: full alpha gives the last stop.
    swf::Filter gradientGlow = shadow(FilterType::GradientGlow, 0.0, 0.0, Black);
    gradientGlow.blurX = 3.0;
    gradientGlow.blurY = 3.0;
    gradientGlow.strength = 3.0;
    gradientGlow.gradientColors = { swf::Rgba { 0, 0, 0, 0 }, swf::Rgba { 0, 0, 255, 255 } };
    gradientGlow.gradientRatios = { 0, 255 };
    QTest::newRow("gradient glow at full strength") << gradientGlow << QPoint(10, 7) << qRgba(0, 0, 255, 255);
    QTest::newRow("gradient glow outside its reach") << gradientGlow << QPoint(12, 7) << Clear;
}

void FiltersTest::shadowsAndGlows()
{
    QFETCH(swf::Filter, filter);
    QFETCH(QPoint, at);
    QFETCH(QRgb, expected);
    QImage image = squareLayer();
    ShadowFilter::apply(image, filter, 1.0);
    QVERIFY2(closeTo(image.pixel(at), expected), qPrintable(describe(image.pixel(at))));
}

void FiltersTest::bevel()
{
    swf::Filter filter = shadow(swf::FilterType::Bevel, 2.0, M_PI / 4, swf::Rgba { 0, 0, 0, 255 });
    filter.highlightColor = swf::Rgba { 255, 255, 255, 255 };
    filter.inner = true;
    QImage image = squareLayer();
    BevelFilter::apply(image, filter, 1.0);
    // Light from the top left: the top left edge is lit, the bottom right one in shadow.
    QCOMPARE(image.pixel(5, 5), qRgba(255, 255, 255, 255));
    QCOMPARE(image.pixel(9, 9), qRgba(0, 0, 0, 255));
    QCOMPARE(image.pixel(7, 7), Red);
    QCOMPARE(image.pixel(3, 3), Clear); // an inner bevel stays on the object

    filter.inner = false;
    image = squareLayer();
    BevelFilter::apply(image, filter, 1.0);
    // Outside, the side away from the light: the bottom right gets the shadow beyond the edge.
    QCOMPARE(image.pixel(10, 10), qRgba(0, 0, 0, 255));
    QCOMPARE(image.pixel(5, 5), Red);

    // A half-transparent object shows its outer bevel through it once: the object over the
    // bevel, the bevel not cut by the object's alpha beforehand (Flash's sphere under a bevel).
    image = squareLayer();
    for (int y = 5; y <= 9; ++y) {
        for (int x = 5; x <= 9; ++x)
            image.setPixel(x, y, qRgba(128, 0, 0, 128));
    }
    BevelFilter::apply(image, filter, 1.0);
    // At (9,9) the shadow is 128 of black; 128 of red over it leaves a quarter see-through.
    QVERIFY2(closeTo(image.pixel(9, 9), qRgba(128, 0, 0, 192)), qPrintable(describe(image.pixel(9, 9))));

    filter.type = swf::FilterType::GradientBevel;
    filter.inner = true;
    filter.knockout = true;
    filter.gradientColors = { swf::Rgba { 255, 255, 0, 255 }, swf::Rgba { 0, 0, 0, 0 }, swf::Rgba { 0, 0, 255, 255 } };
    filter.gradientRatios = { 0, 128, 255 };
    image = squareLayer();
    BevelFilter::apply(image, filter, 1.0);
    QVERIFY2(closeTo(image.pixel(5, 5), qRgba(255, 255, 0, 255), 3), qPrintable(describe(image.pixel(5, 5))));
    QVERIFY2(closeTo(image.pixel(9, 9), qRgba(0, 0, 255, 255), 3), qPrintable(describe(image.pixel(9, 9))));
    QCOMPARE(image.pixel(7, 7), Clear); // flat: the middle stop; knockout removed the object
}

void FiltersTest::roundingOfShadowsAndBevels()
{
    // An inner glow blurs the object's alpha and takes 255 minus it, so it rounds like an outer
    // one. Along a row through the square (5..9) a box of 4 gives the left edge pixel
    // (255 + 255 + 127/255 * 255) / 4 = 159.25, rounded down to 159: the glow there is 96, which
    // leaves 159 of the red. In the middle the box gives 254.75, so a glow of 1 remains.
    swf::Filter innerGlow = shadow(swf::FilterType::Glow, 0.0, 0.0, Black);
    innerGlow.inner = true;
    innerGlow.blurX = 4.0;
    QImage image = squareLayer();
    ShadowFilter::apply(image, innerGlow, 1.0);
    QCOMPARE(image.pixel(5, 7), qRgba(159, 0, 0, 255));
    QCOMPARE(image.pixel(7, 7), qRgba(254, 0, 0, 255));
    QCOMPARE(image.pixel(4, 7), Clear);

    // A bevel mixes its colour, strength and the object and rounds once: a highlight of white at
    // alpha 128 (premultiplied 128) at strength 0.3 is 128 * 0.3 = 38.4, so 38, where rounding the
    // strength to 77/255 first would give 39.
    swf::Filter bevel;
    bevel.type = swf::FilterType::Bevel;
    bevel.blurX = 0.0;
    bevel.blurY = 0.0;
    bevel.distance = 1.0;
    bevel.strength = 0.3;
    bevel.highlightColor = swf::Rgba { 255, 255, 255, 128 };
    bevel.color = Black;
    image = squareLayer();
    BevelFilter::apply(image, bevel, 1.0);
    QCOMPARE(image.pixel(4, 7), qRgba(38, 38, 38, 38));
    QCOMPARE(image.pixel(7, 7), Red);
}

void FiltersTest::colorMatrix_data()
{
    QTest::addColumn<QList<float>>("matrix");
    QTest::addColumn<QRgb>("input");    // straight
    QTest::addColumn<QRgb>("expected"); // straight

    QTest::newRow("swap red and blue, halve alpha")
        << QList<float> { 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0 } << qRgba(200, 100, 50, 255)
        << qRgba(50, 100, 200, 128);
    QTest::newRow("offsets in channel units, clamped")
        << QList<float> { 1, 0, 0, 0, 20, 0, 1, 0, 0, -120, 0, 0, 1, 0, 100, 0, 0, 0, 1, 0 } << qRgba(200, 100, 200, 255)
        << qRgba(220, 0, 255, 255);
    QTest::newRow("grey from straight colour of a half-transparent pixel")
        << QList<float> { 0.5f, 0.5f, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0, 1, 0 }
        << qRgba(200, 100, 0, 128) << qRgba(150, 150, 150, 128);
    QTest::newRow("alpha from red") << QList<float> { 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0 }
                                       << qRgba(255, 0, 0, 128) << qRgba(255, 0, 0, 255);
}

void FiltersTest::colorMatrix()
{
    QFETCH(QList<float>, matrix);
    QFETCH(QRgb, input);
    QFETCH(QRgb, expected);
    QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(qPremultiply(input));
    ColorMatrixFilter::apply(image, std::vector<float>(matrix.begin(), matrix.end()));
    const QRgb actual = qUnpremultiply(image.pixel(1, 1));
    QVERIFY2(closeTo(actual, expected, 2), qPrintable(describe(actual)));
}

void FiltersTest::convolution_data()
{
    QTest::addColumn<swf::Filter>("filter");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("expected"); // straight

    swf::Filter average;
    average.type = swf::FilterType::Convolution;
    average.matrixX = 3;
    average.matrixY = 3;
    average.convolutionMatrix = std::vector<float>(9, 1.0f);
    average.divisor = 9.0f;
    average.preserveAlpha = false;
    QTest::newRow("edges repeat when clamped") << average << QPoint(0, 0) << qRgba(100, 100, 100, 255);
    swf::Filter unclamped = average;
    unclamped.clamp = false;
    unclamped.defaultColor = swf::Rgba { 0, 0, 0, 0 };
    // Four of the nine neighbours of a corner are in the image: 400/9 and 4*255/9.
    QTest::newRow("default colour beyond the edges") << unclamped << QPoint(0, 0) << qRgba(44, 44, 44, 113);
    QTest::newRow("inner pixels see no edge") << unclamped << QPoint(2, 2) << qRgba(100, 100, 100, 255);
    swf::Filter keepAlpha = unclamped;
    keepAlpha.preserveAlpha = true;
    QTest::newRow("preserved alpha") << keepAlpha << QPoint(0, 0) << qRgba(44, 44, 44, 255);

    swf::Filter biased;
    biased.type = swf::FilterType::Convolution;
    biased.matrixX = 1;
    biased.matrixY = 1;
    biased.convolutionMatrix = { 1.0f };
    biased.divisor = 2.0f;
    biased.bias = 10.0f;
    QTest::newRow("divisor and bias") << biased << QPoint(2, 2) << qRgba(60, 60, 60, 255);
    // An off-centre 2x1 matrix: weight 1 on the pixel to the left (the centre rounds down).
    swf::Filter shift;
    shift.type = swf::FilterType::Convolution;
    shift.matrixX = 2;
    shift.matrixY = 1;
    shift.convolutionMatrix = { 1.0f, 0.0f };
    shift.clamp = false;
    shift.defaultColor = swf::Rgba { 255, 0, 0, 255 };
    QTest::newRow("matrix centre rounds down") << shift << QPoint(0, 2) << qRgba(255, 0, 0, 255);
}

void FiltersTest::convolution()
{
    QFETCH(swf::Filter, filter);
    QFETCH(QPoint, at);
    QFETCH(QRgb, expected);
    QImage image(5, 5, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(100, 100, 100, 255));
    ConvolutionFilter::apply(image, filter);
    const QRgb actual = qUnpremultiply(image.pixel(at));
    QVERIFY2(closeTo(actual, expected, 2), qPrintable(describe(actual)));
}

void FiltersTest::gradientTables()
{
    // Two stops at the same ratio make a hard edge between them, one entry on: the second stop
    // writes the first one's colour into the next entry, as Flash's table does.
    const GradientTable edge = makeGradientTable(
        { swf::Rgba { 255, 0, 0, 255 }, swf::Rgba { 255, 0, 0, 255 }, swf::Rgba { 0, 0, 255, 255 }, swf::Rgba { 0, 0, 255, 255 } },
        { 0, 128, 128, 255 });
    QCOMPARE(edge[128], Red);
    QCOMPARE(edge[129], Red);
    QCOMPARE(edge[130], qRgb(0, 0, 255));
    // Colours mix straight, rounded down as in Flash's table, and are stored premultiplied;
    // beyond the stops the ends hold.
    const GradientTable fade = makeGradientTable({ swf::Rgba { 255, 255, 255, 0 }, swf::Rgba { 255, 255, 255, 255 } }, { 64, 192 });
    QCOMPARE(fade[0], Clear);
    QCOMPARE(fade[128], qRgba(127, 127, 127, 127));
    QCOMPARE(fade[255], 0xFFFFFFFFu);
}

void FiltersTest::damagedFiltersAreHarmless()
{
    // Sizes out of range, odd matrices and empty gradients change nothing or little, and never crash.
    swf::Filter huge;
    huge.type = swf::FilterType::Blur;
    huge.blurX = 1e300;
    huge.blurY = std::nan("");
    huge.passes = 200;
    QVERIFY(FilterChain::reach({ huge }, 1.0) <= FilterChain::MaximumReach);
    swf::Filter shortMatrix;
    shortMatrix.type = swf::FilterType::ColorMatrix;
    shortMatrix.matrix = { 1.0f, 2.0f };
    swf::Filter hugeConvolution;
    hugeConvolution.type = swf::FilterType::Convolution;
    hugeConvolution.matrixX = 255;
    hugeConvolution.matrixY = 255;
    hugeConvolution.convolutionMatrix = std::vector<float>(255 * 255, 1.0f);
    swf::Filter noGradient = shadow(swf::FilterType::GradientGlow, 1e9, 1.0, Black);
    swf::Filter farShadow = shadow(swf::FilterType::DropShadow, std::numeric_limits<double>::infinity(), 1.0, Black);
    QImage image = squareLayer();
    FilterChain::apply(image, { shortMatrix, hugeConvolution, farShadow }, 1.0);
    QCOMPARE(image, squareLayer());
    FilterChain::apply(image, { huge, noGradient }, 1.0);
    QCOMPARE(image.size(), QSize(20, 20));
}

QTEST_MAIN(FiltersTest)
#include "tst_filters.moc"
