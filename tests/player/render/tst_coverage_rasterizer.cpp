#include "player/render/CoverageFill.h"
#include "player/render/CoverageRasterizer.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>
#include <map>
#include <tuple>

#include <cmath>

using namespace player::render;

namespace {

// A background of varied, valid premultiplied pixels, so that blending shows every rounding.
QImage noise(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = random.bounded(256);
            line[x] = qRgba(random.bounded(alpha + 1), random.bounded(alpha + 1), random.bounded(alpha + 1), alpha);
        }
    }
    return image;
}

struct Difference {
    int pixels = 0;
    int largest = 0;
    QPoint first;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference difference;
    for (int y = 0; y < a.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (lineA[x] == lineB[x])
                continue;
            if (difference.pixels++ == 0)
                difference.first = QPoint(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                const int channel = std::abs(int((lineA[x] >> shift) & 0xff) - int((lineB[x] >> shift) & 0xff));
                difference.largest = std::max(difference.largest, channel);
            }
        }
    }
    return difference;
}

QPointF randomPoint(QRandomGenerator& random, const QRectF& area)
{
    return QPointF(area.left() + random.generateDouble() * area.width(), area.top() + random.generateDouble() * area.height());
}

// A random outline: straight and curved pieces, often crossing themselves, sometimes several
// subpaths, some left open.
QPainterPath randomPath(QRandomGenerator& random, const QRectF& area)
{
    QPainterPath path;
    const int subpaths = 1 + random.bounded(3);
    for (int subpath = 0; subpath < subpaths; ++subpath) {
        path.moveTo(randomPoint(random, area));
        const int pieces = 2 + random.bounded(12);
        for (int piece = 0; piece < pieces; ++piece) {
            switch (random.bounded(3)) {
            case 0:
                path.lineTo(randomPoint(random, area));
                break;
            case 1:
                path.quadTo(randomPoint(random, area), randomPoint(random, area));
                break;
            default:
                path.cubicTo(randomPoint(random, area), randomPoint(random, area), randomPoint(random, area));
                break;
            }
        }
        if (random.bounded(2) == 0)
            path.closeSubpath();
    }
    path.setFillRule(random.bounded(2) == 0 ? Qt::WindingFill : Qt::OddEvenFill);
    return path;
}

QColor randomColor(QRandomGenerator& random)
{
    const int alpha = random.bounded(4) == 0 ? 255 : random.bounded(256);
    return QColor(random.bounded(256), random.bounded(256), random.bounded(256), alpha);
}

// Fills `path` both ways onto copies of `background` and compares them.
Difference fillBothWays(const QImage& background, const QPainterPath& path, const QTransform& transform, const QColor& color)
{
    QImage byQt = background.copy();
    {
        QPainter painter(&byQt);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(transform);
        painter.fillPath(path, color);
    }
    QImage byCoverage = background.copy();
    {
        QPainter painter(&byCoverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(transform);
        if (!CoverageFill::fill(painter, path, QBrush(color), transform))
            return Difference{ -1, 0, {} };
    }
    return compare(byQt, byCoverage);
}

} // namespace

class CoverageRasterizerTest : public QObject {
    Q_OBJECT

private slots:
    void randomPathsMatchQtPixelForPixel_data();
    void randomPathsMatchQtPixelForPixel();
    void transformedPathsMatchQt();
    void shapesOfEveryScaleMatchQt();
    void fillRulesDifferWhereOutlinesOverlap();
    void premultipliedColoursMatchQt();
    void coverageFollowsTheFillRule();
    void paintersItCannotMatchAreLeftToQt();
    void spansStayWithinTheTarget();
    void rowsDoNotDependOnTheRowsAroundThem();
    void columnsDoNotDependOnTheColumnsAroundThem();
    void linesCutByTheTargetKeepTheirSteps();
    void farCoordinatesMatchQt_data();
    void farCoordinatesMatchQt();
    void wideTargetsMatchQt();
    void pathsOutOfRangeAreLeftToQt();
    void thinAndLongShapesMatchQt();
    void rowsKeepEdgePixelsApartFromRuns();
    void rowsDoNotDependOnWhatTheSinkLeftBehind();
};

