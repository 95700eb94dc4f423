// The main window as a whole: start-up, the movie's commands, layout, tool windows, shutdown.
#include "app/Form1.h"
#include "app/TemplateSite.h"
#include "platform/ClassAssociations.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"
#include "platform/modSuperShell.h"
#include "player/MoviePlayer.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using platform::MessageAnswer;

namespace {

// The smallest movie: version 6, an empty stage, one frame.
const QByteArray EmptyMovie("FWS\x06\x11\x00\x00\x00\x00\x00\x0c\x01\x00\x40\x00\x00\x00", 17);

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestForm : public app::Form1 {
public:
    // A 1024 x 768 screen at 15 twips per pixel unless a test says otherwise.
    explicit TestForm(app::StartupContext context, const app::ScreenMetrics& metrics = {})
        : Form1(std::move(context), metrics)
    {
    }
    using Form1::Form_QueryUnload;

    void mnuChangeNewItem_Click(int index) override { chosenItems.append(index); }
    bool SaveTextureSheet() override { return save ? save() : false; }
    void EndProgram() override { ++endings; }

    QList<int> chosenItems;
    std::function<bool()> save;
    int endings = 0;
};

QStringList texts(const platform::ScriptedMessages& recorder)
{
    QStringList result;
    for (const auto& request : recorder.requests())
        result.append(request.text);
    return result;
}

} // namespace

