// The main window as a whole: start-up, the movie's commands, layout, tool windows, shutdown.
#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "app/TemplateSite.h"
#include "platform/DesktopLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using platform::MessageAnswer;

namespace {

// The smallest movie: version 6, an empty stage, one frame.
const QByteArray EmptyMovie("FWS\x06\x11\x00\x00\x00\x00\x00\x0c\x01\x00\x40\x00\x00\x00", 17);

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestWindow : public app::MainWindow {
public:
    // A 1024 x 768 screen at 15 twips per pixel unless a test says otherwise.
    explicit TestWindow(app::StartupContext context, const app::ScreenMetrics& metrics = {})
        : MainWindow(std::move(context), metrics)
    {
    }

    void runItemMenuEntry(int index) override { chosenItems.append(index); }
    bool saveTextureSheet() override { return save ? save() : false; }
    void endProgram() override { ++endings; }
    QSize windowFrameSize() const override { return frame ? *frame : MainWindow::windowFrameSize(); }

    QList<int> chosenItems;
    std::function<bool()> save;
    int endings = 0;
    std::optional<QSize> frame; // what the window system reports as the frame, once it does
};

QStringList texts(const platform::ScriptedMessages& recorder)
{
    QStringList result;
    for (const auto& request : recorder.requests())
        result.append(request.text);
    return result;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("TMPDIR", m_home.filePath(QStringLiteral("tmp")).toUtf8());
        QDir().mkpath(m_home.filePath(QStringLiteral("tmp")));
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }

    void init()
    {
        m_program = std::make_unique<QTemporaryDir>();
        m_user = std::make_unique<QTemporaryDir>();
        for (const char* name : {"b.skrv", "a.skrv", "my.car.skrv"})
            writeFile(m_program->filePath(QString::fromLatin1(name)), EmptyMovie);
        for (const char* key : {"Template", "Part"})
            platform::saveSetting(QStringLiteral("Last Time"), QString::fromLatin1(key), QString());
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Show Eyedropper Tool"), QStringLiteral("1"));
    }

    void cleanup() { platform::setLaunchBackend({}); }

    void startupRestoresTheLastTemplate_data()
    {
        QTest::addColumn<QString>("lastTemplate");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("current");
        QTest::newRow("remembered") << "my.car.skrv" << "my - Skarvelle 2" << 3;
        QTest::newRow("the user's own") << "mine.skrv" << "mine - Skarvelle 2" << 2;
        QTest::newRow("gone: the first") << "zzz.skrv" << "a - Skarvelle 2" << 0;
        QTest::newRow("case matters") << "B.skrv" << "a - Skarvelle 2" << 0;
    }