void CoverageRasterizerTest::randomPathsMatchQtPixelForPixel_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QRectF>("area");
    QTest::newRow("within") << 1u << QRectF(4, 4, 120, 90);
    QTest::newRow("beyond every edge") << 2u << QRectF(-60, -50, 250, 200);
    QTest::newRow("tiny") << 3u << QRectF(40.3, 30.7, 3.2, 2.9);
    QTest::newRow("one row") << 4u << QRectF(-10, 50.2, 150, 0.6);
    QTest::newRow("one column") << 5u << QRectF(70.1, -10, 0.7, 120);
    QTest::newRow("far off to the left") << 6u << QRectF(-400, -20, 380, 140);
}

void CoverageRasterizerTest::randomPathsMatchQtPixelForPixel()
{
    QFETCH(quint32, seed);
    QFETCH(QRectF, area);
    QRandomGenerator random(seed);
    const QImage background = noise(QSize(128, 100), seed);
    for (int round = 0; round < 60; ++round) {
        const QPainterPath path = randomPath(random, area);
        const Difference difference = fillBothWays(background, path, QTransform(), randomColor(random));
        QVERIFY2(difference.pixels == 0,
                 qPrintable(QStringLiteral("round %1: %2 pixels differ, by up to %3, first at (%4, %5)")
                                .arg(round)
                                .arg(difference.pixels)
                                .arg(difference.largest)
                                .arg(difference.first.x())
                                .arg(difference.first.y())));
    }
}

// Curves are flattened before the transform, to a tolerance that follows its scale.
void CoverageRasterizerTest::transformedPathsMatchQt()
{
    QRandomGenerator random(11);
    const QImage background = noise(QSize(160, 120), 11);
    for (int round = 0; round < 80; ++round) {
        const QPainterPath path = randomPath(random, QRectF(-20, -20, 40, 40));
        QTransform transform;
        transform.translate(80 + random.generateDouble() * 10, 60 + random.generateDouble() * 10);
        transform.rotate(random.generateDouble() * 360);
        transform.scale(0.2 + random.generateDouble() * 4, 0.2 + random.generateDouble() * 4);
        if (round % 3 == 0)
            transform.shear(random.generateDouble() - 0.5, 0);
        const Difference difference = fillBothWays(background, path, transform, randomColor(random));
        QVERIFY2(difference.pixels == 0, qPrintable(QStringLiteral("round %1: %2 pixels differ, by up to %3")
                                                        .arg(round)
                                                        .arg(difference.pixels)
                                                        .arg(difference.largest)));
    }
}

void CoverageRasterizerTest::shapesOfEveryScaleMatchQt()
{
    const QImage background = noise(QSize(300, 260), 21);
    for (const double radius : { 0.3, 1.7, 12.25, 140.0, 900.0 }) {
        for (const double offset : { 0.0, 0.125, 0.49, 0.73 }) {
            QPainterPath ellipse;
            ellipse.addEllipse(QPointF(150 + offset, 130 - offset), radius, radius * 0.6);
            QPainterPath ring = ellipse;
            ring.addEllipse(QPointF(150 + offset, 130 - offset), radius * 0.7, radius * 0.4);
            QPainterPath star;
            for (int point = 0; point < 11; ++point) {
                const double angle = point * 4 * M_PI / 11;
                const QPointF at(150 + offset + radius * std::cos(angle), 130 + radius * std::sin(angle));
                point == 0 ? star.moveTo(at) : star.lineTo(at);
            }
            for (const QPainterPath& path : { ellipse, ring, star }) {
                const Difference difference = fillBothWays(background, path, QTransform(), QColor(30, 200, 90, 180));
                QVERIFY2(difference.pixels == 0, qPrintable(QStringLiteral("radius %1, offset %2: %3 pixels differ")
                                                                .arg(radius)
                                                                .arg(offset)
                                                                .arg(difference.pixels)));
            }
        }
    }
}

