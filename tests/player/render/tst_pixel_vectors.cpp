#include "player/render/FillShader.h"
#include "player/render/GradientRamp.h"
#include "player/render/MaskCompositor.h"
#include "player/render/PixelVectors.h"
#include "player/render/RowWorkers.h"
#include "player/render/RunBlender.h"

#include <QtTest>

#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <limits>
#include <vector>

using namespace player::render;

namespace {

// A premultiplied pixel: opaque, clear or in between, with some of every kind in a run.
QRgb randomPixel(QRandomGenerator& random)
{
    switch (random.bounded(5)) {
    case 0:
        return qRgb(random.bounded(256), random.bounded(256), random.bounded(256));
    case 1:
        return 0;
    default:
        return qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), random.bounded(256)));
    }
}

std::vector<QRgb> randomPixels(QRandomGenerator& random, int count)
{
    std::vector<QRgb> pixels(static_cast<std::size_t>(count));
    for (QRgb& pixel : pixels)
        pixel = randomPixel(random);
    return pixels;
}

QImage randomImage(QRandomGenerator& random, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, randomPixel(random));
    return image;
}

// Runs `work` with the vector code on and then off, and gives both results.
template <typename Work>
auto bothWays(Work&& work)
{
    PixelVectors::setEnabled(true);
    auto vector = work();
    PixelVectors::setEnabled(false);
    auto scalar = work();
    PixelVectors::setEnabled(true);
    return std::make_pair(vector, scalar);
}

QString describe(int round, int index)
{
    return QStringLiteral("round %1, pixel %2").arg(round).arg(index);
}

} // namespace

