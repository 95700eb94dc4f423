#include "authoring/ByteWriter.h"
#include "authoring/EmbeddedFont.h"
#include "authoring/MovieWriter.h"
#include "authoring/PlaceObjectRecord.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/SwfRecords.h"
#include "authoring/TagCode.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QtTest>

// A TextSnapshot reads the static text (DefineText) a clip holds, character by character
// through the fonts' code tables, in depth order; text fields are not part of it.
class TextSnapshotTest : public QObject {
    Q_OBJECT

private:
    // A font with the glyphs A, B, C and D (no outlines: only the codes matter here).
    static authoring::EmbeddedFont letters()
    {
        authoring::EmbeddedFont font;
        font.name = "Letters";
        for (char code : {'A', 'B', 'C', 'D'}) {
            authoring::EmbeddedFont::Glyph glyph;
            glyph.code = uint16_t(code);
            font.glyphs.push_back(glyph);
        }
        return font;
    }

    // A DefineText showing the glyphs at these indices of the font, in one record.
    static QByteArray staticText(uint16_t id, uint16_t fontId, const std::vector<uint8_t>& glyphs)
    {
        authoring::ByteWriter out;
        out.u16(id);
        authoring::writeRect(out, {0, 2000, 0, 400});
        authoring::writeMatrix(out, {});
        out.u8(8); // glyph index bits
        out.u8(8); // advance bits
        out.u8(0x8C); // a text record with a font and a colour
        out.u16(fontId);
        out.u8(0);
        out.u8(0);
        out.u8(0);
        out.u16(240);
        out.u8(uint32_t(glyphs.size()));
        for (uint8_t glyph : glyphs) {
            out.u8(glyph);
            out.u8(100);
        }
        out.u8(0); // end of records
        return out.bytes();
    }

    static QStringList run(const std::string& script)
    {
        authoring::MovieWriter movie(8, 100, 100, 12);
        const uint16_t fontId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineFont2, letters().tagBody(fontId));
        const std::vector<std::vector<uint8_t>> texts{{0, 1}, {2, 3}};
        for (size_t index = 0; index < texts.size(); ++index) {
            const uint16_t textId = movie.allocateCharacterId();
            movie.root().addTag(authoring::TagCode::DefineText, staticText(textId, fontId, texts[index]));
            authoring::PlaceObjectRecord place;
            // Placed deeper first: the snapshot follows depths, not the order of placing.
            place.depth = uint16_t(10 - index);
            place.characterId = textId;
            movie.root().placeObject(place);
        }
        const authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script);
        if (!compiled.ok())
            return {QStringLiteral("<script does not compile>")};
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        TracingPlayer run;
        return run.play(movie.toBytes(false), 0, QStringLiteral("file:///snapshot.swf"));
    }

private slots:
    void readsTheClipsStaticText_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("count") << "trace(getTextSnapshot().getCount());" << "4";
        QTest::newRow("text in depth order") << "trace(getTextSnapshot().getText(0, 10));" << "CDAB";
        QTest::newRow("line endings between texts") << "trace(getTextSnapshot().getText(0, 10, true));" << "CD\nAB";
        QTest::newRow("part") << "trace(getTextSnapshot().getText(1, 3));" << "DA";
        QTest::newRow("fields do not count")
            << "createTextField('f', 50, 0, 0, 50, 20); f.text = 'xyz'; trace(new TextSnapshot(this).getCount());" << "4";
        QTest::newRow("find, either case") << "var s = getTextSnapshot(); trace(s.findText(0, 'da', false) + ' ' + s.findText(0, 'da', true));"
                                           << "1 -1";
        QTest::newRow("find from a start") << "var s = getTextSnapshot(); trace(s.findText(2, 'D', true) + ' ' + s.findText(1, 'D', true));"
                                           << "-1 1";
        QTest::newRow("an empty clip") << "createEmptyMovieClip('c', 3); trace(c.getTextSnapshot().getCount());" << "0";
    }

    void readsTheClipsStaticText()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(run(script.toStdString()), QStringList{expected});
    }
};

QTEST_MAIN(TextSnapshotTest)
#include "tst_text_snapshot.moc"
