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
#include <algorithm>
#include <limits>
#include <random>
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

// The results of `work` with the eight-pixel (AVX2) loops, with the four- and two-pixel ones
// only, and with the scalar code. Where the processor has no AVX2, the first is the second.
template <typename Work>
struct ThreeWays {
    decltype(std::declval<Work>()()) wide;
    decltype(std::declval<Work>()()) narrow;
    decltype(std::declval<Work>()()) scalar;
};

template <typename Work>
ThreeWays<Work> allWays(Work&& work)
{
    PixelVectors::setEnabled(true);
    PixelVectors::setWide(true);
    auto wide = work();
    PixelVectors::setWide(false);
    auto narrow = work();
    PixelVectors::setEnabled(false);
    PixelVectors::setWide(true);
    auto scalar = work();
    PixelVectors::setEnabled(true);
    return { std::move(wide), std::move(narrow), std::move(scalar) };
}

// The first pixel where the wide or the narrow result is not the scalar one, described, or an
// empty string when all three are the same.
template <typename Ways>
QString firstDifference(const Ways& ways, int round)
{
    if (ways.wide.size() != ways.scalar.size() || ways.narrow.size() != ways.scalar.size())
        return QStringLiteral("round %1: results of different lengths").arg(round);
    for (std::size_t index = 0; index < ways.scalar.size(); ++index) {
        for (const auto* way : { &ways.wide, &ways.narrow }) {
            if ((*way)[index] != ways.scalar[index])
                return QStringLiteral("round %1, pixel %2: %3 from the %4 code, %5 from the scalar one")
                    .arg(round)
                    .arg(index)
                    .arg((*way)[index], 8, 16, QLatin1Char('0'))
                    .arg(way == &ways.wide ? QStringLiteral("wide") : QStringLiteral("narrow"))
                    .arg(ways.scalar[index], 8, 16, QLatin1Char('0'));
        }
    }
    return {};
}

