// The item menu and what its entries do: how the menu is built from the movie's item list, the
// plain-colour mode, jumps, and the failures of "Change..." and "Plain Colour...".
#include "TemplateWindow.h"

#include "authoring/TemplateBuilder.h"
#include "platform/ColorDialog.h"
#include "platform/FileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "texture/ItemMenu.h"
#include "texture/TextureCommands.h"

#include <QMenu>

using testing::playFrames;

namespace {

// A version 6 movie (names without regard to case): three stopped frames of the main timeline
// and a clip Head holding a stopped clip Eyes of four frames.
const char* const JumpsManifest = R"({
  "version": 6, "width": 100, "height": 100,
  "clips": {
    "eyes": {"frames": [{"script": "stop();"}, {}, {}, {}]},
    "head": {"frames": [{"place": [{"depth": 1, "symbol": "eyes", "name": "Eyes"}]}]}
  },
  "frames": [
    {"place": [{"depth": 1, "symbol": "head", "name": "Head"}], "script": "stop();"}, {}, {}
  ]
})";

// The menu as text: "caption" for an enabled entry, "(caption)" for a disabled one, "-" for a
// separator.
QStringList describe(const QMenu& menu)
{
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            entries.append(QStringLiteral("-"));
        else
            entries.append(action->isEnabled() ? action->text() : QLatin1Char('(') + action->text() + QLatin1Char(')'));
    }
    return entries;
}

} // namespace

class ItemMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::useHome(m_home);
        QDir().mkpath(m_user.path());
        QFile jumps(m_source.filePath(QStringLiteral("template.json")));
        QVERIFY(jumps.open(QIODevice::WriteOnly));
        jumps.write(JumpsManifest);
        jumps.close();
        const authoring::TemplateBuildResult built = authoring::buildTemplate(m_source.path());
        QVERIFY2(built.ok(), qPrintable(built.error));
        QFile movie(m_user.filePath(QStringLiteral("Jumps.skrv")));
        QVERIFY(movie.open(QIODevice::WriteOnly));
        movie.write(built.movie);
    }

    void cleanup()
    {
        texture::ItemMenu::setHandler({});
        platform::setColorDialogHandler({});
        platform::setFileDialogHandler({});
    }

    void menuFromTheItemList_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("plainColour");
        QTest::addColumn<bool>("gradientShown");
        QTest::addColumn<QStringList>("menu");

        const QStringList four{"Body&body&file", "-", "Eyes&eyecol&colour", "Front view&3&goto"};
        QTest::newRow("empty") << QStringList{} << false << false << QStringList{"((Empty))"};
        QTest::newRow("all enabled") << four << false << false << QStringList{"Body", "-", "Eyes", "Front view"};
        QTest::newRow("plain colour") << four << true << false << QStringList{"Body", "-", "(Eyes)", "Front view"};
        QTest::newRow("gradient window") << four << false << true << QStringList{"Body", "-", "(Eyes)", "Front view"};
        QTest::newRow("kinds in any case")
            << QStringList{"Body&b&FILE", "Head&2&Goto|Head.Eyes", "Odd&x&other", "Note", "Paint&p&Colour&more"} << true
            << false << QStringList{"Body", "Head", "(Odd)", "Note", "(Paint)"};
    }

    // The menu is built afresh from the list each time; in the plain-colour mode and while the
    // gradient window shows only file and jump entries can be chosen.
    void menuFromTheItemList()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, plainColour);
        QFETCH(bool, gradientShown);
        QFETCH(QStringList, menu);
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        QWidget gradientWindow;
        if (gradientShown) {
            gradientWindow.show();
            window->textureCommands().setGradientWindow(&gradientWindow, [] { return QImage(); });
        }
        window->itemMenuEntries() = lines;
        QStringList shown;
        int menus = 0;
        texture::ItemMenu::setHandler([&](QMenu& built) -> QAction* {
            ++menus;
            shown = describe(built);
            return nullptr;
        });
        platform::ScriptedMessages messages;
        if (plainColour)
            window->onPlainColourClicked();
        else
            window->onChangeClicked();
        QCOMPARE(menus, 1);
        QCOMPARE(shown, menu);
        QCOMPARE(messages.count(), 0);
        // The mode ends with the menu, also when nothing was chosen.
        QVERIFY(!window->isPlainColourMode());
    }

    // A line with "&" but without three fields stops the build: no menu, "Unable to work."
    // titled with the window's caption; from "Plain Colour..." as well.
    void shortLineStopsTheMenu()
    {
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        window->itemMenuEntries() = QStringList{"Body&body&file", "Eyes&eyecol"};
        int menus = 0;
        texture::ItemMenu::setHandler([&](QMenu&) -> QAction* {
            ++menus;
            return nullptr;
        });
        platform::ScriptedMessages messages;
        window->onChangeClicked();
        window->onPlainColourClicked();
        QCOMPARE(menus, 0);
        QCOMPARE(messages.count(), 2);
        for (const platform::MessageRequest& request : messages.requests()) {
            QCOMPARE(request.text, QStringLiteral("Unable to work."));
            QCOMPARE(request.title, QStringLiteral("Car - Skarvelle 2"));
            QCOMPARE(request.icon, platform::MessageIcon::Critical);
        }
        QVERIFY(!window->isPlainColourMode());
    }

    // The car's own menu: choosing "Wheels" shows the second part, whose movie then reports its
    // own items.
    void choosingAJumpShowsTheOtherPart()
    {
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        QCOMPARE(window->itemMenuEntries(),
                 (QStringList{"Paint&paintcolour&colour", "Door Decal&decaltexture&file", "-", "Wheels&2&goto"}));
        texture::ItemMenu::setHandler([](QMenu& menu) { return menu.actions().value(3); });
        window->onChangeClicked();
        QCOMPARE(window->moviePlayer()->currentFrameOf(QStringLiteral("/")), std::optional<int>(1));
        QCOMPARE(window->itemMenuEntries().first(), QStringLiteral("Tyre Tread&treadtexture&file"));
    }

    void jumpsAndLinesThatDoNothing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("index"); // of the line in the list
        QTest::addColumn<int>("rootFrame");
        QTest::addColumn<int>("eyesFrame");
        QTest::newRow("goto 3") << "Front&3&goto" << 0 << 2 << 0;
        QTest::newRow("half to even, up") << "Front&2.5&goto" << 0 << 2 << 0;
        QTest::newRow("half to even, down") << "Front&3.5&goto" << 0 << 2 << 0;
        QTest::newRow("clip jump, any case") << "Look&4&Goto|Head.Eyes|ignored" << 0 << 0 << 3;
        QTest::newRow("frame not a number") << "Front&three&goto" << 0 << 0 << 0;
        QTest::newRow("two fields") << "Front&3" << 0 << 0 << 0;
        QTest::newRow("index outside the list") << "Front&3&goto" << 5 << 0 << 0;
        QTest::newRow("negative index") << "Front&3&goto" << -1 << 0 << 0;
        QTest::newRow("unknown kind") << "Front&3&jump" << 0 << 0 << 0;
    }

    // Jumps count frames from 1; "clickitem" runs an entry whether or not the menu would offer
    // it, and an index or a line that makes no sense does nothing.
    void jumpsAndLinesThatDoNothing()
    {
        QFETCH(QString, line);
        QFETCH(int, index);
        QFETCH(int, rootFrame);
        QFETCH(int, eyesFrame);
        auto window = testing::startTemplate(QStringLiteral("Jumps.skrv"), m_user.path());
        window->itemMenuEntries() = QStringList{line};
        platform::ScriptedMessages messages;
        emit window->moviePlayer()->movieCommand(QStringLiteral("clickitem"), QString::number(index));
        QCOMPARE(window->moviePlayer()->currentFrameOf(QStringLiteral("/")), std::optional<int>(rootFrame));
        QCOMPARE(window->moviePlayer()->currentFrameOf(QStringLiteral("/Head/Eyes")), std::optional<int>(eyesFrame));
        QCOMPARE(messages.count(), 0);
    }

    // The chosen line is copied before any dialog opens: the movie may clear and refill its list
    // while the user chooses, and the choice still goes where the user meant it to.
    void listChangedDuringTheDialog()
    {
        auto window = testing::startTemplate(QStringLiteral("Car.skrv"), m_user.path());
        player::MoviePlayer* movie = window->moviePlayer();
        platform::setColorDialogHandler([&](platform::ColorDialogRequest&) -> std::optional<QColor> {
            emit movie->movieCommand(QStringLiteral("clearitems"), QString());
            emit movie->movieCommand(QStringLiteral("additem"), QStringLiteral("Other&othercolour&colour"));
            return QColor(0, 0, 255);
        });
        emit movie->movieCommand(QStringLiteral("clickitem"), QStringLiteral("0"));
        QCOMPARE(movie->variable(QStringLiteral("paintcolour")), std::optional<QString>(QStringLiteral("0x0000FF")));
        QVERIFY(window->hasUnsavedChanges());

        // From the menu, the entry's line is the one the menu showed.
        window->setUnsavedChanges(false);
        platform::setColorDialogHandler([](platform::ColorDialogRequest&) -> std::optional<QColor> {
            return QColor(255, 0, 0);
        });
        window->itemMenuEntries() = QStringList{"Paint&paintcolour&colour"};
        texture::ItemMenu::setHandler([&](QMenu& menu) {
            window->itemMenuEntries() = QStringList{"Other&othercolour&colour"};
            return menu.actions().value(0);
        });
        window->onChangeClicked();
        QCOMPARE(movie->variable(QStringLiteral("paintcolour")), std::optional<QString>(QStringLiteral("0xFF0000")));
        QVERIFY(window->hasUnsavedChanges());
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_user;
    QTemporaryDir m_source;
};

QTEST_MAIN(ItemMenuTest)
#include "tst_item_menu.moc"
