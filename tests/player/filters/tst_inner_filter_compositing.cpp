#include "player/render/BevelFilter.h"
#include "player/render/ShadowFilter.h"

#include <QtTest>
#include <cmath>

using namespace player;
using namespace player::render;

namespace {

// A 20x20 transparent layer with a half-transparent red square from (5,5) to (9,9) inclusive.
QImage halfTransparentSquare()
{
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 5; y <= 9; ++y) {
        for (int x = 5; x <= 9; ++x)
            image.setPixel(x, y, qRgba(128, 0, 0, 128));
    }
    return image;
}

swf::Filter innerFilter(swf::FilterType type, double distance, double angle)
{
    swf::Filter filter;
    filter.type = type;
    filter.blurX = 0.0;
    filter.blurY = 0.0;
    filter.distance = distance;
    filter.angle = angle;
    filter.color = swf::Rgba { 0, 0, 0, 255 };
    filter.highlightColor = swf::Rgba { 255, 255, 255, 255 };
    filter.inner = true;
    return filter;
}

QImage filtered(const swf::Filter& filter)
{
    QImage image = halfTransparentSquare();
    if (filter.type == swf::FilterType::Bevel)
        BevelFilter::apply(image, filter, 1.0);
    else
        ShadowFilter::apply(image, filter, 1.0);
    return image;
}

QString describe(QRgb pixel)
{
    return QStringLiteral("a=%1 r=%2 g=%3 b=%4").arg(qAlpha(pixel)).arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

bool closeTo(QRgb actual, QRgb expected)
{
    return std::abs(qAlpha(actual) - qAlpha(expected)) <= 1 && std::abs(qRed(actual) - qRed(expected)) <= 1
        && std::abs(qGreen(actual) - qGreen(expected)) <= 1 && std::abs(qBlue(actual) - qBlue(expected)) <= 1;
}

} // namespace

Q_DECLARE_METATYPE(player::swf::Filter)

// Inner shadows, glows and bevels are drawn on the object the way a layer is drawn "atop"
// another: the effect counts as much as the object covers, the object shows through where the
// effect is not opaque, and the object's alpha stays what it was.
class InnerFilterCompositingTest : public QObject {
    Q_OBJECT

private slots:
    void objectKeepsItsAlpha_data();
    void objectKeepsItsAlpha();
    void colourOnAHalfTransparentObject_data();
    void colourOnAHalfTransparentObject();
};

void InnerFilterCompositingTest::objectKeepsItsAlpha_data()
{
    QTest::addColumn<swf::Filter>("filter");
    using swf::FilterType;
    QTest::newRow("inner drop shadow") << innerFilter(FilterType::DropShadow, 2.0, 0.0);
    swf::Filter glow = innerFilter(FilterType::Glow, 0.0, 0.0);
    glow.blurX = 3.0;
    glow.blurY = 3.0;
    glow.strength = 2.0;
    glow.color = swf::Rgba { 0, 255, 0, 255 };
    QTest::newRow("inner glow") << glow;
    QTest::newRow("inner bevel") << innerFilter(FilterType::Bevel, 2.0, M_PI / 4);
}

void InnerFilterCompositingTest::objectKeepsItsAlpha()
{
    QFETCH(swf::Filter, filter);
    const QImage image = filtered(filter);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool onObject = x >= 5 && x <= 9 && y >= 5 && y <= 9;
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qAlpha(pixel) == (onObject ? 128 : 0),
                     qPrintable(QStringLiteral("(%1,%2) %3").arg(x).arg(y).arg(describe(pixel))));
        }
    }
}

void InnerFilterCompositingTest::colourOnAHalfTransparentObject_data()
{
    QTest::addColumn<swf::Filter>("filter");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("expected");
    using swf::FilterType;

    // Two pixels right of the left edge the shadow is opaque black: half of it, and nothing of
    // the red underneath.
    const swf::Filter shadow = innerFilter(FilterType::DropShadow, 2.0, 0.0);
    QTest::newRow("opaque inner shadow hides the object") << shadow << QPoint(6, 7) << qRgba(0, 0, 0, 128);
    // Further in, the shadow is the object's own see-through half (127 of black): 127/255 of
    // black on the object's half, and the red shows through by the other 128/255.
    QTest::newRow("inner shadow of a see-through object") << shadow << QPoint(8, 7) << qRgba(64, 0, 0, 128);

    // At the lit corner the highlight has half strength (128 of white): half of it on the
    // object's half, the red shown through by 127/255.
    QTest::newRow("inner bevel highlight") << innerFilter(FilterType::Bevel, 2.0, M_PI / 4) << QPoint(5, 5)
                                           << qRgba(128, 64, 64, 128);

    swf::Filter knockout = shadow;
    knockout.knockout = true;
    QTest::newRow("knockout keeps only the shadow on the object") << knockout << QPoint(6, 7) << qRgba(0, 0, 0, 128);
}

void InnerFilterCompositingTest::colourOnAHalfTransparentObject()
{
    QFETCH(swf::Filter, filter);
    QFETCH(QPoint, at);
    QFETCH(QRgb, expected);
    const QImage image = filtered(filter);
    QVERIFY2(closeTo(image.pixel(at), expected), qPrintable(describe(image.pixel(at))));
}

QTEST_GUILESS_MAIN(InnerFilterCompositingTest)
#include "tst_inner_filter_compositing.moc"