void CoverageRasterizerTest::fillRulesDifferWhereOutlinesOverlap()
{
    QPainterPath twice;
    twice.addRect(QRectF(2, 2, 10, 10));
    twice.addRect(QRectF(2, 2, 10, 10));
    for (const Qt::FillRule rule : { Qt::WindingFill, Qt::OddEvenFill }) {
        twice.setFillRule(rule);
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QVERIFY(CoverageFill::fill(painter, twice, QBrush(Qt::black), QTransform()));
        painter.end();
        QCOMPARE(qAlpha(image.pixel(6, 6)), rule == Qt::WindingFill ? 255 : 0);
        QCOMPARE(qAlpha(image.pixel(13, 6)), 0);
    }
}

// Every colour and alpha a shape can have, premultiplied as Qt premultiplies a solid brush.
void CoverageRasterizerTest::premultipliedColoursMatchQt()
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        for (int alpha = 0; alpha < 256; ++alpha)
            for (int value = 0; value < 256; ++value)
                painter.fillRect(QRect(value, alpha, 1, 1), QColor(value, 255 - value, value / 2, alpha));
    }
    for (int alpha = 0; alpha < 256; ++alpha) {
        for (int value = 0; value < 256; ++value) {
            const QRgb expected = image.pixel(value, alpha);
            const QRgb made = CoverageFill::premultipliedColor(QColor(value, 255 - value, value / 2, alpha));
            if (made != expected)
                QFAIL(qPrintable(QStringLiteral("value %1 alpha %2: %3 instead of %4")
                                     .arg(value)
                                     .arg(alpha)
                                     .arg(made, 8, 16)
                                     .arg(expected, 8, 16)));
        }
    }
}

void CoverageRasterizerTest::coverageFollowsTheFillRule()
{
    const std::int64_t whole = 2 * 256 * 256;
    QCOMPARE(CoverageRasterizer::coverageOf(whole, false), 255);
    QCOMPARE(CoverageRasterizer::coverageOf(-whole, false), 255);
    QCOMPARE(CoverageRasterizer::coverageOf(2 * whole, false), 255);
    QCOMPARE(CoverageRasterizer::coverageOf(whole / 2, false), 128);
    QCOMPARE(CoverageRasterizer::coverageOf(whole, true), 255);
    QCOMPARE(CoverageRasterizer::coverageOf(2 * whole, true), 0);
    QCOMPARE(CoverageRasterizer::coverageOf(whole + whole / 4, true), 192);
    QCOMPARE(CoverageRasterizer::coverageOf(-1, false), 1);
}

void CoverageRasterizerTest::paintersItCannotMatchAreLeftToQt()
{
    QPainterPath square;
    square.addRect(QRectF(1.5, 1.5, 5, 5));
    const auto drawsWith = [&](const std::function<void(QPainter&)>& setUp, QImage::Format format = QImage::Format_ARGB32_Premultiplied,
                               const QBrush& brush = QBrush(Qt::red)) {
        QImage image(10, 10, format);
        image.fill(Qt::transparent);
        const QImage before = image.copy();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        setUp(painter);
        const bool drew = CoverageFill::fill(painter, square, brush, painter.worldTransform());
        painter.end();
        // Whatever it declines, it leaves untouched.
        return drew || image != before;
    };
    QVERIFY(drawsWith([](QPainter&) {}));
    QVERIFY(!drawsWith([](QPainter& painter) { painter.setClipRect(0, 0, 5, 5); }));
    QVERIFY(!drawsWith([](QPainter& painter) { painter.setOpacity(0.5); }));
    QVERIFY(!drawsWith([](QPainter& painter) { painter.setCompositionMode(QPainter::CompositionMode_Plus); }));
    QVERIFY(!drawsWith([](QPainter& painter) { painter.setRenderHint(QPainter::Antialiasing, false); }));
    QVERIFY(!drawsWith([](QPainter&) {}, QImage::Format_RGB32));
    QVERIFY(!drawsWith([](QPainter&) {}, QImage::Format_ARGB32_Premultiplied, QBrush(QLinearGradient(0, 0, 5, 5))));
    QVERIFY(!drawsWith([](QPainter& painter) {
        QTransform perspective;
        perspective.setMatrix(1, 0, 0.01, 0, 1, 0, 0, 0, 1);
        painter.setTransform(perspective);
    }));
}

