// The catalogue window as the user meets it: opened from the main window with its save
// question, the flat and grouped views and their settings, the cascades between the lists,
// parts, OK and Cancel, the site buttons and Get More, a cancelled scan, and the command-line
// listing of the program itself.
#include "TestTemplates.h"

#include "app/MainWindow.h"
#include "app/TemplateList.h"
#include "app/TemplateSite.h"
#include "catalogue/window/CatalogueWindow.h"
#include "platform/DesktopLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptedMessages.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using catalogue::CatalogueWindow;
using platform::MessageAnswer;

namespace {

const QString LastTime = QStringLiteral("Last Time");

QString setting(const QString& key)
{
    return platform::getSetting(LastTime, key, QStringLiteral("(absent)"));
}

QStringList lines(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QString currentText(const QListWidget* list)
{
    return list->currentItem() ? list->currentItem()->text() : QString();
}

template<class T>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The user picks a line of a drop-down list.
void pick(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class TestMainWindow : public app::MainWindow {
public:
    using MainWindow::MainWindow;

    bool saveTextureSheet() override
    {
        ++saves;
        if (saveThrows)
            throw RuntimeError(1, QStringLiteral("test"), QStringLiteral("disk full"));
        return saveSucceeds;
    }
    void endProgram() override {}

    int saves = 0;
    bool saveSucceeds = true;
    bool saveThrows = false;
};

} // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_program; // the templates: entries 0 to 4 in list order
    QString m_user;
    QList<platform::LaunchRequest> m_launches;

    app::StartupContext context() const
    {
        app::StartupContext startup;
        startup.programFolder = m_program;
        startup.contentFolder = m_program;
        startup.executableName = QStringLiteral("tst_catalogue_window");
        startup.userTemplateFolder = m_user;
        return startup;
    }

    // The main window's list as it stands after start-up, showing entry current.
    std::unique_ptr<app::TemplateList> templateList(int current, const QString& folder = {})
    {
        auto list = std::make_unique<app::TemplateList>();
        list->setFolders({folder.isEmpty() ? m_program : folder, m_user});
        list->refresh();
        list->setCurrentIndex(current);
        return list;
    }

    std::unique_ptr<CatalogueWindow> openedCatalogue(app::TemplateList& list)
    {
        auto window = std::make_unique<CatalogueWindow>(list, app::ScreenMetrics {});
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        if (!window->open())
            return nullptr;
        return window;
    }

    CatalogueWindow* openFromMainWindow(TestMainWindow& main)
    {
        main.templatesButton()->click();
        return main.findChild<CatalogueWindow*>();
    }

private slots:
    void initTestCase()
    {
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
            const QString folder = m_home.filePath(QString::fromLatin1(variable));
            QDir().mkpath(folder);
            qputenv(variable, folder.toUtf8());
        }
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        m_program = m_home.filePath("program");
        m_user = m_home.filePath("user");
        QDir().mkpath(m_user);

        // Three parts, one per frame from frame 1, each frame naming itself.
        QStringList armchair{"stop();\n"
                             + variables({"title", "Armchair", "category", "Seats", "objectmakersitename", "Oakfield",
                                          "objectmakersite", "https://oakfield.example.com/chairs", "templatemakersitename",
                                          "Sneaky", "templatemakersite", "file:///bin/sh", "tiles", "2.7"})};
        for (int frame = 1; frame <= 3; ++frame)
            armchair.append(QString("title = 'Armchair frame %1'; fscommand('addpart', 'Part %1');").arg(frame));
        const QList<std::pair<QString, QStringList>> templates{
            {"Armchair.skrv", armchair},
            {"Bench.skrv", {variables({"title", "Bench One", "category", "Seats", "objectmakersitename", "Parkworks"})}},
            {"Bench.v2.skrv", {variables({"title", "Bench Two", "category", "seat", "objectmakersitename", "Parkworks"})}},
            {"Hat.skrv", {variables({"title", "Hat", "category", "Hats", "objectmakersitename", "Oakfield", "templatemakersite", ""})}},
            {"Loop.skrv", {"title = 'Loop'; while (true) {}"}},
        };
        for (const auto& [name, frames] : templates)
            QVERIFY2(writeTemplate(m_program + "/" + name, frames).isEmpty(), qPrintable(name));
    }

