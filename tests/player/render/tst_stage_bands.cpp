#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/RowWorkers.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <set>
#include <thread>
#include <tuple>

using player::render::DisplayRenderer;
using player::render::RowWorkers;

namespace {

// A script that draws a random scene on the 100 x 100 stage: clips of curved and straight
// outlines with solid, gradient and bitmap fills, thick lines, nested clips turned and scaled,
// filters, blend modes, masks (some of them inside masked clips) and bitmaps shown turned.
// `qtLines` adds hairlines and text in device fonts, which Qt draws itself.
class SceneScript {
public:
    SceneScript(quint32 seed, bool qtLines) : m_random(seed), m_qtLines(qtLines) {}

    QString make()
    {
        m_text = QStringLiteral("var bmp = new flash.display.BitmapData(%1, %2, true, 0); bmp.noise(%3, 0, 255, 15, false);\n")
                     .arg(m_random.bounded(3, 30))
                     .arg(m_random.bounded(3, 30))
                     .arg(m_random.bounded(1000));
        const int clips = m_random.bounded(6, 14);
        for (int index = 0; index < clips; ++index)
            clip(QStringLiteral("_root"), index + 1, 0);
        if (m_qtLines) {
            m_text += QStringLiteral("_root.createTextField('t', 900, %1, %2, 60, 30); t.text = 'Band edge text'; t.border = true; "
                                     "t.background = true; t.backgroundColor = 0x%3;\n")
                          .arg(m_random.bounded(60))
                          .arg(m_random.bounded(80))
                          .arg(color());
        }
        return m_text;
    }

private:
    QString color() { return QString::number(m_random.bounded(0x1000000), 16); }
    QString coordinate(double low, double high) { return QString::number(low + m_random.bounded(high - low), 'f', 2); }

    void outline(const QString& name)
    {
        const int points = m_random.bounded(3, 8);
        m_text += QStringLiteral("%1.moveTo(%2, %3);\n").arg(name, coordinate(-40, 60), coordinate(-40, 60));
        for (int point = 0; point < points; ++point) {
            if (m_random.bounded(2))
                m_text += QStringLiteral("%1.lineTo(%2, %3);\n").arg(name, coordinate(-40, 60), coordinate(-40, 60));
            else
                m_text += QStringLiteral("%1.curveTo(%2, %3, %4, %5);\n")
                              .arg(name, coordinate(-40, 60), coordinate(-40, 60), coordinate(-40, 60), coordinate(-40, 60));
        }
    }

    void lineStyle(const QString& name)
    {
        const int kind = m_random.bounded(m_qtLines ? 4 : 3);
        if (kind == 0)
            m_text += QStringLiteral("%1.lineStyle();\n").arg(name);
        else if (kind == 3)
            m_text += QStringLiteral("%1.lineStyle(0, 0x%2, %3);\n").arg(name, color()).arg(m_random.bounded(30, 101));
        else
            m_text += QStringLiteral("%1.lineStyle(%2, 0x%3, %4);\n").arg(name, coordinate(1.5, 9), color()).arg(m_random.bounded(30, 101));
    }

    void fill(const QString& name)
    {
        switch (m_random.bounded(4)) {
        case 0:
            m_text += QStringLiteral("%1.beginFill(0x%2, %3);\n").arg(name, color()).arg(m_random.bounded(20, 101));
            break;
        case 1:
            m_text += QStringLiteral("%1.beginGradientFill('%2', [0x%3, 0x%4, 0x%5], [100, %6, 70], [0, %7, 255], "
                                     "{matrixType: 'box', x: %8, y: %9, w: %10, h: %11, r: %12}, '%13');\n")
                          .arg(name, m_random.bounded(2) ? QStringLiteral("linear") : QStringLiteral("radial"), color(), color(),
                               color())
                          .arg(m_random.bounded(101))
                          .arg(m_random.bounded(1, 255))
                          .arg(coordinate(-30, 30), coordinate(-30, 30), coordinate(5, 80), coordinate(5, 80), coordinate(0, 6.28))
                          .arg(QStringList { "pad", "reflect", "repeat" }[m_random.bounded(3)]);
            break;
        default:
            m_text += QStringLiteral("%1.beginBitmapFill(bmp, new flash.geom.Matrix(%2, %3, %4, %5, %6, %7), %8, %9);\n")
                          .arg(name, coordinate(0.3, 3), coordinate(-1, 1), coordinate(-1, 1), coordinate(0.3, 3),
                               coordinate(-20, 20), coordinate(-20, 20))
                          .arg(m_random.bounded(2) ? "true" : "false", m_random.bounded(2) ? "true" : "false");
            break;
        }
    }