void CoverageRasterizerTest::spansStayWithinTheTarget()
{
    QPainterPath big;
    big.addEllipse(QPointF(5, 5), 40, 30);
    CoverageRasterizer rasterizer;
    const QRect target(2, 3, 7, 4);
    int rows = 0;
    rasterizer.fill(big, QTransform(), target, [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        QVERIFY(y >= target.top() && y <= target.bottom());
        QCOMPARE(spans.size(), std::size_t(1));
        QCOMPARE(spans[0].x, target.left());
        QCOMPARE(spans[0].length, target.width());
        QCOMPARE(spans[0].coverage, 255);
        ++rows;
    });
    QCOMPARE(rows, target.height());
}

// Large fills are converted in two bands of rows on two threads: a row's spans must be the
// same whatever other rows the target keeps, for random outlines cut at any row, including
// rows that curves and lines only cross and rows above or below the whole path.
void CoverageRasterizerTest::rowsDoNotDependOnTheRowsAroundThem()
{
    using Rows = std::map<int, std::vector<std::tuple<int, int, int>>>;
    CoverageRasterizer rasterizer;
    const auto convert = [&rasterizer](const QPainterPath& path, const QTransform& transform, const QRect& target,
                                       Rows& rows) {
        rasterizer.fill(path, transform, target, [&rows](int y, std::span<const CoverageRasterizer::Span> spans) {
            for (const CoverageRasterizer::Span& span : spans)
                rows[y].emplace_back(span.x, span.length, span.coverage);
        });
    };
    QRandomGenerator random(17);
    const QRect whole(0, 0, 160, 120);
    int rowsCompared = 0;
    for (int round = 0; round < 300; ++round) {
        const QPainterPath path = randomPath(random, QRectF(-30, -30, 220, 180));
        const QTransform transform = QTransform()
                                         .translate(random.bounded(40.0), random.bounded(40.0))
                                         .rotate(random.bounded(360.0))
                                         .scale(0.3 + random.bounded(1.5), 0.3 + random.bounded(1.5));
        Rows inOne;
        convert(path, transform, whole, inOne);
        const int cut = random.bounded(0, whole.height() + 1);
        Rows inTwo;
        convert(path, transform, QRect(0, 0, whole.width(), cut), inTwo);
        convert(path, transform, QRect(0, cut, whole.width(), whole.height() - cut), inTwo);
        QVERIFY2(inOne == inTwo, qPrintable(QStringLiteral("round %1, cut at row %2").arg(round).arg(cut)));
        rowsCompared += int(inOne.size());
    }
    QVERIFY(rowsCompared > 5000);
}

namespace {

// Coverage per pixel of a conversion, by row and column.
using CoverageMap = std::map<std::pair<int, int>, int>;

CoverageMap convertToMap(CoverageRasterizer& rasterizer, const QPainterPath& path, const QTransform& transform,
                         const QRect& target)
{
    CoverageMap coverage;
    rasterizer.fill(path, transform, target, [&coverage](int y, std::span<const CoverageRasterizer::Span> spans) {
        int end = std::numeric_limits<int>::min();
        for (const CoverageRasterizer::Span& span : spans) {
            // Runs come left to right, apart, none empty and none fully transparent.
            if (span.x < end || span.length <= 0 || span.coverage <= 0 || span.coverage > 255)
                coverage[{ y, std::numeric_limits<int>::min() }] = -1;
            end = span.x + span.length;
            for (int x = span.x; x < end; ++x)
                coverage[{ y, x }] = span.coverage;
        }
    });
    return coverage;
}

// The pixels of `whole` within `target`.
CoverageMap within(const CoverageMap& whole, const QRect& target)
{
    CoverageMap kept;
    for (const auto& [at, value] : whole)
        if (target.contains(at.second, at.first))
            kept.emplace(at, value);
    return kept;
}

} // namespace