    void init()
    {
        m_launches.clear();
        platform::setLaunchBackend([this](const platform::LaunchRequest& request) {
            m_launches.append(request);
            return 42;
        });
        for (const QString key : {"Categorized", "Sort By", "Template", "Part"})
            platform::saveSetting(LastTime, key, QString());
    }

    void cleanup() { platform::setLaunchBackend({}); }

    void views_data()
    {
        QTest::addColumn<QString>("categorized");
        QTest::addColumn<QString>("sortBy");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("flat") << "0" << "0" << QStringList{"templateList"};
        QTest::newRow("by category") << "1" << "0" << QStringList{"groupByBox", "categoryList", "categoryMemberList"};
        QTest::newRow("by site") << "1" << "1" << QStringList{"groupByBox", "siteList", "siteMemberList"};
        QTest::newRow("no grouping chosen") << "1" << "-1" << QStringList{"groupByBox"};
        QTest::newRow("no such grouping") << "1" << "7" << QStringList{"groupByBox"};
        QTest::newRow("settings absent") << "" << "" << QStringList{"templateList"};
    }

    // The view comes from the settings; in the grouped view the groups of the template the main
    // window shows are expanded with it selected.
    void views()
    {
        QFETCH(QString, categorized);
        QFETCH(QString, sortBy);
        QFETCH(QStringList, shown);
        if (!categorized.isEmpty()) {
            platform::saveSetting(LastTime, "Categorized", categorized);
            platform::saveSetting(LastTime, "Sort By", sortBy);
        }
        auto list = templateList(3);
        auto window = openedCatalogue(*list);
        QVERIFY(window);
        QStringList visible;
        for (const char* name : {"templateList", "groupByBox", "categoryList", "categoryMemberList", "siteList", "siteMemberList"}) {
            if (child<QWidget>(window.get(), name)->isVisibleTo(window.get()))
                visible.append(QString::fromLatin1(name));
        }
        QCOMPARE(visible, shown);

        auto* flat = child<QListWidget>(window.get(), "templateList");
        QCOMPARE(lines(flat), (QStringList{"Armchair", "Bench", "Bench", "Hat", "Loop"}));
        QCOMPARE(flat->currentRow(), 3);
        QCOMPARE(child<QLineEdit>(window.get(), "titleField")->text(), QStringLiteral("Hat"));
        auto* categories = child<QListWidget>(window.get(), "categoryList");
        QCOMPARE(lines(categories), (QStringList{"", "Hats", "Seats"}));
        QCOMPARE(currentText(categories), QStringLiteral("Hats"));
        QCOMPARE(currentText(child<QListWidget>(window.get(), "categoryMemberList")), QStringLiteral("Hat"));
        auto* sites = child<QListWidget>(window.get(), "siteList");
        QCOMPARE(lines(sites), (QStringList{"Oakfield", "Parkworks", ""}));
        QCOMPARE(currentText(sites), QStringLiteral("Oakfield"));
        auto* siteMembers = child<QListWidget>(window.get(), "siteMemberList");
        QCOMPARE(lines(siteMembers), (QStringList{"Armchair", "Hat"}));
        QCOMPARE(siteMembers->currentRow(), 1);
    }

    void switchingTheView()
    {
        platform::saveSetting(LastTime, "Categorized", "0");
        platform::saveSetting(LastTime, "Sort By", "0");
        auto list = templateList(0);
        auto window = openedCatalogue(*list);
        QVERIFY(window);
        window->show();
        auto* categorized = child<QCheckBox>(window.get(), "categorizedBox");
        categorized->click();
        QCOMPARE(setting("Categorized"), QStringLiteral("1"));
        auto* categories = child<QListWidget>(window.get(), "categoryList");
        auto* members = child<QListWidget>(window.get(), "categoryMemberList");
        QVERIFY(members->isVisible());
        QCOMPARE(currentText(categories), QStringLiteral("Seats"));
        QCOMPARE(lines(members), (QStringList{"Armchair", "Bench", "Bench"}));
        QCOMPARE(members->currentRow(), 0);

        pick(child<QComboBox>(window.get(), "groupByBox"), 1);
        QCOMPARE(setting("Sort By"), QStringLiteral("1"));
        QVERIFY(child<QListWidget>(window.get(), "siteList")->isVisible());
        QVERIFY(!categories->isVisible());
        categorized->click();
        QCOMPARE(setting("Categorized"), QStringLiteral("0"));
        QVERIFY(child<QListWidget>(window.get(), "templateList")->isVisible());
    }

