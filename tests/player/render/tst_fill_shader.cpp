#include "player/render/CoverageFill.h"
#include "player/render/CoverageRasterizer.h"
#include "player/render/FillBrush.h"
#include "player/render/FillShader.h"
#include "player/render/GradientRamp.h"

#include <QtTest>
#include <QRandomGenerator>

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

using namespace player;
using namespace player::render;

namespace {

QRgb grey(int level)
{
    return qRgb(level, level, level);
}

// The colour a shader gives one device pixel.
QRgb shadeAt(const FillShader& shader, int x, int y)
{
    QRgb color = 0;
    shader.shade(x, y, 1, &color);
    return color;
}

// A Flash gradient fill from black at ratio 0 to white at 255, whose square (-16384..16384
// twips) the matrix maps onto device pixels `left`..`left + width` across, centred on row `middle`.
swf::FillStyle blackToWhite(swf::FillType type, swf::SpreadMode spread, double left, double width, double middle)
{
    swf::FillStyle fill;
    fill.type = type;
    fill.gradient.spread = spread;
    fill.gradient.records = { { 0, swf::Rgba { 0, 0, 0, 255 } }, { 255, swf::Rgba { 255, 255, 255, 255 } } };
    const double scale = width / 32768.0;
    fill.gradient.matrix = swf::Matrix { scale, 0, 0, scale, left + width / 2, middle };
    return fill;
}

FillShader shaderOf(const QBrush& brush)
{
    const std::optional<FillShader> shader = FillShader::fromBrush(brush, false);
    if (!shader)
        qFatal("no shader for the brush");
    return *shader;
}

// A 4 x 4 bitmap whose texel (x, y) has red 16x + 1, green 16y + 1, opaque.
QImage numberedBitmap()
{
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgb(16 * x + 1, 16 * y + 1, 0));
    return image;
}


// A random outline of straight and curved pieces, often crossing itself, under either rule.
QPainterPath randomOutline(QRandomGenerator& random, const QRectF& area)
{
    const auto point = [&] {
        return QPointF(area.left() + random.generateDouble() * area.width(), area.top() + random.generateDouble() * area.height());
    };
    QPainterPath path;
    path.moveTo(point());
    const int pieces = 3 + random.bounded(10);
    for (int piece = 0; piece < pieces; ++piece) {
        if (random.bounded(2) == 0)
            path.lineTo(point());
        else
            path.cubicTo(point(), point(), point());
    }
    path.setFillRule(random.bounded(2) == 0 ? Qt::WindingFill : Qt::OddEvenFill);
    return path;
}

// `path` filled with `shader` onto a copy of `background` one pixel at a time: each pixel of
// every span coloured alone, scaled by the span's coverage and put over the pixel below.
QImage fillPixelByPixel(const QImage& background, const QPainterPath& path, const FillShader& shader)
{
    QImage image = background.copy();
    CoverageRasterizer rasterizer;
    rasterizer.fill(path, QTransform(), image.rect(), [&](int y, std::span<const CoverageRasterizer::Span> spans) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (const CoverageRasterizer::Span& span : spans) {
            for (int x = span.x; x < span.x + span.length; ++x) {
                const QRgb covered = CoverageFill::scaledPixel(shadeAt(shader, x, y), static_cast<unsigned>(span.coverage));
                line[x] = covered + CoverageFill::scaledPixel(line[x], 255u - qAlpha(covered));
            }
        }
    });
    return image;
}
} // namespace

