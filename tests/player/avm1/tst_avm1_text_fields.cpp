#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/TagCode.h"
#include "authoring/TextFieldDefinition.h"
#include "player/Player.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"
#include "player/avm1/ScriptEngine.h"

#include <QTest>

// Script objects of text fields: clip properties, text and HTML text, and variables bound to
// fields in both directions. The movie has a plain field "field" bound to "score" and showing
// "Hello", and an HTML field "rich" without a variable.
class TestTextFields : public QObject {
    Q_OBJECT

private:
    static QByteArray movieWith(const QString& script)
    {
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
        if (!compiled.ok())
            return {};
        authoring::MovieWriter movie(8, 200, 100, 12);
        uint16_t fontId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineFont2, authoring::deviceFontTagBody(fontId, "_sans"));
        auto placeField = [&](const authoring::TextFieldDefinition& field, uint16_t depth, const char* name) {
            uint16_t id = movie.allocateCharacterId();
            movie.root().addTag(authoring::TagCode::DefineEditText, field.tagBody(id));
            authoring::PlaceObjectRecord place;
            place.depth = depth;
            place.characterId = id;
            place.name = name;
            movie.root().placeObject(place);
        };
        authoring::TextFieldDefinition plain;
        plain.bounds = {0, 2000, 0, 400};
        plain.fontId = fontId;
        plain.variableName = "score";
        plain.initialText = "Hello";
        placeField(plain, 1, "field");
        authoring::TextFieldDefinition rich;
        rich.bounds = {0, 2000, 400, 800};
        rich.fontId = fontId;
        rich.html = true;
        rich.readOnly = false;
        rich.initialText = "<p>a &amp; b</p><p>c</p>";
        placeField(rich, 2, "rich");
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        return movie.toBytes(false);
    }

private slots:
    void scriptsOnFields_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a field with text gives its undefined variable the text")
            << "trace(score); trace(field.text); trace(field.variable); trace(rich.variable);"
            << "Hello|Hello|score|null";
        QTest::newRow("the variable shows in the field, the field's text in the variable")
            << "score = 42; trace(field.text); trace(field.length); field.text = 'Bye'; trace(score); trace(typeof score);"
            << "42|2|Bye|string";
        QTest::newRow("binding to another variable")
            << "total = 'seven'; field.variable = 'total'; trace(field.text); field.variable = null; trace(field.variable);"
            << "seven|null";
        QTest::newRow("fields are objects with clip properties")
            << "trace(field instanceof TextField); field._x = 12.5; trace(field._x); trace(field._name); trace(field.type + ' ' + rich.type);"
            << "true|12.5|field|dynamic input";
        QTest::newRow("HTML fields read as plain text")
            << "trace(rich.html); trace(rich.text == 'a & b\\rc'); trace(rich.htmlText == '<p>a &amp; b</p><p>c</p>');"
               "rich.html = false; trace(rich.html);"
            << "true|true|true|false";
    }

    void scriptsOnFields()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QByteArray bytes = movieWith(script);
        QVERIFY(!bytes.isEmpty());
        QStringList traces;
        player::Player player;
        player.setScriptHost(player::avm1::createScriptHost(player));
        player.onTrace = [&traces](const QString& line) { traces.append(line); };
        QVERIFY(!player.loadMovieData(0, bytes, QStringLiteral("file:///fields.swf")));
        QCOMPARE(traces.join(u'|'), expected);
    }

    // A script that only sets the variable still changes what the field shows, by the next frame;
    // the host setting a variable works the same way.
    void shownTextFollowsTheVariableEachFrame()
    {
        QByteArray bytes = movieWith("score = 'Set by script';");
        player::Player player;
        player.setScriptHost(player::avm1::createScriptHost(player));
        QVERIFY(!player.loadMovieData(0, bytes, QStringLiteral("file:///fields.swf")));
        player::display::MovieClip* root = player.stage().level(0);
        QVERIFY(root);
        auto* field = static_cast<player::display::EditTextInstance*>(root->childByName(QStringLiteral("field"), true));
        QVERIFY(field);
        player.advanceFrame();
        QCOMPARE(field->text(), QStringLiteral("Set by script"));
        QVERIFY(player.setVariable(QStringLiteral("score"), QStringLiteral("From the host")));
        player.advanceFrame();
        QCOMPARE(field->text(), QStringLiteral("From the host"));
    }
};

QTEST_GUILESS_MAIN(TestTextFields)
#include "tst_avm1_text_fields.moc"