// A target may be cut to any columns, down to one pixel: what lies left of it counts only by
// its winding, what lies right of it not at all, so every pixel kept is covered as in the whole.
void CoverageRasterizerTest::columnsDoNotDependOnTheColumnsAroundThem()
{
    CoverageRasterizer rasterizer;
    QRandomGenerator random(23);
    const QRect whole(0, 0, 150, 110);
    int pixelsCompared = 0;
    for (int round = 0; round < 300; ++round) {
        const QPainterPath path = randomPath(random, QRectF(-30, -30, 210, 170));
        const QTransform transform = QTransform()
                                         .translate(random.bounded(40.0), random.bounded(40.0))
                                         .rotate(random.bounded(360.0))
                                         .scale(0.3 + random.bounded(1.5), 0.3 + random.bounded(1.5));
        const CoverageMap inWhole = convertToMap(rasterizer, path, transform, whole);
        const int left = random.bounded(whole.width());
        QRect targets[] = {
            QRect(left, 0, 1, whole.height()),
            QRect(left, 0, random.bounded(1, whole.width() - left + 1), whole.height()),
            QRect(left, random.bounded(whole.height()), 1, 1),
            QRect(0, 0, left + 1, whole.height()),
            QRect(left, random.bounded(whole.height()), whole.width() - left, random.bounded(1, 4)),
        };
        for (const QRect& target : targets) {
            const CoverageMap inTarget = convertToMap(rasterizer, path, transform, target);
            QVERIFY2(inTarget == within(inWhole, target),
                     qPrintable(QStringLiteral("round %1, target %2 %3 %4 %5")
                                    .arg(round)
                                    .arg(target.x())
                                    .arg(target.y())
                                    .arg(target.width())
                                    .arg(target.height())));
            pixelsCompared += int(inTarget.size());
        }
    }
    QVERIFY(pixelsCompared > 100000);
}

// A line that starts above the target is taken up at the target's first row where stepping it
// from its start would have brought it: the carries of every row boundary it crosses above
// count. Zigzags of many short lines, a few rows high and at every slope, are cut at every row.
void CoverageRasterizerTest::linesCutByTheTargetKeepTheirSteps()
{
    CoverageRasterizer rasterizer;
    QRandomGenerator random(29);
    const QRect whole(0, 0, 64, 48);
    int pixelsCompared = 0;
    for (int round = 0; round < 24; ++round) {
        QPainterPath path;
        QPointF at = randomPoint(random, QRectF(whole));
        path.moveTo(at);
        for (int piece = 0; piece < 160; ++piece) {
            at = QPointF(std::clamp(at.x() + (random.generateDouble() * 6 - 3), -4.0, 68.0),
                         std::clamp(at.y() + (random.generateDouble() * 7 - 3.5), -4.0, 52.0));
            path.lineTo(at);
        }
        path.closeSubpath();
        path.setFillRule(round % 2 == 0 ? Qt::WindingFill : Qt::OddEvenFill);
        const CoverageMap inWhole = convertToMap(rasterizer, path, QTransform(), whole);
        for (int cut = 1; cut < whole.height(); ++cut) {
            const QRect lower(0, cut, whole.width(), whole.height() - cut);
            const CoverageMap inLower = convertToMap(rasterizer, path, QTransform(), lower);
            QVERIFY2(inLower == within(inWhole, lower), qPrintable(QStringLiteral("round %1, cut at row %2").arg(round).arg(cut)));
            pixelsCompared += int(inLower.size());
        }
    }
    QVERIFY(pixelsCompared > 100000);
}

void CoverageRasterizerTest::farCoordinatesMatchQt_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<double>("reach");
    QTest::newRow("thousands of pixels") << 31u << 5000.0;
    QTest::newRow("a hundred thousand pixels") << 32u << 1.0e5;
}