    QString filter()
    {
        switch (m_random.bounded(6)) {
        case 0:
            return QStringLiteral("new flash.filters.BlurFilter(%1, %2, %3)").arg(coordinate(0, 12), coordinate(0, 12)).arg(m_random.bounded(1, 4));
        case 1:
            return QStringLiteral("new flash.filters.DropShadowFilter(%1, %2, 0x%3, 0.8, %4, %5, 1.5, %6)")
                .arg(coordinate(0, 15), coordinate(0, 360), color(), coordinate(0, 10), coordinate(0, 10))
                .arg(m_random.bounded(1, 4));
        case 2:
            return QStringLiteral("new flash.filters.GlowFilter(0x%1, 0.9, %2, %3, 2, %4, %5)")
                .arg(color(), coordinate(0, 12), coordinate(0, 12))
                .arg(m_random.bounded(1, 4))
                .arg(m_random.bounded(2) ? "true" : "false");
        case 3:
            return QStringLiteral("new flash.filters.ColorMatrixFilter([0.5, 0.3, 0.2, 0, 10, 0.1, 0.8, 0.1, 0, 0, 0.2, 0.2, "
                                  "0.6, 0, -10, 0, 0, 0, 1, 0])");
        case 4:
            return QStringLiteral("new flash.filters.ConvolutionFilter(3, 3, [1, 2, 1, 0, 1, 0, -1, 2, 1], 6, 3, true, %1)")
                .arg(m_random.bounded(2) ? "true" : "false");
        default:
            return QStringLiteral("new flash.filters.BevelFilter(%1, 45, 0xffffff, 1, 0x000000, 1, %2, %3, 1, %4)")
                .arg(coordinate(0, 8), coordinate(0, 8), coordinate(0, 8))
                .arg(m_random.bounded(1, 4));
        }
    }

    void clip(const QString& parent, int depth, int level)
    {
        const QString name = QStringLiteral("c%1").arg(m_count++);
        m_text += QStringLiteral("var %1 = %2.createEmptyMovieClip('%1', %3);\n").arg(name, parent).arg(depth);
        m_text += QStringLiteral("%1._x = %2; %1._y = %3; %1._rotation = %4; %1._xscale = %5; %1._yscale = %6;\n")
                      .arg(name, coordinate(0, 100), coordinate(0, 100), coordinate(-180, 180), coordinate(40, 160),
                           coordinate(40, 160));
        const int shapes = m_random.bounded(1, 4);
        for (int shape = 0; shape < shapes; ++shape) {
            lineStyle(name);
            fill(name);
            outline(name);
            m_text += QStringLiteral("%1.endFill();\n").arg(name);
        }
        if (m_random.bounded(6) == 0) {
            m_text += QStringLiteral("%1.attachBitmap(bmp, 50, 'auto', %2); %1.getInstanceAtDepth(50)._rotation = %3; "
                                     "%1.getInstanceAtDepth(50)._xscale = %4;\n")
                          .arg(name, m_random.bounded(2) ? "true" : "false", coordinate(-90, 90), coordinate(50, 400));
        }
        if (m_random.bounded(4) == 0)
            m_text += QStringLiteral("%1.filters = [%2];\n").arg(name, filter());
        if (m_random.bounded(5) == 0)
            m_text += QStringLiteral("%1.filters = [%2, %3];\n").arg(name, filter(), filter());
        if (m_random.bounded(4) == 0) {
            const QStringList modes { "multiply", "screen", "difference", "add", "subtract", "invert", "layer",
                                      "lighten", "darken", "overlay", "hardlight" };
            m_text += QStringLiteral("%1.blendMode = '%2';\n").arg(name, modes[m_random.bounded(modes.size())]);
        }
        if (level < 2 && m_random.bounded(3) == 0) {
            const int children = m_random.bounded(1, 4);
            for (int child = 0; child < children; ++child)
                clip(name, 10 + child, level + 1);
        }
        if (m_random.bounded(4) == 0) {
            // A mask of its own, itself masked now and then, drawn into the masked clip's layer.
            const QString mask = QStringLiteral("m%1").arg(m_count++);
            m_text += QStringLiteral("var %1 = %2.createEmptyMovieClip('%1', %3);\n").arg(mask, parent).arg(500 + depth);
            m_text += QStringLiteral("%1._x = %2; %1._y = %3; %1._rotation = %4;\n")
                          .arg(mask, coordinate(0, 100), coordinate(0, 100), coordinate(-180, 180));
            m_text += QStringLiteral("%1.beginFill(0);\n").arg(mask);
            outline(mask);
            m_text += QStringLiteral("%1.endFill(); %2.setMask(%1);\n").arg(mask, name);
        }
    }

