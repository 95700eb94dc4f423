#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>

// The player widget is the window a movie plays in: a movie that asks for no scaling sees the
// widget's size as its stage size, and its Stage listeners hear onResize when the widget is
// resized. Scaled movies keep their frame size whatever the widget does. The widget is shown on
// the offscreen platform and resized from the test; the movie's traces are collected.
class TestMoviePlayerStageSize : public QObject {
    Q_OBJECT

private:
    // A 400 x 300 movie with `script` on its first frame and `later` on its second; frames are
    // played from the test.
    static QByteArray scriptMovie(const std::string& script, const std::string& later = std::string())
    {
        authoring::MovieWriter movie(8, 400, 300, 0.25);
        for (const std::string* source : {&script, &later}) {
            authoring::CompileResult result = authoring::ScriptCompiler::compile(*source);
            if (!result.ok())
                return {};
            movie.root().doAction(result.actions);
            movie.root().showFrame();
        }
        return movie.toBytes(false);
    }

    struct Shown {
        std::unique_ptr<player::MoviePlayer> widget;
        std::shared_ptr<QStringList> traces = std::make_shared<QStringList>();
    };

    // The widget at 500 x 350 before the movie loads, as a host lays its window out first.
    static Shown shownPlayer(const QByteArray& bytes)
    {
        Shown shown;
        shown.widget = std::make_unique<player::MoviePlayer>();
        shown.widget->engine().onTrace = [traces = shown.traces](const QString& line) { traces->append(line); };
        shown.widget->resize(500, 350);
        shown.widget->show();
        if (!QTest::qWaitForWindowExposed(shown.widget.get()))
            return {};
        if (bytes.isEmpty() || shown.widget->engine().loadMovieData(0, bytes, QStringLiteral("file:///stage.swf")))
            return {};
        QCoreApplication::processEvents();
        return shown;
    }

    static void resizeTo(player::MoviePlayer& widget, int width, int height)
    {
        widget.resize(width, height);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(widget.size(), QSize(width, height));
    }

    static const char* listener()
    {
        return "var l = {}; l.onResize = function() { trace('resize ' + Stage.width + 'x' + Stage.height); };"
               " Stage.addListener(l);";
    }

private slots:
    void unscaledStageFollowsTheWidget()
    {
        const QByteArray bytes = scriptMovie(std::string("Stage.scaleMode = 'noScale'; ") + listener()
                                                 + " trace('start ' + Stage.width + 'x' + Stage.height);",
                                             "trace('later ' + Stage.width + 'x' + Stage.height);");
        Shown shown = shownPlayer(bytes);
        QVERIFY(shown.widget);
        QCOMPARE(*shown.traces, QStringList{QStringLiteral("start 500x350")});
        shown.traces->clear();

        resizeTo(*shown.widget, 640, 480);
        QCOMPARE(*shown.traces, QStringList{QStringLiteral("resize 640x480")});
        // Only the height changes: still a resize.
        resizeTo(*shown.widget, 640, 200);
        QCOMPARE(*shown.traces, (QStringList{QStringLiteral("resize 640x480"), QStringLiteral("resize 640x200")}));
        // The same size again tells nobody.
        shown.traces->clear();
        resizeTo(*shown.widget, 640, 200);
        QVERIFY(shown.traces->isEmpty());
        // The stage keeps reporting the widget's size between resizes.
        shown.widget->playFrame();
        QCOMPARE(*shown.traces, QStringList{QStringLiteral("later 640x200")});
    }

    void scaledStageKeepsTheMovieSize()
    {
        const QByteArray bytes = scriptMovie(std::string(listener()) + " trace('start ' + Stage.width + 'x' + Stage.height);",
                                             "trace('later ' + Stage.width + 'x' + Stage.height);");
        Shown shown = shownPlayer(bytes);
        QVERIFY(shown.widget);
        resizeTo(*shown.widget, 640, 480);
        shown.widget->playFrame();
        QCOMPARE(*shown.traces, (QStringList{QStringLiteral("start 400x300"), QStringLiteral("later 400x300")}));
    }

    void switchingToNoScaleReportsTheWidgetSize()
    {
        // Turning scaling off makes the stage the widget's size at once, and the listeners hear
        // of it; turning it on again gives the movie's size back, with another onResize.
        const QByteArray bytes = scriptMovie(listener(), "Stage.scaleMode = 'noScale'; Stage.scaleMode = 'showAll';"
                                                         " trace('back ' + Stage.width);");
        Shown shown = shownPlayer(bytes);
        QVERIFY(shown.widget);
        resizeTo(*shown.widget, 520, 260);
        QVERIFY(shown.traces->isEmpty());
        shown.widget->playFrame();
        QCOMPARE(*shown.traces,
                 (QStringList{QStringLiteral("resize 520x260"), QStringLiteral("resize 400x300"), QStringLiteral("back 400")}));
    }
};

QTEST_MAIN(TestMoviePlayerStageSize)
#include "tst_movie_player_stage_size.moc"
