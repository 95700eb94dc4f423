#include "InputMovie.h"
#include "player/InputDispatcher.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"
#include "player/display/ButtonInstance.h"

#include <QTest>

using input_test::ButtonAction;

// The player's mouse and key input on movies built here: buttons and their condition actions,
// clips that act as buttons, listeners and clip events, hit tests, coordinate conversions and
// dragging.
class TestMouseInput : public QObject {
    Q_OBJECT

private:
    struct Session {
        std::unique_ptr<player::Player> player;
        QStringList log; // traces, and commands as "command:args"
    };

    static std::unique_ptr<Session> play(const std::vector<ButtonAction>& buttonActions, const std::string& script,
                                         bool trackAsMenu = false)
    {
        auto session = std::make_unique<Session>();
        session->player = std::make_unique<player::Player>();
        player::Player& engine = *session->player;
        engine.setScriptHost(player::makeScriptHost(engine));
        QStringList* log = &session->log;
        engine.onTrace = [log](const QString& line) { log->append(line); };
        engine.onFsCommand = [log](const QString& command, const QString& args) { log->append(command + ':' + args); };
        if (engine.loadMovieData(0, input_test::inputMovie(buttonActions, script, trackAsMenu), "file:///input.swf"))
            return nullptr;
        return session;
    }

    static void click(player::Player& engine, double x, double y)
    {
        engine.mouseMove(x, y);
        engine.mouseDown();
        engine.mouseUp();
    }