    QRandomGenerator m_random;
    bool m_qtLines;
    QString m_text;
    int m_count = 0;
};

} // namespace

// The stage drawn in horizontal bands on two threads must give the pixels of one piece, to the
// bit, whatever it shows and wherever the band edges fall.
class StageBandsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    std::unique_ptr<player::Player> play(const QString& script)
    {
        const QString path = m_folder.filePath(QStringLiteral("bands.as"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return nullptr;
        file.write(script.toUtf8());
        file.close();
        const authoring::TemplateBuildResult built = authoring::buildScriptMovie(path);
        if (built.movie.isEmpty())
            return nullptr;
        auto player = std::make_unique<player::Player>();
        player->setScriptHost(player::makeScriptHost(*player));
        if (player->loadMovieData(0, built.movie, QStringLiteral("file:///bands.swf")))
            return nullptr;
        return player;
    }

    // Draws the stage in 1, 2, 3 and 7 bands at both qualities and compares every pixel with one
    // piece. Returns how many drawings were really made in bands.
    int compareBands(const player::Player& player, const QSize& size, const QString& what)
    {
        int banded = 0;
        for (const bool highQuality : { true, false }) {
            DisplayRenderer single;
            single.setHighQuality(highQuality);
            single.setBandCount(1);
            const QImage expected = single.renderStageImage(player.stage(), size, player::ScaleMode::ExactFit);
            // A scene of one colour would match whatever the bands did.
            std::set<QRgb> colors;
            for (int y = 0; y < expected.height(); y += 3)
                for (int x = 0; x < expected.width(); x += 3)
                    colors.insert(expected.pixel(x, y));
            if (colors.size() < 8) {
                qWarning("%s: too plain a scene", qPrintable(what));
                return -1;
            }
            for (const int bands : { 2, 3, 7 }) {
                DisplayRenderer renderer;
                renderer.setHighQuality(highQuality);
                renderer.setBandCount(bands);
                // Twice: the second time the band renderers' caches are warm.
                for (int round = 0; round < 2; ++round) {
                    const QImage image = renderer.renderStageImage(player.stage(), size, player::ScaleMode::ExactFit);
                    banded += renderer.lastDrawnInBands() ? 1 : 0;
                    if (image == expected)
                        continue;
                    for (int y = 0; y < image.height(); ++y) {
                        for (int x = 0; x < image.width(); ++x) {
                            if (image.pixel(x, y) != expected.pixel(x, y)) {
                                qWarning("%s, %d bands, %s quality: pixel %d,%d is %08x, not %08x", qPrintable(what), bands,
                                         highQuality ? "high" : "low", x, y, image.pixel(x, y), expected.pixel(x, y));
                                return -1;
                            }
                        }
                    }
                }
            }
        }
        return banded;
    }

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }

    // Random scenes of shapes, gradients, bitmaps, lines, filters, blend modes and masks, at
    // sizes whose scale puts edges at every fraction of a pixel near the band edges. Without
    // what Qt draws itself, every one of them is drawn in bands.
    void randomScenesMatchOnePiece()
    {
        const QSize sizes[] = { QSize(331, 257), QSize(400, 400), QSize(173, 419) };
        for (quint32 seed = 1; seed <= 15; ++seed) {
            const auto player = play(SceneScript(seed, false).make());
            QVERIFY2(player, qPrintable(QStringLiteral("scene %1 does not play").arg(seed)));
            const int banded = compareBands(*player, sizes[seed % 3], QStringLiteral("scene %1").arg(seed));
            QVERIFY2(banded >= 0, qPrintable(QStringLiteral("scene %1 differs in bands").arg(seed)));
            QCOMPARE(banded, 2 * 3 * 2);
        }
    }

    // With hairlines and text in device fonts, which Qt draws itself, the pixels stay those of
    // one piece, drawn in bands where Qt's pixels allow it and in one piece where they do not.
    void scenesWithQtLinesMatchOnePiece()
    {
        for (quint32 seed = 101; seed <= 110; ++seed) {
            const auto player = play(SceneScript(seed, true).make());
            QVERIFY2(player, qPrintable(QStringLiteral("scene %1 does not play").arg(seed)));
            const int banded = compareBands(*player, QSize(347, 301), QStringLiteral("scene %1").arg(seed));
            QVERIFY2(banded >= 0, qPrintable(QStringLiteral("scene %1 differs in bands").arg(seed)));
        }
    }

    // A hairline inside one band, away from its edges, leaves the stage drawn in bands; one
    // crossing a band edge makes it drawn again in one piece.
    void hairlinesCrossingBandEdges()
    {
        const QString line = QStringLiteral("var c = createEmptyMovieClip('c', 1); c.beginGradientFill('radial', [0x336699, 0xffcc00, 0x20a040], [100, 60, 100], [0, 128, 255], "
                                            "{matrixType: 'box', x: 0, y: 0, w: 100, h: 100, r: 0}); c.moveTo(5, 5); "
                                            "c.curveTo(90, 10, 80, 95); c.lineTo(5, 5); c.endFill(); c.lineStyle(0, 0xff0000, 100); "
                                            "c.moveTo(10, %1); c.lineTo(90, %2);");
        for (const auto& [from, to, expectBands] : { std::tuple { 10.0, 20.0, true }, std::tuple { 30.0, 70.0, false },
                                                     std::tuple { 49.3, 50.6, false } }) {
            const auto player = play(line.arg(from).arg(to));
            QVERIFY(player);
            const int banded = compareBands(*player, QSize(200, 200), QStringLiteral("hairline from %1 to %2").arg(from).arg(to));
            QVERIFY(banded >= 0);
            // Two bands split at row 100 (stage y 50); three at 66 and 133; seven every 28.6.
            if (expectBands)
                QVERIFY(banded > 0);
            else
                QVERIFY(banded < 2 * 3 * 2);
        }
    }

    // A large stage is cut into more bands than threads, so that each band's rows stay in the
    // processor's caches. A hairline across one of their edges but not the middle makes it drawn
    // in two bands, for that frame and the next ones; across the middle, in one piece.
    void largeStagesInManyBands()
    {
        const QString line = QStringLiteral("var c = createEmptyMovieClip('c', 1); c.beginFill(0x336699); c.moveTo(5, 5); "
                                            "c.curveTo(90, 10, 80, 95); c.lineTo(5, 5); c.endFill(); %1");
        const QString hairline = QStringLiteral("c.lineStyle(0, 0xff0000, 100); c.moveTo(10, %1); c.lineTo(90, %2);");
        // A filter reaching far above and below its layer keeps the bands tall.
        const QString blurred = QStringLiteral("var b = createEmptyMovieClip('b', 2); b.beginFill(0xffcc00); b.moveTo(40, 40); "
                                               "b.lineTo(60, 45); b.lineTo(50, 70); b.endFill(); b.filters = [new flash.filters.BlurFilter(%1, %1, 3)];");
        const QSize size(2048, 2048);
        for (const auto& [lines, expectedBands] : { std::tuple { QString(), 8 },
                                                    std::tuple { hairline.arg(20).arg(30), 2 },
                                                    std::tuple { hairline.arg(40).arg(60), 1 },
                                                    std::tuple { blurred.arg(2), 8 },
                                                    std::tuple { blurred.arg(100), 2 } }) {
            const auto player = play(line.arg(lines));
            QVERIFY(player);
            DisplayRenderer single;
            single.setBandCount(1);
            const QImage expected = single.renderStageImage(player->stage(), size, player::ScaleMode::ExactFit);
            DisplayRenderer renderer;
            for (int frame = 0; frame < 2; ++frame) {
                const QImage image = renderer.renderStageImage(player->stage(), size, player::ScaleMode::ExactFit);
                QVERIFY(image == expected);
                if (std::thread::hardware_concurrency() >= 2)
                    QCOMPARE(renderer.lastBandCount(), expectedBands);
            }
        }
    }

    // Masked content drawn only within the rectangle its mask covers (masks inside masked
    // content within their own mask's and the outer one's) gives the pixels of whole layers, in
    // one piece and in bands, at both qualities.
    void maskedContentCutToItsMask()
    {
        int masked = 0;
        for (quint32 seed = 301; seed <= 316; ++seed) {
            const QString script = SceneScript(seed, false).make();
            masked += script.count(QStringLiteral("setMask"));
            const auto player = play(script);
            QVERIFY(player);
            for (const bool highQuality : { true, false }) {
                for (const int bands : { 1, 3 }) {
                    DisplayRenderer renderer;
                    renderer.setHighQuality(highQuality);
                    renderer.setBandCount(bands);
                    DisplayRenderer::setMaskedContentCut(false);
                    const QImage whole = renderer.renderStageImage(player->stage(), QSize(293, 311), player::ScaleMode::ExactFit);
                    DisplayRenderer::setMaskedContentCut(true);
                    const QImage cut = renderer.renderStageImage(player->stage(), QSize(293, 311), player::ScaleMode::ExactFit);
                    QVERIFY2(cut == whole, qPrintable(QStringLiteral("scene %1, %2 bands").arg(seed).arg(bands)));
                }
            }
        }
        QVERIFY(masked >= 10);
    }

    // A renderer drawing one scene after another (its layers' memory and its stage image kept
    // from frame to frame) gives each the pixels of a fresh renderer, in one piece and in bands;
    // an image the caller still holds keeps its pixels when the next one is drawn.
    void framesAfterOtherFrames()
    {
        const QSize size(331, 257);
        for (const int bands : { 1, 3 }) {
            DisplayRenderer renderer;
            renderer.setBandCount(bands);
            QImage held;
            QImage heldExpected;
            for (quint32 seed = 201; seed <= 208; ++seed) {
                const auto player = play(SceneScript(seed, false).make());
                QVERIFY(player);
                DisplayRenderer fresh;
                fresh.setBandCount(bands);
                const QImage expected = fresh.renderStageImage(player->stage(), size, player::ScaleMode::ExactFit);
                const QImage image = renderer.renderStageImage(player->stage(), size, player::ScaleMode::ExactFit);
                QVERIFY2(image == expected, qPrintable(QStringLiteral("scene %1 in %2 bands").arg(seed).arg(bands)));
                QVERIFY(held == heldExpected);
                if (seed % 3 == 0) {
                    held = image;
                    heldExpected = expected;
                }
            }
            QVERIFY(!held.isNull());
        }
    }

    // With RowWorkers off (the benchmarks' one-thread switch) a renderer left to choose draws in
    // one piece; with it on, a large stage is drawn in bands.
    void oneThreadSwitch()
    {
        const auto player = play(SceneScript(7, false).make());
        QVERIFY(player);
        DisplayRenderer renderer;
        RowWorkers::setEnabled(false);
        const QImage single = renderer.renderStageImage(player->stage(), QSize(512, 512), player::ScaleMode::ExactFit);
        QVERIFY(!renderer.lastDrawnInBands());
        RowWorkers::setEnabled(true);
        const QImage banded = renderer.renderStageImage(player->stage(), QSize(512, 512), player::ScaleMode::ExactFit);
        if (std::thread::hardware_concurrency() >= 2)
            QVERIFY(renderer.lastDrawnInBands());
        QVERIFY(single == banded);
    }
};

QTEST_MAIN(StageBandsTest)
#include "tst_stage_bands.moc"
