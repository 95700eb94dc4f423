#include "NoTimelineServices.h"
#include "ShapeBuilder.h"

#include "player/display/GraphicInstances.h"
#include "player/display/MovieClip.h"
#include "player/display/Stage.h"
#include "player/display/TimelineServices.h"
#include "player/render/ColorTransforms.h"
#include "player/render/DisplayRenderer.h"
#include "player/render/StageLayout.h"

#include <QtTest>

using namespace player;
using namespace player::render;

Q_DECLARE_METATYPE(player::swf::ColorTransform)
Q_DECLARE_METATYPE(player::ScaleMode)
Q_DECLARE_METATYPE(player::swf::BlendMode)

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Grey = 0xFF808080;

swf::Matrix translation(double xPixels, double yPixels)
{
    return swf::Matrix { 1.0, 0.0, 0.0, 1.0, xPixels * 20.0, yPixels * 20.0 };
}

// A 100x100-pixel stage on grey, with shape characters: 1 = red square over the whole stage,
// 2 = blue square from 20 to 60, 3 = red square from 70 to 90.
class TestMovie {
public:
    explicit TestMovie(int stageWidth = 100, int stageHeight = 100)
    {
        auto movie = std::make_shared<swf::Movie>();
        movie->header.version = 8;
        movie->header.frameSize = swf::Rect { 0, stageWidth * 20, 0, stageHeight * 20 };
        movie->backgroundColor = ShapeBuilder::rgba(Grey);
        movie->characters[1] = character(ShapeBuilder().solid(Red).rectangle(0, 0, stageWidth, stageHeight, 0, 1).build(), 1);
        movie->characters[2] = character(ShapeBuilder().solid(Blue).rectangle(20, 20, 60, 60, 0, 1).build(), 2);
        movie->characters[3] = character(ShapeBuilder().solid(Red).rectangle(70, 70, 90, 90, 0, 1).build(), 3);
        library = std::make_shared<display::MovieLibrary>(movie, QStringLiteral("file:///test.swf"));
        root = std::make_shared<display::MovieClip>(services, library, nullptr, 0);
        stage.setLevel(0, root);
    }

    std::shared_ptr<display::ShapeInstance> place(display::DisplayContainer& parent, int depth, uint16_t id,
                                                  const swf::Matrix& matrix = {})
    {
        auto shape = std::make_shared<display::ShapeInstance>(library, library->character(id), id);
        shape->setMatrix(matrix);
        parent.insertChild(depth, shape);
        return shape;
    }

    std::shared_ptr<display::MovieClip> clip(display::DisplayContainer& parent, int depth, const swf::Matrix& matrix = {})
    {
        auto clip = display::MovieClip::createEmpty(services, library);
        clip->setMatrix(matrix);
        parent.insertChild(depth, clip);
        return clip;
    }

    QImage render(const QSize& size = QSize(100, 100), ScaleMode mode = ScaleMode::ExactFit)
    {
        return renderer.renderStageImage(stage, size, mode).convertToFormat(QImage::Format_RGB32);
    }

    NoTimelineServices services;
    std::shared_ptr<display::MovieLibrary> library;
    std::shared_ptr<display::MovieClip> root;
    display::Stage stage;
    DisplayRenderer renderer;

private:
    static std::shared_ptr<const swf::Character> character(swf::Shape shape, uint16_t id)
    {
        shape.id = id;
        return std::make_shared<const swf::Character>(std::move(shape));
    }
};

} // namespace

class DisplayRenderingTest : public QObject {
    Q_OBJECT

private slots:
    void colourTransforms_data();
    void colourTransforms();
    void scaleModes_data();
    void scaleModes();
    void depthOrderAndMatrices();
    void clipDepthMask();
    void scriptMask();
    void visibilityAndColourDownTheTree();
    void levelsAndLowQuality();
    void blendModes_data();
    void blendModes();
    void filtersInStagePixels();
    void opaqueBackground();
};

