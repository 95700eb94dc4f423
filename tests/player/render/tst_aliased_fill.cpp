#include "ShapeBuilder.h"

#include "player/render/AliasedFill.h"
#include "player/render/ShapeConverter.h"
#include "player/render/ShapePainter.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

using namespace player;
using namespace player::render;

namespace {

double between(QRandomGenerator& random, double low, double high)
{
    return low + random.bounded(high - low);
}

QRgb grey(int level)
{
    return qRgb(level, level, level);
}

// A gradient from black at ratio 0 to white at 255 whose square spans pixels `left` to
// `left + width` across, centred on row `middle`.
swf::FillStyle blackToWhite(swf::FillType type, swf::SpreadMode spread, double left, double width, double middle)
{
    swf::FillStyle fill;
    fill.type = type;
    fill.gradient.spread = spread;
    fill.gradient.records = { { 0, swf::Rgba { 0, 0, 0, 255 } }, { 255, swf::Rgba { 255, 255, 255, 255 } } };
    const double scale = width * 20.0 / 32768.0;
    fill.gradient.matrix = swf::Matrix { scale, 0, 0, scale, (left + width / 2) * 20.0, middle * 20.0 };
    return fill;
}

// Paints `shape` at low quality onto a transparent image of `size`, the stage moved left by
// `shift` pixels.
QImage paintLow(const swf::Shape& shape, QSize size, double shift = 0.0)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setWorldTransform(QTransform(0.05, 0, 0, 0.05, -shift, 0));
    ShapePainter::paint(painter, ShapeConverter::convert(shape), {}, {}, false);
    painter.end();
    return image;
}

// The pixels of `image` that hold anything.
QRegion paintedPixels(const QImage& image)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (!qAlpha(line[x])) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && qAlpha(line[x]))
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

QRegion runRegion(const std::vector<AliasedFill::Run>& runs)
{
    QRegion region;
    for (const AliasedFill::Run& run : runs)
        region += QRect(run.x, run.y, run.length, 1);
    return region;
}

// A shape of a few random quadratic curves and lines around (100, 60), closed, with the fill
// and line styles given.
swf::Shape randomShape(QRandomGenerator& random, const swf::FillStyle& fill, const swf::LineStyle& line)
{
    ShapeBuilder builder;
    builder.fill(fill);
    swf::Shape shape = builder.build();
    shape.lineStyles.push_back(line);
    ShapeBuilder records;
    const auto coordinate = [&random](double centre) { return centre + between(random, -55.0, 55.0); };
    const double startX = coordinate(100);
    const double startY = coordinate(60);
    records.change(startX, startY, 0, 1, 1);
    for (int piece = 0; piece < 5; ++piece) {
        if (random.bounded(2))
            records.lineTo(coordinate(100), coordinate(60));
        else
            records.curveTo(coordinate(100), coordinate(60), coordinate(100), coordinate(60));
    }
    records.lineTo(startX, startY);
    shape.records = records.build().records;
    return shape;
}

} // namespace

// Aliased gradient fills coloured pixel by pixel from the pixel's centre, as Flash colours
// them at low quality, over the same pixels as a solid fill of the same shape.
class AliasedFillTest : public QObject {
    Q_OBJECT

private slots:
    void linearGradientFarFromItsSquare()
    {
        // At low quality a linear gradient shows the table entry its pixel's centre lies in; a
        // 100-pixel gradient from x = 0 holds 2.56 entries a pixel. Two thousand pixels on, the
        // position keeps counting from the pixel's own centre.
        const double shift = 2000.0;
        const auto entryAt = [shift](int column) {
            return static_cast<long>(std::floor((column + shift + 0.5) * 2.56));
        };
        for (const swf::SpreadMode spread : { swf::SpreadMode::Repeat, swf::SpreadMode::Reflect }) {
            const swf::FillStyle fill = blackToWhite(swf::FillType::LinearGradient, spread, 0, 100, 10);
            const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(shift, 0, shift + 200, 20, 0, 1).build();
            const QImage image = paintLow(shape, QSize(200, 20), shift);
            for (int column = 0; column < 200; ++column) {
                // Centres that fall exactly on a step between entries are left out.
                if ((2 * column + 4001) % 25 == 0)
                    continue;
                const long entry = entryAt(column);
                const long phase = spread == swf::SpreadMode::Repeat ? entry % 256 : entry % 512;
                const int level = static_cast<int>(phase < 256 ? phase : 511 - phase);
                for (const int row : { 0, 7, 19 })
                    QVERIFY2(image.pixel(column, row) == grey(level),
                             qPrintable(QStringLiteral("spread %1 column %2: %3, entry %4")
                                            .arg(int(spread)).arg(column).arg(describe(image.pixel(column, row))).arg(entry)));
            }
        }
    }

