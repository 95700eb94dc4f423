#include "authoring/EmbeddedFont.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/TagCode.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/render/DisplayRenderer.h"

#include <QtTest>

// Text fields drawn with a font whose outlines come with the movie: the glyphs keep the size
// the field asks for, and advances are read as Flash reads them.
class EmbeddedTextTest : public QObject {
    Q_OBJECT

private:
    struct Result {
        QImage image;
        QStringList traces;
    };

    // "Block": 'a' is a full em square with the usual advance, 'w' a half-em square whose
    // advance (0x9000 units) only makes sense read as unsigned.
    static authoring::EmbeddedFont blockFont()
    {
        authoring::EmbeddedFont font;
        font.name = "Block";
        font.ascent = 1024;
        font.descent = 256;
        authoring::EmbeddedFont::Glyph a;
        a.code = 'a';
        a.outline.addRectangle({0, 1024, -1024, 0});
        a.advance = 1024;
        authoring::EmbeddedFont::Glyph w;
        w.code = 'w';
        w.outline.addRectangle({0, 512, -512, 0});
        w.advance = 0x9000;
        // 'b' steps a hair short of an em: 1023 units.
        authoring::EmbeddedFont::Glyph b;
        b.code = 'b';
        b.outline.addRectangle({0, 100, -100, 0});
        b.advance = 1023;
        // ' ' advances half an em and draws nothing.
        authoring::EmbeddedFont::Glyph space;
        space.code = ' ';
        space.advance = 512;
        font.glyphs = {a, w, b, space};
        return font;
    }

    // "Tall": an ascent of 1000 units, and 'c' a square that stops one unit above the baseline.
    static authoring::EmbeddedFont tallFont()
    {
        authoring::EmbeddedFont font;
        font.name = "Tall";
        font.ascent = 1000;
        font.descent = 200;
        authoring::EmbeddedFont::Glyph c;
        c.code = 'c';
        c.outline.addRectangle({0, 1024, -1024, -1});
        c.advance = 1024;
        font.glyphs = {c};
        return font;
    }

    static Result run(const std::string& script, bool highQuality = false,
                      const authoring::EmbeddedFont& font = blockFont())
    {
        Result result;
        authoring::MovieWriter movie(8, 100, 100, 12);
        movie.root().addTag(authoring::TagCode::DefineFont2, font.tagBody(movie.allocateCharacterId()));
        const authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script);
        if (!compiled.ok()) {
            result.traces.append(QStringLiteral("<script does not compile>"));
            return result;
        }
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        player::Player player;
        player.setScriptHost(player::makeScriptHost(player));
        player.onTrace = [&result](const QString& line) { result.traces.append(line); };
        if (player.loadMovieData(0, movie.toBytes(false), QStringLiteral("file:///embedded.swf")))
            return result;
        player::render::DisplayRenderer renderer;
        renderer.setHighQuality(highQuality);
        result.image = renderer.renderStageImage(player.stage(), QSize(100, 100), player::ScaleMode::ExactFit)
                           .convertToFormat(QImage::Format_RGB32);
        return result;
    }

    // A field at (10, 10) in "Block" at 20 pixels showing `text`.
    static std::string fieldWith(const std::string& text)
    {
        return "createTextField('t', 1, 10, 10, 80, 40); t.embedFonts = true;"
               "var f = new TextFormat(); f.font = 'Block'; f.size = 20; t.setNewTextFormat(f);"
               "t.text = '" + text + "'; trace(t.textWidth);";
    }

