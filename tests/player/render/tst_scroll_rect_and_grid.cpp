#include "NoTimelineServices.h"
#include "ScriptedStage.h"
#include "ShapeBuilder.h"

#include "player/Player.h"
#include "player/avm1/ScriptEngine.h"
#include "player/display/GraphicInstances.h"
#include "player/display/MovieClip.h"
#include "player/display/Stage.h"
#include "player/display/TimelineServices.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/HitTester.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace player;

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Grey = 0xFF808080;

swf::Rect pixelRect(int left, int top, int right, int bottom)
{
    return swf::Rect { left * 20, right * 20, top * 20, bottom * 20 };
}

// A 100x100 stage on grey with a clip at (10, 10) holding a 30x30 blue square, red 10x10
// squares in its top left and bottom right corners and a green strip along the middle of its
// top edge: the nine parts of a grid from 10 to 20 told apart by colour.
class GridMovie {
public:
    GridMovie()
    {
        auto movie = std::make_shared<swf::Movie>();
        movie->header.version = 8;
        movie->header.frameSize = pixelRect(0, 0, 100, 100);
        movie->backgroundColor = ShapeBuilder::rgba(Grey);
        movie->characters[1] = character(ShapeBuilder().solid(Blue).rectangle(0, 0, 30, 30, 0, 1).build(), 1, pixelRect(0, 0, 30, 30));
        movie->characters[2] = character(ShapeBuilder().solid(Red).rectangle(0, 0, 10, 10, 0, 1).build(), 2, pixelRect(0, 0, 10, 10));
        movie->characters[3] = character(ShapeBuilder().solid(Red).rectangle(20, 20, 30, 30, 0, 1).build(), 3, pixelRect(20, 20, 30, 30));
        movie->characters[4] = character(ShapeBuilder().solid(Green).rectangle(10, 0, 20, 10, 0, 1).build(), 4, pixelRect(10, 0, 20, 10));
        library = std::make_shared<display::MovieLibrary>(movie, QStringLiteral("file:///test.swf"));
        root = std::make_shared<display::MovieClip>(services, library, nullptr, 0);
        stage.setLevel(0, root);
        clip = display::MovieClip::createEmpty(services, library);
        clip->setMatrix(swf::Matrix { 1.0, 0.0, 0.0, 1.0, 200.0, 200.0 });
        root->insertChild(1, clip);
        for (uint16_t id = 1; id <= 4; ++id) {
            auto shape = std::make_shared<display::ShapeInstance>(library, library->character(id), id);
            clip->insertChild(id, shape);
        }
    }

    QImage render()
    {
        renderer.setHighQuality(false);
        return renderer.renderStageImage(stage, QSize(100, 100), ScaleMode::ExactFit).convertToFormat(QImage::Format_RGB32);
    }

    NoTimelineServices services;
    std::shared_ptr<display::MovieLibrary> library;
    std::shared_ptr<display::MovieClip> root;
    std::shared_ptr<display::MovieClip> clip;
    display::Stage stage;
    render::DisplayRenderer renderer;

private:
    static std::shared_ptr<const swf::Character> character(swf::Shape shape, uint16_t id, const swf::Rect& bounds)
    {
        shape.id = id;
        shape.bounds = bounds;
        return std::make_shared<const swf::Character>(std::move(shape));
    }
};

QByteArray colourName(QRgb color)
{
    return QByteArray::number(color & 0xFFFFFF, 16).rightJustified(6, '0');
}

} // namespace

// scrollRect and nine-slice grids: what is drawn and hit, and what scripts read and write.
class ScrollRectAndGridTest : public QObject {
    Q_OBJECT

private:
    using Result = ScriptedStage;

    QTemporaryDir m_folder;

