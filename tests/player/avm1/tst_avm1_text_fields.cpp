#include "authoring/ButtonDefinition.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "authoring/TagCode.h"
#include "authoring/TextFieldDefinition.h"
#include "player/Player.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"
#include "player/ScriptEngineFactory.h"
#include "../TracingPlayer.h"

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
        auto placeField = [&](const authoring::TextFieldDefinition& field, uint16_t depth, const char* name,
                              const QByteArray& renderingSettings = {}) {
            uint16_t id = movie.allocateCharacterId();
            movie.root().addTag(authoring::TagCode::DefineEditText, field.tagBody(id));
            if (!renderingSettings.isEmpty()) {
                QByteArray body;
                body.append(char(id & 0xff)).append(char(id >> 8)).append(renderingSettings);
                movie.root().addTag(authoring::TagCode::CsmTextSettings, body);
            }
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
        // Advanced anti-aliasing fitted to subpixels, thickness 1.5 and sharpness -100.
        placeField(rich, 2, "rich", QByteArray::fromHex("50" "0000c03f" "0000c8c2" "00"));
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        return movie.toBytes(false);
    }

private slots:
    void scriptsOnFields_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the rendering settings of a definition, the defaults without")
            << "trace([field.antiAliasType, field.gridFitType, field.thickness, field.sharpness]);"
               "trace([rich.antiAliasType, rich.gridFitType, rich.thickness, rich.sharpness]);"
            << "normal,pixel,0,0|advanced,subpixel,1.5,-100";
        QTest::newRow("a field with text gives its undefined variable the text")
            << "trace(score); trace(field.text); trace(field.variable); trace(rich.variable);"
            << "Hello|Hello|score|null";
        QTest::newRow("the variable shows in the field, the field's text in the variable")
            << "score = 42; trace(field.text); trace(field.length); field.text = 'Bye'; trace(score); trace(typeof score);"
            << "42|2|Bye|string";
        QTest::newRow("binding to another variable")
            << "total = 'seven'; field.variable = 'total'; trace(field.text); field.variable = null; trace(field.variable);"
            << "seven|null";
        QTest::newRow("naming a variable starts the field over with its definition's text")
            << "score = 'kept'; field.variable = 'fresh'; trace(field.text); trace(fresh); trace(score);"
               "field.variable = 'score'; trace(field.text); trace(score);"
            << "Hello|Hello|kept|kept|kept";
        QTest::newRow("reading the text leaves an undefined variable undefined")
            << "delete score; trace(field.text); trace(score); trace(field.length); trace(typeof score);"
            << "Hello|undefined|5|undefined";
        QTest::newRow("an object in the variable shows as its text when it is stored")
            << "score = {}; trace(field.text); Object.prototype.toString = function() { return 'changed'; };"
               "trace(field.text); score = {}; trace(field.text);"
            << "[object Object]|[object Object]|changed";
        QTest::newRow("a variable of a plain object is read only when the field is bound")
            << "holder = {value: 'first'}; field.variable = 'holder.value'; trace(field.text); holder.value = 'second';"
               "trace(field.text); field.text = 'third'; trace(holder.value);"
            << "first|first|third";
        QTest::newRow("fields are objects with clip properties")
            << "trace(field instanceof TextField); field._x = 12.5; trace(field._x); trace(field._name); trace(field.type + ' ' + rich.type);"
            << "true|12.5|field|dynamic input";
        QTest::newRow("HTML fields read as plain text, a single-line one without paragraph breaks")
            << "trace(rich.html); trace(rich.text == 'a & bc'); trace(rich.htmlText.indexOf('a &amp; bc</FONT></P>') > 0);"
               "rich.html = false; trace(rich.html);"
            << "true|true|true|false";
        QTest::newRow("createTextField makes an empty dynamic field")
            << "var made = createTextField('made', 5, 10.9, 20.2, 100.7, 30); trace(made._name); trace(made._x + ',' + made._y);"
               "trace(made.text === ''); trace(made.type); trace(made._width); made._width = 50; trace(made._width);"
               "made.removeTextField(); trace(typeof _root.getInstanceAtDepth(5));"
            << "made|10,20|true|dynamic|100|50|undefined";
        QTest::newRow("TextFormat keeps whole numbers and knows unset fields")
            << "var f = new TextFormat('Arial', 20.7, -1, 1); trace(f.font + ' ' + f.size + ' ' + f.color + ' ' + f.bold); trace(f.italic);"
               "trace(new TextFormat(null, null, null, null, null, null, null, null, 'middle').align);"
            << "Arial 20 4294967295 true|null|null";
        QTest::newRow("formats set on a range read back where they agree")
            << "createTextField('t', 1, 0, 0, 100, 30); t.text = 'abc';"
               "t.setTextFormat(1, 3, new TextFormat('Arial', 20, 0xff0000, true));"
               "var whole = t.getTextFormat(); trace(whole.font + ' ' + whole.bold + ' ' + whole.color);"
               "var part = t.getTextFormat(1, 3); trace(part.font + ' ' + part.size + ' ' + part.color + ' ' + part.bold);"
               "trace(t.getTextFormat(0).font);"
               "t.setNewTextFormat(new TextFormat(null, 30)); t.text = 'x'; trace(t.getTextFormat(0).size); trace(t.getNewTextFormat().font);"
            << "null null null|Arial 20 16711680 true|Times New Roman|30|Times New Roman";
        QTest::newRow("flags, types and autoSize names")
            << "createTextField('t', 1, 0, 0, 100, 30); t.type = 'INPUT'; trace(t.type); t.type = 'other'; trace(t.type);"
               "t.autoSize = true; trace(t.autoSize); t.autoSize = 'CENTER'; trace(t.autoSize); t.autoSize = 'bogus'; trace(t.autoSize);"
               "trace(t.maxChars); t.maxChars = 4; trace(t.maxChars); t.border = 1; trace(t.border); t.textColor = 0x123456; trace(t.textColor);"
            << "input|input|left|center|none|null|4|true|1193046";
        // Without a GUI application device text measures half its size a character: 6 pixels at 12.
        QTest::newRow("getTextExtent measures the text and the field around it")
            << "var e = new TextFormat().getTextExtent('abc'); trace(e.width + ' ' + e.textFieldWidth + ' ' + (e.textFieldHeight - e.height));"
               "var wrapped = new TextFormat().getTextExtent('abc def', 30); trace(wrapped.textFieldWidth + ' ' + (wrapped.height > e.height));"
            << "18 22 4|30 true";
        QTest::newRow("textColor colours the text and what is typed next")
            << "createTextField('t', 1, 0, 0, 100, 30); t.text = 'ab'; t.textColor = 255; trace(t.getTextFormat(1).color);"
               "t.text = 'new'; trace(t.getTextFormat(2).color);"
            << "255|255";
    }

    void scriptsOnFields()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QByteArray bytes = movieWith(script);
        QVERIFY(!bytes.isEmpty());
        TracingPlayer run;
        QCOMPARE(run.playJoined(bytes, 0, QStringLiteral("file:///fields.swf")), expected);
    }

    // A script that only sets the variable still changes what the field shows, by the next frame;
    // the host setting a variable works the same way.
    void shownTextFollowsTheVariableEachFrame()
    {
        QByteArray bytes = movieWith("score = 'Set by script';");
        player::Player player;
        player.setScriptHost(player::makeScriptHost(player));
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

    // A field in a button belongs to the clip holding the button: its variable is that clip's.
    void fieldInAButtonShowsItsClipsVariable()
    {
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile("holder.label = 'Working'; trace(holder.label);");
        QVERIFY(compiled.ok());
        authoring::MovieWriter movie(8, 200, 100, 12);
        const uint16_t fontId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineFont2, authoring::deviceFontTagBody(fontId, "_sans"));
        authoring::TextFieldDefinition definition;
        definition.bounds = {0, 2000, 0, 400};
        definition.fontId = fontId;
        definition.variableName = "label";
        definition.initialText = "Broken";
        const uint16_t fieldId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineEditText, definition.tagBody(fieldId));
        authoring::ButtonDefinition button;
        button.records.push_back({});
        button.records.back().characterId = fieldId;
        const uint16_t buttonId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineButton2, button.tagBody(buttonId));
        authoring::TimelineWriter sprite;
        authoring::PlaceObjectRecord placeButton;
        placeButton.depth = 1;
        placeButton.characterId = buttonId;
        sprite.placeObject(placeButton);
        sprite.showFrame();
        const uint16_t spriteId = movie.allocateCharacterId();
        movie.defineSprite(spriteId, sprite);
        authoring::PlaceObjectRecord placeSprite;
        placeSprite.depth = 1;
        placeSprite.characterId = spriteId;
        placeSprite.name = "holder";
        movie.root().placeObject(placeSprite);
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();

        TracingPlayer run;
        player::Player& player = run.engine;
        QCOMPARE(run.playJoined(movie.toBytes(false), 1, QStringLiteral("file:///button.swf")), QStringLiteral("Working"));
        player::display::MovieClip* root = player.stage().level(0);
        QVERIFY(root);
        auto* holder = root->childByName(QStringLiteral("holder"), true);
        QVERIFY(holder && holder->asContainer());
        QVERIFY(!holder->asContainer()->children().empty());
        auto* buttonInstance = holder->asContainer()->children().begin()->second.get();
        QVERIFY(buttonInstance && buttonInstance->asContainer());
        player::display::EditTextInstance* field = nullptr;
        for (const auto& [depth, child] : buttonInstance->asContainer()->children()) {
            if (child && child->kind() == player::display::DisplayKind::EditText)
                field = static_cast<player::display::EditTextInstance*>(child.get());
        }
        QVERIFY(field);
        QCOMPARE(field->text(), QStringLiteral("Working"));
    }
};

QTEST_GUILESS_MAIN(TestTextFields)
#include "tst_avm1_text_fields.moc"