// Outlines with points far beyond every side of the image: lines that cross it steeply or
// flatly from far away, and parts wholly left, right, above or below it.
void CoverageRasterizerTest::farCoordinatesMatchQt()
{
    QFETCH(quint32, seed);
    QFETCH(double, reach);
    QRandomGenerator random(seed);
    const QImage background = noise(QSize(90, 70), seed);
    const QRectF near(-20, -20, 130, 110);
    const QRectF far(-reach, -reach, 2 * reach, 2 * reach);
    for (int round = 0; round < 80; ++round) {
        QPainterPath path;
        const int subpaths = 1 + random.bounded(3);
        for (int subpath = 0; subpath < subpaths; ++subpath) {
            path.moveTo(randomPoint(random, near));
            const int pieces = 2 + random.bounded(8);
            for (int piece = 0; piece < pieces; ++piece) {
                const QPointF to = randomPoint(random, random.bounded(3) == 0 ? far : near);
                if (random.bounded(4) == 0)
                    path.quadTo(randomPoint(random, near), to);
                else
                    path.lineTo(to);
            }
            path.closeSubpath();
        }
        path.setFillRule(round % 2 == 0 ? Qt::WindingFill : Qt::OddEvenFill);
        QVERIFY(CoverageRasterizer::handles(path, QTransform()));
        const Difference difference = fillBothWays(background, path, QTransform(), randomColor(random));
        QVERIFY2(difference.pixels == 0, qPrintable(QStringLiteral("round %1: %2 pixels differ, by up to %3")
                                                        .arg(round)
                                                        .arg(difference.pixels)
                                                        .arg(difference.largest)));
    }
}

// Rows thousands of pixels wide, with outlines crossing them many times.
void CoverageRasterizerTest::wideTargetsMatchQt()
{
    QRandomGenerator random(41);
    const QImage background = noise(QSize(2500, 24), 41);
    for (int round = 0; round < 12; ++round) {
        const QPainterPath path = randomPath(random, QRectF(-40, -8, 2580, 40));
        const Difference difference = fillBothWays(background, path, QTransform(), randomColor(random));
        QVERIFY2(difference.pixels == 0, qPrintable(QStringLiteral("round %1: %2 pixels differ, by up to %3")
                                                        .arg(round)
                                                        .arg(difference.pixels)
                                                        .arg(difference.largest)));
    }
}

void CoverageRasterizerTest::pathsOutOfRangeAreLeftToQt()
{
    QPainterPath far;
    far.moveTo(0, 0);
    far.lineTo(4.0e6, 10);
    far.lineTo(0, 20);
    QPainterPath near;
    near.addRect(QRectF(-1000, -1000, 3000, 2000));
    QVERIFY(!CoverageRasterizer::handles(far, QTransform()));
    QVERIFY(CoverageRasterizer::handles(near, QTransform()));
    QVERIFY(!CoverageRasterizer::handles(near, QTransform(std::nan(""), 0, 0, 1, 0, 0)));
    QVERIFY(!CoverageRasterizer::handles(near, QTransform::fromScale(5000, 1)));

    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QVERIFY(!CoverageFill::fill(painter, far, QBrush(Qt::black), QTransform()));
    QVERIFY(CoverageFill::fill(painter, near, QBrush(Qt::black), QTransform()));
    painter.end();
    QCOMPARE(image.pixel(3, 3), qRgba(0, 0, 0, 255));
}

// Slivers down to a hundredth of a pixel thick, at every 1/64 pixel offset, and lines
// thousands of pixels long at shallow and steep slopes, some crossing themselves.
void CoverageRasterizerTest::thinAndLongShapesMatchQt()
{
    QRandomGenerator random(53);
    const QImage background = noise(QSize(400, 300), 53);
    for (int round = 0; round < 128; ++round) {
        const double offset = (round % 64) / 64.0;
        const double thickness = round % 4 == 0 ? 0.01 : random.bounded(0.6);
        const double angle = random.bounded(2 * M_PI);
        const double length = round % 2 == 0 ? 3000 : 40 + random.bounded(300.0);
        const QPointF centre(200 + offset + random.bounded(8.0), 150 - offset + random.bounded(8.0));
        const QPointF along(std::cos(angle) * length / 2, std::sin(angle) * length / 2);
        const QPointF across(-std::sin(angle) * thickness / 2, std::cos(angle) * thickness / 2);
        QPainterPath path;
        path.moveTo(centre - along - across);
        path.lineTo(centre + along - across);
        // Every third sliver is twisted into a bow tie.
        if (round % 3 == 0) {
            path.lineTo(centre - along + across);
            path.lineTo(centre + along + across);
        } else {
            path.lineTo(centre + along + across);
            path.lineTo(centre - along + across);
        }
        path.closeSubpath();
        path.setFillRule(round % 5 < 2 ? Qt::OddEvenFill : Qt::WindingFill);
        const Difference difference = fillBothWays(background, path, QTransform(), randomColor(random));
        QVERIFY2(difference.pixels == 0, qPrintable(QStringLiteral("round %1: %2 pixels differ, by up to %3")
                                                        .arg(round)
                                                        .arg(difference.pixels)
                                                        .arg(difference.largest)));
    }
}