// The vector code for blending runs, sampling bitmaps and putting masked layers down gives the
// scalar code's pixels, every one of them, and the scalar code gives Qt's where Qt draws the same.
class PixelVectorsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!SKRV_PIXEL_VECTORS)
            QSKIP("no vector code on this processor");
    }

    // Runs of every length (the vector code takes four pixels at a time and the rest one by
    // one), at every alignment, under every coverage, of one colour and of many.
    void blendedRunsMatchTheScalarCode()
    {
        QRandomGenerator random(11);
        for (int round = 0; round < 3000; ++round) {
            const int length = random.bounded(0, 40);
            const int offset = random.bounded(0, 4);
            const std::vector<QRgb> below = randomPixels(random, length + offset);
            const std::vector<QRgb> colors = randomPixels(random, length);
            const int coverage = random.bounded(4) == 0 ? 255 : random.bounded(1, 256);
            const QRgb solid = randomPixel(random);
            const bool oneColor = round % 2 == 0;
            const auto [vector, scalar] = bothWays([&] {
                std::vector<QRgb> pixels = below;
                if (oneColor)
                    RunBlender::blendSolid(pixels.data() + offset, length, solid, coverage);
                else
                    RunBlender::blendColors(pixels.data() + offset, colors.data(), length, coverage);
                return pixels;
            });
            for (std::size_t index = 0; index < scalar.size(); ++index)
                QVERIFY2(vector[index] == scalar[index], qPrintable(describe(round, int(index))));
        }
        // The scalar code is source over as Qt draws it: a colour over grey, half covered.
        QRgb pixel = qRgb(100, 100, 100);
        RunBlender::blendSolid(&pixel, 1, qRgba(0, 0, 200, 255), 128);
        QCOMPARE(pixel, qRgb(50, 50, 150));
    }

    // Smoothed and nearest bitmaps, repeated or held at their edges, turned and scaled so that
    // runs cross many tile edges forwards and backwards, at negative device coordinates, on
    // images of odd sizes down to a single texel, and far beyond the coordinates' limits.
    void bitmapRunsMatchTheScalarCodeAndSinglePixels()
    {
        QRandomGenerator random(5);
        int compared = 0;
        for (int round = 0; round < 600; ++round) {
            const QImage image = randomImage(random, random.bounded(1, 24), random.bounded(1, 24));
            const double scale = round % 5 == 0 ? 0.01 + random.bounded(0.2) : 0.3 + random.bounded(8.0);
            QTransform placed = QTransform()
                                    .translate(random.bounded(200.0) - 100, random.bounded(200.0) - 100)
                                    .rotate(round % 3 == 0 ? 0.0 : random.bounded(360.0))
                                    .scale(scale, scale * (0.5 + random.bounded(1.0)));
            if (round % 50 == 0)
                placed = QTransform(1e-9, 0, 0, 1e-9, 0, 0);
            else if (round % 50 == 25)
                placed = QTransform(1e-3, 0, 0, 1e-3, 1e300, -1e300);
            const FillShader shader = FillShader::bitmap(image, placed, random.bounded(2), random.bounded(3) != 0);
            const int x = random.bounded(-300, 300);
            const int y = random.bounded(-300, 300);
            const int length = random.bounded(1, 150);
            const auto [vector, scalar] = bothWays([&] {
                std::vector<QRgb> colors(static_cast<std::size_t>(length));
                shader.shade(x, y, length, colors.data());
                return colors;
            });
            for (int index = 0; index < length; ++index) {
                QVERIFY2(vector[std::size_t(index)] == scalar[std::size_t(index)], qPrintable(describe(round, index)));
                // A pixel alone starts from the first tile and finds its own.
                QRgb alone = 0;
                shader.shade(x + index, y, 1, &alone);
                QVERIFY2(alone == vector[std::size_t(index)], qPrintable(describe(round, index)));
            }
            compared += length;
        }
        QVERIFY(compared > 10000);
    }

    // Linear and radial gradients, centred or seen from a focus, under every spread, placed so
    // that runs go far beyond the gradient's ends (where positions are held at their limits).
    void gradientRunsMatchTheScalarCode()
    {
        QRandomGenerator random(9);
        int compared = 0;
        for (int round = 0; round < 900; ++round) {
            QGradientStops stops;
            stops.append({ 0.0, QColor::fromRgba(qUnpremultiply(randomPixel(random))) });
            stops.append({ 0.2 + random.bounded(0.6), QColor::fromRgba(qUnpremultiply(randomPixel(random))) });
            stops.append({ 1.0, QColor::fromRgba(qUnpremultiply(randomPixel(random))) });
            const auto ramp = GradientRamp::fromStops(stops, static_cast<QGradient::Spread>(round % 3),
                                                      QGradient::ComponentInterpolation);
            const double scale = round % 7 == 0 ? 1e-4 : 0.05 + random.bounded(3.0);
            const QTransform placed = QTransform()
                                          .translate(random.bounded(400.0) - 200, random.bounded(400.0) - 200)
                                          .rotate(random.bounded(360.0))
                                          .scale(scale, scale * (0.5 + random.bounded(1.0)));
            const QPointF focus = round % 4 == 0 ? QPointF(0, 0) : QPointF(random.bounded(60.0) - 30, random.bounded(60.0) - 30);
            const FillShader shader = (round / 3) % 2 == 0
                ? FillShader::linear(ramp, { random.bounded(50.0), 0 }, { 60, random.bounded(50.0) }, placed)
                : FillShader::radial(ramp, { 0, 0 }, 50, focus, placed);
            const int x = random.bounded(-400, 400);
            const int y = random.bounded(-400, 400);
            const int length = random.bounded(1, 120);
            const auto [vector, scalar] = bothWays([&] {
                std::vector<QRgb> colors(static_cast<std::size_t>(length));
                shader.shade(x, y, length, colors.data());
                return colors;
            });
            for (int index = 0; index < length; ++index)
                QVERIFY2(vector[std::size_t(index)] == scalar[std::size_t(index)], qPrintable(describe(round, index)));
            compared += length;
        }
        QVERIFY(compared > 20000);
    }

    // Layers put down through a mask give the pixels of Qt's two steps (destination-in, then
    // source over), the layers partly off the target on any side, with and without the vector
    // code and the second thread.
    void maskedLayersMatchQt()
    {
        QRandomGenerator random(3);
        for (int round = 0; round < 60; ++round) {
            const QImage below = randomImage(random, random.bounded(1, 300), random.bounded(1, 300));
            const QSize size(random.bounded(1, 400), random.bounded(1, 300));
            const QImage content = randomImage(random, size.width(), size.height());
            QImage coverage = randomImage(random, size.width(), size.height());
            // Masks are mostly wholly in or out, with partial edges.
            for (int y = 0; y < coverage.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(coverage.scanLine(y));
                for (int x = 0; x < coverage.width(); ++x)
                    if (random.bounded(3) != 0)
                        line[x] = random.bounded(2) ? 0 : qRgb(0, 0, 0);
            }
            const QPoint at(random.bounded(-200, 250), random.bounded(-200, 250));

            QImage byQt = below.copy();
            {
                QImage masked = content.copy();
                QPainter layer(&masked);
                layer.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                layer.drawImage(0, 0, coverage);
                layer.end();
                QPainter painter(&byQt);
                painter.drawImage(at, masked);
            }
            for (const bool vectors : { true, false }) {
                for (const bool workers : { true, false }) {
                    PixelVectors::setEnabled(vectors);
                    RowWorkers::setEnabled(workers);
                    QImage ours = below.copy();
                    {
                        QPainter painter(&ours);
                        QVERIFY(MaskCompositor::composite(painter, at, content, coverage));
                    }
                    QVERIFY2(ours == byQt, qPrintable(QStringLiteral("round %1").arg(round)));
                }
            }
            PixelVectors::setEnabled(true);
            RowWorkers::setEnabled(true);
        }
        // A painter it cannot draw through exactly is left to Qt.
        QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
        QPainter clipped(&image);
        clipped.setClipRect(2, 2, 3, 3);
        QVERIFY(!MaskCompositor::composite(clipped, {}, image, image));
    }
};

QTEST_GUILESS_MAIN(PixelVectorsTest)
#include "tst_pixel_vectors.moc"
