#include "player/render/CoverageFill.h"
#include "player/render/FillShader.h"
#include "player/render/GradientRamp.h"
#include "player/render/RowWorkers.h"

#include <QtTest>

#include <QRandomGenerator>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

using namespace player::render;

namespace {

QRgb randomColor(QRandomGenerator& random, bool opaque)
{
    const int alpha = opaque ? 255 : random.bounded(1, 256);
    return qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), alpha));
}

QPointF randomPoint(QRandomGenerator& random, double extent)
{
    return { random.bounded(extent * 1.4) - extent * 0.2, random.bounded(extent * 1.4) - extent * 0.2 };
}

// A closed outline of lines and curves over most of a square of `extent` pixels.
QPainterPath randomPath(QRandomGenerator& random, double extent)
{
    QPainterPath path;
    path.setFillRule(random.bounded(2) ? Qt::OddEvenFill : Qt::WindingFill);
    path.moveTo(randomPoint(random, extent));
    const int segments = random.bounded(3, 9);
    for (int index = 0; index < segments; ++index) {
        if (random.bounded(2))
            path.lineTo(randomPoint(random, extent));
        else
            path.quadTo(randomPoint(random, extent), randomPoint(random, extent));
    }
    path.closeSubpath();
    return path;
}

QTransform randomTransform(QRandomGenerator& random)
{
    const double angle = random.bounded(360.0);
    const double scale = 0.2 + random.bounded(4.0);
    return QTransform().translate(random.bounded(300.0), random.bounded(300.0)).rotate(angle).scale(scale, scale * (0.5 + random.bounded(1.0)));
}

FillShader randomShader(QRandomGenerator& random)
{
    const bool opaque = random.bounded(2);
    switch (random.bounded(4)) {
    case 0:
        return FillShader::solid(randomColor(random, opaque));
    case 1:
    case 2: {
        QGradientStops stops;
        stops.append({ 0.0, QColor::fromRgba(qUnpremultiply(randomColor(random, opaque))) });
        stops.append({ random.bounded(1.0), QColor::fromRgba(qUnpremultiply(randomColor(random, opaque))) });
        stops.append({ 1.0, QColor::fromRgba(qUnpremultiply(randomColor(random, opaque))) });
        const auto spread = static_cast<QGradient::Spread>(random.bounded(3));
        auto ramp = GradientRamp::fromStops(stops, spread, QGradient::ComponentInterpolation);
        if (random.bounded(2))
            return FillShader::linear(ramp, { 0, 0 }, { 40, 10 }, randomTransform(random));
        return FillShader::radial(ramp, { 0, 0 }, 50, { 10, 5 }, randomTransform(random));
    }
    default: {
        QImage image(random.bounded(1, 40), random.bounded(1, 40), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, randomColor(random, opaque));
        return FillShader::bitmap(image, randomTransform(random), random.bounded(2), random.bounded(2));
    }
    }
}

// Draws the same random scene (a background and a few dozen fills, most of them large) with
// the worker thread allowed or not.
QImage drawScene(quint32 seed, bool workers)
{
    RowWorkers::setEnabled(workers);
    QRandomGenerator random(seed);
    QImage image(512, 384, QImage::Format_ARGB32_Premultiplied);
    image.fill(random.bounded(2) ? 0u : randomColor(random, true));
    const int fills = random.bounded(10, 40);
    for (int index = 0; index < fills; ++index) {
        const QPainterPath path = randomPath(random, random.bounded(2) ? 600.0 : 60.0);
        const FillShader shader = randomShader(random);
        const QRect target = random.bounded(4) ? image.rect() : QRect(random.bounded(200), random.bounded(200), 300, 150);
        CoverageFill::fill(image, target, path, shader, QTransform());
    }
    RowWorkers::setEnabled(true);
    return image;
}

// Which threads ran the two parts of a split, and how often each ran.
struct PartsRun {
    std::atomic<int> runs[2] { 0, 0 };
    std::thread::id threads[2];

    auto recorder()
    {
        return [this](int part) {
            ++runs[part];
            threads[part] = std::this_thread::get_id();
        };
    }
};

} // namespace