    static player::display::ButtonInstance* button(player::Player& engine)
    {
        return dynamic_cast<player::display::ButtonInstance*>(engine.findTarget("_level0.button"));
    }

private slots:
    void buttonConditionsFollowTheMouse_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QStringList>("expected");
        // Points: "in" is on the button, "out" is off everything; "d" and "u" press and release.
        QTest::newRow("click") << "in d u" << QStringList{"over:", "press:", "release:"};
        QTest::newRow("hover and leave") << "in out" << QStringList{"over:", "out:"};
        // Nothing rolls over while the button is held; once it is up, the button is under the mouse.
        QTest::newRow("press outside, release on it") << "out d in u" << QStringList{"over:"};
        QTest::newRow("drag out and release") << "in d out u" << QStringList{"over:", "press:", "dragOut:", "releaseOutside:"};
        QTest::newRow("drag out and back") << "in d out in u" << QStringList{"over:", "press:", "dragOut:", "dragOver:", "release:"};
    }

    void buttonConditionsFollowTheMouse()
    {
        QFETCH(QString, gesture);
        QFETCH(QStringList, expected);
        using Condition = authoring::ButtonDefinition::Condition;
        auto session = play({{Condition::IdleToOverUp, "fscommand('over');"},
                             {Condition::OverUpToIdle, "fscommand('out');"},
                             {Condition::OverUpToOverDown, "fscommand('press');"},
                             {Condition::OverDownToOverUp, "fscommand('release');"},
                             {0x1000, "fscommand('dragOut');"},        // over-down to out-down
                             {0x2000, "fscommand('dragOver');"},       // out-down to over-down
                             {0x4000, "fscommand('releaseOutside');"}}, // out-down to idle
                            "");
        QVERIFY(session);
        player::Player& engine = *session->player;
        for (const QString& step : gesture.split(' ')) {
            if (step == "in")
                engine.mouseMove(100, 100);
            else if (step == "out")
                engine.mouseMove(380, 280);
            else if (step == "d")
                engine.mouseDown();
            else if (step == "u")
                engine.mouseUp();
        }
        QCOMPARE(session->log, expected);
    }

    void buttonShowsItsStates()
    {
        auto session = play({}, "");
        QVERIFY(session);
        player::Player& engine = *session->player;
        using State = player::display::ButtonInstance::State;
        QVERIFY(button(engine));
        QCOMPARE(button(engine)->state(), State::Up);
        engine.mouseMove(60, 60);
        QCOMPARE(button(engine)->state(), State::Over);
        engine.mouseDown();
        QCOMPARE(button(engine)->state(), State::Down);
        engine.mouseMove(390, 290);
        QCOMPARE(button(engine)->state(), State::Over);
        engine.mouseUp();
        QCOMPARE(button(engine)->state(), State::Up);
        // The hit area's edge: 50..150 pixels.
        engine.mouseMove(149, 149);
        QCOMPARE(button(engine)->state(), State::Over);
        engine.mouseMove(151, 100);
        QCOMPARE(button(engine)->state(), State::Up);
    }

    void buttonScriptObjectAndHandlers()
    {
        auto session = play({{authoring::ButtonDefinition::OverDownToOverUp, "trace('action ' + (this == _root));"}},
                            "trace(typeof button); trace(button._name); trace(button._x);"
                            "button.onRelease = function() { trace('onRelease ' + this._name); };"
                            "button.onRollOver = function() { trace('onRollOver'); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        click(engine, 100, 100);
        // Condition actions run on the timeline the button is on; handlers on the button.
        QCOMPARE(session->log, (QStringList{"object", "button", "50", "onRollOver", "action true", "onRelease button"}));
    }

    void disabledButtonTakesNoClicks()
    {
        auto session = play({{authoring::ButtonDefinition::OverDownToOverUp, "fscommand('clicked');"}},
                            "button.enabled = false;");
        QVERIFY(session);
        player::Player& engine = *session->player;
        click(engine, 100, 100);
        QVERIFY(session->log.isEmpty());
        QVERIFY(!engine.input().hovered());
        QVERIFY(!engine.input().wantsHandCursor(engine.scriptHost()));
    }

    void handCursorFollowsUseHandCursor()
    {
        auto session = play({}, "clip.onPress = function() {}; triangle.useHandCursor = false;"
                                "triangle.onRelease = function() {};");
        QVERIFY(session);
        player::Player& engine = *session->player;
        player::display::ScriptHost* host = engine.scriptHost();
        engine.mouseMove(100, 100);
        QVERIFY(engine.input().wantsHandCursor(host));
        engine.mouseMove(250, 100);
        QVERIFY(engine.input().wantsHandCursor(host));
        engine.mouseMove(60, 290); // in the triangle's filled half
        QVERIFY(engine.input().hovered());
        QVERIFY(!engine.input().wantsHandCursor(host));
        engine.mouseMove(390, 290);
        QVERIFY(!engine.input().wantsHandCursor(host));
    }

    void clipWithHandlersActsAsButton()
    {
        auto session = play({}, "clip.onPress = function() { trace('press ' + this._name); };"
                                "clip.onRelease = function() { trace('release'); };"
                                "clip.onReleaseOutside = function() { trace('releaseOutside'); };"
                                "clip.onRollOver = function() { trace('rollOver'); };"
                                "clip.onRollOut = function() { trace('rollOut'); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        click(engine, 250, 100);
        engine.mouseDown();
        engine.mouseMove(390, 290);
        engine.mouseUp();
        QCOMPARE(session->log, (QStringList{"rollOver", "press clip", "release", "press clip", "releaseOutside"}));
    }

    void disabledClipTakesNoClicks()
    {
        auto session = play({}, "clip.onPress = function() { trace('press'); }; clip.enabled = false;");
        QVERIFY(session);
        click(*session->player, 250, 100);
        QVERIFY(session->log.isEmpty());
        QVERIFY(!session->player->input().hovered());
    }

    void rollOverAndOutComeInOrder()
    {
        auto session = play({{authoring::ButtonDefinition::IdleToOverUp, "trace('button over');"},
                             {authoring::ButtonDefinition::OverUpToIdle, "trace('button out');"}},
                            "clip.onRollOver = function() { trace('clip over'); };"
                            "clip.onRollOut = function() { trace('clip out'); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        engine.mouseMove(100, 100);
        engine.mouseMove(120, 100); // still over: nothing new
        engine.mouseMove(250, 100);
        engine.mouseMove(390, 100);
        QCOMPARE(session->log, (QStringList{"button over", "button out", "clip over", "clip out"}));
    }

    void listenersAndClipEventsHearEveryPress()
    {
        auto session = play({}, "var listener = {}; listener.onMouseDown = function() { trace('listener down ' + _root._xmouse + ',' + _root._ymouse); };"
                                "listener.onMouseUp = function() { trace('listener up'); };"
                                "Mouse.addListener(listener);"
                                "clip.onMouseDown = function() { trace('clip down ' + this._xmouse + ',' + this._ymouse); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        click(engine, 390, 10);
        QCOMPARE(session->log, (QStringList{"listener down 390,10", "clip down 190,-40", "listener up"}));
    }

    void keysReachListenersAndButtons()
    {
        // A key-press condition for "a" (the key code sits above the transition bits).
        auto session = play({{uint16_t('a' << 1), "trace('button key a');"}},
                            "var listener = {}; listener.onKeyDown = function() {"
                            "trace('down ' + Key.getCode() + ' ' + Key.getAscii() + ' ' + Key.isDown(65) + ' ' + Key.isDown(Key.LEFT)); };"
                            "listener.onKeyUp = function() { trace('up ' + Key.getCode() + ' ' + Key.isDown(65)); };"
                            "Key.addListener(listener);");
        QVERIFY(session);
        player::Player& engine = *session->player;
        engine.keyDown(65, 'a');
        engine.keyUp(65);
        engine.keyDown(37, 0);
        QCOMPARE(session->log, (QStringList{"down 65 97 true false", "button key a", "up 65 false", "down 37 0 false true"}));
    }

    void hitTestPointsAndClips_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("expected");
        QTest::newRow("square by bounds") << "" << "clip.hitTest(250, 100)" << "true";
        QTest::newRow("square by shape") << "" << "clip.hitTest(250, 100, true)" << "true";
        QTest::newRow("off the square") << "" << "clip.hitTest(310, 100, true)" << "false";
        // The triangle fills the lower left half of its square (50..150, 200..300).
        QTest::newRow("triangle bounds, empty half") << "" << "triangle.hitTest(140, 210)" << "true";
        QTest::newRow("triangle shape, empty half") << "" << "triangle.hitTest(140, 210, true)" << "false";
        QTest::newRow("triangle shape, filled half") << "" << "triangle.hitTest(60, 290, true)" << "true";
        QTest::newRow("invisible still counts") << "triangle._visible = false;" << "triangle.hitTest(60, 290, true)" << "true";
        QTest::newRow("moved clip") << "clip._x = 0;" << "clip.hitTest(50, 100, true)" << "true";
        QTest::newRow("scaled clip") << "clip._xscale = 50;" << "clip.hitTest(260, 100, true)" << "false";
        QTest::newRow("clips apart") << "" << "clip.hitTest(button) + ',' + clip.hitTest('triangle')" << "false,false";
        QTest::newRow("clips touch after a move") << "clip._x = 140;" << "clip.hitTest(button) + ',' + clip.hitTest(triangle)" << "true,false";
        QTest::newRow("no arguments") << "" << "clip.hitTest()" << "false";
        QTest::newRow("not a number") << "" << "clip.hitTest('x', 100, true)" << "false";
    }

    void hitTestPointsAndClips()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expression);
        QFETCH(QString, expected);
        auto session = play({}, setup.toStdString() + "trace(" + expression.toStdString() + ");");
        QVERIFY(session);
        QCOMPARE(session->log, QStringList{expected});
    }

    void localAndGlobalRoundTrip_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("placed") << "" << "210,60 10,10";
        QTest::newRow("scaled") << "clip._xscale = 200; clip._yscale = 50;" << "220,55 10,10";
        QTest::newRow("rotated") << "clip._rotation = 90;" << "190,60 10,10";
        QTest::newRow("nested and root moved") << "clip.createEmptyMovieClip('child', 5); clip.child._x = 30; _root._x = 5; var c = clip.child;"
                                               << "245,60 10,10";
    }

    void localAndGlobalRoundTrip()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        auto session = play({}, setup.toStdString()
                                    + "var target = clip; if (c != undefined) target = c;"
                                      "var p = {x: 10, y: 10}; target.localToGlobal(p);"
                                      "var global = Math.round(p.x * 1000) / 1000 + ',' + Math.round(p.y * 1000) / 1000;"
                                      "target.globalToLocal(p); trace(global + ' ' + Math.round(p.x * 1000) / 1000 + ',' + Math.round(p.y * 1000) / 1000);");
        QVERIFY(session);
        QCOMPARE(session->log, QStringList{expected});
    }

    void pointConversionLeavesNonNumbersAlone()
    {
        auto session = play({}, "var p = {x: '10', y: 10}; clip.localToGlobal(p); trace(p.x + ',' + p.y);"
                                "var q = {x: 10}; clip.globalToLocal(q); trace(q.x + ',' + q.y);");
        QVERIFY(session);
        QCOMPARE(session->log, (QStringList{"10,10", "10,undefined"}));
    }

    void dragFollowsTheMouseWithinBounds()
    {
        auto session = play({}, "clip.onPress = function() { this.startDrag(false, 150, 0, 250, 100); };"
                                "clip.onReleaseOutside = function() { stopDrag(); trace(this._x + ',' + this._y + ' ' + this._droptarget); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        engine.mouseMove(210, 60);
        engine.mouseDown();
        // The offset from the press is kept: 10,10 into the clip.
        engine.mouseMove(230, 90);
        QCOMPARE(engine.variable("clip._x"), std::optional<QString>("220"));
        QCOMPARE(engine.variable("clip._y"), std::optional<QString>("80"));
        engine.mouseMove(10, 390);
        QCOMPARE(engine.variable("clip._x"), std::optional<QString>("150"));
        QCOMPARE(engine.variable("clip._y"), std::optional<QString>("100"));
        engine.mouseUp();
        QCOMPARE(session->log, QStringList{"150,100 "});
        engine.mouseMove(300, 200);
        QCOMPARE(engine.variable("clip._x"), std::optional<QString>("150"));
    }

    void dropTargetIsTheClipUnderTheMouse()
    {
        auto session = play({}, "clip.onPress = function() { this.startDrag(); };"
                                "clip.onRelease = function() { this.stopDrag(); trace(this._droptarget + ' ' + triangle._droptarget); };");
        QVERIFY(session);
        player::Player& engine = *session->player;
        engine.mouseMove(210, 60);
        engine.mouseDown();
        engine.mouseMove(60, 290); // the triangle's filled half
        engine.mouseUp();
        QCOMPARE(session->log, QStringList{"/triangle "});
    }

    void lockedDragCentresOnTheMouse()
    {
        auto session = play({}, "clip.startDrag(true);");
        QVERIFY(session);
        player::Player& engine = *session->player;
        engine.mouseMove(33, 44);
        QCOMPARE(engine.variable("clip._x"), std::optional<QString>("33"));
        QCOMPARE(engine.variable("clip._y"), std::optional<QString>("44"));
    }

    void inputWithoutScriptsIsHarmless()
    {
        player::Player engine;
        QVERIFY(!engine.loadMovieData(0, input_test::inputMovie({}, ""), "file:///input.swf"));
        click(engine, 100, 100);
        engine.keyDown(65, 'a');
        engine.mouseLeft();
        QVERIFY(!engine.input().hovered());
        QCOMPARE(button(engine)->state(), player::display::ButtonInstance::State::Up);
    }
};

QTEST_GUILESS_MAIN(TestMouseInput)
#include "tst_mouse_input.moc"
