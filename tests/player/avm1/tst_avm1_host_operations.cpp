#include "authoring/TemplateBuilder.h"
#include "player/Player.h"
#include "player/ScriptEngineFactory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The host operations of the player with the script engine behind them, on movies built here
// from scripts.
class TestHostOperations : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QByteArray buildMovie(const QString& script)
    {
        QString path = m_folder.filePath(QStringLiteral("script.as"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(script.toUtf8());
        file.close();
        authoring::TemplateBuildResult built = authoring::buildScriptMovie(path);
        return built.movie;
    }

    // A player with the script engine whose commands, if asked, are noted as "command=args".
    std::unique_ptr<player::Player> recordingPlayer(QStringList* commands)
    {
        auto player = std::make_unique<player::Player>();
        player->setScriptHost(player::makeScriptHost(*player));
        player->onFsCommand = [commands](const QString& command, const QString& args) {
            if (commands)
                commands->append(command + '=' + args);
        };
        return player;
    }

    std::unique_ptr<player::Player> playerWith(const QString& script, QStringList* commands)
    {
        auto player = recordingPlayer(commands);
        QByteArray movie = buildMovie(script);
        if (movie.isEmpty() || player->loadMovieData(0, movie, QStringLiteral("file:///test.swf")))
            return nullptr;
        return player;
    }

private slots:
    void variablesOnEveryPathForm()
    {
        auto player = playerWith("title = 'Hat'; createEmptyMovieClip('shading', 1); shading._alpha = 50; shading.depth = 'deep';"
                                 "holder = {inner: 'x'};",
                                 nullptr);
        QVERIFY(player);
        QCOMPARE(player->variable("title"), std::optional<QString>("Hat"));
        QCOMPARE(player->variable("/:title"), std::optional<QString>("Hat"));
        QCOMPARE(player->variable("_level0.title"), std::optional<QString>("Hat"));
        QCOMPARE(player->variable("/shading:depth"), std::optional<QString>("deep"));
        QCOMPARE(player->variable("_root.shading.depth"), std::optional<QString>("deep"));
        QCOMPARE(player->variable("/:shading._alpha"), std::optional<QString>("50"));
        QVERIFY(player->setVariable("/:shading._alpha", "30"));
        // Flash keeps alpha in 256ths, so 30 reads back as 29.6875.
        QCOMPARE(player->variable("_level0.shading._alpha"), std::optional<QString>("29.6875"));
        QVERIFY(player->setVariable("/shading:depth", "shallow"));
        QCOMPARE(player->variable("shading.depth"), std::optional<QString>("shallow"));
        QCOMPARE(player->variable("missing"), std::nullopt);
        QCOMPARE(player->variable("_level100.blureffect"), std::nullopt);
        QVERIFY(!player->setVariable("_level100.blureffect", "5"));
    }

    void framesOnTargetPaths()
    {
        auto player = playerWith("createEmptyMovieClip('addeffect', 1);", nullptr);
        QVERIFY(player);
        QVERIFY(player->gotoFrameOf("_level0.addeffect", -20));
        QCOMPARE(player->currentFrameOf("_level0.addeffect"), std::optional<int>(0));
        QVERIFY(player->gotoFrameOf("/", 2));
        QCOMPARE(player->currentFrameOf("_level0"), std::optional<int>(2));
        QCOMPARE(player->currentFrameOf("_level100.addeffect"), std::nullopt);
        QVERIFY(!player->gotoFrameOf("_level0.nothing", 1));
    }

    void commandsArriveInOrderDuringTheLoad()
    {
        QStringList commands;
        auto player = playerWith("fscommand('setsize', '256,256'); fscommand('clearitems'); getURL('FSCommand:additem', 'Body&body&file');"
                                 "category = 'cars';",
                                 &commands);
        QVERIFY(player);
        QCOMPARE(commands, (QStringList{"setsize=256,256", "clearitems=", "additem=Body&body&file"}));
        QCOMPARE(player->variable("category"), std::optional<QString>("cars"));
    }

    void flashCallCarriesTheRequest()
    {
        QStringList requests;
        auto player = std::make_unique<player::Player>();
        player->setScriptHost(player::makeScriptHost(*player));
        player->onFlashCall = [&requests](const QString& request) { requests.append(request); };
        QVERIFY(player->loadMovieData(0, buildMovie("flash.external.ExternalInterface.call('hello', 'a', 1);"), "file:///t.swf") == std::nullopt);
        QCOMPARE(requests, QStringList{"<invoke name=\"hello\" returntype=\"xml\"><arguments><string>a</string><number>1</number></arguments></invoke>"});
    }

    void reloadFromInsideACommand()
    {
        // The host may replace the running movie from a command handler.
        auto player = recordingPlayer(nullptr);
        QByteArray second = buildMovie("done = 'yes';");
        QByteArray first = buildMovie("fscommand('selectpart', '1'); after = 'ran';");
        int reloads = 0;
        player::Player* raw = player.get();
        player->onFsCommand = [&](const QString& command, const QString&) {
            if (command == "selectpart" && reloads++ == 0)
                raw->loadMovieData(0, second, "file:///second.swf");
        };
        player->loadMovieData(0, first, "file:///first.swf");
        QCOMPARE(player->variable("done"), std::optional<QString>("yes"));
        player->advanceFrame();
    }

    // The catalogue walks a template's frames with GotoFrame and reads the commands each frame
    // sends: they must have arrived when the call returns.
    void gotoRunsTheFrameScriptsBeforeReturning()
    {
        const QString car = QStringLiteral(SKRV_BIN_DIR "/Car.skrv");
        if (!QFile::exists(car))
            QSKIP("the sample templates have not been built");
        QStringList commands;
        auto player = recordingPlayer(&commands);
        QVERIFY(!player->loadMovie(0, car));
        QVERIFY(commands.contains("clearitems="));
        commands.clear();
        player->gotoFrame(1);
        QVERIFY(commands.contains("addpart=Wheels"));
        QCOMPARE(commands.last(), QStringLiteral("selectpart=0"));
        QCOMPARE(player->currentFrameOf("/"), std::optional<int>(1));
        commands.clear();
        QVERIFY(player->gotoFrameOf("/", 0));
        QVERIFY(commands.contains("clearitems="));
    }

    // A level's root has no name until a script gives it one; its paths do not change.
    void levelRootName()
    {
        auto player = playerWith("before = _root._name; before2 = _level0._name; _root._name = 'root movie';"
                                 "after = _root._name; target = _root._target;",
                                 nullptr);
        QVERIFY(player);
        QCOMPARE(player->variable("before"), std::optional<QString>(""));
        QCOMPARE(player->variable("before2"), std::optional<QString>(""));
        QCOMPARE(player->variable("_level0.after"), std::optional<QString>("root movie"));
        QCOMPARE(player->variable("/:target"), std::optional<QString>("/"));
    }
};

QTEST_GUILESS_MAIN(TestHostOperations)
#include "tst_avm1_host_operations.moc"
