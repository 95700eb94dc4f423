// The small rules of start-up, the movie commands, the layout, the texture folder and the
// template list.
#include "app/CommandLine.h"
#include "app/MainWindowLayout.h"
#include "app/MovieCommand.h"
#include "app/TemplateList.h"
#include "app/TextureFolder.h"
#include "imaging/BottomUpBitmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <QtTest>

class AppRulesTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("link");
        QTest::newRow("nothing") << QStringList{} << "" << false;
        QTest::newRow("quoted path with blanks") << QStringList{"\"/home/a b/car.skrv\""} << "/home/a b/car.skrv" << false;
        QTest::newRow("only one pair is dropped") << QStringList{"\"\"x\"\""} << "\"x\"" << false;
        QTest::newRow("a lone quote stays") << QStringList{"\""} << "\"" << false;
        QTest::newRow("split arguments are joined") << QStringList{"/home/a", "b/car.skrv"} << "/home/a b/car.skrv" << false;
        QTest::newRow("link") << QStringList{"skrvtp://host/templates/car.skrv"} << "skrvtp://host/templates/car.skrv" << true;
        QTest::newRow("quoted link") << QStringList{"\"skrvtp://h/c.skrv\""} << "skrvtp://h/c.skrv" << true;
        QTest::newRow("scheme in capitals is no link") << QStringList{"SKRVTP://h/c.skrv"} << "SKRVTP://h/c.skrv" << false;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        QFETCH(bool, link);
        QCOMPARE(app::commandLineText(arguments), text);
        QCOMPARE(app::isTemplateLink(text), link);
    }

    void linkDestination_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << "skrvtp://host/templates/car.skrv" << "http://host/templates/car.skrv" << "car.skrv";
        QTest::newRow("backslashes") << "skrvtp:\\\\host\\t\\Car.SKRV" << "http://host/t/Car.SKRV" << "Car.SKRV";
        QTest::newRow("ends with /") << "skrvtp://host/templates/" << "http://host/templates/" << "";
        QTest::newRow("parent folder") << "skrvtp://host/../x" << "http://host/../x" << "";
        QTest::newRow("the program") << "skrvtp://host/skarvelle2" << "http://host/skarvelle2" << "";
        QTest::newRow("the effects movie") << "skrvtp://host/Effects.swf" << "http://host/Effects.swf" << "";
        QTest::newRow("hidden name") << "skrvtp://host/.skrv" << "http://host/.skrv" << "";
        QTest::newRow("query after the name") << "skrvtp://host/car.skrv?v=2" << "http://host/car.skrv?v=2" << "";
    }

    void linkDestination()
    {
        QFETCH(QString, link);
        QFETCH(QString, address);
        QFETCH(QString, fileName);
        QCOMPARE(app::templateLinkAddress(link), address);
        QCOMPARE(app::templateFileNameFromAddress(address), fileName);
    }

    void sheetSize_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("plain") << "256x256" << true << QSizeF(256, 256);
        QTest::newRow("blanks anywhere") << " 5 12 x 2 56 " << true << QSizeF(512, 256);
        QTest::newRow("fraction") << "100.5x20" << true << QSizeF(100.5, 20);
        QTest::newRow("third piece ignored") << "10x20x30" << true << QSizeF(10, 20);
        QTest::newRow("capital X") << "256X256" << false << QSizeF();
        QTest::newRow("no x") << "256" << false << QSizeF();
        QTest::newRow("not a number") << "abcx256" << false << QSizeF();
        QTest::newRow("empty height") << "256x" << false << QSizeF();
        QTest::newRow("negative") << "-5x10" << false << QSizeF();
        QTest::newRow("absurd") << "1e30x10" << false << QSizeF();
        QTest::newRow("infinite") << "infx10" << false << QSizeF();
    }

    void sheetSize()
    {
        QFETCH(QString, argument);
        QFETCH(bool, valid);
        QFETCH(QSizeF, size);
        const auto parsed = app::parseSheetSize(argument);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, size);
    }

    void itemIndex_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("index"); // -999: no index
        QTest::newRow("whole") << "3" << 3;
        QTest::newRow("fraction goes down") << "2.7" << 2;
        QTest::newRow("negative fraction goes down") << "-0.5" << -1;
        QTest::newRow("blanks") << " 1 " << 1;
        QTest::newRow("text") << "two" << -999;
        QTest::newRow("too large") << "1e12" << -999;
    }

    void itemIndex()
    {
        QFETCH(QString, argument);
        QFETCH(int, index);
        const auto parsed = app::parseItemIndex(argument);
        QCOMPARE(parsed.value_or(-999), index);
    }

    void windowTitle_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << "car.skrv" << "car - Skarvelle 2";
        QTest::newRow("first dot") << "my.car.skrv" << "my - Skarvelle 2";
        QTest::newRow("no dot") << "car" << "car - Skarvelle 2";
    }

    void windowTitle()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, title);
        QCOMPARE(app::windowTitleForTemplate(fileName), title);
    }

    // The texture folder is private to the user, its names are the program's, and removing it
    // takes only the program's files and then the folder.
    void textureFolder()
    {
        QTemporaryDir temporary;
        app::TextureFolder folder;
        QVERIFY(folder.texturePath(1).isEmpty()); // nothing before it exists
        QVERIFY(folder.create(temporary.path()));
        QCOMPARE(QFileInfo(folder.path()).absolutePath(), QFileInfo(temporary.path()).absoluteFilePath());
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder.path()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));
        QCOMPARE(folder.texturePath(7), folder.path() + QStringLiteral("/SkrvImport007.jpg"));
        QCOMPARE(folder.texturePath(1042), folder.path() + QStringLiteral("/SkrvImport042.jpg"));

        const QStringList ours{"SkrvImport123.jpg", "SkrvImportabc.jpg"};
        const QStringList others{"SkrvImport1234.jpg", "SkrvImport12.jpg", "SkrvImport123.bmp", "skrvimport123.jpg"};
        for (const QString& name : ours + others) {
            QFile file(QDir(folder.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString path = folder.path();
        folder.remove();
        QStringList left = QDir(path).entryList(QDir::Files);
        QStringList expected = others;
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
        QVERIFY(QFileInfo(path).isDir()); // not empty, so kept

        for (const QString& name : others)
            QVERIFY(QFile::remove(QDir(path).filePath(name)));
        folder.remove();
        QVERIFY(!QFileInfo::exists(path));
    }

    // A link planted at a texture's name is replaced, and what it pointed to is left alone.
    void textureWriteDoesNotFollowLinks()
    {
        QTemporaryDir temporary;
        app::TextureFolder folder;
        QVERIFY(folder.create(temporary.path()));
        const QString victim = temporary.filePath(QStringLiteral("victim.txt"));
        {
            QFile file(victim);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        const QString texture = folder.texturePath(5);
        QVERIFY(QFile::link(victim, texture));
        imaging::BottomUpBitmap bitmap;
        QVERIFY(bitmap.create(4, 4));
        folder.writeTexture(bitmap, texture);
        QVERIFY(!QFileInfo(texture).isSymLink());
        QCOMPARE(QImage(texture).size(), QSize(4, 4));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
    }

    // The program's templates and the user's show together, sorted without regard to case; the
    // user's copy of a name wins.
    void templateListOfTwoFolders()
    {
        QTemporaryDir program;
        QTemporaryDir user;
        const auto touch = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        };
        for (const char* name : {"Car.skrv", "stool.skrv", "Chair.skrv", "notes.txt"})
            QVERIFY(touch(program.filePath(QString::fromLatin1(name))));
        for (const char* name : {"Chair.skrv", "bench.SKRV", "apple.skrv"})
            QVERIFY(touch(user.filePath(QString::fromLatin1(name))));
        app::TemplateList list;
        list.setFolders({program.path(), user.path(), QString()});
        list.refresh();
        QCOMPARE(list.names(), (QStringList{"apple.skrv", "bench.SKRV", "Car.skrv", "Chair.skrv", "stool.skrv"}));
        QCOMPARE(list.filePath(list.indexOf(QStringLiteral("Chair.skrv"))), user.filePath(QStringLiteral("Chair.skrv")));
        QCOMPARE(list.filePath(list.indexOf(QStringLiteral("Car.skrv"))), program.filePath(QStringLiteral("Car.skrv")));
        QCOMPARE(list.indexOf(QStringLiteral("car.skrv")), -1);

        // The current entry follows its name through a refresh.
        list.setCurrentIndex(list.indexOf(QStringLiteral("Car.skrv")));
        QVERIFY(touch(user.filePath(QStringLiteral("aardvark.skrv"))));
        list.refresh();
        QCOMPARE(list.fileName(list.currentIndex()), QStringLiteral("Car.skrv"));
        QCOMPARE(list.fileName(99), QString());
    }

    // A 256 x 256 sheet at 15 twips per pixel.
    void layoutOfASquareSheet()
    {
        app::LayoutInput input;
        input.playerWidth = 3840;
        input.playerHeight = 3840;
        const auto layout = app::layOutMainWindow(input, app::requestedOuterWidth(input));
        QCOMPARE(layout.clientWidth(input), 3840.0);
        QCOMPARE(layout.clientHeight(input), 4965.0);
        QCOMPARE(layout.firstRow.size(), 3);
        QCOMPARE(layout.secondRow.size(), 3);
        for (int index = 0; index < 3; ++index) {
            QCOMPARE(layout.firstRow[index], QRectF(1280 * index, 3840, 1280, 375));
            QCOMPARE(layout.secondRow[index], QRectF(1280 * index, 4215, 1280, 375));
        }
        QCOMPARE(layout.eyedropperBar, QRectF(0, 4590, 3840, 375));
        QCOMPARE(layout.firstRow[1].width() / 15, 256.0 / 3); // 85 1/3 pixels

        input.eyedropperShown = false;
        const auto withoutBar = app::layOutMainWindow(input, app::requestedOuterWidth(input));
        QCOMPARE(withoutBar.clientHeight(input), 4590.0);
        QCOMPARE(withoutBar.firstRow, layout.firstRow);
        QCOMPARE(withoutBar.eyedropperBar, layout.eyedropperBar); // placed all the same
    }

    // The frame adds to the outer size; the buttons share the client width, also of a narrow
    // sheet, and follow a width that the window system limited.
    void layoutWithFrameAndLimits()
    {
        app::LayoutInput input;
        input.playerWidth = 450; // 30 pixels
        input.playerHeight = 300;
        input.frameWidth = 120;
        input.frameHeight = 450;
        QCOMPARE(app::requestedOuterWidth(input), 570.0);
        const auto narrow = app::layOutMainWindow(input, 570);
        QCOMPARE(narrow.outerHeight, 300.0 + 375 + 375 + 375 + 450);
        QCOMPARE(narrow.firstRow[2], QRectF(300, 300, 150, 375));
        QCOMPARE(narrow.eyedropperBar.width(), 570.0);

        const auto limited = app::layOutMainWindow(input, 1620); // the window would not go narrower
        QCOMPARE(limited.firstRow[1], QRectF(500, 300, 500, 375));
        QCOMPARE(limited.secondRow[2].left(), 1000.0);
    }
};

QTEST_MAIN(AppRulesTest)
#include "tst_app_rules.moc"