    Result run(const QString& script) { return renderScriptedStage(m_folder, script); }

private slots:
    // The clip scaled three times: with the grid, the corners stay 10 pixels, the top edge
    // stretches along its length only and the centre takes the rest.
    void nineSliceScaling_data()
    {
        QTest::addColumn<bool>("withGrid");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("corner keeps its size") << true << 0.0 << QPoint(18, 18) << Red;
        QTest::newRow("beyond the corner is the centre") << true << 0.0 << QPoint(25, 25) << Blue;
        QTest::newRow("far corner keeps its size") << true << 0.0 << QPoint(92, 92) << Red;
        QTest::newRow("far corner's inner edge") << true << 0.0 << QPoint(85, 85) << Blue;
        QTest::newRow("top edge stretches along") << true << 0.0 << QPoint(50, 15) << Green;
        QTest::newRow("top edge keeps its height") << true << 0.0 << QPoint(50, 25) << Blue;
        QTest::newRow("without a grid the corner scales") << false << 0.0 << QPoint(35, 35) << Red;
        QTest::newRow("without a grid the edge scales") << false << 0.0 << QPoint(50, 35) << Green;
        // A quarter turn about (100, 10): the top left corner lands at the top right, 30 pixels
        // wide and tall as without a grid.
        QTest::newRow("rotation turns the grid off") << true << 90.0 << QPoint(85, 25) << Red;
    }

    void nineSliceScaling()
    {
        QFETCH(bool, withGrid);
        QFETCH(double, rotation);
        QFETCH(QPoint, point);
        QFETCH(QRgb, expected);
        GridMovie movie;
        if (withGrid)
            movie.clip->setScaleGrid(pixelRect(10, 10, 20, 20));
        movie.clip->setXScale(300.0);
        movie.clip->setYScale(300.0);
        if (rotation != 0.0) {
            movie.clip->setRotation(rotation);
            movie.clip->setX(100.0);
            movie.clip->setY(10.0);
        }
        const QImage image = movie.render();
        const QRgb actual = image.pixel(point);
        QVERIFY2(actual == expected, colourName(actual) + " instead of " + colourName(expected));
    }