class RowWorkersTest : public QObject {
    Q_OBJECT

private slots:
    // Both parts of a split run exactly once, on two threads when the workers are on, and both
    // on the caller's thread when they are off; callers on several threads at once all finish,
    // each part once, whether or not they get the worker.
    void splitRunsEachPartOnce()
    {
        if (std::thread::hardware_concurrency() < 2)
            QSKIP("one processor core: the worker is never used");
        for (const bool enabled : { true, false }) {
            RowWorkers::setEnabled(enabled);
            PartsRun parts;
            RowWorkers::split(parts.recorder());
            QCOMPARE(parts.runs[0].load(), 1);
            QCOMPARE(parts.runs[1].load(), 1);
            QCOMPARE(parts.threads[0], std::this_thread::get_id());
            QCOMPARE(parts.threads[1] != std::this_thread::get_id(), enabled);
        }
        RowWorkers::setEnabled(true);

        std::atomic<int> parts { 0 };
        std::vector<std::thread> callers;
        for (int caller = 0; caller < 4; ++caller)
            callers.emplace_back([&parts] {
                for (int round = 0; round < 200; ++round)
                    RowWorkers::split([&parts](int part) { parts += part + 1; });
            });
        for (std::thread& caller : callers)
            caller.join();
        QCOMPARE(parts.load(), 4 * 200 * 3);
    }

    // Shared items run exactly once each, thread 0 being the caller; a split inside an item (a
    // large fill inside a band) runs both its parts there and then, without waiting for the
    // worker that may be running the other item, and a trySplit there runs nothing and says so
    // (the item then does its whole job in one piece), on either thread.
    void shareRunsEachItemOnce()
    {
        for (const bool enabled : { true, false }) {
            RowWorkers::setEnabled(enabled);
            for (const int count : { 0, 1, 2, 7, 100 }) {
                std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
                std::atomic<int> nestedParts { 0 };
                std::atomic<int> triedParts { 0 };
                std::atomic<int> refusedTries { 0 };
                std::atomic<bool> callerOnly { true };
                const std::thread::id caller = std::this_thread::get_id();
                RowWorkers::share(count, [&](int item, int thread) {
                    ++runs[static_cast<std::size_t>(item)];
                    if (thread == 0 && std::this_thread::get_id() != caller)
                        callerOnly = false;
                    RowWorkers::split([&](int part) { nestedParts += part + 1; });
                    if (!RowWorkers::trySplit([&](int part) { triedParts += part + 1; }))
                        ++refusedTries;
                });
                for (const std::atomic<int>& run : runs)
                    QCOMPARE(run.load(), 1);
                QCOMPARE(nestedParts.load(), 3 * count);
                QCOMPARE(triedParts.load(), 0);
                QCOMPARE(refusedTries.load(), count);
                QVERIFY(callerOnly.load());
            }
        }
        RowWorkers::setEnabled(true);
    }

    // Outside any part, trySplit takes the free worker and runs each part once, on two threads;
    // switched off, it runs nothing.
    void trySplitUsesAFreeWorker()
    {
        if (std::thread::hardware_concurrency() < 2)
            QSKIP("one processor core: the worker is never used");
        for (const bool enabled : { true, false }) {
            RowWorkers::setEnabled(enabled);
            PartsRun parts;
            const bool split = RowWorkers::trySplit(parts.recorder());
            QCOMPARE(split, enabled);
            QCOMPARE(parts.runs[0].load(), enabled ? 1 : 0);
            QCOMPARE(parts.runs[1].load(), enabled ? 1 : 0);
            if (enabled)
                QVERIFY(parts.threads[0] == std::this_thread::get_id() && parts.threads[1] != parts.threads[0]);
        }
        RowWorkers::setEnabled(true);
    }

    // Random scenes of solid, gradient and bitmap fills come out the same to the last bit
    // whether large fills are split between two threads or drawn on one.
    void splitFillsMatchOneThread()
    {
        for (quint32 seed = 1; seed <= 24; ++seed) {
            const QImage split = drawScene(seed, true);
            const QImage single = drawScene(seed, false);
            QVERIFY2(split == single, qPrintable(QStringLiteral("scene %1 differs").arg(seed)));
            // A scene that draws nothing would compare equal whatever the workers did.
            std::set<QRgb> colors;
            for (int y = 0; y < split.height(); y += 7)
                for (int x = 0; x < split.width(); x += 7)
                    colors.insert(split.pixel(x, y));
            QVERIFY(colors.size() > 10);
        }
    }
};

QTEST_GUILESS_MAIN(RowWorkersTest)
#include "tst_row_workers.moc"