void DisplayRenderingTest::colourTransforms_data()
{
    QTest::addColumn<swf::ColorTransform>("outer");
    QTest::addColumn<swf::ColorTransform>("inner");
    QTest::addColumn<QRgb>("input");
    QTest::addColumn<QRgb>("expected");

    const swf::ColorTransform identity;
    swf::ColorTransform halfAlpha;
    halfAlpha.alphaMult = 128;
    swf::ColorTransform doubleRed;
    doubleRed.redMult = 512;
    swf::ColorTransform addRed;
    addRed.redAdd = 50;
    swf::ColorTransform noRed;
    noRed.redMult = 0;
    swf::ColorTransform subtractGreen;
    subtractGreen.greenAdd = -300;

    QTest::newRow("identity") << identity << identity << qRgba(10, 20, 30, 40) << qRgba(10, 20, 30, 40);
    QTest::newRow("alpha multiplies") << halfAlpha << halfAlpha << qRgba(0, 0, 0, 255) << qRgba(0, 0, 0, 63);
    // The outer multiplier scales what the inner one adds.
    QTest::newRow("outer scales inner add") << doubleRed << addRed << qRgb(10, 0, 0) << qRgb(120, 0, 0);
    QTest::newRow("inner multiplier before outer add") << addRed << noRed << qRgb(200, 0, 0) << qRgb(50, 0, 0);
    // No clamping between the two: 200 * 2 would clamp to 255 and give 127 after halving.
    swf::ColorTransform halfRed;
    halfRed.redMult = 128;
    QTest::newRow("no clamp between levels") << halfRed << doubleRed << qRgb(200, 0, 0) << qRgb(200, 0, 0);
    QTest::newRow("clamped below zero") << identity << subtractGreen << qRgb(0, 200, 0) << qRgb(0, 0, 0);
    QTest::newRow("clamped above 255") << doubleRed << identity << qRgb(200, 0, 0) << qRgb(255, 0, 0);
    // Products round down, also below zero: 255 * -0.5 is -128 before the add.
    swf::ColorTransform negativeRed;
    negativeRed.redMult = -128;
    negativeRed.redAdd = 255;
    QTest::newRow("negative product rounds down") << identity << negativeRed << qRgb(255, 0, 0) << qRgb(127, 0, 0);
    QTest::newRow("positive product rounds down") << identity << halfRed << qRgb(255, 0, 0) << qRgb(127, 0, 0);
}

void DisplayRenderingTest::colourTransforms()
{
    QFETCH(swf::ColorTransform, outer);
    QFETCH(swf::ColorTransform, inner);
    QFETCH(QRgb, input);
    QFETCH(QRgb, expected);
    const swf::ColorTransform composed = composeColorTransforms(outer, inner);
    QCOMPARE(applyColorTransform(composed, ShapeBuilder::rgba(input)).rgba(), expected);

    // Images take the same arithmetic on straight colour and stay premultiplied.
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixelColor(0, 0, QColor::fromRgba(input));
    const QImage transformed = applyColorTransform(composed, image);
    QCOMPARE(transformed.format(), QImage::Format_ARGB32_Premultiplied);
    QVERIFY(closeTo(transformed.pixelColor(0, 0).rgba(), expected, qAlpha(expected) < 100 ? 8 : 2));
}

void DisplayRenderingTest::scaleModes_data()
{
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<QPointF>("stageCorner");  // where the stage's bottom-right corner lands
    QTest::addColumn<QPointF>("stageOrigin");

    // A 200x100 stage in a 400x400 viewport.
    QTest::newRow("exact fit stretches") << ScaleMode::ExactFit << QPointF(400, 400) << QPointF(0, 0);
    QTest::newRow("show all keeps the aspect and centres") << ScaleMode::ShowAll << QPointF(400, 300) << QPointF(0, 100);
    QTest::newRow("no scale centres") << ScaleMode::NoScale << QPointF(300, 250) << QPointF(100, 150);
}

void DisplayRenderingTest::scaleModes()
{
    QFETCH(ScaleMode, mode);
    QFETCH(QPointF, stageCorner);
    QFETCH(QPointF, stageOrigin);
    const QTransform transform = StageLayout::stageTransform(swf::Rect { 0, 4000, 0, 2000 }, QSizeF(400, 400), mode);
    QCOMPARE(transform.map(QPointF(4000, 2000)), stageCorner);
    QCOMPARE(transform.map(QPointF(0, 0)), stageOrigin);

    // Drawn: a full-stage red square on a 100x50 stage in a 100x100 viewport. Outside the stage
    // the background shows.
    TestMovie movie(100, 50);
    movie.place(*movie.root, 1, 1);
    const QImage image = movie.render(QSize(100, 100), mode);
    if (mode == ScaleMode::ExactFit) {
        QCOMPARE(image.pixel(50, 5), Red);
        QCOMPARE(image.pixel(50, 95), Red);
    } else {
        QCOMPARE(image.pixel(50, 5), Grey);
        QCOMPARE(image.pixel(50, 50), Red);
        QCOMPARE(image.pixel(50, 95), Grey);
    }
}