    void radialGradientSeenFromItsFocus()
    {
        // A circle of radius 256 pixels at (300, 300), the focus halfway to its right edge
        // (x = 428). At low quality a pixel mixes the two entries around its position, entry e
        // lying at (e + 0.5) / 256 of the way: pixel centre 491.5 lies 63.5 / 128 of the way from
        // the focus to the circle (entry 126.5, halfway from 126 to 127), 235.5 lies 192.5 / 384
        // of it (entry 127.83).
        swf::FillStyle fill = blackToWhite(swf::FillType::FocalGradient, swf::SpreadMode::Pad, 300 - 256, 512, 300);
        fill.gradient.focalPoint = 0.5;
        const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(40, 290, 570, 310, 0, 1).build();
        const QImage image = paintLow(shape, QSize(600, 320));
        QCOMPARE(image.pixel(427, 299), grey(0));
        QCOMPARE(image.pixel(491, 299), grey(127));
        QCOMPARE(image.pixel(235, 299), grey(128));
        QCOMPARE(image.pixel(45, 299), grey(255));
        QCOMPARE(image.pixel(555, 299), grey(255));
        // Pixel centre 460.5 lies 32.5 / 128 of the way (entry 64.5).
        QCOMPARE(image.pixel(460, 299), grey(65));
    }

    void repeatedFocalGradientFarFromItsCircle()
    {
        // A circle of radius 20 at (100, 60) seen from a focus 0.6 of the way to its right edge,
        // repeated. A pixel's position is its distance from the focus over the distance from the
        // focus to the circle along the same ray; at low quality it mixes the two entries around
        // that position, which on a fade from black to white is the nearest level.
        swf::FillStyle fill = blackToWhite(swf::FillType::FocalGradient, swf::SpreadMode::Repeat, 80, 40, 60);
        fill.gradient.focalPoint = 0.6;
        const swf::Shape shape = ShapeBuilder().fill(fill).rectangle(0, 0, 200, 120, 0, 1).build();
        const QImage image = paintLow(shape, QSize(200, 120));
        const QPointF focus(100 + 0.6 * 20, 60);
        int checked = 0;
        for (int y = 0; y < 120; y += 7) {
            for (int x = 0; x < 200; x += 3) {
                const QPointF way = QPointF(x + 0.5, y + 0.5) - focus;
                const double length = std::hypot(way.x(), way.y());
                // The ray focus + s * way / length meets the circle where s solves
                // s^2 + 2 s (f - c).u + |f - c|^2 - r^2 = 0.
                const QPointF fromCentre = focus - QPointF(100, 60);
                const double along = (fromCentre.x() * way.x() + fromCentre.y() * way.y()) / length;
                const double reach = -along + std::sqrt(along * along - (QPointF::dotProduct(fromCentre, fromCentre) - 400.0));
                const double entries = std::fmod(length / reach, 1.0) * 256.0 - 0.5;
                // Centres halfway between two levels are left out (the mix is worked out to a
                // quarter entry), and so are those next to a seam between repeats.
                if (std::abs(entries - std::floor(entries) - 0.5) < 0.15 || entries < 0.5 || entries > 254.5)
                    continue;
                const int level = static_cast<int>(std::lround(entries));
                QVERIFY2(image.pixel(x, y) == grey(level),
                         qPrintable(QStringLiteral("(%1, %2): %3, entries %4").arg(x).arg(y).arg(describe(image.pixel(x, y))).arg(entries)));
                ++checked;
            }
        }
        QVERIFY(checked > 700);
    }

    void gradientLinesFollowTheirStrokeToo()
    {
        // A gradient line eight pixels wide round a square: its pixels take the gradient
        // colour at their centres, repeated far from its square as for fills.
        swf::LineStyle line;
        line.width = 160;
        line.hasFill = true;
        line.fill = blackToWhite(swf::FillType::LinearGradient, swf::SpreadMode::Repeat, 0, 100, 10);
        swf::Shape shape;
        shape.lineStyles.push_back(line);
        shape.records = ShapeBuilder().rectangle(1020, 20, 1120, 80, -1, -1, 1).build().records;
        const QImage image = paintLow(shape, QSize(140, 100), 1000.0);
        for (const QPoint point : { QPoint(20, 50), QPoint(21, 50), QPoint(60, 20), QPoint(119, 50) }) {
            const int level = static_cast<int>(static_cast<long>(std::floor((point.x() + 1000.5) * 2.56)) % 256);
            QVERIFY2(image.pixel(point) == grey(level), qPrintable(describe(image.pixel(point))));
        }
        QCOMPARE(qAlpha(image.pixel(60, 50)), 0);
    }