    // Picking a group lists its members in entry order and selects the first; picking a member
    // selects that very template, also when another one has the same name.
    void cascades()
    {
        platform::saveSetting(LastTime, "Categorized", "1");
        platform::saveSetting(LastTime, "Sort By", "0");
        auto list = templateList(3);
        auto window = openedCatalogue(*list);
        QVERIFY(window);
        window->show();
        auto* flat = child<QListWidget>(window.get(), "templateList");
        auto* categories = child<QListWidget>(window.get(), "categoryList");
        auto* members = child<QListWidget>(window.get(), "categoryMemberList");
        auto* title = child<QLineEdit>(window.get(), "titleField");

        categories->setCurrentRow(2); // Seats
        QCOMPARE(lines(members), (QStringList{"Armchair", "Bench", "Bench"}));
        QCOMPARE(members->currentRow(), 0);
        QCOMPARE(flat->currentRow(), 0);
        QCOMPARE(title->text(), QStringLiteral("Armchair"));

        members->setCurrentRow(2);
        QCOMPARE(flat->currentRow(), 2);
        QCOMPARE(title->text(), QStringLiteral("Bench Two"));
        QCOMPARE(child<QListWidget>(window.get(), "siteMemberList")->currentRow(), 1);

        // Clicking the group whose members are shown changes nothing.
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {}, categories->visualItemRect(categories->item(2)).center());
        QCOMPARE(members->currentRow(), 2);
        QCOMPARE(title->text(), QStringLiteral("Bench Two"));

