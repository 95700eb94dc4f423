#include "ShapeBuilder.h"

#include "player/render/ShapeConverter.h"
#include "player/render/ShapePainter.h"

#include <QPainter>
#include <QtTest>

using namespace player;
using namespace player::render;

// How much of a pixel an antialiased edge covers: Flash counts 4 by 4 samples, so the coverage
// moves in quarters of a pixel across and changes only when the edge passes a sample.
class AntialiasedEdgesTest : public QObject {
    Q_OBJECT

private slots:
    void leftEdgeCoverage_data();
    void leftEdgeCoverage();
};

void AntialiasedEdgesTest::leftEdgeCoverage_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<int>("expectedAlpha");

    QTest::newRow("on the pixel border") << 10.0 << 255;
    QTest::newRow("just past the border, before the first sample") << 10.1 << 255;
    QTest::newRow("past one sample") << 10.2 << 191;
    QTest::newRow("before the middle samples") << 10.45 << 128;
    QTest::newRow("halfway") << 10.5 << 128;
    QTest::newRow("past three samples") << 10.8 << 64;
    QTest::newRow("past all four samples") << 10.9 << 0;
}

void AntialiasedEdgesTest::leftEdgeCoverage()
{
    QFETCH(double, left);
    QFETCH(int, expectedAlpha);
    QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setWorldTransform(QTransform::fromScale(1 / 20.0, 1 / 20.0));
    const swf::Shape shape = ShapeBuilder().solid(0xFF000000).rectangle(left, 0, 30, 20, 0, 1).build();
    ShapePainter::paint(painter, ShapeConverter::convert(shape), {}, {}, true);
    painter.end();
    const int alpha = qAlpha(image.pixel(10, 10));
    QVERIFY2(std::abs(alpha - expectedAlpha) <= 2, qPrintable(QString::number(alpha)));
    QCOMPARE(qAlpha(image.pixel(20, 10)), 255);
}

QTEST_MAIN(AntialiasedEdgesTest)
#include "tst_antialiased_edges.moc"