// The colours FillShader gives gradient and bitmap fills pixel by pixel, against values worked
// out by hand from Flash's rules, and CoverageFill blending them under the coverage.
class FillShaderTest : public QObject {
    Q_OBJECT

private slots:
    void linearGradientShowsItsTableAndHoldsItsEnds()
    {
        // At high quality a linear gradient shows table entry i from (i - 1) / 256 to i / 256 of
        // the way along; over 256 pixels from x = 100, pixel x (centre x + 0.5) shows entry
        // x - 99, which for black to white is the grey of that level.
        const swf::FillStyle fill = blackToWhite(swf::FillType::LinearGradient, swf::SpreadMode::Pad, 100, 256, 50);
        const FillShader shader = shaderOf(makeFillBrush(fill, {}, {}, true));
        QCOMPARE(shadeAt(shader, 100, 50), grey(1));
        QCOMPARE(shadeAt(shader, 200, 7), grey(101));
        QCOMPARE(shadeAt(shader, 353, 50), grey(254));
        QCOMPARE(shadeAt(shader, 354, 50), grey(255));
        // Pad: the end colours hold beyond the square, in every row.
        QCOMPARE(shadeAt(shader, 20, 90), shadeAt(shader, 100, 50));
        QCOMPARE(shadeAt(shader, -5000, 0), shadeAt(shader, 100, 50));
        QCOMPARE(shadeAt(shader, 600, -30), grey(255));
        QCOMPARE(shadeAt(shader, 1 << 30, 0), grey(255));
        // At low quality the pixel shows the entry its centre lies in.
        const FillShader low = shaderOf(makeFillBrush(fill, {}, {}, false));
        QCOMPARE(shadeAt(low, 200, 50), grey(100));
    }

    void repeatAndReflectWrapThePosition()
    {
        const swf::FillStyle repeat = blackToWhite(swf::FillType::LinearGradient, swf::SpreadMode::Repeat, 0, 256, 0);
        const FillShader repeated = shaderOf(makeFillBrush(repeat, {}, {}, false));
        QCOMPARE(shadeAt(repeated, 10, 0), grey(10));
        QCOMPARE(shadeAt(repeated, 256 + 10, 0), grey(10));
        QCOMPARE(shadeAt(repeated, -256 + 10, 0), grey(10));
        QCOMPARE(shadeAt(repeated, 3 * 256 + 200, 0), grey(200));
        const swf::FillStyle reflect = blackToWhite(swf::FillType::LinearGradient, swf::SpreadMode::Reflect, 0, 256, 0);
        const FillShader reflected = shaderOf(makeFillBrush(reflect, {}, {}, false));
        QCOMPARE(shadeAt(reflected, 10, 0), grey(10));
        // Mirrored about the end: 10 pixels past it looks like 10 pixels before it.
        QCOMPARE(shadeAt(reflected, 256 + 10, 0), grey(245));
        QCOMPARE(shadeAt(reflected, -1 - 10, 0), grey(10));
        QCOMPARE(shadeAt(reflected, 2 * 256 + 10, 0), grey(10));

        const auto ramp = GradientRamp::fromStops({ { 0.0, Qt::black }, { 1.0, Qt::white } }, QGradient::ReflectSpread,
                                                  QGradient::ComponentInterpolation);
        QCOMPARE(ramp->colorAt(1.25), ramp->colorAt(0.75));
        QCOMPARE(ramp->colorAt(-0.25), ramp->colorAt(0.25));
        QCOMPARE(ramp->colorAt(-2.25), ramp->colorAt(0.25));
        QCOMPARE(ramp->colorAt(std::nan("")), ramp->colorAt(0.0));
    }

    void twoStopRampMixesChannelsBeforeAlpha()
    {
        // Entry 512 stands for the middle of the ramp: 512.5 / 1024 of the way, 127.6 of 255.
        const auto ramp = GradientRamp::fromStops({ { 0.0, QColor(0, 0, 0) }, { 1.0, QColor(255, 255, 255) } },
                                                  QGradient::PadSpread, QGradient::ComponentInterpolation);
        QCOMPARE(ramp->colorAt(0.5), grey(128));
        QCOMPARE(ramp->colorAt(0.0), grey(0));
        QCOMPARE(ramp->colorAt(1.0), grey(255));
        QVERIFY(ramp->opaque());
        // Transparent black to opaque white, mixed channel by channel: half-transparent grey,
        // premultiplied to a quarter.
        const auto fade = GradientRamp::fromStops({ { 0.0, QColor(0, 0, 0, 0) }, { 1.0, QColor(255, 255, 255, 255) } },
                                                  QGradient::PadSpread, QGradient::ComponentInterpolation);
        const QRgb middle = fade->colorAt(0.5);
        QCOMPARE(qAlpha(middle), 128);
        QVERIFY(std::abs(qRed(middle) - 64) <= 1);
        QVERIFY(!fade->opaque());
    }

