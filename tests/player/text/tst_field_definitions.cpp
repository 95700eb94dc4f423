#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/TagCode.h"
#include "authoring/TextFieldDefinition.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTest>

// What a field placed from its definition starts with: the format its font gives it. The
// movie has a bold italic device font, a plain field "plain" and an HTML field "rich" in it.
class FieldDefinitionsTest : public QObject {
    Q_OBJECT

private:
    static QStringList run(const std::string& script)
    {
        const authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script);
        if (!compiled.ok())
            return {QStringLiteral("<script does not compile>")};
        authoring::MovieWriter movie(8, 200, 100, 12);
        const uint16_t fontId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineFont2, authoring::deviceFontTagBody(fontId, "_sans", true, true));
        auto placeField = [&](authoring::TextFieldDefinition field, uint16_t depth, const char* name) {
            field.bounds = {0, 2000, 0, 400};
            field.fontId = fontId;
            const uint16_t id = movie.allocateCharacterId();
            movie.root().addTag(authoring::TagCode::DefineEditText, field.tagBody(id));
            authoring::PlaceObjectRecord place;
            place.depth = depth;
            place.characterId = id;
            place.name = name;
            movie.root().placeObject(place);
        };
        authoring::TextFieldDefinition plain;
        plain.initialText = "plain";
        placeField(plain, 1, "plain");
        authoring::TextFieldDefinition rich;
        rich.html = true;
        rich.initialText = "rich <b>bold</b>";
        placeField(rich, 2, "rich");
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        TracingPlayer tracing;
        if (tracing.engine.loadMovieData(0, movie.toBytes(false), QStringLiteral("file:///fields.swf")))
            return {QStringLiteral("<movie does not load>")};
        return tracing.traces;
    }

private slots:
    void plainFieldsTakeTheirFontsStyle()
    {
        // A plain field's text and new text are bold and italic as its font is.
        QCOMPARE(run("var f = plain.getTextFormat(); trace(f.bold + ' ' + f.italic);"
                     "f = plain.getNewTextFormat(); trace(f.bold + ' ' + f.italic);"),
                 (QStringList {QStringLiteral("true true"), QStringLiteral("true true")}));
    }

    void htmlFieldsTakeTheirStyleFromMarkup()
    {
        // An HTML field's style comes from its markup alone: only the text inside B is bold.
        QCOMPARE(run("trace(rich.getTextFormat(0, 4).bold + ' ' + rich.getTextFormat(0, 4).italic);"
                     "trace(rich.getTextFormat(5, 9).bold); trace(rich.getTextFormat().bold);"),
                 (QStringList {QStringLiteral("false false"), QStringLiteral("true"), QStringLiteral("null")}));
    }
};

QTEST_GUILESS_MAIN(FieldDefinitionsTest)
#include "tst_field_definitions.moc"