    void gradientCoversTheSolidFillsPixels()
    {
        // Whatever colours a style has, a fill and a line cover the pixels the same shape covers
        // with solid colours: thin and wide lines, curves and crossings.
        QRandomGenerator random(20261208);
        const swf::FillStyle gradient = blackToWhite(swf::FillType::RadialGradient, swf::SpreadMode::Reflect, 40, 120, 60);
        for (int round = 0; round < 40; ++round) {
            swf::LineStyle line;
            line.width = static_cast<uint16_t>(random.bounded(3) == 0 ? 20 : between(random, 20, 200));
            line.color = swf::Rgba { 0, 0, 255, 255 };
            const swf::Shape solid = randomShape(random, ShapeBuilder::solidFill(0xFFFF0000), line);
            swf::Shape shaded = solid;
            shaded.fillStyles[0] = gradient;
            shaded.lineStyles[0].hasFill = true;
            shaded.lineStyles[0].fill = gradient;
            const double shift = between(random, 0.0, 3.0);
            const QRegion expected = paintedPixels(paintLow(solid, QSize(200, 120), shift));
            const QRegion actual = paintedPixels(paintLow(shaded, QSize(200, 120), shift));
            QVERIFY2(expected == actual, qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(!expected.isEmpty());
        }
    }

    void coveredRunsAreQtsAliasedPixels()
    {
        // Any path that is not made of whole-pixel rectangles covers what Qt fills for it
        // without antialiasing, wherever it lies on the device.
        QRandomGenerator random(7);
        const QRect area(0, 0, 120, 90);
        for (int round = 0; round < 60; ++round) {
            QPainterPath path;
            path.setFillRule(random.bounded(2) ? Qt::WindingFill : Qt::OddEvenFill);
            path.moveTo(between(random, -20.0, 140.0), between(random, -20.0, 110.0));
            for (int piece = 0; piece < 6; ++piece)
                path.quadTo(between(random, -20.0, 140.0), between(random, -20.0, 110.0), between(random, -20.0, 140.0),
                            between(random, -20.0, 110.0));
            path.closeSubpath();
            QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.fillPath(path, Qt::black);
            painter.end();
            const std::vector<AliasedFill::Run> runs = AliasedFill::coveredRuns(path, area);
            QVERIFY2(runRegion(runs) == paintedPixels(image), qPrintable(QStringLiteral("round %1").arg(round)));
            // Row by row, left to right, each pixel once.
            for (std::size_t index = 1; index < runs.size(); ++index) {
                const AliasedFill::Run& before = runs[index - 1];
                const AliasedFill::Run& run = runs[index];
                QVERIFY(before.y < run.y || (before.y == run.y && before.x + before.length < run.x));
            }
        }
    }

    void wholePixelRectanglesAreTakenAsTheyAre()
    {
        // Rectangles side by side in a row join into one run; rectangles beyond the area are
        // cut to it.
        QPainterPath path;
        path.addRect(2, 1, 3, 2);
        path.addRect(5, 1, 4, 1);
        path.addRect(-5, 4, 10, 1);
        const std::vector<AliasedFill::Run> runs = AliasedFill::coveredRuns(path, QRect(0, 0, 8, 8));
        const std::vector<AliasedFill::Run> expected { { 2, 1, 6 }, { 2, 2, 3 }, { 0, 4, 5 } };
        QCOMPARE(runs, expected);
        // Two rectangles sharing pixels leave them to the fill rule, as Qt would.
        QPainterPath overlapping;
        overlapping.addRect(0, 0, 4, 1);
        overlapping.addRect(2, 0, 4, 1);
        const std::vector<AliasedFill::Run> ruled = AliasedFill::coveredRuns(overlapping, QRect(0, 0, 8, 8));
        const std::vector<AliasedFill::Run> oddEven { { 0, 0, 2 }, { 4, 0, 2 } };
        QCOMPARE(ruled, oddEven);
    }
};

QTEST_MAIN(AliasedFillTest)
#include "tst_aliased_fill.moc"
