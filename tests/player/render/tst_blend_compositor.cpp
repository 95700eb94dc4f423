#include "player/render/BlendCompositor.h"

#include <QPainter>
#include <QtTest>

#include <cmath>

using namespace player;
using namespace player::render;

// The modes our own code blends pixel by pixel (the rest go through QPainter's composition modes).
class BlendCompositorTest : public QObject {
    Q_OBJECT

private slots:
    void invertRoundsOnceOverOpaqueColours();
    void invertKeepsWhatLiesBelowWhereTheSourceIsClear();
    void invertOverTranslucentPixelsKeepsTheirAlpha();
};

namespace {

QImage filled(QSize size, QRgb premultiplied)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(premultiplied);
    return image;
}

QRgb composite(QRgb below, QRgb source, swf::BlendMode mode)
{
    QImage target = filled(QSize(3, 3), below);
    {
        QPainter painter(&target);
        BlendCompositor::composite(painter, filled(QSize(1, 1), source), QPoint(1, 1), mode);
    }
    return target.pixel(1, 1);
}

int nearestInvert(int below, int sourceAlpha)
{
    return static_cast<int>(std::lround(below + (255.0 - 2.0 * below) * sourceAlpha / 255.0));
}

} // namespace

void BlendCompositorTest::invertRoundsOnceOverOpaqueColours()
{
    // Truncating the inverted part and the kept part separately would lose up to two units
    // (8 under alpha 100 gave 100 instead of 102); the sum is rounded once, to the nearest value.
    const int belowColours[][3] = { { 8, 163, 252 }, { 0, 255, 128 }, { 1, 2, 254 }, { 200, 100, 50 } };
    for (const auto& below : belowColours) {
        for (int alpha : { 1, 37, 100, 127, 128, 201, 254, 255 }) {
            // The source's own colour plays no part, only how opaque it is.
            const QRgb result = composite(qRgb(below[0], below[1], below[2]), qPremultiply(qRgba(90, 20, 250, alpha)),
                                          swf::BlendMode::Invert);
            const QRgb expected = qRgb(nearestInvert(below[0], alpha), nearestInvert(below[1], alpha),
                                       nearestInvert(below[2], alpha));
            QVERIFY2(result == expected, qPrintable(QStringLiteral("below %1,%2,%3 alpha %4: got %5, expected %6")
                                                        .arg(below[0]).arg(below[1]).arg(below[2]).arg(alpha)
                                                        .arg(result, 8, 16).arg(expected, 8, 16)));
        }
    }
}

void BlendCompositorTest::invertKeepsWhatLiesBelowWhereTheSourceIsClear()
{
    QImage target = filled(QSize(4, 1), qRgb(10, 20, 30));
    QImage layer = filled(QSize(4, 1), 0);
    layer.setPixel(1, 0, qRgba(255, 255, 255, 255));
    {
        QPainter painter(&target);
        BlendCompositor::composite(painter, layer, QPoint(0, 0), swf::BlendMode::Invert);
    }
    QCOMPARE(target.pixel(0, 0), qRgb(10, 20, 30));
    QCOMPARE(target.pixel(1, 0), qRgb(245, 235, 225));
    QCOMPARE(target.pixel(2, 0), qRgb(10, 20, 30));
}

void BlendCompositorTest::invertOverTranslucentPixelsKeepsTheirAlpha()
{
    // Half-transparent grey below, fully inverted: still half transparent, its straight colour
    // inverted; nothing comes out brighter than its own alpha allows.
    const QRgb below = qPremultiply(qRgba(200, 40, 0, 128));
    const QRgb result = composite(below, qRgba(0, 0, 0, 255), swf::BlendMode::Invert);
    QCOMPARE(qAlpha(result), 128);
    const QRgb straight = qUnpremultiply(result);
    QVERIFY(std::abs(qRed(straight) - 55) <= 2);
    QVERIFY(std::abs(qGreen(straight) - 215) <= 2);
    QVERIFY(std::abs(qBlue(straight) - 255) <= 2);
}

QTEST_MAIN(BlendCompositorTest)
#include "tst_blend_compositor.moc"