    void radialGradientMeasuresFromItsFocus()
    {
        // A circle of radius 256 pixels at (300, 300).
        swf::FillStyle fill = blackToWhite(swf::FillType::RadialGradient, swf::SpreadMode::Pad, 300 - 256, 512, 300);
        const FillShader centred = shaderOf(makeFillBrush(fill, {}, {}, true));
        // Pixel centre (300.5, 300.5): 0.7 pixel from the centre, entry 0.
        QCOMPARE(shadeAt(centred, 300, 300), grey(0));
        // 128.5 pixels right of the centre: entry floor(128.5 + 0.25) = 128, as below it.
        QCOMPARE(shadeAt(centred, 428, 299), grey(128));
        QCOMPARE(shadeAt(centred, 299, 428), grey(128));
        QCOMPARE(shadeAt(centred, 300 + 300, 300), grey(255));

        // The focus halfway to the right edge: the focus is the start, the circle the end on
        // every side, and halfway from the focus to the circle is the middle both ways.
        fill.type = swf::FillType::FocalGradient;
        fill.gradient.focalPoint = 0.5;
        const FillShader focal = shaderOf(makeFillBrush(fill, {}, {}, true));
        // The focus at x = 428: 128 pixels to the circle on the right, 384 on the left. Pixel
        // centre 491.5 lies 63.5 / 128 of the way (entry floor(127 + 0.25)), 235.5 lies 192.5 / 384
        // (entry floor(128.33 + 0.25)).
        QCOMPARE(shadeAt(focal, 427, 299), grey(0));
        QCOMPARE(shadeAt(focal, 491, 299), grey(127));
        QCOMPARE(shadeAt(focal, 235, 299), grey(128));
        QCOMPARE(shadeAt(focal, 300 - 255, 299), grey(255));
        QCOMPARE(shadeAt(focal, 300 + 255, 299), grey(255));
    }

    void bitmapFillsPickTexels()
    {
        const QImage bitmap = numberedBitmap();
        // Texel (u, v) covers device pixels 20 + 10u.. and 30 + 10v.. .
        const QTransform placed(10, 0, 0, 10, 20, 30);
        const FillShader repeated = FillShader::bitmap(bitmap, placed, false, false);
        QCOMPARE(shadeAt(repeated, 20 + 25, 30 + 15), bitmap.pixel(2, 1));
        QCOMPARE(shadeAt(repeated, 20 + 29, 30 + 10), bitmap.pixel(2, 1));
        QCOMPARE(shadeAt(repeated, 20 + 30, 30 + 10), bitmap.pixel(3, 1));
        // Repeated: a bitmap's width (40 pixels) further on, and before it, the same texel.
        QCOMPARE(shadeAt(repeated, 20 + 40 + 25, 30 + 15), bitmap.pixel(2, 1));
        QCOMPARE(shadeAt(repeated, 20 - 40 + 25, 30 + 40 + 15), bitmap.pixel(2, 1));
        // Clipped: the edge texels carry on outside.
        const FillShader clamped = FillShader::bitmap(bitmap, placed, true, false);
        QCOMPARE(shadeAt(clamped, 20 + 400, 30 + 15), bitmap.pixel(3, 1));
        QCOMPARE(shadeAt(clamped, 0, 0), bitmap.pixel(0, 0));
        QCOMPARE(shadeAt(clamped, -100000, 30 + 35), bitmap.pixel(0, 3));

        // Smoothed: at a texel's centre the texel itself; halfway between the centres of texels
        // (1, 1) and (2, 1) their mean (red 17 and 33: 25). Device pixel centre 40.5 maps to
        // 2.05, 35.5 to 0.55.
        const FillShader smooth = FillShader::bitmap(bitmap, QTransform(10, 0, 0, 10, 0.5, 0.5), false, true);
        QCOMPARE(shadeAt(smooth, 15, 15), bitmap.pixel(1, 1));
        QCOMPARE(shadeAt(smooth, 20, 15), qRgb(25, 17, 0));
        // Between (3, 1) and, repeated, (0, 1): red 49 and 1 mixed halfway.
        QCOMPARE(shadeAt(smooth, 40, 15), qRgb(25, 17, 0));
        const FillShader smoothClamped = FillShader::bitmap(bitmap, QTransform(10, 0, 0, 10, 0.5, 0.5), true, true);
        QCOMPARE(shadeAt(smoothClamped, 40, 15), bitmap.pixel(3, 1));
        // Half a texel before the first centre: the edge texel alone when clipped, halfway to
        // the last texel when repeated.
        QCOMPARE(shadeAt(smoothClamped, 0, 15), bitmap.pixel(0, 1));
        QCOMPARE(shadeAt(smoothClamped, 15, 0), bitmap.pixel(1, 0));
        QCOMPARE(shadeAt(smooth, 0, 15), qRgb(25, 17, 0));
    }