    // A scroll rectangle of (5, 5, 20, 10) on the clip at (10, 10): the content moves 5 pixels
    // up and left, and only 20 by 10 pixels of it show.
    void scrollRectMovesAndCuts_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("red corner moved up and left") << QPoint(14, 14) << Red;
        QTest::newRow("blue square after the corner") << QPoint(16, 16) << Blue;
        QTest::newRow("green strip moved") << QPoint(20, 12) << Green;
        QTest::newRow("cut at the width") << QPoint(31, 12) << Grey;
        QTest::newRow("cut at the height") << QPoint(20, 21) << Grey;
        QTest::newRow("last row shown") << QPoint(29, 19) << Blue;
    }

    void scrollRectMovesAndCuts()
    {
        QFETCH(QPoint, point);
        QFETCH(QRgb, expected);
        GridMovie movie;
        movie.clip->setScrollRect(pixelRect(5, 5, 25, 15));
        const QRgb actual = movie.render().pixel(point);
        QVERIFY2(actual == expected, colourName(actual) + " instead of " + colourName(expected));
    }

    // The clip at (10.5, 10.5) with a scroll rectangle of (0, 0, 20, 20): the cut goes from
    // pixel 10 (a half goes up and left), and the content is drawn from that corner too, so the
    // red corner fills columns and rows 10 to 19. Without a scroll rectangle the red corner's edges lie
    // on pixel centres and it fills columns 11 to 20.
    void scrollRectDrawsFromTheCutCorner_data()
    {
        QTest::addColumn<bool>("scrolled");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("first column of the cut") << true << QPoint(10, 15) << Red;
        QTest::newRow("last red column") << true << QPoint(19, 15) << Red;
        QTest::newRow("green strip after ten columns") << true << QPoint(20, 15) << Green;
        QTest::newRow("first row of the cut") << true << QPoint(15, 10) << Red;
        QTest::newRow("blue after ten rows") << true << QPoint(15, 20) << Blue;
        QTest::newRow("unscrolled: left edge stays empty") << false << QPoint(10, 15) << Grey;
        QTest::newRow("unscrolled: right edge is red") << false << QPoint(20, 15) << Red;
    }

    void scrollRectDrawsFromTheCutCorner()
    {
        QFETCH(bool, scrolled);
        QFETCH(QPoint, point);
        QFETCH(QRgb, expected);
        GridMovie movie;
        movie.clip->setMatrix(swf::Matrix { 1.0, 0.0, 0.0, 1.0, 210.0, 210.0 });
        if (scrolled)
            movie.clip->setScrollRect(pixelRect(0, 0, 20, 20));
        const QRgb actual = movie.render().pixel(point);
        QVERIFY2(actual == expected, colourName(actual) + " instead of " + colourName(expected));
    }

    void scrollRectCutsHits()
    {
        GridMovie movie;
        render::HitTester tester;
        // Stage (35, 12) is on the blue square, but beyond a 20-pixel-wide scroll rectangle.
        QVERIFY(tester.hitsContent(*movie.clip, QPointF(35 * 20, 12 * 20), false));
        movie.clip->setScrollRect(pixelRect(5, 5, 25, 15));
        QVERIFY(!tester.hitsContent(*movie.clip, QPointF(35 * 20, 12 * 20), false));
        // Stage (12, 12) shows content (7, 7): the red corner.
        QVERIFY(tester.hitsContent(*movie.clip, QPointF(12 * 20, 12 * 20), false));
    }

    void scriptProperties_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const QString clip = QStringLiteral("createEmptyMovieClip('a', 1);");
        QTest::newRow("unset is undefined")
            << clip + "trace(a.scrollRect); trace(a.scale9Grid);" << "undefined|undefined";
        QTest::newRow("scroll rectangle read back")
            << clip + "a.scrollRect = new flash.geom.Rectangle(10, 20, 30, 40); trace(a.scrollRect); trace(a.scrollRect instanceof flash.geom.Rectangle);"
            << "(x=10, y=20, w=30, h=40)|true";
        QTest::newRow("a copy comes out")
            << clip + "a.scrollRect = new flash.geom.Rectangle(10, 20, 30, 40); var r = a.scrollRect; r.x = 99; trace(a.scrollRect.x);"
            << "10";
        QTest::newRow("whole pixels, any object")
            << clip + "a.scrollRect = {x: 1.9, y: -2.5, width: 3, height: '4'}; trace(a.scrollRect);"
            << "(x=1, y=-2, w=3, h=4)";
        QTest::newRow("an incomplete object keeps the last rectangle")
            << clip + "a.scrollRect = new flash.geom.Rectangle(1, 2, 3, 4); a.scrollRect = {x: 5}; trace(a.scrollRect);"
            << "(x=1, y=2, w=3, h=4)";
        QTest::newRow("an incomplete object turns scrolling on empty")
            << clip + "a.scrollRect = {}; trace(a.scrollRect);" << "(x=0, y=0, w=0, h=0)";
        QTest::newRow("anything but an object turns scrolling off")
            << clip + "a.scrollRect = new flash.geom.Rectangle(1, 2, 3, 4); a.scrollRect = 5; trace(a.scrollRect);"
            << "undefined";
        QTest::newRow("grid read back and removed")
            << clip + "a.scale9Grid = new flash.geom.Rectangle(5, 6, 7, 8); trace(a.scale9Grid); a.scale9Grid = null; trace(a.scale9Grid);"
            << "(x=5, y=6, w=7, h=8)|undefined";
        QTest::newRow("an incomplete grid leaves it")
            << clip + "a.scale9Grid = new flash.geom.Rectangle(5, 6, 7, 8); a.scale9Grid = {y: 1}; trace(a.scale9Grid);"
            << "(x=5, y=6, w=7, h=8)";
    }

    void scriptProperties()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(run(script).traces.join(u'|'), expected);
    }

    void scriptScrollRectDraws()
    {
        // A green square from 10 to 90 in a clip at (20, 20), scrolled by (30, 30) and cut to 20x20.
        const Result result = run(QStringLiteral(
            "createEmptyMovieClip('a', 1); a._x = 20; a._y = 20; a.beginFill(0x00FF00);"
            "a.moveTo(10, 10); a.lineTo(90, 10); a.lineTo(90, 90); a.lineTo(10, 90); a.lineTo(10, 10); a.endFill();"
            "a.scrollRect = new flash.geom.Rectangle(30, 30, 20, 20);"));
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(result.image.pixel(20, 20), QRgb { 0xFF00FF00 });
        QCOMPARE(result.image.pixel(39, 39), QRgb { 0xFF00FF00 });
        QVERIFY(result.image.pixel(41, 30) != QRgb { 0xFF00FF00 });
        QVERIFY(result.image.pixel(30, 41) != QRgb { 0xFF00FF00 });
        QVERIFY(result.image.pixel(19, 30) != QRgb { 0xFF00FF00 });
    }
};

QTEST_MAIN(ScrollRectAndGridTest)
#include "tst_scroll_rect_and_grid.moc"