#define COMPARE_WAYS(ways, round)                                                                                      \
    do {                                                                                                               \
        const QString difference = firstDifference(ways, round);                                                       \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));                                                        \
    } while (false)

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
    // one, and the shortest runs are blended inline), at every alignment, under every coverage,
    // of one colour and of many.
    void blendedRunsMatchTheScalarCode()
    {
        QRandomGenerator random(11);
        for (int round = 0; round < 3000; ++round) {
            const int length = random.bounded(0, 40);
            const int offset = random.bounded(0, 8);
            std::vector<QRgb> below = randomPixels(random, length + offset);
            // A layer's first shape goes over clear pixels, here and there one that is not.
            if (round % 4 == 1) {
                std::fill(below.begin(), below.end(), 0u);
                if (length > 0 && round % 8 == 1)
                    below[std::size_t(offset + random.bounded(length))] = randomPixel(random);
            }
            const std::vector<QRgb> colors = randomPixels(random, length);
            const int coverage = random.bounded(4) == 0 ? 255 : random.bounded(1, 256);
            const QRgb solid = randomPixel(random);
            const bool oneColor = round % 2 == 0;
            const auto ways = allWays([&] {
                std::vector<QRgb> pixels = below;
                if (oneColor)
                    RunBlender::blendSolidRun(pixels.data() + offset, length, solid, coverage);
                else
                    RunBlender::blendColorsRun(pixels.data() + offset, colors.data(), length, coverage);
                return pixels;
            });
            COMPARE_WAYS(ways, round);
            // Short runs are blended inline instead, to the same pixels.
            std::vector<QRgb> pixels = below;
            if (oneColor)
                RunBlender::blendSolid(pixels.data() + offset, length, solid, coverage);
            else
                RunBlender::blendColors(pixels.data() + offset, colors.data(), length, coverage);
            QVERIFY2(pixels == ways.scalar, qPrintable(QStringLiteral("round %1, length %2").arg(round).arg(length)));
        }
        // The scalar code is source over as Qt draws it: a colour over grey, half covered.
        QRgb pixel = qRgb(100, 100, 100);
        RunBlender::blendSolid(&pixel, 1, qRgba(0, 0, 200, 255), 128);
        QCOMPARE(pixel, qRgb(50, 50, 150));
    }

    // Pixels at scattered columns of a row, each under its own coverage and colour, any number
    // of them (the vector code takes eight at a time, the last group cut short), in any order:
    // the same pixels as the scalar code, and the columns not listed untouched.
    void scatteredPixelsMatchTheScalarCode()
    {
        QRandomGenerator random(31);
        for (int round = 0; round < 2000; ++round) {
            const int width = random.bounded(1, 90);
            const std::vector<QRgb> below = randomPixels(random, width);
            std::vector<int> columns;
            for (int column = 0; column < width; ++column) {
                if (random.bounded(3) == 0)
                    columns.push_back(column);
            }
            std::shuffle(columns.begin(), columns.end(), std::mt19937(random.generate()));
            const int count = static_cast<int>(columns.size());
            std::vector<QRgb> colors = randomPixels(random, count);
            std::vector<int> coverages(columns.size());
            for (int& coverage : coverages)
                coverage = random.bounded(3) == 0 ? 255 : random.bounded(1, 256);
            // Room for the vector code's last group of eight.
            columns.resize(columns.size() + 8, 0);
            colors.resize(colors.size() + 8, 0);
            coverages.resize(coverages.size() + 8, 0);
            const auto ways = allWays([&] {
                std::vector<QRgb> pixels = below;
                RunBlender::blendScattered(pixels.data(), columns.data(), colors.data(), coverages.data(), count);
                return pixels;
            });
            COMPARE_WAYS(ways, round);
            std::vector<QRgb> expected = below;
            for (int index = 0; index < count; ++index) {
                QRgb& pixel = expected[static_cast<std::size_t>(columns[static_cast<std::size_t>(index)])];
                RunBlender::blendColorsRun(&pixel, &colors[static_cast<std::size_t>(index)], 1, coverages[static_cast<std::size_t>(index)]);
            }
            QVERIFY2(ways.wide == expected, qPrintable(QStringLiteral("round %1, %2 pixels").arg(round).arg(count)));
        }
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
            const auto ways = allWays([&] {
                std::vector<QRgb> colors(static_cast<std::size_t>(length));
                shader.shade(x, y, length, colors.data());
                return colors;
            });
            COMPARE_WAYS(ways, round);
            for (int index = 0; index < length; ++index) {
                // A pixel alone starts from the first tile and finds its own.
                QRgb alone = 0;
                shader.shade(x + index, y, 1, &alone);
                QVERIFY2(alone == ways.scalar[std::size_t(index)], qPrintable(describe(round, index)));
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
            const auto ways = allWays([&] {
                std::vector<QRgb> colors(static_cast<std::size_t>(length));
                shader.shade(x, y, length, colors.data());
                return colors;
            });
            COMPARE_WAYS(ways, round);
            compared += length;
        }
        QVERIFY(compared > 20000);
    }

    // Every run length from none to 40 pixels and some long ones, written at every alignment, for
    // each kind of fill and for masked rows: the eight-pixel loops leave the last pixels to the
    // narrower code, which must take up at the right pixel. Smoothed bitmaps both wholly inside a
    // magnified image (texels taken as they are) and crossing its edges, repeated and held, images
    // of three texels, of one and of powers of two, a minified one and nearest texels; gradients
    // under every spread.
    void runsOfEveryLengthAndAlignment()
    {
        QRandomGenerator random(17);
        const QImage large = randomImage(random, 61, 47);
        const QImage tiny = randomImage(random, 3, 1);
        const QImage single = randomImage(random, 1, 1);
        const QImage powersOfTwo = randomImage(random, 16, 8);
        const QTransform magnified = QTransform().translate(-40.5, -30.25).scale(5.3, 4.9);
        const QTransform turned = QTransform().translate(13, -7).rotate(33).scale(2.7, 3.1);
        std::vector<FillShader> shaders {
            FillShader::bitmap(large, magnified, false, true),
            FillShader::bitmap(large, magnified, true, true),
            FillShader::bitmap(large, turned, false, true),
            FillShader::bitmap(large, turned, true, true),
            FillShader::bitmap(large, QTransform().rotate(-160).scale(0.37, 0.41), false, true),
            FillShader::bitmap(tiny, QTransform().rotate(-20).scale(1.7, 2.3), false, true),
            FillShader::bitmap(tiny, QTransform().rotate(-20).scale(1.7, 2.3), true, true),
            FillShader::bitmap(single, turned, false, true),
            FillShader::bitmap(powersOfTwo, turned, false, true),
            FillShader::bitmap(powersOfTwo, QTransform().translate(-3, 5).scale(0.6, 0.7), false, false),
            FillShader::bitmap(large, turned, false, false),
        };
        QGradientStops stops;
        stops.append({ 0.0, QColor(200, 10, 30) });
        stops.append({ 0.4, QColor(20, 200, 90, 120) });
        stops.append({ 1.0, QColor(0, 40, 250) });
        for (const auto spread : { QGradient::PadSpread, QGradient::RepeatSpread, QGradient::ReflectSpread }) {
            const auto ramp = GradientRamp::fromStops(stops, spread, QGradient::ComponentInterpolation);
            shaders.push_back(FillShader::linear(ramp, { -10, 0 }, { 30, 5 }, QTransform().rotate(15)));
            shaders.push_back(FillShader::radial(ramp, { 0, 0 }, 40, { 0, 0 }, QTransform().translate(50, 20)));
            shaders.push_back(FillShader::radial(ramp, { 0, 0 }, 40, { 15, -22 }, QTransform().translate(50, 20)));
        }
        std::vector<int> lengths;
        for (int length = 0; length <= 40; ++length)
            lengths.push_back(length);
        lengths.insert(lengths.end(), { 63, 64, 65, 333, 1000 });
        int round = 0;
        for (const FillShader& shader : shaders) {
            for (const int length : lengths) {
                for (int offset = 0; offset < 8; ++offset, ++round) {
                    const int x = random.bounded(-30, 200);
                    const int y = random.bounded(-30, 150);
                    const auto ways = allWays([&] {
                        std::vector<QRgb> colors(static_cast<std::size_t>(length + offset + 1), 0x12345678u);
                        shader.shade(x, y, length, colors.data() + offset);
                        return colors;
                    });
                    COMPARE_WAYS(ways, round);
                    // Nothing written beyond the run.
                    QCOMPARE(ways.wide.back(), QRgb(0x12345678u));
                }
            }
        }
        for (const int length : lengths) {
            for (int offset = 0; offset < 8; ++offset, ++round) {
                const std::vector<QRgb> below = randomPixels(random, length + offset);
                std::vector<QRgb> content = randomPixels(random, length);
                std::vector<QRgb> coverage = randomPixels(random, length);
                // Runs of eight wholly uncovered or wholly covered, as masks mostly are, and
                // content with nothing drawn here and there.
                if (length > 16) {
                    std::fill(coverage.begin() + 1, coverage.begin() + 9, 0u);
                    std::fill(coverage.begin() + 9, coverage.begin() + 17, 0xff000000u);
                }
                if (length > 30)
                    std::fill(content.begin() + 5 + offset, content.begin() + 30, 0u);
                const auto ways = allWays([&] {
                    std::vector<QRgb> pixels = below;
                    MaskCompositor::compositeRow(pixels.data() + offset, content.data(), coverage.data(), length);
                    return pixels;
                });
                COMPARE_WAYS(ways, round);
            }
        }
    }

    // The rectangle a mask's coverage covers holds every pixel whose alpha is not 0 and is no
    // larger: single pixels, specks near every edge, lines, empty layers, within any part of it.
    void coveredAreaIsTheBoundsOfCoveredPixels()
    {
        QRandomGenerator random(23);
        for (int round = 0; round < 400; ++round) {
            QImage coverage(random.bounded(1, 70), random.bounded(1, 40), QImage::Format_ARGB32_Premultiplied);
            coverage.fill(0u);
            const int specks = round % 10 == 0 ? 0 : random.bounded(1, 6);
            for (int speck = 0; speck < specks; ++speck) {
                const int x = random.bounded(coverage.width());
                const int y = random.bounded(coverage.height());
                const int length = random.bounded(1, 12);
                for (int index = 0; index < length && x + index < coverage.width(); ++index)
                    coverage.setPixel(x + index, y, qPremultiply(qRgba(0, 0, 0, random.bounded(1, 256))));
            }
            // Colour without alpha is not coverage.
            coverage.setPixel(random.bounded(coverage.width()), random.bounded(coverage.height()), 0x00ffffffu);
            const QRect area = round % 3 == 0
                ? coverage.rect()
                : QRect(random.bounded(-5, coverage.width()), random.bounded(-5, coverage.height()), random.bounded(0, 80),
                        random.bounded(0, 50));
            QRect expected;
            for (int y = 0; y < coverage.height(); ++y)
                for (int x = 0; x < coverage.width(); ++x)
                    if (area.contains(x, y) && qAlpha(coverage.pixel(x, y)) != 0)
                        expected |= QRect(x, y, 1, 1);
            const QRect found = MaskCompositor::coveredArea(coverage, area);
            QVERIFY2(found == expected || (found.isEmpty() && expected.isEmpty()),
                     qPrintable(QStringLiteral("round %1: %2,%3 %4x%5 instead of %6,%7 %8x%9")
                                    .arg(round)
                                    .arg(found.x())
                                    .arg(found.y())
                                    .arg(found.width())
                                    .arg(found.height())
                                    .arg(expected.x())
                                    .arg(expected.y())
                                    .arg(expected.width())
                                    .arg(expected.height())));
        }
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
            for (const int vectors : { 2, 1, 0 }) {
                for (const bool workers : { true, false }) {
                    PixelVectors::setEnabled(vectors > 0);
                    PixelVectors::setWide(vectors > 1);
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
            PixelVectors::setWide(true);
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
