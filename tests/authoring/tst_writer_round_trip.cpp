// What the writer produces reads back through the player's SWF reader unchanged: every kind of
// tag the authoring kit writes, and the shipped sample movies without a single warning.

#include "authoring/BitmapEncoder.h"
#include "authoring/ButtonDefinition.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/ShapeBuilder.h"
#include "authoring/TemplateBuilder.h"
#include "authoring/TextFieldDefinition.h"
#include "player/swf/MovieReader.h"

#include <QImage>
#include <QTest>

using namespace authoring;
namespace swf = player::swf;

namespace {

swf::MovieReadResult readBack(const QByteArray& file)
{
    return swf::readMovie(reinterpret_cast<const uint8_t*>(file.constData()), size_t(file.size()));
}

std::vector<uint8_t> bytesOf(const QByteArray& data)
{
    return {data.begin(), data.end()};
}

template <typename T>
const T* character(const swf::Movie& movie, uint16_t id)
{
    const auto found = movie.characters.find(id);
    return found == movie.characters.end() ? nullptr : std::get_if<T>(found->second.get());
}

ShapeLayer layer(FillStyle::Kind kind, const swf::Rect& box, uint16_t bitmapId = 0)
{
    ShapeLayer result;
    result.path.addRoundedRectangle(box, 40);
    FillStyle fill;
    fill.kind = kind;
    fill.color = {10, 20, 30, 200};
    fill.stops = {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 128}}, {255, {0, 0, 255, 0}}};
    fill.transform = {0.5, 0.125, -0.125, 0.25, 100, -60};
    fill.focalPoint = 0.5;
    fill.bitmapId = bitmapId;
    result.fill = fill;
    result.line = LineStyle{30, {1, 2, 3, 4}};
    return result;
}

} // namespace

class WriterRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void everyTagReadsBack_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("plain") << false;
        QTest::newRow("zlib") << true;
    }

    void everyTagReadsBack()
    {
        QFETCH(bool, compressed);
        MovieWriter movie(8, 320, 240, 30);
        movie.setBackground({12, 34, 56, 255});

        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(qRgba(200, 100, 50, 255));
        const uint16_t losslessId = movie.allocateCharacterId();
        const BitmapTag lossless = losslessBitmap(losslessId, image);
        movie.root().addTag(lossless.code, lossless.body);
        const uint16_t jpegId = movie.allocateCharacterId();
        const BitmapTag jpeg = encodedJpegBitmap(jpegId, image.convertToFormat(QImage::Format_RGB32), 90);
        movie.root().addTag(jpeg.code, jpeg.body);

        ShapeBuilder shape;
        shape.addLayer(layer(FillStyle::Kind::Solid, {0, 400, 0, 300}));
        shape.addLayer(layer(FillStyle::Kind::LinearGradient, {100, 500, 100, 400}));
        shape.addLayer(layer(FillStyle::Kind::RadialGradient, {-200, 200, -100, 100}));
        shape.addLayer(layer(FillStyle::Kind::FocalGradient, {0, 100, 0, 100}));
        shape.addLayer(layer(FillStyle::Kind::ClippedBitmap, {0, 60, 0, 40}, losslessId));
        shape.addLayer(layer(FillStyle::Kind::RepeatingBitmapUnsmoothed, {0, 60, 0, 40}, jpegId));
        const uint16_t shapeId = movie.allocateCharacterId();
        movie.root().addTag(TagCode::DefineShape4, shape.tagBody(shapeId));

        const uint16_t fontId = movie.allocateCharacterId();
        movie.root().addTag(TagCode::DefineFont2, deviceFontTagBody(fontId, "_sans", true, false));
        TextFieldDefinition field;
        field.bounds = {0, 2000, 0, 400};
        field.fontId = fontId;
        field.fontHeight = 280;
        field.color = {9, 8, 7, 255};
        field.variableName = "title";
        field.initialText = "Hello";
        field.align = TextFieldDefinition::Align::Center;
        const uint16_t textId = movie.allocateCharacterId();
        movie.root().addTag(TagCode::DefineEditText, field.tagBody(textId));

        const QByteArray press = ScriptCompiler::compile("fscommand(\"msgbox\", \"hi\");").actions;
        ButtonDefinition button;
        button.records.push_back({ButtonDefinition::Up | ButtonDefinition::HitTest, shapeId, 1, translation(40, 60)});
        button.actions.push_back({ButtonDefinition::OverDownToOverUp, press});
        button.actions.push_back({ButtonDefinition::IdleToOverUp, ScriptCompiler::compile("trace(1);").actions});
        const uint16_t buttonId = movie.allocateCharacterId();
        movie.root().addTag(TagCode::DefineButton2, button.tagBody(buttonId));

        TimelineWriter sprite;
        const QByteArray spriteScript = ScriptCompiler::compile("stop();").actions;
        sprite.doAction(spriteScript);
        PlaceObjectRecord inner;
        inner.characterId = shapeId;
        inner.name = "inner";
        sprite.placeObject(inner);
        sprite.showFrame();
        sprite.showFrame();
        const uint16_t spriteId = movie.allocateCharacterId();
        movie.defineSprite(spriteId, sprite);
        movie.exportAsset(spriteId, "Widget");
        const QByteArray initScript = ScriptCompiler::compile("var ready = true;").actions;
        movie.doInitAction(spriteId, initScript);

        PlaceObjectRecord placed;
        placed.depth = 7;
        placed.characterId = spriteId;
        placed.name = "widget";
        placed.transform = swf::Matrix{1.5, 0.5, 0.25, -0.75, 200, -400};
        swf::ColorTransform colorTransform;
        colorTransform.alphaMult = 128;
        colorTransform.redAdd = -20;
        placed.colorTransform = colorTransform;
        placed.blendMode = BlendMode::Difference;
        BitmapFilter glow;
        glow.kind = BitmapFilter::Kind::Glow;
        glow.blurX = 6;
        glow.blurY = 3.5;
        glow.color = {255, 128, 0, 255};
        glow.strength = 2;
        glow.passes = 3;
        BitmapFilter shadow;
        shadow.kind = BitmapFilter::Kind::DropShadow;
        shadow.angle = 0.5;
        shadow.distance = 5;
        placed.filters = {glow, shadow};
        placed.clipEvents.push_back({0x02, ScriptCompiler::compile("trace(2);").actions});
        const QByteArray frameScript = ScriptCompiler::compile("trace(\"frame\");").actions;
        movie.root().frameLabel("start");
        movie.root().placeObject(placed);
        PlaceObjectRecord mask;
        mask.depth = 3;
        mask.characterId = textId;
        mask.clipDepth = 6;
        movie.root().placeObject(mask);
        movie.root().doAction(frameScript);
        movie.root().showFrame();
        movie.root().removeObject(3);
        movie.root().showFrame();

        const swf::MovieReadResult result = readBack(movie.toBytes(compressed));
        QVERIFY2(result.movie, result.error.c_str());
        const swf::Movie& read = *result.movie;
        QVERIFY2(read.warnings.empty(), read.warnings.empty() ? "" : read.warnings.front().c_str());

        QCOMPARE(read.header.version, uint8_t(8));
        QCOMPARE(read.header.compression, compressed ? swf::Compression::Zlib : swf::Compression::None);
        QCOMPARE(read.header.frameSize, (swf::Rect{0, 6400, 0, 4800}));
        QCOMPARE(read.header.frameRate, 30.0);
        QCOMPARE(read.header.frameCount, uint16_t(2));
        QCOMPARE(read.backgroundColor, std::optional<swf::Rgba>(swf::Rgba{12, 34, 56, 255}));

        const auto* readLossless = character<swf::BitmapDefinition>(read, losslessId);
        QVERIFY(readLossless);
        QCOMPARE(readLossless->kind, swf::BitmapDefinition::Kind::Lossless2);
        QCOMPARE(readLossless->width, uint16_t(3));
        QCOMPARE(readLossless->height, uint16_t(2));
        const auto* readJpeg = character<swf::BitmapDefinition>(read, jpegId);
        QVERIFY(readJpeg);
        QCOMPARE(readJpeg->kind, swf::BitmapDefinition::Kind::Jpeg2);

        const auto* readShape = character<swf::Shape>(read, shapeId);
        QVERIFY(readShape);
        QCOMPARE(readShape->version, 4);
        const swf::Rect bounds = shape.bounds();
        QCOMPARE(readShape->bounds, (swf::Rect{bounds.xMin, bounds.xMax, bounds.yMin, bounds.yMax}));
        QCOMPARE(readShape->fillStyles.size(), size_t(1));
        QCOMPARE(readShape->fillStyles[0].color, (swf::Rgba{10, 20, 30, 200}));
        // Every later layer arrives as a style change with new styles, in order.
        std::vector<swf::FillStyle> fills = readShape->fillStyles;
        for (const swf::ShapeRecord& record : readShape->records) {
            if (const auto* change = std::get_if<swf::StyleChangeRecord>(&record); change && change->hasNewStyles)
                fills.insert(fills.end(), change->newFillStyles.begin(), change->newFillStyles.end());
        }
        QCOMPARE(fills.size(), size_t(6));
        QCOMPARE(fills[1].type, swf::FillType::LinearGradient);
        QCOMPARE(fills[1].gradient.records.size(), size_t(3));
        QCOMPARE(fills[1].gradient.records[1].ratio, uint8_t(128));
        QCOMPARE(fills[1].gradient.records[1].color, (swf::Rgba{0, 255, 0, 128}));
        QCOMPARE(fills[1].gradient.matrix, (swf::Matrix{0.5, 0.125, -0.125, 0.25, 100, -60}));
        QCOMPARE(fills[2].type, swf::FillType::RadialGradient);
        QCOMPARE(fills[3].type, swf::FillType::FocalGradient);
        QCOMPARE(fills[3].gradient.focalPoint, 0.5);
        QCOMPARE(fills[4].type, swf::FillType::ClippedBitmap);
        QCOMPARE(fills[4].bitmapId, losslessId);
        QCOMPARE(fills[5].type, swf::FillType::NonSmoothedRepeatingBitmap);
        QCOMPARE(fills[5].bitmapId, jpegId);
        QCOMPARE(readShape->lineStyles.at(0).width, uint16_t(30));
        QCOMPARE(readShape->lineStyles.at(0).color, (swf::Rgba{1, 2, 3, 4}));

        const auto* readFont = character<swf::Font>(read, fontId);
        QVERIFY(readFont);
        QCOMPARE(readFont->name, std::string("_sans"));
        QVERIFY(readFont->bold);
        QVERIFY(readFont->glyphs.empty());

        const auto* readText = character<swf::EditText>(read, textId);
        QVERIFY(readText);
        QCOMPARE(readText->bounds, (swf::Rect{0, 2000, 0, 400}));
        QCOMPARE(readText->fontId, std::optional<uint16_t>(fontId));
        QCOMPARE(readText->fontHeight, uint16_t(280));
        QCOMPARE(readText->textColor, std::optional<swf::Rgba>(swf::Rgba{9, 8, 7, 255}));
        QCOMPARE(readText->align, swf::TextAlign::Center);
        QCOMPARE(readText->variableName, std::string("title"));
        QCOMPARE(readText->initialText, std::string("Hello"));
        QVERIFY(readText->readOnly);
        QVERIFY(readText->noSelect);

        const auto* readButton = character<swf::Button>(read, buttonId);
        QVERIFY(readButton);
        QCOMPARE(readButton->version, 2);
        QCOMPARE(readButton->records.size(), size_t(1));
        QVERIFY(readButton->records[0].up && readButton->records[0].hitTest && !readButton->records[0].over);
        QCOMPARE(readButton->records[0].matrix, (swf::Matrix{1, 0, 0, 1, 40, 60}));
        QCOMPARE(readButton->actions.size(), size_t(2));
        QCOMPARE(readButton->actions[0].conditions, uint16_t(swf::OverDownToOverUp));
        QCOMPARE(*readButton->actions[0].actions, bytesOf(press));
        QCOMPARE(readButton->actions[1].conditions, uint16_t(swf::IdleToOverUp));

        const auto* readSprite = character<swf::Sprite>(read, spriteId);
        QVERIFY(readSprite);
        QCOMPARE(readSprite->timeline.declaredFrameCount, uint16_t(2));
        QCOMPARE(readSprite->timeline.frames.size(), size_t(2));
        const auto& spriteTags = readSprite->timeline.frames[0].tags;
        QCOMPARE(spriteTags.size(), size_t(2));
        QCOMPARE(*std::get<swf::DoAction>(spriteTags[0]).actions, bytesOf(spriteScript));
        QCOMPARE(std::get<swf::PlaceObject>(spriteTags[1]).name, std::optional<std::string>("inner"));
        QCOMPARE(read.exports.at("Widget"), spriteId);

        QCOMPARE(read.timeline.frames.size(), size_t(2));
        const swf::Frame& first = read.timeline.frames[0];
        QCOMPARE(first.labels.size(), size_t(1));
        QCOMPARE(first.labels[0].name, std::string("start"));
        // DoInitAction, the two placements and the DoAction, in file order.
        QCOMPARE(first.tags.size(), size_t(4));
        const auto& init = std::get<swf::DoInitAction>(first.tags[0]);
        QCOMPARE(init.spriteId, spriteId);
        QCOMPARE(*init.actions, bytesOf(initScript));
        const auto& readPlaced = std::get<swf::PlaceObject>(first.tags[1]);
        QCOMPARE(readPlaced.version, 3);
        QCOMPARE(readPlaced.depth, uint16_t(7));
        QCOMPARE(readPlaced.characterId, std::optional<uint16_t>(spriteId));
        QCOMPARE(readPlaced.name, std::optional<std::string>("widget"));
        QCOMPARE(readPlaced.matrix, std::optional<swf::Matrix>(swf::Matrix{1.5, 0.5, 0.25, -0.75, 200, -400}));
        swf::ColorTransform expectedTransform;
        expectedTransform.alphaMult = 128;
        expectedTransform.redAdd = -20;
        QCOMPARE(readPlaced.colorTransform, std::optional<swf::ColorTransform>(expectedTransform));
        QCOMPARE(readPlaced.blendMode, std::optional<swf::BlendMode>(swf::BlendMode::Difference));
        QVERIFY(readPlaced.filters);
        QCOMPARE(readPlaced.filters->size(), size_t(2));
        const swf::Filter& readGlow = readPlaced.filters->at(0);
        QCOMPARE(readGlow.type, swf::FilterType::Glow);
        QCOMPARE(readGlow.blurX, 6.0);
        QCOMPARE(readGlow.blurY, 3.5);
        QCOMPARE(readGlow.color, (swf::Rgba{255, 128, 0, 255}));
        QCOMPARE(readGlow.strength, 2.0);
        QCOMPARE(readGlow.passes, 3);
        const swf::Filter& readShadow = readPlaced.filters->at(1);
        QCOMPARE(readShadow.type, swf::FilterType::DropShadow);
        QCOMPARE(readShadow.distance, 5.0);
        QVERIFY(std::abs(readShadow.angle - 0.5) < 1e-4);
        QCOMPARE(readPlaced.clipActions.size(), size_t(1));
        QCOMPARE(readPlaced.clipActions[0].events, swf::clip_event::EnterFrame);
        const auto& readMask = std::get<swf::PlaceObject>(first.tags[2]);
        QCOMPARE(readMask.clipDepth, std::optional<uint16_t>(6));
        QCOMPARE(*std::get<swf::DoAction>(first.tags[3]).actions, bytesOf(frameScript));
        const auto& removal = std::get<swf::RemoveObject>(read.timeline.frames[1].tags.at(0));
        QCOMPARE(removal.depth, uint16_t(3));
    }

    void sampleMoviesReadWithoutWarnings_data()
    {
        QTest::addColumn<QString>("folder");
        for (const char* name : {"chair", "stool", "car", "effects"})
            QTest::newRow(name) << QStringLiteral(SKRV_SOURCE_DIR "/src/authoring/content/") + name;
    }

    void sampleMoviesReadWithoutWarnings()
    {
        QFETCH(QString, folder);
        const TemplateBuildResult built = buildTemplate(folder);
        QVERIFY2(built.ok(), qPrintable(built.error));
        const swf::MovieReadResult result = readBack(built.movie);
        QVERIFY2(result.movie, result.error.c_str());
        QVERIFY2(result.movie->warnings.empty(), result.movie->warnings.empty() ? "" : result.movie->warnings.front().c_str());
        QVERIFY(!result.movie->characters.empty());
        QCOMPARE(result.movie->timeline.frames.size(), size_t(result.movie->header.frameCount));
    }
};

QTEST_GUILESS_MAIN(WriterRoundTripTest)
#include "tst_writer_round_trip.moc"
