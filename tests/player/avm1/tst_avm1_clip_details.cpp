#include "authoring/ActionAssembler.h"
#include "authoring/ButtonDefinition.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "../TracingPlayer.h"

#include <QTest>

// Small things scripts see of clips: classes registered for symbols, colours for paths, and
// positions finer than a twip. The movie exports one empty symbol as "first" and "second".
class TestClipDetails : public QObject {
    Q_OBJECT

private:
    static QStringList tracesOf(const QString& script)
    {
        authoring::CompileResult compiled = authoring::ScriptCompiler::compile(script.toStdString());
        if (!compiled.ok())
            return {QStringLiteral("compile error")};
        authoring::MovieWriter movie(8, 200, 100, 12);
        const uint16_t symbolId = movie.allocateCharacterId();
        authoring::TimelineWriter symbol;
        symbol.showFrame();
        movie.defineSprite(symbolId, symbol);
        movie.exportAsset(symbolId, "first");
        movie.exportAsset(symbolId, "second");
        movie.root().doAction(compiled.actions);
        movie.root().showFrame();
        TracingPlayer run;
        return run.play(movie.toBytes(false), 0, QStringLiteral("file:///clips.swf"));
    }

private slots:
    void scripts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a class registered under one export name serves the other")
            << "function Thing() { trace('made ' + this._name); } Thing.prototype = new MovieClip();"
               "Thing.prototype.hello = function() { return 'hi'; }; Object.registerClass('second', Thing);"
               "var m = attachMovie('first', 'one', 1); trace(m.hello()); trace(m instanceof Thing);"
            << "made one|hi|true";
        QTest::newRow("an unregistered symbol stays a plain clip")
            << "function Thing() { trace('made'); } Object.registerClass('other', Thing);"
               "var m = attachMovie('first', 'one', 1); trace(m instanceof Thing); trace(typeof m);"
            << "false|movieclip";
        QTest::newRow("a colour for an empty path tints nothing")
            << "var c = new Color(''); c.setRGB(0x333333); trace(c.getRGB()); trace(new Color(_root).getRGB());"
               "trace(new Color().getRGB()); var d = new Color(_root); d.setRGB(0x102030); trace(d.getRGB());"
            << "undefined|0|undefined|1056816";
        QTest::newRow("positions drop what is finer than a twip")
            << "createEmptyMovieClip('m', 1); m._y = 3.94; m._x = -2.99; trace(m._y + ' ' + m._x);"
               "m._x = 0.049; trace(m._x); m._y = 7.05; trace(m._y);"
            << "3.9 -2.95|0|7.05";
        QTest::newRow("a text field's size drops what is finer than a twip")
            << "createTextField('t', 2, 0, 0, 2.1, 3.94); trace(t._width + ' ' + t._height); t._height = 3.94; t._width = 10.99;"
               "trace(t._width + ' ' + t._height);"
            << "2 3|10.95 3.9";
    }

    void scripts()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(tracesOf(script).join(u'|'), expected);
    }

    // Frame scripts share one stack through a frame: a value one leaves there, the next one
    // pops, even on another clip; the next frame starts with it empty.
    void frameScriptsShareTheStackThroughAFrame()
    {
        using authoring::ActionAssembler;
        using authoring::ActionCode;
        auto script = [](const char* pushed) {
            ActionAssembler code;
            code.op(ActionCode::Trace);
            if (pushed)
                code.pushString(pushed);
            return code.finish();
        };
        authoring::MovieWriter movie(8, 100, 100, 12);
        const uint16_t childId = movie.allocateCharacterId();
        authoring::TimelineWriter child;
        child.doAction(script("from the child"));
        child.showFrame();
        movie.defineSprite(childId, child);
        movie.root().doAction(script("from the first"));
        movie.root().doAction(script("from the second"));
        authoring::PlaceObjectRecord place;
        place.depth = 1;
        place.characterId = childId;
        movie.root().placeObject(place);
        movie.root().doAction(script("left at the end of the frame"));
        movie.root().showFrame();
        movie.root().doAction(script(nullptr));
        movie.root().doAction([] {
            ActionAssembler code;
            code.op(ActionCode::Stop);
            return code.finish();
        }());
        movie.root().showFrame();
        TracingPlayer run;
        QCOMPARE(run.playJoined(movie.toBytes(false), 1, QStringLiteral("file:///stack.swf")), QStringLiteral("undefined|from the first|from the second|from the child|undefined"));
    }

    // A clip the timeline places from a symbol with a registered class owns that class as
    // __constructor__ (hidden from for..in), as an object made with "new" does, so that super()
    // in the class reaches the superclass; SWF 6 movies also get it as an own "constructor".
    void placedClipOfARegisteredClassKnowsItsConstructor_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("swf 6") << 6 << QStringLiteral("base|true|true|");
        QTest::newRow("swf 8") << 8 << QStringLiteral("base|true|false|");
    }
    void placedClipOfARegisteredClassKnowsItsConstructor()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        authoring::CompileResult registration = authoring::ScriptCompiler::compile(
            "function Base() { trace('base'); }"
            "function Thing() { super(); trace(this.__constructor__ === Thing);"
            " trace(this.hasOwnProperty('constructor'));"
            " var names = ''; for (var k in this) names += k; trace(names); }"
            "Thing.prototype.__proto__ = MovieClip.prototype; Base.prototype.__proto__ = MovieClip.prototype;"
            "Thing.prototype.__constructor__ = Base; Object.registerClass('thing', Thing);");
        QVERIFY(registration.ok());
        authoring::MovieWriter movie(version, 100, 100, 12);
        const uint16_t symbolId = movie.allocateCharacterId();
        authoring::TimelineWriter symbol;
        symbol.showFrame();
        movie.defineSprite(symbolId, symbol);
        movie.exportAsset(symbolId, "thing");
        movie.root().doAction(registration.actions);
        movie.root().showFrame();
        authoring::PlaceObjectRecord place;
        place.depth = 1;
        place.characterId = symbolId;
        place.name = "placed";
        movie.root().placeObject(place);
        movie.root().showFrame();
        TracingPlayer run;
        QCOMPARE(run.playJoined(movie.toBytes(false), 1, QStringLiteral("file:///placed.swf")), expected);
    }

    // Buttons became script objects with SWF 6. In an older movie a button's name leads to the
    // clip holding it, as a shape's does, and a clip inside the button has that clip for parent.
    void buttonsOfOlderMoviesAreNoObjects_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("swf 5") << 5 << QStringLiteral("inside: true movieclip|root: / true");
        QTest::newRow("swf 6") << 6 << QStringLiteral("inside: false object|root: /btn false");
    }
    void buttonsOfOlderMoviesAreNoObjects()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        authoring::CompileResult inside = authoring::ScriptCompiler::compile(
            "trace('inside: ' + (_parent == _root) + ' ' + typeof _parent);");
        authoring::CompileResult outside = authoring::ScriptCompiler::compile(
            "trace('root: ' + btn._target + ' ' + (btn == _root));");
        QVERIFY(inside.ok() && outside.ok());
        authoring::MovieWriter movie(version, 100, 100, 12);
        const uint16_t spriteId = movie.allocateCharacterId();
        authoring::TimelineWriter sprite;
        sprite.doAction(inside.actions);
        sprite.showFrame();
        movie.defineSprite(spriteId, sprite);
        authoring::ButtonDefinition button;
        button.records.push_back({});
        button.records.back().characterId = spriteId;
        const uint16_t buttonId = movie.allocateCharacterId();
        movie.root().addTag(authoring::TagCode::DefineButton2, button.tagBody(buttonId));
        authoring::PlaceObjectRecord place;
        place.depth = 1;
        place.characterId = buttonId;
        place.name = "btn";
        movie.root().placeObject(place);
        movie.root().doAction(outside.actions);
        movie.root().showFrame();
        TracingPlayer run;
        QCOMPARE(run.playJoined(movie.toBytes(false), 1, QStringLiteral("file:///button.swf")), expected);
    }

    // A video stream a timeline places is a Video object scripts find by its instance name, as
    // big as the stream's frames; one placed without a name gets none and stays out of sight.
    void placedVideoIsAScriptObject()
    {
        authoring::CompileResult script = authoring::ScriptCompiler::compile(
            "trace(typeof film); trace(film._name); trace(film instanceof Video);"
            "trace(film._width + 'x' + film._height); trace(film._parent == _root);"
            "var names = []; for (var k in _root) if (typeof _root[k] == 'object' && k != 'names') names.push(k);"
            "trace(names.join(','));");
        QVERIFY(script.ok());
        authoring::MovieWriter movie(8, 100, 100, 12);
        const uint16_t videoId = movie.allocateCharacterId();
        QByteArray stream;
        for (int value : {int(videoId), 10, 32, 24})
            stream.append(char(value & 0xFF)).append(char(value >> 8));
        stream.append(char(0)).append(char(2)); // no deblocking or smoothing; Sorenson H.263
        movie.root().addTag(authoring::TagCode::DefineVideoStream, stream);
        for (uint16_t depth : {1, 2}) {
            authoring::PlaceObjectRecord place;
            place.depth = depth;
            place.characterId = videoId;
            if (depth == 2)
                place.name = "film";
            movie.root().placeObject(place);
        }
        movie.root().doAction(script.actions);
        movie.root().showFrame();
        TracingPlayer run;
        player::Player& player = run.engine;
        QStringList& traces = run.traces;
        QVERIFY(!player.loadMovieData(0, movie.toBytes(false), QStringLiteral("file:///video.swf")));
        QCOMPARE(traces.join(u'|'), QStringLiteral("object|film|true|32x24|true|film"));
    }
};

QTEST_GUILESS_MAIN(TestClipDetails)
#include "tst_avm1_clip_details.moc"