void DisplayRenderingTest::depthOrderAndMatrices()
{
    TestMovie movie;
    movie.place(*movie.root, 5, 2);
    movie.place(*movie.root, 1, 1); // placed later, but deeper: drawn below
    // A clip moved by (10, 0) holding the small red square moved by (0, -60): at 80..100, 10..30.
    auto clip = movie.clip(*movie.root, 7, translation(10, 0));
    movie.place(*clip, 1, 3, translation(0, -60));

    const QImage image = movie.render();
    QCOMPARE(image.pixel(40, 40), Blue);
    QCOMPARE(image.pixel(10, 10), Red);
    QCOMPARE(image.pixel(90, 20), Red);
    QCOMPARE(image.pixel(75, 75), Red); // the full square, not the moved small one
    QCOMPARE(movie.render(QSize(200, 200)).pixel(80, 80), Blue); // stretched twice as large
}

void DisplayRenderingTest::clipDepthMask()
{
    TestMovie movie;
    // The blue-square shape masks depths 2..3: the full red square at depth 2 shows only inside
    // 20..60. Depth 4 is above the mask's reach.
    auto mask = movie.place(*movie.root, 1, 2);
    mask->setClipDepth(3);
    movie.place(*movie.root, 2, 1);
    movie.place(*movie.root, 4, 3);

    const QImage image = movie.render();
    QCOMPARE(image.pixel(40, 40), Red);   // masked content inside the mask
    QCOMPARE(image.pixel(10, 10), Grey);  // masked content outside: nothing, not even the mask
    QCOMPARE(image.pixel(65, 65), Grey);
    QCOMPARE(image.pixel(80, 80), Red);   // above the clip depth: not masked

    // A colour transform or alpha on the mask changes nothing: masks show only their shape.
    swf::ColorTransform transparent;
    transparent.alphaMult = 0;
    mask->setColorTransform(transparent);
    QCOMPARE(movie.render().pixel(40, 40), Red);

    // A clip depth of 0 in the file makes no mask: the object is drawn like any other.
    mask->setColorTransform({});
    mask->setClipDepth(display::TimelineDepthOffset);
    const QImage unmasked = movie.render();
    QCOMPARE(unmasked.pixel(10, 10), Red);
    QCOMPARE(unmasked.pixel(80, 80), Red);
}

void DisplayRenderingTest::scriptMask()
{
    TestMovie movie;
    // Green content (the full square, recoloured) masked by a clip holding the small red square
    // moved to 10..30. The mask clip lies above the content but is not drawn itself.
    auto content = movie.clip(*movie.root, 1);
    movie.place(*content, 1, 1);
    swf::ColorTransform green;
    green.redMult = 0;
    green.greenAdd = 255;
    content->setColorTransform(green);
    auto maskClip = movie.clip(*movie.root, 3, translation(-60, -60));
    movie.place(*maskClip, 1, 3);
    content->setScriptMask(maskClip);

    const QImage image = movie.render();
    QCOMPARE(image.pixel(20, 20), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(50, 50), Grey);
    QCOMPARE(image.pixel(5, 5), Grey);
}

void DisplayRenderingTest::visibilityAndColourDownTheTree()
{
    TestMovie movie;
    auto outer = movie.clip(*movie.root, 1);
    auto inner = movie.clip(*outer, 1);
    movie.place(*inner, 1, 2);
    swf::ColorTransform noRedAddGreen;
    noRedAddGreen.greenAdd = 255;
    swf::ColorTransform halfBlue;
    halfBlue.blueMult = 128;
    outer->setColorTransform(noRedAddGreen);
    inner->setColorTransform(halfBlue);
    QCOMPARE(movie.render().pixel(40, 40), qRgb(0, 255, 127));

    inner->setVisible(false);
    QCOMPARE(movie.render().pixel(40, 40), Grey);
}

void DisplayRenderingTest::levelsAndLowQuality()
{
    TestMovie movie;
    movie.place(*movie.root, 1, 2);
    auto level = display::MovieClip::createEmpty(movie.services, movie.library);
    movie.stage.setLevel(1, level);
    movie.place(*level, 1, 3, translation(-40, -40)); // 30..50 over the blue square
    QImage image = movie.render();
    QCOMPARE(image.pixel(40, 40), Red);
    QCOMPARE(image.pixel(25, 25), Blue);

    // A diagonal edge: antialiased at high quality, only two colours at low.
    auto countMixed = [](const QImage& picture) {
        int mixed = 0;
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, 40);
            mixed += pixel != Red && pixel != Blue && pixel != Grey;
        }
        return mixed;
    };
    movie.stage.removeLevel(1);
    movie.place(*movie.root, 1, 2, swf::Matrix { 0.9, 0.3, -0.3, 0.9, 300, 0 });
    QVERIFY(countMixed(movie.render()) > 0);
    movie.renderer.setHighQuality(false);
    QCOMPARE(countMixed(movie.render()), 0);
}