    void startupRestoresTheLastTemplate()
    {
        QFETCH(QString, lastTemplate);
        QFETCH(QString, title);
        QFETCH(int, current);
        writeFile(m_user->filePath(QStringLiteral("mine.skrv")), EmptyMovie);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), lastTemplate);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), QStringLiteral("2"));
        platform::ScriptedMessages recorder;
        TestWindow window(context());
        window.start();
        QCOMPARE(window.endings, 0);
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(window.templates().names(), (QStringList{"a.skrv", "b.skrv", "mine.skrv", "my.car.skrv"}));
        QCOMPARE(window.templates().currentIndex(), current);
        QCOMPARE(window.windowTitle(), title);
        QCOMPARE(window.partNumber(), QStringLiteral("2"));
        QCOMPARE(setting("Template"), window.templates().fileName(current));
        QCOMPARE(setting("Part"), QStringLiteral("2"));

        // Textures go to a folder of this run inside the temporary folder, private to the user.
        const QString folder = window.textureFolder().path();
        QCOMPARE(QFileInfo(folder).absolutePath(), m_home.filePath(QStringLiteral("tmp")));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));

        // The template may read the template folders and this run's textures, nothing else.
        const player::ReadableFolders& readable = window.moviePlayer()->engine().readableFolders();
        writeFile(folder + QStringLiteral("/texture.jpg"), EmptyMovie);
        writeFile(m_home.filePath(QStringLiteral("tmp/private.txt")), EmptyMovie);
        QVERIFY(readable.mayRead(folder + QStringLiteral("/texture.jpg")));
        QVERIFY(readable.mayRead(m_program->filePath(QStringLiteral("b.skrv"))));
        QVERIFY(readable.mayRead(m_user->filePath(QStringLiteral("mine.skrv"))));
        QVERIFY(!readable.mayRead(m_home.filePath(QStringLiteral("tmp/private.txt"))));
    }

    // A template file given on the command line is copied into the user's template folder (made
    // for it) and shown, with the program's own templates beside it.
    void templateFileGoesToTheUsersFolder()
    {
        QTemporaryDir downloads;
        writeFile(downloads.filePath(QStringLiteral("truck.skrv")), EmptyMovie);
        app::StartupContext startup = context();
        startup.userTemplateFolder = m_user->filePath(QStringLiteral("new/templates"));
        startup.arguments = QStringList{downloads.filePath(QStringLiteral("truck.skrv"))};
        TestWindow window(startup);
        window.start();
        QCOMPARE(readAll(startup.userTemplateFolder + QStringLiteral("/truck.skrv")), EmptyMovie);
        QVERIFY(!QFile::exists(m_program->filePath(QStringLiteral("truck.skrv"))));
        QCOMPARE(window.templates().names(), (QStringList{"a.skrv", "b.skrv", "my.car.skrv", "truck.skrv"}));
        QCOMPARE(window.windowTitle(), QStringLiteral("truck - Skarvelle 2"));
        QCOMPARE(setting("Part"), QStringLiteral("0"));
    }

    void emptyTemplateFoldersOfferTheSite_data()
    {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<int>("launches");
        QTest::newRow("Yes") << MessageAnswer::Yes << 1;
        QTest::newRow("No") << MessageAnswer::No << 0;
    }

    void emptyTemplateFoldersOfferTheSite()
    {
        QFETCH(MessageAnswer, answer);
        QFETCH(int, launches);
        QTemporaryDir empty;
        QList<platform::LaunchRequest> requests;
        platform::setLaunchBackend([&](const platform::LaunchRequest& request) {
            requests.append(request);
            return 42;
        });
        platform::ScriptedMessages recorder;
        recorder.answerNext(answer);
        app::StartupContext startup = context();
        startup.programFolder = empty.path();
        TestWindow window(startup);
        window.start();
        QCOMPARE(texts(recorder), QStringList{"No template files found. Do you wish to download some?"});
        QCOMPARE(recorder.last().icon, platform::MessageIcon::Exclamation);
        QCOMPARE(recorder.last().buttons, platform::MessageButtons::YesNo);
        QCOMPARE(requests.size(), launches);
        if (launches) {
            QCOMPARE(requests.first().target, app::templateSitePage());
            QCOMPARE(requests.first().verb, platform::LaunchVerb::Open);
        }
        QCOMPARE(window.endings, 1);
    }

    // A refused link ends the program after its message, without touching the settings.
    void refusedLinkEndsTheProgram()
    {
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), QStringLiteral("b.skrv"));
        platform::ScriptedMessages recorder;
        app::StartupContext startup = context();
        startup.arguments = QStringList{QStringLiteral("skrvtp://127.0.0.1:9/templates/")};
        TestWindow window(startup);
        window.start();
        QCOMPARE(texts(recorder), QStringList{"Unable to download the template file."});
        QCOMPARE(window.endings, 1);
        QCOMPARE(setting("Template"), QStringLiteral("b.skrv"));
    }

    void sheetSizeLaysTheWindowOut_data()
    {
        QTest::addColumn<QString>("eyedropperSetting");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("player");
        QTest::newRow("256 with the bar") << "1" << "256x256" << QSize(256, 331) << QSize(256, 256);
        QTest::newRow("256 without the bar") << "0" << "256x256" << QSize(256, 306) << QSize(256, 256);
        QTest::newRow("not 1 hides the bar") << "yes" << "256x256" << QSize(256, 306) << QSize(256, 256);
        QTest::newRow("blanks and case") << "1" << " 5 12 x 2 56" << QSize(512, 331) << QSize(512, 256);
        QTest::newRow("4096 halved three times") << "1" << "4096x4096" << QSize(512, 587) << QSize(512, 512);
        QTest::newRow("narrow") << "1" << "30x40" << QSize(30, 115) << QSize(30, 40);
        QTest::newRow("capital X is no size") << "1" << "256X256" << QSize(408, 483) << QSize(408, 408);
    }

    void sheetSizeLaysTheWindowOut()
    {
        QFETCH(QString, eyedropperSetting);
        QFETCH(QString, size);
        QFETCH(QSize, client);
        QFETCH(QSize, player);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Show Eyedropper Tool"), eyedropperSetting);
        TestWindow window(context());
        window.start();
        emit window.moviePlayer()->movieCommand(QStringLiteral("SetSize"), size);
        QCOMPARE(window.size(), client);
        QCOMPARE(window.moviePlayer()->geometry(), QRect(QPoint(0, 0), player));
        const bool barShown = eyedropperSetting == QLatin1String("1");
        QCOMPARE(window.isEyedropperShown(), barShown);
        QCOMPARE(window.eyedropperBar()->isHidden(), !barShown);
        QCOMPARE(setting("Show Eyedropper Tool"), barShown ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(window.eyedropperBar()->geometry().top(), player.height() + 50);
        // The buttons share the width in two rows directly below the movie, edge to edge.
        const QList<QPushButton*> firstRow{window.changeButton(), window.saveAsButton(), window.gradientButton()};
        const QList<QPushButton*> secondRow{window.templatesButton(), window.effectsButton(), window.plainColourButton()};
        int left = 0;
        for (int index = 0; index < 3; ++index) {
            const QRect first = firstRow[index]->geometry();
            const QRect second = secondRow[index]->geometry();
            QCOMPARE(first.top(), player.height());
            QCOMPARE(second.top(), player.height() + 25);
            QCOMPARE(first.left(), left);
            QCOMPARE(second.left(), left);
            QVERIFY(std::abs(first.width() - player.width() / 3.0) < 1);
            left += first.width();
        }
        QCOMPARE(left, player.width());
    }

    // The halving goes on while either side is a pixel or more: a wide, flat sheet still fits a
    // narrow screen, and on a screen too small for anything it ends below a pixel.
    void halvingEndsOnlyBelowAPixel()
    {
        app::ScreenMetrics narrow;
        narrow.widthPixels = 100;
        TestWindow wide(context(), narrow);
        wide.start();
        emit wide.moviePlayer()->movieCommand(QStringLiteral("setsize"), QStringLiteral("1000x2"));
        QVERIFY2(wide.width() <= 100, qPrintable(QString::number(wide.width())));
        QVERIFY(wide.moviePlayer()->width() > 50);

        app::ScreenMetrics tiny;
        tiny.widthPixels = 10;
        tiny.heightPixels = 10;
        TestWindow window(context(), tiny);
        window.start();
        emit window.moviePlayer()->movieCommand(QStringLiteral("setsize"), QStringLiteral("64x64"));
        QVERIFY(window.lastLayout().player.width() < 15);
        QVERIFY(window.lastLayout().player.height() < 15);
        QVERIFY(window.lastLayout().player.width() >= 7.5);
    }

    // The frame is measured once the window shows (it is nothing before), and the sheet is fitted
    // to the screen again with it.
    void frameIsMeasuredOnceShown()
    {
        TestWindow window(context());
        window.start();
        emit window.moviePlayer()->movieCommand(QStringLiteral("setsize"), QStringLiteral("512x600"));
        QCOMPARE(window.frameHeightTwips(), 0);
        QCOMPARE(window.moviePlayer()->size(), QSize(512, 600)); // 675 of 768 pixels high

        window.frame = QSize(10, 120);
        window.show();
        QTRY_COMPARE(window.frameHeightTwips(), 1800);
        QCOMPARE(window.frameWidthTwips(), 150);
        QCOMPARE(window.lastLayout().outerHeight, (300 + 75 + 120) * 15.0);
        // Now it does not fit: halved once.
        QCOMPARE(window.moviePlayer()->size(), QSize(256, 300));
        window.hide();
    }

    void itemCommands()
    {
        TestWindow window(context());
        window.start();
        player::MoviePlayer* movie = window.moviePlayer();
        emit movie->movieCommand(QStringLiteral("additem"), QStringLiteral("stale"));
        emit movie->movieCommand(QStringLiteral("ClearItems"), QStringLiteral("whatever"));
        emit movie->movieCommand(QStringLiteral("additem"), QStringLiteral(" Body & body&FILE "));
        emit movie->movieCommand(QStringLiteral("ADDSEPERATOR"), QStringLiteral("ignored"));
        emit movie->movieCommand(QStringLiteral("addItem"), QStringLiteral("Front view&3&goto"));
        emit movie->movieCommand(QStringLiteral("addseparator"), QString()); // not a command word
        QCOMPARE(window.itemMenuEntries(), (QStringList{" Body & body&FILE ", "-", "Front view&3&goto"}));

        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("2.7"));
        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("7"));   // passed on unchecked
        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("two")); // ignored
        QCOMPARE(window.chosenItems, (QList<int>{2, 7}));

        // Another template keeps the items until its movie clears them.
        window.templates().setCurrentIndex(1);
        window.showSelectedTemplate();
        QCOMPARE(window.windowTitle(), QStringLiteral("b - Skarvelle 2"));
        QCOMPARE(window.itemMenuEntries().size(), 3);
    }

    // A part number from the settings is used as it is, however large; a frame beyond the movie
    // is no fault.
    void hugePartNumbersAreHarmless_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("int max") << "2147483647";
        QTest::newRow("int min") << "-2147483648";
        QTest::newRow("beyond int") << "99999999999";
        QTest::newRow("not a number") << "x";
    }

    void hugePartNumbersAreHarmless()
    {
        QFETCH(QString, part);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), part);
        TestWindow window(context());
        window.start();
        QCOMPARE(window.endings, 0);
        QCOMPARE(window.moviePlayer()->currentFrameOf(QStringLiteral("/")), 0);
        QCOMPARE(setting("Part"), part);
    }

    // Titles are the program's own: Qt is given no display name to add to them.
    void titlesAreThePrograms()
    {
        app::configureApplication();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("skarvelle2"));
        TestWindow window(context());
        window.start();
        window.setUnsavedChanges(true);
        window.save = []() -> bool { throw RuntimeError(75, QStringLiteral("x"), QStringLiteral("y")); };
        platform::ScriptedMessages recorder;
        recorder.answerNext(MessageAnswer::Yes);
        QVERIFY(!window.confirmClose());
        QCOMPARE(recorder.last().title, QStringLiteral("a - Skarvelle 2"));
    }

    void messagesFromTheMovie()
    {
        TestWindow window(context());
        window.start();
        platform::ScriptedMessages recorder;
        emit window.moviePlayer()->movieCommand(QStringLiteral("MsgBox"), QStringLiteral(" Hello & <b>you</b> "));
        emit window.moviePlayer()->externalCall(QStringLiteral("<invoke name=\"x\"/>"));
        QCOMPARE(texts(recorder), (QStringList{" Hello & <b>you</b> ", "<invoke name=\"x\"/>"}));
        for (const auto& request : recorder.requests()) {
            QCOMPARE(request.icon, platform::MessageIcon::None);
            QCOMPARE(request.buttons, platform::MessageButtons::Ok);
            QCOMPARE(request.title, platform::applicationName()); // the default title
        }
    }

    // A movie that asks for a message on every frame cannot lock the user out: after a few in a
    // row the rest are held back until the user presses a key or a button in the program.
    void messageFloodsAreHeldBack()
    {
        TestWindow window(context());
        window.start();
        window.show();
        platform::ScriptedMessages recorder;
        for (int frame = 0; frame < 10; ++frame)
            emit window.moviePlayer()->movieCommand(QStringLiteral("msgbox"), QStringLiteral("again %1").arg(frame));
        QCOMPARE(texts(recorder), (QStringList{"again 0", "again 1", "again 2"}));
        emit window.moviePlayer()->externalCall(QStringLiteral("<invoke/>"));
        QCOMPARE(recorder.count(), 3);

        QTest::mouseClick(window.moviePlayer(), Qt::LeftButton, {}, QPoint(5, 5));
        emit window.moviePlayer()->movieCommand(QStringLiteral("msgbox"), QStringLiteral("after a click"));
        QCOMPARE(recorder.last().text, QStringLiteral("after a click"));
        window.hide();
    }

    void itemListHasALimit()
    {
        TestWindow window(context());
        window.start();
        for (int item = 0; item < app::MainWindow::MaximumItemEntries + 50; ++item)
            emit window.moviePlayer()->movieCommand(QStringLiteral("additem"), QStringLiteral("Part&p%1&file").arg(item));
        emit window.moviePlayer()->movieCommand(QStringLiteral("addseperator"), QString());
        QCOMPARE(window.itemMenuEntries().size(), app::MainWindow::MaximumItemEntries);
        QCOMPARE(window.itemMenuEntries().last(), QStringLiteral("Part&p999&file"));
        emit window.moviePlayer()->movieCommand(QStringLiteral("clearitems"), QString());
        emit window.moviePlayer()->movieCommand(QStringLiteral("additem"), QStringLiteral("Body&body&colour"));
        QCOMPARE(window.itemMenuEntries(), QStringList{"Body&body&colour"});
    }

    // The main window takes no input while a tool window shows; the tool window itself does.
    void toolWindowsBlockTheMainWindow()
    {
        TestWindow window(context());
        window.start();
        window.show();
        auto* first = new QWidget;
        auto* second = new QWidget;
        window.showToolWindow(first);
        window.showToolWindow(second);
        QVERIFY(window.isMainWindowDisabled());
        QVERIFY(!window.changeButton()->isEnabled());
        QVERIFY(first->isEnabled());
        QVERIFY(first->isWindow());
        QVERIFY(first->isVisible());
        first->hide();
        QTest::qWait(100);
        QVERIFY(window.isMainWindowDisabled());
        delete second;
        QTRY_VERIFY_WITH_TIMEOUT(!window.isMainWindowDisabled(), 2000);
        QVERIFY(window.changeButton()->isEnabled());
        window.showToolWindow(first); // shown again, watched again
        QVERIFY(window.isMainWindowDisabled());
        first->close();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isMainWindowDisabled(), 2000);
    }

    void shutdown_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QList<MessageAnswer>>("answers");
        QTest::addColumn<int>("saveOutcome"); // 0 not saved, 1 saved, 2 throws
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("ends");

        const QString ask = QStringLiteral("Do you want to save?");
        QTest::newRow("nothing to save") << false << QList<MessageAnswer>{} << 1 << QStringList{} << true;
        QTest::newRow("No") << true << QList<MessageAnswer>{MessageAnswer::No} << 1 << QStringList{ask} << true;
        QTest::newRow("Cancel") << true << QList<MessageAnswer>{MessageAnswer::Cancel} << 1 << QStringList{ask} << false;
        QTest::newRow("Yes, saved") << true << QList<MessageAnswer>{MessageAnswer::Yes} << 1 << QStringList{ask} << true;
        QTest::newRow("Yes, save cancelled") << true << QList<MessageAnswer>{MessageAnswer::Yes} << 0 << QStringList{ask}
                                             << false;
        QTest::newRow("Yes, save fails") << true << QList<MessageAnswer>{MessageAnswer::Yes} << 2
                                         << QStringList{ask, "Unable to work."} << false;
    }

    void shutdown()
    {
        QFETCH(bool, unsaved);
        QFETCH(QList<MessageAnswer>, answers);
        QFETCH(int, saveOutcome);
        QFETCH(QStringList, messages);
        QFETCH(bool, ends);

        TestWindow window(context());
        window.start();
        const QString folder = window.textureFolder().path();
        writeFile(window.textureFolder().texturePath(42), "texture");
        window.setUnsavedChanges(unsaved);
        window.save = [saveOutcome]() -> bool {
            if (saveOutcome == 2)
                throw RuntimeError(75, QStringLiteral("skarvelle2"), QStringLiteral("Path/File access error"));
            return saveOutcome == 1;
        };
        platform::ScriptedMessages recorder;
        for (MessageAnswer answer : answers)
            recorder.answerNext(answer);
        QCOMPARE(window.confirmClose(), ends);

        QCOMPARE(texts(recorder), messages);
        if (!messages.isEmpty()) {
            QCOMPARE(recorder.requests().first().icon, platform::MessageIcon::Exclamation);
            QCOMPARE(recorder.requests().first().buttons, platform::MessageButtons::YesNoCancel);
        }
        if (messages.size() == 2) {
            QCOMPARE(recorder.last().icon, platform::MessageIcon::Critical);
            QCOMPARE(recorder.last().title, window.windowTitle());
            QVERIFY(window.hasUnsavedChanges());
        }
        QCOMPARE(window.endings, ends ? 1 : 0);
        // The texture files and their folder go with the program, and only then.
        QCOMPARE(QFileInfo::exists(folder), !ends);
    }

    // Registration is made only by the program's own executable, into the user's data folder.
    void registration()
    {
        const QString data = m_home.filePath(QStringLiteral("data"));
        const QString entry = data + QStringLiteral("/applications/skarvelle2.desktop");
        const QString package = data + QStringLiteral("/mime/packages/skarvelle2.xml");
        {
            TestWindow window(context()); // a test executable
            window.start();
        }
        QVERIFY(!QFile::exists(entry));

        QTemporaryDir folder(m_home.filePath(QStringLiteral("my programs XXXXXX")));
        writeFile(folder.filePath(QStringLiteral("skarvelle2")), "#!/bin/sh\n");
        writeFile(folder.filePath(QStringLiteral("car.skrv")), EmptyMovie);
        app::StartupContext own;
        own.programFolder = folder.path();
        own.executableName = QStringLiteral("skarvelle2");
        own.userTemplateFolder = m_user->path();
        {
            TestWindow window(own);
            window.start();
        }
        const QByteArray entryText = readAll(entry);
        QVERIFY(entryText.contains("\nExec=\"" + folder.path().toUtf8() + "/skarvelle2\" %u\n"));
        QVERIFY(entryText.contains("\nMimeType=x-scheme-handler/skrvtp;application/x-skrvfile;\n"));
        QVERIFY(entryText.contains("\nCategories=Graphics;\n"));
        QVERIFY(entryText.contains("\nIcon=skarvelle2\n"));
        QVERIFY(!entryText.contains("NoDisplay"));
        const QByteArray packageText = readAll(package);
        QVERIFY(packageText.contains("<mime-type type=\"application/x-skrvfile\">"));
        QVERIFY(packageText.contains("<comment>Skarvelle Template</comment>"));
        QVERIFY(packageText.contains("<glob pattern=\"*.skrv\"/>"));
        const QDateTime written = QFileInfo(entry).lastModified();
        {
            TestWindow again(own);
            again.start();
        }
        QCOMPARE(readAll(entry), entryText);
        QCOMPARE(QFileInfo(entry).lastModified(), written);
        QCOMPARE(readAll(package), packageText);
    }

private:
    app::StartupContext context() const
    {
        app::StartupContext startup;
        startup.programFolder = m_program->path();
        startup.executableName = QStringLiteral("tst_main_window");
        startup.userTemplateFolder = m_user->path();
        return startup;
    }

    static QString setting(const char* key)
    {
        return platform::getSetting(QStringLiteral("Last Time"), QString::fromLatin1(key));
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_user;
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