namespace {

// The coverage of every pixel of a conversion as its rows give it, checking on the way that
// edge pixels come in column order, runs in order and apart from each other and from the edge
// pixels, all within the target, none empty and none transparent; -1 at (y, INT_MIN) otherwise.
CoverageMap rowsToMap(CoverageRasterizer& rasterizer, const QPainterPath& path, const QTransform& transform,
                      const QRect& target, bool scribble)
{
    CoverageMap coverage;
    int lastY = std::numeric_limits<int>::min();
    rasterizer.fillRows(path, transform, target, [&](CoverageRasterizer::Row& row) {
        const auto wrong = [&] { coverage[{ row.y, std::numeric_limits<int>::min() }] = -1; };
        if (row.y <= lastY || row.y < target.top() || row.y > target.bottom() || (row.pixels == 0 && row.runs.empty()))
            wrong();
        lastY = row.y;
        int previous = std::numeric_limits<int>::min();
        for (int index = 0; index < row.pixels; ++index) {
            const int x = row.columns[index];
            if (x <= previous || x < target.left() || x > target.right() || row.coverages[index] <= 0
                || row.coverages[index] > 255)
                wrong();
            previous = x;
            coverage[{ row.y, x }] = row.coverages[index];
        }
        int end = std::numeric_limits<int>::min();
        for (const CoverageRasterizer::Span& run : row.runs) {
            if (run.x < end || run.length <= 0 || run.x < target.left() || run.x + run.length > target.right() + 1
                || run.coverage <= 0 || run.coverage > 255)
                wrong();
            end = run.x + run.length;
            for (int x = run.x; x < end; ++x) {
                if (!coverage.emplace(std::pair(row.y, x), run.coverage).second)
                    wrong();
            }
        }
        // A sink may use the arrays' whole room as it likes.
        if (scribble) {
            for (int index = 0; index < target.width() + 8; ++index) {
                row.columns[index] = -7 - index;
                row.coverages[index] = 300 + index;
            }
        }
    });
    return coverage;
}

} // namespace

// A row's edge pixels and runs together give every covered pixel once, with the coverage the
// spans give it.
void CoverageRasterizerTest::rowsKeepEdgePixelsApartFromRuns()
{
    CoverageRasterizer rasterizer;
    QRandomGenerator random(59);
    const QRect target(0, 0, 140, 100);
    int pixelsCompared = 0;
    for (int round = 0; round < 200; ++round) {
        const QPainterPath path = randomPath(random, QRectF(-30, -30, 200, 160));
        const QTransform transform = QTransform().rotate(random.bounded(20.0)).scale(0.5 + random.bounded(1.0), 1.0);
        const CoverageMap byRows = rowsToMap(rasterizer, path, transform, target, false);
        const CoverageMap bySpans = convertToMap(rasterizer, path, transform, target);
        QVERIFY2(byRows == bySpans, qPrintable(QStringLiteral("round %1").arg(round)));
        pixelsCompared += int(byRows.size());
    }
    QVERIFY(pixelsCompared > 100000);
}

// What a sink writes over a row's arrays does not reach the rows after it, nor the next fill.
void CoverageRasterizerTest::rowsDoNotDependOnWhatTheSinkLeftBehind()
{
    CoverageRasterizer plain;
    CoverageRasterizer scribbled;
    QRandomGenerator random(61);
    for (int round = 0; round < 120; ++round) {
        const QRect target(random.bounded(20), random.bounded(20), 1 + random.bounded(200), 1 + random.bounded(90));
        const QPainterPath path = randomPath(random, QRectF(-20, -20, 260, 150));
        const CoverageMap expected = rowsToMap(plain, path, QTransform(), target, false);
        QVERIFY2(rowsToMap(scribbled, path, QTransform(), target, true) == expected,
                 qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

QTEST_MAIN(CoverageRasterizerTest)
#include "tst_coverage_rasterizer.moc"