void DisplayRenderingTest::blendModes_data()
{
    QTest::addColumn<swf::BlendMode>("mode");
    QTest::addColumn<QRgb>("expected"); // blue blended onto red

    using swf::BlendMode;
    QTest::newRow("layer looks normal") << BlendMode::Layer << Blue;
    QTest::newRow("multiply") << BlendMode::Multiply << qRgb(0, 0, 0);
    QTest::newRow("screen") << BlendMode::Screen << qRgb(255, 0, 255);
    QTest::newRow("lighten") << BlendMode::Lighten << qRgb(255, 0, 255);
    QTest::newRow("darken") << BlendMode::Darken << qRgb(0, 0, 0);
    QTest::newRow("difference") << BlendMode::Difference << qRgb(255, 0, 255);
    QTest::newRow("add") << BlendMode::Add << qRgb(255, 0, 255);
    QTest::newRow("subtract") << BlendMode::Subtract << qRgb(255, 0, 0);
    QTest::newRow("invert") << BlendMode::Invert << qRgb(0, 255, 255);
    // Overlay picks its formula by the colour below, hard light by the colour on top.
    QTest::newRow("overlay") << BlendMode::Overlay << qRgb(255, 0, 0);
    QTest::newRow("hard light") << BlendMode::HardLight << qRgb(0, 0, 255);
}

void DisplayRenderingTest::blendModes()
{
    QFETCH(swf::BlendMode, mode);
    QFETCH(QRgb, expected);
    TestMovie movie;
    movie.place(*movie.root, 1, 1);
    movie.place(*movie.root, 2, 2)->setBlendMode(mode);
    const QImage image = movie.render();
    QVERIFY2(closeTo(image.pixel(40, 40), expected, 2), qPrintable(describe(image.pixel(40, 40))));
    // Around the object, what lies below is untouched.
    QCOMPARE(image.pixel(10, 10), Red);
    QCOMPARE(image.pixel(61, 61), Red);
}

void DisplayRenderingTest::filtersInStagePixels()
{
    swf::Filter shadow;
    shadow.type = swf::FilterType::DropShadow;
    shadow.blurX = 0.0;
    shadow.blurY = 0.0;
    shadow.distance = 5.0;
    shadow.color = swf::Rgba { 0, 0, 0, 255 };

    // The blue square (20..60) casts a shadow five pixels to the right, beyond its own bounds.
    TestMovie movie;
    movie.place(*movie.root, 1, 2)->setFilters({ shadow });
    QImage image = movie.render();
    QCOMPARE(image.pixel(40, 40), Blue);
    QCOMPARE(image.pixel(63, 40), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(66, 40), Grey);
    QCOMPARE(image.pixel(40, 63), Grey);

    // A clip scaled to half keeps the filter's distance in stage pixels: square 10..30, shadow to 35.
    TestMovie scaled;
    auto clip = scaled.clip(*scaled.root, 1, swf::Matrix { 0.5, 0.0, 0.0, 0.5, 0.0, 0.0 });
    scaled.place(*clip, 1, 2);
    clip->setFilters({ shadow });
    image = scaled.render();
    QCOMPARE(image.pixel(20, 20), Blue);
    QCOMPARE(image.pixel(33, 20), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(37, 20), Grey);
    // The stage drawn twice as large doubles it with everything else.
    image = scaled.render(QSize(200, 200));
    QCOMPARE(image.pixel(66, 40), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(72, 40), Grey);

    // A shadow on an object that lies just off the stage still falls onto it.
    TestMovie offStage;
    offStage.place(*offStage.root, 1, 2, translation(-62, 0))->setFilters({ shadow });
    image = offStage.render();
    QCOMPARE(image.pixel(1, 40), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(5, 40), Grey);
}

void DisplayRenderingTest::opaqueBackground()
{
    // A clip holding squares 20..60 and 70..90: its background fills 20..90 behind both, opaque
    // even when the colour asks for transparency.
    TestMovie movie;
    auto clip = movie.clip(*movie.root, 1);
    movie.place(*clip, 1, 2);
    movie.place(*clip, 2, 3);
    clip->setOpaqueBackground(swf::Rgba { 0, 255, 0, 0 });
    const QImage image = movie.render();
    QCOMPARE(image.pixel(40, 40), Blue);
    QCOMPARE(image.pixel(80, 80), Red);
    QCOMPARE(image.pixel(25, 80), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(65, 30), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(10, 10), Grey);
    QCOMPARE(image.pixel(95, 50), Grey);
}

QTEST_MAIN(DisplayRenderingTest)
#include "tst_display_rendering.moc"