private slots:
    void glyphsHaveTheFieldsSize_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inked");

        // The text starts past the field's two-pixel gutter: the square of 'a' covers
        // 12..31 across and 12..31 down.
        QTest::newRow("inside the glyph") << QPoint(20, 20) << true;
        QTest::newRow("near its far corner") << QPoint(30, 30) << true;
        QTest::newRow("right of the glyph") << QPoint(33, 20) << false;
        QTest::newRow("below the glyph") << QPoint(20, 33) << false;
    }

    void glyphsHaveTheFieldsSize()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, inked);
        const Result result = run(fieldWith("a"));
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(qGray(result.image.pixel(point)) < 128, inked);
    }

    void advancesAreUnsigned()
    {
        // 0x9000 units at 20 pixels on a 1024-unit em: 720 pixels; read signed it would
        // step backwards instead.
        const Result result = run(fieldWith("wa"));
        QCOMPARE(result.traces, QStringList {QStringLiteral("740")});
        // 'a' lands far outside the field; 'w' keeps its half-em square at the start.
        QVERIFY(qGray(result.image.pixel(15, 27)) < 128);
        QVERIFY(qGray(result.image.pixel(27, 20)) >= 128);
    }

    void advancesStepInWholeTwips()
    {
        // At 10 pixels 'b' advances 199.8 twips, which Flash cuts to 199: twenty of them measure
        // 199 pixels, not 199.8 (which would show as 200).
        const Result result = run("createTextField('t', 1, 0, 10, 300, 40); t.embedFonts = true;"
                                  "var f = new TextFormat(); f.font = 'Block'; f.size = 10; t.setNewTextFormat(f);"
                                  "t.text = 'bbbbbbbbbbbbbbbbbbbb'; trace(t.textWidth);");
        QCOMPARE(result.traces, QStringList {QStringLiteral("199")});
    }

    void textWidthIsCutToWholePixels()
    {
        // One 'b' at 10 pixels is 199 twips, 9.95 pixels: textWidth cuts it to 9.
        const Result result = run("createTextField('t', 1, 0, 10, 300, 40); t.embedFonts = true;"
                                  "var f = new TextFormat(); f.font = 'Block'; f.size = 10; t.setNewTextFormat(f);"
                                  "t.text = 'b'; trace(t.textWidth);");
        QCOMPARE(result.traces, QStringList {QStringLiteral("9")});
    }

    void textHeightCountsTheLastLinesLeading()
    {
        // "Block" is 1.25 em high: 12.5 pixels at 10, with 2 of leading 14.5, cut to 14. An
        // auto-sized field adds its 4-pixel gutter to the full 14.5.
        const Result result = run("createTextField('t', 1, 0, 10, 300, 40); t.embedFonts = true; t.autoSize = 'left';"
                                  "var f = new TextFormat(); f.font = 'Block'; f.size = 10; f.leading = 2; t.setNewTextFormat(f);"
                                  "t.text = 'a'; trace(t.textHeight + ' ' + t._height);");
        QCOMPARE(result.traces, QStringList {QStringLiteral("14 18.5")});
    }

    void trailingSpacesCountInLeftAlignedLinesOnly_data()
    {
        QTest::addColumn<QString>("align");
        QTest::addColumn<QString>("widths");
        // "aa  " at 20 pixels: 40 pixels of letters and 20 of spaces; an auto-sized field
        // takes the measured width and its 4-pixel gutter.
        QTest::newRow("left") << QStringLiteral("left") << QStringLiteral("60 64");
        QTest::newRow("right") << QStringLiteral("right") << QStringLiteral("40 44");
        QTest::newRow("center") << QStringLiteral("center") << QStringLiteral("40 44");
    }

    void trailingSpacesCountInLeftAlignedLinesOnly()
    {
        QFETCH(QString, align);
        QFETCH(QString, widths);
        const Result result = run("createTextField('t', 1, 0, 10, 5, 40); t.embedFonts = true; t.autoSize = 'left';"
                                  "var f = new TextFormat(); f.font = 'Block'; f.size = 20; f.align = '"
                                  + align.toStdString() + "'; t.setNewTextFormat(f);"
                                  "t.text = 'aa  '; trace(t.textWidth + ' ' + t._width);");
        QCOMPARE(result.traces, QStringList {widths});
    }

    void frameCornerOfAFieldWithText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minimumGray");
        QTest::addColumn<int>("maximumGray");
        // The field's box runs from 10 to 90 across and 10 to 50 down; its frame leaves the
        // corner pixel (90, 50) blank when empty and partly covered once text shows.
        QTest::newRow("empty field") << QString() << 255 << 255;
        QTest::newRow("field with text") << QStringLiteral("a") << 60 << 160;
    }

    void frameCornerOfAFieldWithText()
    {
        QFETCH(QString, text);
        QFETCH(int, minimumGray);
        QFETCH(int, maximumGray);
        const Result result = run(fieldWith(text.toStdString()) + "t.border = true;", true);
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(qGray(result.image.pixel(89, 50)), 0);
        const int corner = qGray(result.image.pixel(90, 50));
        QVERIFY2(corner >= minimumGray && corner <= maximumGray, QByteArray::number(corner));
    }

    void glyphsAreTintedThroughAnEightBitMultiplier_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<QColor>("painted");
        // The text colour tints white glyphs as a colour transform: 0 and 255 stay, every level
        // in between paints one darker. The background keeps its colour exactly.
        QTest::newRow("pink") << QStringLiteral("0xff99cc") << QColor(255, 152, 203);
        QTest::newRow("low levels") << QStringLiteral("0x01107f") << QColor(0, 15, 126);
        QTest::newRow("black and white") << QStringLiteral("0x00ff00") << QColor(0, 255, 0);
    }

    void glyphsAreTintedThroughAnEightBitMultiplier()
    {
        QFETCH(QString, color);
        QFETCH(QColor, painted);
        const Result result = run(fieldWith("a") + "t.textColor = " + color.toStdString()
                                  + "; t.background = true; t.backgroundColor = 0x336699;");
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(QColor(result.image.pixel(20, 20)), painted);
        QCOMPARE(QColor(result.image.pixel(60, 30)), QColor(0x33, 0x66, 0x99));
    }

    void baselineLiesOnAWholeTwip()
    {
        // At 20 pixels the ascent of 1000 units is 19.53 pixels: the baseline of a field at y 10
        // would lie at 31.53, but Flash cuts it to the twip, 31.5, and the square ending a unit
        // (0.02 pixels) above it leaves row 31, whose centre is 31.5, empty. At 31.53 it would
        // cover it.
        const Result result = run("createTextField('t', 1, 10, 10, 80, 40); t.embedFonts = true;"
                                  "var f = new TextFormat(); f.font = 'Tall'; f.size = 20; t.setNewTextFormat(f);"
                                  "t.text = 'c';",
                                  false, tallFont());
        QVERIFY2(!result.image.isNull(), qPrintable(result.traces.join(u'|')));
        QCOMPARE(qGray(result.image.pixel(20, 30)), 0);
        QCOMPARE(qGray(result.image.pixel(20, 31)), 255);
    }

    void deviceGlyphsAreUnsmoothedAtLowQuality()
    {
        // Text in a system font is smoothed at high quality only; at low quality its glyphs are
        // filled like shapes, every pixel the text colour or the background.
        const std::string script = "createTextField('t', 1, 5, 5, 90, 60);"
                                   "var f = new TextFormat(); f.font = '_sans'; f.size = 40; t.setNewTextFormat(f);"
                                   "t.text = 'Wo';";
        auto levels = [](const QImage& image) {
            QSet<int> grays;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    grays.insert(qGray(image.pixel(x, y)));
            return grays;
        };
        const Result smooth = run(script, true);
        QVERIFY2(!smooth.image.isNull(), qPrintable(smooth.traces.join(u'|')));
        QVERIFY2(levels(smooth.image).size() > 2, "no smoothed text drawn at high quality");
        const Result plain = run(script, false);
        QVERIFY2(!plain.image.isNull(), qPrintable(plain.traces.join(u'|')));
        QCOMPARE(levels(plain.image), QSet<int>({0, 255}));
    }
};

QTEST_MAIN(EmbeddedTextTest)
#include "tst_embedded_text.moc"