        // A template that never ends its first frame is listed with empty details.
        categories->setCurrentRow(0);
        QCOMPARE(lines(members), QStringList{"Loop"});
        QCOMPARE(flat->currentRow(), 4);
        QCOMPARE(title->text(), QString());
        QCOMPARE(child<QLineEdit>(window.get(), "tilesField")->text(), QStringLiteral("0"));
        QCOMPARE(child<QLineEdit>(window.get(), "sizeField")->text(), QStringLiteral("0 x 0"));
        QVERIFY(!child<QComboBox>(window.get(), "partBox")->isEnabled());
        QVERIFY(title->isEnabled());
    }

    void okHandsTemplateAndPart_data()
    {
        QTest::addColumn<int>("pickedPart");
        QTest::addColumn<QString>("partNumber");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("no part") << -1 << "0" << "Armchair";
        QTest::newRow("third part") << 2 << "2" << "Armchair frame 2";
    }

    void okHandsTemplateAndPart()
    {
        QFETCH(int, pickedPart);
        QFETCH(QString, partNumber);
        QFETCH(QString, shownTitle);
        platform::saveSetting(LastTime, "Template", "Hat.skrv");
        platform::saveSetting(LastTime, "Part", "1");
        TestMainWindow main(context());
        main.start();
        main.setUnsavedChanges(true);
        platform::ScriptedMessages messages;
        messages.answerNext(MessageAnswer::No);
        QPointer<CatalogueWindow> window = openFromMainWindow(main);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(main.isMainWindowDisabled());
        QCOMPARE(child<QListWidget>(window, "templateList")->currentRow(), 3);

        child<QListWidget>(window, "templateList")->setCurrentRow(0);
        auto* parts = child<QComboBox>(window, "partBox");
        QVERIFY(parts->isEnabled());
        QCOMPARE(parts->count(), 3);
        QCOMPARE(parts->currentIndex(), -1);
        QCOMPARE(child<QLineEdit>(window, "tilesField")->text(), QStringLiteral("2"));
        if (pickedPart >= 0)
            pick(parts, pickedPart);
        QCOMPARE(child<QLineEdit>(window, "titleField")->text(), shownTitle);

        child<QPushButton>(window, "okButton")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);
        QCOMPARE(main.partNumber(), partNumber);
        QCOMPARE(main.templates().currentIndex(), 0);
        QCOMPARE(main.windowTitle(), QStringLiteral("Armchair - Skarvelle 2"));
        QVERIFY(!main.hasUnsavedChanges());
        QCOMPARE(setting("Template"), QStringLiteral("Armchair.skrv"));
        QCOMPARE(setting("Part"), partNumber);
        QTRY_VERIFY(!main.isMainWindowDisabled());
        QCOMPARE(messages.count(), 1);
    }

    void cancelChangesNothing()
    {
        platform::saveSetting(LastTime, "Template", "Bench.skrv");
        platform::saveSetting(LastTime, "Part", "1");
        TestMainWindow main(context());
        main.start();
        main.setUnsavedChanges(true);
        platform::ScriptedMessages messages;
        messages.answerNext(MessageAnswer::Yes);
        QPointer<CatalogueWindow> window = openFromMainWindow(main);
        QVERIFY(window);
        QCOMPARE(main.saves, 1);
        main.setUnsavedChanges(true); // what a real save would have cleared, to see it kept

        child<QListWidget>(window, "templateList")->setCurrentRow(0);
        pick(child<QComboBox>(window, "partBox"), 2);
        child<QPushButton>(window, "cancelButton")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);
        QCOMPARE(main.templates().currentIndex(), 1);
        QCOMPARE(main.partNumber(), QStringLiteral("1"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Bench - Skarvelle 2"));
        QVERIFY(main.hasUnsavedChanges());
        QCOMPARE(setting("Template"), QStringLiteral("Bench.skrv"));
        QTRY_VERIFY(!main.isMainWindowDisabled());
    }

    void saveQuestion_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("saveSucceeds");
        QTest::addColumn<bool>("saveThrows");
        QTest::addColumn<int>("saves");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QStringList>("messages");
        const QString question = "Do you want to save?";
        QTest::newRow("nothing to save") << false << MessageAnswer::Yes << true << false << 0 << true << QStringList{};
        QTest::newRow("Yes, saved") << true << MessageAnswer::Yes << true << false << 1 << true << QStringList{question};
        QTest::newRow("Yes, not saved") << true << MessageAnswer::Yes << false << false << 1 << false << QStringList{question};
        QTest::newRow("Yes, save fails") << true << MessageAnswer::Yes << true << true << 1 << false
                                         << QStringList{question, "Failed to work."};
        QTest::newRow("No") << true << MessageAnswer::No << true << false << 0 << true << QStringList{question};
        QTest::newRow("Cancel") << true << MessageAnswer::Cancel << true << false << 0 << false << QStringList{question};
    }

    void saveQuestion()
    {
        QFETCH(bool, unsaved);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, saveSucceeds);
        QFETCH(bool, saveThrows);
        QFETCH(int, saves);
        QFETCH(bool, opened);
        QFETCH(QStringList, messages);
        TestMainWindow main(context());
        main.start();
        main.setUnsavedChanges(unsaved);
        main.saveSucceeds = saveSucceeds;
        main.saveThrows = saveThrows;
        platform::ScriptedMessages recorder;
        recorder.answerNext(answer);
        CatalogueWindow* window = openFromMainWindow(main);
        QCOMPARE(bool(window), opened);
        QCOMPARE(main.saves, saves);
        QCOMPARE(main.isMainWindowDisabled(), opened);
        QStringList texts;
        for (const auto& request : recorder.requests())
            texts.append(request.text);
        QCOMPARE(texts, messages);
        if (!messages.isEmpty()) {
            QCOMPARE(recorder.requests().first().icon, platform::MessageIcon::Exclamation);
            QCOMPARE(recorder.requests().first().buttons, platform::MessageButtons::YesNoCancel);
        }
        if (messages.size() > 1) {
            QCOMPARE(recorder.last().icon, platform::MessageIcon::Critical);
            QCOMPARE(recorder.last().title, main.windowTitle());
        }
        delete window;
    }

    void siteButtons_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("opened");
        QTest::newRow("object maker's site") << 0 << "objectMakerSiteButton" << "https://oakfield.example.com/chairs";
        QTest::newRow("file:///bin/sh") << 0 << "templateMakerSiteButton" << "";
        QTest::newRow("no site") << 1 << "objectMakerSiteButton" << "";
        QTest::newRow("empty site") << 3 << "templateMakerSiteButton" << "";
        QTest::newRow("Get More") << 3 << "getMoreButton" << app::templateSitePage();
    }

    void siteButtons()
    {
        QFETCH(int, entry);
        QFETCH(QString, button);
        QFETCH(QString, opened);
        auto list = templateList(entry);
        auto window = openedCatalogue(*list);
        QVERIFY(window);
        child<QAbstractButton>(window.get(), qPrintable(button))->click();
        QStringList targets;
        for (const auto& request : std::as_const(m_launches))
            targets.append(request.target);
        QCOMPARE(targets, opened.isEmpty() ? QStringList{} : QStringList{opened});
    }

    void emptyTemplateFolder()
    {
        QTemporaryDir empty;
        auto list = templateList(-1, empty.path());
        auto window = openedCatalogue(*list);
        QVERIFY(window);
        QCOMPARE(child<QListWidget>(window.get(), "templateList")->count(), 0);
        QCOMPARE(child<QListWidget>(window.get(), "categoryList")->count(), 0);
        QVERIFY(!child<QLineEdit>(window.get(), "titleField")->isEnabled());
        QVERIFY(!child<QComboBox>(window.get(), "partBox")->isEnabled());
        QVERIFY(child<QLineEdit>(window.get(), "tilesField")->isEnabled());
        child<QPushButton>(window.get(), "getMoreButton")->click();
        QCOMPARE(m_launches.size(), 1);
        QSignalSpy chosen(window.get(), &CatalogueWindow::templateChosen);
        child<QPushButton>(window.get(), "okButton")->click();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first(), (QVariantList{-1, 0}));
    }

    // A scan that takes long shows its progress; cancelled, the catalogue does not open.
    void cancelledScan()
    {
        QTemporaryDir slow;
        for (int index = 0; index < 12; ++index)
            QVERIFY(writeTemplate(slow.filePath(QString("Loop%1.skrv").arg(index)), {"while (true) {}"}).isEmpty());
        auto list = templateList(0, slow.path());
        QString seen; // the label of the progress dialog that was cancelled
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, this, [&seen] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible()) {
                    seen = progress->labelText();
                    progress->cancel();
                }
            }
        });
        canceller.start(20);
        CatalogueWindow window(*list, app::ScreenMetrics {});
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(!window.open());
        QCOMPARE(seen, QStringLiteral("Reading the templates..."));
    }

    // skarvelle2 --catalogue lists the program's and the user's templates without a display.
    void commandLineListing()
    {
        QTemporaryDir user;
        QVERIFY(writeTemplate(user.filePath("skarvelle2/templates/Sofa.skrv"),
                              {"stop();" + variables({"title", "Big\tSofa", "category", "Seats", "price", "12"}),
                               "fscommand('addpart', 'Seat');", "fscommand('addpart', 'Back');"})
                    .isEmpty());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.insert("XDG_DATA_HOME", user.path());
        program.setProcessEnvironment(environment);
        const QStringList expected{
            "Car.skrv\tCity Coupe\tVehicles\t0\tRoadline Models\tSkarvelle Samples\t2\tBody, Wheels",
            "Chair.skrv\tWindsor Chair\tChairs\t0\tOakfield Furniture\tSkarvelle Samples\t1\t",
            "Sofa.skrv\tBig Sofa\tSeats\t12\t\t\t0\tSeat, Back",
            "Stool.skrv\tBar Stool\tchair\t0\tOakfield Furniture\tSkarvelle Samples\t1\t",
        };
        // The second run answers from the cache the first one wrote.
        for (int run = 0; run < 2; ++run) {
            program.start(QStringLiteral(SKRV_BIN_DIR "/skarvelle2"), {"--catalogue"});
            QVERIFY(program.waitForFinished(60000));
            QCOMPARE(program.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), expected);
        }
        QVERIFY(QFile::exists(m_home.filePath("XDG_CACHE_HOME/skarvelle2/catalogue.json")));
    }
};

QTEST_MAIN(CatalogueWindowTest)
#include "tst_catalogue_window.moc"