class Form1Test : public QObject {
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
        for (const char* name : {"b.skrv", "a.skrv", "my.car.skrv"})
            writeFile(m_program->filePath(QString::fromLatin1(name)), EmptyMovie);
        for (const char* key : {"Template", "Part", "Show Eyedropper Tool"})
            platform::saveSetting(QStringLiteral("Last Time"), QString::fromLatin1(key), QString());
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Show Eyedropper Tool"), QStringLiteral("1"));
    }

    void cleanup() { platform::setShellLauncher({}); }

    void startupRestoresTheLastTemplate_data()
    {
        QTest::addColumn<QString>("lastTemplate");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("current");
        QTest::newRow("remembered") << "my.car.skrv" << "my - Skarvelle 2" << 2;
        QTest::newRow("gone: the first") << "zzz.skrv" << "a - Skarvelle 2" << 0;
        QTest::newRow("case matters") << "B.skrv" << "a - Skarvelle 2" << 0;
    }

    void startupRestoresTheLastTemplate()
    {
        QFETCH(QString, lastTemplate);
        QFETCH(QString, title);
        QFETCH(int, current);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), lastTemplate);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), QStringLiteral("2"));
        platform::ScriptedMessages recorder;
        TestForm form(context());
        form.Form_Load();
        QCOMPARE(form.endings, 0);
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(form.File1().names(), (QStringList{"a.skrv", "b.skrv", "my.car.skrv"}));
        QCOMPARE(form.File1().currentIndex(), current);
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(form.Text1(), QStringLiteral("2"));
        QCOMPARE(setting("Template"), form.File1().fileName(current));
        QCOMPARE(setting("Part"), QStringLiteral("2"));
        QCOMPARE(form.TexturePathPrefix, m_home.filePath(QStringLiteral("tmp/SkrvImport")));
    }

    void emptyProgramFolderOffersTheSite_data()
    {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<int>("launches");
        QTest::newRow("Yes") << MessageAnswer::Yes << 1;
        QTest::newRow("No") << MessageAnswer::No << 0;
    }

    void emptyProgramFolderOffersTheSite()
    {
        QFETCH(MessageAnswer, answer);
        QFETCH(int, launches);
        QTemporaryDir empty;
        QList<platform::ShellRequest> requests;
        platform::setShellLauncher([&](const platform::ShellRequest& request) {
            requests.append(request);
            return 42;
        });
        platform::ScriptedMessages recorder;
        recorder.answerNext(answer);
        app::StartupContext startup = context();
        startup.programFolder = empty.path();
        TestForm form(startup);
        form.Form_Load();
        QCOMPARE(texts(recorder), QStringList{"No template files found. Do you wish to download some?"});
        QCOMPARE(recorder.last().icon, platform::MessageIcon::Exclamation);
        QCOMPARE(recorder.last().buttons, platform::MessageButtons::YesNo);
        QCOMPARE(requests.size(), launches);
        if (launches) {
            QCOMPARE(requests.first().target, QStringLiteral("http://templates.skarvelle.example/templates/"));
            QCOMPARE(requests.first().verb, QStringLiteral("open"));
        }
        QCOMPARE(form.endings, 1);
    }

    // A refused link ends the program after its message, without touching the settings.
    void refusedLinkEndsTheProgram()
    {
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), QStringLiteral("b.skrv"));
        platform::ScriptedMessages recorder;
        app::StartupContext startup = context();
        startup.arguments = QStringList{QStringLiteral("skrvtp://127.0.0.1:9/templates/")};
        TestForm form(startup);
        form.Form_Load();
        QCOMPARE(texts(recorder), QStringList{"Unable to download the template file."});
        QCOMPARE(form.endings, 1);
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
    }

    void sheetSizeLaysTheWindowOut()
    {
        QFETCH(QString, eyedropperSetting);
        QFETCH(QString, size);
        QFETCH(QSize, client);
        QFETCH(QSize, player);
        platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Show Eyedropper Tool"), eyedropperSetting);
        TestForm form(context());
        form.Form_Load();
        emit form.ShockwaveFlash1()->movieCommand(QStringLiteral("SetSize"), size);
        QCOMPARE(form.size(), client);
        QCOMPARE(form.ShockwaveFlash1()->geometry(), QRect(QPoint(0, 0), player));
        const bool barShown = eyedropperSetting == QLatin1String("1");
        QCOMPARE(form.Check3()->isChecked(), barShown);
        QCOMPARE(form.Picture5()->isHidden(), !barShown);
        QCOMPARE(setting("Show Eyedropper Tool"), barShown ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(form.Picture5()->geometry().top(), player.height() + 50);
        // The buttons share the width in two rows directly below the movie, edge to edge.
        int left = 0;
        for (int index = 0; index < 3; ++index) {
            const QRect first = form.Command1(index)->geometry();
            const QRect second = form.Command2(index)->geometry();
            QCOMPARE(first.top(), player.height());
            QCOMPARE(second.top(), player.height() + 25);
            QCOMPARE(first.left(), left);
            QCOMPARE(second.left(), left);
            QVERIFY(std::abs(first.width() - player.width() / 3.0) < 1);
            left += first.width();
        }
        QCOMPARE(left, player.width());
    }

    void malformedSheetSizeIsIgnored_data()
    {
        QTest::addColumn<QString>("size");
        QTest::newRow("capital X") << "256X256";
        QTest::newRow("no x") << "256";
        QTest::newRow("not numbers") << "ax b";
        QTest::newRow("empty") << "";
    }

    void malformedSheetSizeIsIgnored()
    {
        QFETCH(QString, size);
        TestForm form(context());
        form.Form_Load();
        emit form.ShockwaveFlash1()->movieCommand(QStringLiteral("setsize"), QStringLiteral("100x50"));
        emit form.ShockwaveFlash1()->movieCommand(QStringLiteral("setsize"), size);
        QCOMPARE(form.ShockwaveFlash1()->size(), QSize(100, 50));
    }

    // On a screen too small for any sheet the halving stops at one pixel.
    void halvingStopsAtOnePixel()
    {
        app::ScreenMetrics tiny;
        tiny.widthPixels = 10;
        tiny.heightPixels = 10;
        TestForm form(context(), tiny);
        form.Form_Load();
        emit form.ShockwaveFlash1()->movieCommand(QStringLiteral("setsize"), QStringLiteral("64x64"));
        QCOMPARE(form.ShockwaveFlash1()->size(), QSize(1, 1));
    }

    void itemCommands()
    {
        TestForm form(context());
        form.Form_Load();
        player::MoviePlayer* movie = form.ShockwaveFlash1();
        emit movie->movieCommand(QStringLiteral("additem"), QStringLiteral("stale"));
        emit movie->movieCommand(QStringLiteral("ClearItems"), QStringLiteral("whatever"));
        emit movie->movieCommand(QStringLiteral("additem"), QStringLiteral(" Body & body&FILE "));
        emit movie->movieCommand(QStringLiteral("ADDSEPERATOR"), QStringLiteral("ignored"));
        emit movie->movieCommand(QStringLiteral("addItem"), QStringLiteral("Front view&3&goto"));
        emit movie->movieCommand(QStringLiteral("addseparator"), QString()); // not a command word
        QCOMPARE(form.List1(), (QStringList{" Body & body&FILE ", "-", "Front view&3&goto"}));

        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("2.7"));
        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("7"));   // passed on unchecked
        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("two")); // ignored
        QCOMPARE(form.chosenItems, (QList<int>{2, 7}));

        // Another template keeps the items until its movie clears them.
        form.File1().setCurrentIndex(1);
        form.File1_Click();
        QCOMPARE(form.windowTitle(), QStringLiteral("b - Skarvelle 2"));
        QCOMPARE(form.List1().size(), 3);
    }

    void messagesFromTheMovie()
    {
        TestForm form(context());
        form.Form_Load();
        platform::ScriptedMessages recorder;
        emit form.ShockwaveFlash1()->movieCommand(QStringLiteral("MsgBox"), QStringLiteral(" Hello & <b>you</b> "));
        emit form.ShockwaveFlash1()->externalCall(QStringLiteral("<invoke name=\"x\"/>"));
        QCOMPARE(texts(recorder), (QStringList{" Hello & <b>you</b> ", "<invoke name=\"x\"/>"}));
        for (const auto& request : recorder.requests()) {
            QCOMPARE(request.icon, platform::MessageIcon::None);
            QCOMPARE(request.buttons, platform::MessageButtons::Ok);
            QCOMPARE(request.title, platform::applicationName()); // the default title
        }
    }

    // The main window takes no input while a tool window shows; the tool window itself does.
    void toolWindowsBlockTheMainWindow()
    {
        TestForm form(context());
        form.Form_Load();
        form.show();
        auto* first = new QWidget;
        auto* second = new QWidget;
        form.ShowToolWindow(first);
        form.ShowToolWindow(second);
        QVERIFY(form.isMainWindowDisabled());
        QVERIFY(!form.Command1(0)->isEnabled());
        QVERIFY(first->isEnabled());
        QVERIFY(first->isWindow());
        QVERIFY(first->isVisible());
        first->hide();
        QTest::qWait(100);
        QVERIFY(form.isMainWindowDisabled());
        delete second;
        QTRY_VERIFY_WITH_TIMEOUT(!form.isMainWindowDisabled(), 2000);
        QVERIFY(form.Command1(0)->isEnabled());
        form.ShowToolWindow(first); // shown again, watched again
        QVERIFY(form.isMainWindowDisabled());
        first->close();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isMainWindowDisabled(), 2000);
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

        QTemporaryDir textures;
        TestForm form(context());
        form.Form_Load();
        form.TexturePathPrefix = textures.filePath(QStringLiteral("SkrvImport"));
        writeFile(textures.filePath(QStringLiteral("SkrvImport042.jpg")), "texture");
        writeFile(textures.filePath(QStringLiteral("SkrvImport0042.jpg")), "not ours");
        form.Check1 = unsaved;
        form.save = [saveOutcome]() -> bool {
            if (saveOutcome == 2)
                throw RuntimeError(75, QStringLiteral("skarvelle2"), QStringLiteral("Path/File access error"));
            return saveOutcome == 1;
        };
        platform::ScriptedMessages recorder;
        for (MessageAnswer answer : answers)
            recorder.answerNext(answer);
        bool cancel = false;
        form.Form_QueryUnload(cancel);

        QCOMPARE(texts(recorder), messages);
        if (!messages.isEmpty()) {
            QCOMPARE(recorder.requests().first().icon, platform::MessageIcon::Exclamation);
            QCOMPARE(recorder.requests().first().buttons, platform::MessageButtons::YesNoCancel);
        }
        if (messages.size() == 2) {
            QCOMPARE(recorder.last().icon, platform::MessageIcon::Critical);
            QCOMPARE(recorder.last().buttons, platform::MessageButtons::Ok);
            QCOMPARE(recorder.last().title, form.windowTitle());
            QVERIFY(form.Check1);
        }
        QCOMPARE(cancel, !ends);
        QCOMPARE(form.endings, ends ? 1 : 0);
        QCOMPARE(QFile::exists(textures.filePath(QStringLiteral("SkrvImport042.jpg"))), !ends);
        QVERIFY(QFile::exists(textures.filePath(QStringLiteral("SkrvImport0042.jpg"))));
    }

    // Registration is made only by the program's own executable, into the user's data folder.
    void registration()
    {
        const QString data = m_home.filePath(QStringLiteral("data"));
        const QString entry = data + QStringLiteral("/applications/skarvelle2.desktop");
        const QString package = data + QStringLiteral("/mime/packages/skarvelle2.xml");
        platform::ClassAssociations::instance().clear();
        {
            TestForm form(context()); // a test executable
            form.Form_Load();
        }
        QVERIFY(!QFile::exists(entry));

        QTemporaryDir folder(m_home.filePath(QStringLiteral("my programs XXXXXX")));
        writeFile(folder.filePath(QStringLiteral("skarvelle2")), "#!/bin/sh\n");
        writeFile(folder.filePath(QStringLiteral("car.skrv")), EmptyMovie);
        app::StartupContext own;
        own.programFolder = folder.path();
        own.executableName = QStringLiteral("skarvelle2");
        {
            TestForm form(own);
            form.Form_Load();
        }
        const auto& store = platform::ClassAssociations::instance();
        QCOMPARE(store.value(QStringLiteral("skrvtp"), QString())->toString(), QStringLiteral("URL:Skarvelle Transfer Protocol"));
        QCOMPARE(store.value(QStringLiteral("skrvtp"), QStringLiteral("EditFlags"))->toInt(), 2);
        QCOMPARE(store.value(QStringLiteral("skrvfile\\shell"), QString())->toString(), QStringLiteral("open"));
        const QString command = QStringLiteral("\"%1/skarvelle2\" \"%2\"").arg(folder.path(), QStringLiteral("%1"));
        QCOMPARE(store.value(QStringLiteral("skrvtp\\shell\\open\\command"), QString())->toString(), command);
        QCOMPARE(store.value(QStringLiteral("skrvfile\\shell\\open\\command"), QString())->toString(), command);

        const QByteArray entryText = readAll(entry);
        QVERIFY(entryText.contains("\nExec=\"" + folder.path().toUtf8() + "/skarvelle2\" %u\n"));
        QVERIFY(entryText.contains("\nMimeType=x-scheme-handler/skrvtp;application/x-skrvfile;\n"));
        const QByteArray packageText = readAll(package);
        QVERIFY(packageText.contains("<mime-type type=\"application/x-skrvfile\">"));
        QVERIFY(packageText.contains("<comment>Skarvelle Template</comment>"));
        QVERIFY(packageText.contains("<glob pattern=\"*.skrv\"/>"));
        {
            TestForm again(own);
            again.Form_Load();
        }
        QCOMPARE(readAll(entry), entryText);
        QCOMPARE(readAll(package), packageText);

        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime is not installed");
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {"query", "default", "x-scheme-handler/skrvtp"});
        QVERIFY(query.waitForFinished(10000));
        QCOMPARE(query.readAllStandardOutput().trimmed(), QByteArray("skarvelle2.desktop"));
    }

private:
    app::StartupContext context() const
    {
        app::StartupContext startup;
        startup.programFolder = m_program->path();
        startup.executableName = QStringLiteral("tst_form1");
        return startup;
    }

    static QString setting(const char* key)
    {
        return platform::getSetting(QStringLiteral("Last Time"), QString::fromLatin1(key));
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_program;
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