    // A smoothed bitmap shaded a run at a time gives every pixel the colour it gets alone,
    // whether the run stays inside the image or crosses its edges, repeated or clipped, at any
    // angle and scale.
    void smoothBitmapRunsMatchSinglePixels()
    {
        // Inside the image: device pixels 12 to 22 of row 15 lie between texel centres 1 and 2.
        const FillShader numbered = FillShader::bitmap(numberedBitmap(), QTransform(10, 0, 0, 10, 0.5, 0.5), false, true);
        QRgb run[11] {};
        numbered.shade(12, 15, 11, run);
        QCOMPARE(run[3], numberedBitmap().pixel(1, 1));
        QCOMPARE(run[8], qRgb(25, 17, 0));

        QRandomGenerator random(7);
        QImage image(37, 23, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), random.bounded(256))));
        int compared = 0;
        for (int round = 0; round < 400; ++round) {
            const double scale = 0.5 + random.bounded(12.0);
            const QTransform placed = QTransform()
                                          .translate(random.bounded(100.0) - 50, random.bounded(100.0) - 50)
                                          .rotate(round % 4 == 0 ? 0.0 : random.bounded(360.0))
                                          .scale(scale, scale * (0.5 + random.bounded(1.0)));
            const FillShader shader = FillShader::bitmap(image, placed, random.bounded(2), true);
            const int x = random.bounded(-50, 300);
            const int y = random.bounded(-50, 300);
            const int length = random.bounded(2, 120);
            std::vector<QRgb> colors(static_cast<std::size_t>(length));
            shader.shade(x, y, length, colors.data());
            for (int index = 0; index < length; ++index)
                QCOMPARE(colors[static_cast<std::size_t>(index)], shadeAt(shader, x + index, y));
            compared += length;
        }
        QVERIFY(compared > 400);
    }

    // Random outlines filled with gradients and bitmaps, coloured a run of touching spans at a
    // time and blended span by span, give the pixels of colouring and blending every pixel
    // alone.
    void shadedFillsMatchPixelByPixel()
    {
        QRandomGenerator random(23);
        QImage bitmap(13, 9, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                bitmap.setPixel(x, y, qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), random.bounded(256))));
        QImage background(120, 90, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < background.height(); ++y)
            for (int x = 0; x < background.width(); ++x)
                background.setPixel(x, y, qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), random.bounded(256))));
        const swf::SpreadMode spreads[] = { swf::SpreadMode::Pad, swf::SpreadMode::Repeat, swf::SpreadMode::Reflect };
        int drawn = 0;
        for (int round = 0; round < 60; ++round) {
            std::optional<FillShader> shader;
            switch (round % 3) {
            case 0:
            case 1: {
                swf::FillStyle fill = blackToWhite(round % 3 == 0 ? swf::FillType::LinearGradient : swf::FillType::RadialGradient,
                                                   spreads[random.bounded(3)], random.bounded(60.0), 10 + random.bounded(80.0),
                                                   random.bounded(90.0));
                fill.gradient.records.front().color.a = static_cast<std::uint8_t>(random.bounded(256));
                shader = shaderOf(makeFillBrush(fill, {}, {}, true));
                break;
            }
            default: {
                const double scale = 0.3 + random.bounded(6.0);
                const QTransform placed = QTransform().translate(random.bounded(60.0), random.bounded(60.0)).rotate(random.bounded(360.0)).scale(scale, scale);
                shader = FillShader::bitmap(bitmap, placed, random.bounded(2) == 0, random.bounded(2) == 0);
                break;
            }
            }
            const QPainterPath path = randomOutline(random, QRectF(-20, -20, 160, 130));
            QImage image = background.copy();
            QVERIFY(CoverageFill::fill(image, image.rect(), path, *shader, QTransform()));
            QVERIFY2(image == fillPixelByPixel(background, path, *shader), qPrintable(QStringLiteral("round %1").arg(round)));
            drawn += image != background ? 1 : 0;
        }
        QVERIFY(drawn > 50);
    }

    void fillsBlendShadedColoursUnderTheCoverage()
    {
        // A gradient rectangle over grey, in one piece and as two pieces meeting at a pixel
        // edge: the same pixels, since each pixel's colour comes from its position alone.
        swf::FillStyle fill = blackToWhite(swf::FillType::RadialGradient, swf::SpreadMode::Reflect, 10, 60, 40);
        fill.gradient.records.front().color.a = 128;
        const FillShader shader = shaderOf(makeFillBrush(fill, {}, {}, true));
        const auto draw = [&](const std::vector<QRectF>& pieces) {
            QImage image(100, 80, QImage::Format_ARGB32_Premultiplied);
            image.fill(qRgb(90, 120, 150));
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            for (const QRectF& piece : pieces) {
                QPainterPath path;
                path.addRect(piece);
                if (!CoverageFill::fill(painter, path, shader, QTransform()))
                    qFatal("the painter was not handled");
            }
            return image;
        };
        const QImage whole = draw({ QRectF(5.25, 10.5, 80.5, 50) });
        QCOMPARE(draw({ QRectF(5.25, 10.5, 40.75, 50), QRectF(46, 10.5, 39.75, 50) }), whole);
        // Inside, fully covered: the colour over the background.
        const QRgb color = shadeAt(shader, 30, 30);
        const QRgb background = qRgb(90, 120, 150);
        QCOMPARE(whole.pixel(30, 30), color + CoverageFill::scaledPixel(background, 255u - qAlpha(color)));
        // The right edge covers three quarters of column 85.
        const QRgb edgeColor = CoverageFill::scaledPixel(shadeAt(shader, 85, 30), 191);
        QCOMPARE(whole.pixel(85, 30), edgeColor + CoverageFill::scaledPixel(background, 255u - qAlpha(edgeColor)));
        QCOMPARE(whole.pixel(86, 30), background);
        QCOMPARE(whole.pixel(30, 9), background);

        // What it cannot invert it declines, or leaves transparent.
        const FillShader flat = FillShader::bitmap(numberedBitmap(), QTransform(0, 0, 0, 0, 1, 1), false, false);
        QVERIFY(!flat.mapped(QTransform()));
        QCOMPARE(shadeAt(flat, 1, 1), QRgb(0));
        QVERIFY(!FillShader::fromBrush(QBrush(QLinearGradient(3, 3, 3, 3)), false));
    }
};

QTEST_MAIN(FillShaderTest)
#include "tst_fill_shader.moc"
