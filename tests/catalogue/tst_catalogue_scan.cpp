// The catalogue without its window: names and groups, the details read from template movies
// (built here with the authoring kit, and the sample templates), the frame walk with the
// movie's commands, broken templates, the cache and the listing.
#include "TestTemplates.h"

#include "catalogue/CatalogueGrouping.h"
#include "catalogue/CatalogueListing.h"
#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailCache.h"
#include "catalogue/DisplayName.h"
#include "catalogue/PartWalk.h"
#include "catalogue/WebAddress.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using catalogue::GroupBy;
using catalogue::TemplateDetails;

namespace {

QList<int> range(std::initializer_list<int> values)
{
    return QList<int>(values);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class CatalogueScanTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    int m_counter = 0;

    // A template built from frame scripts into a folder of its own; its path.
    QString makeTemplate(const QStringList& frameScripts, const QString& name = "t.skrv")
    {
        const QString path = m_home.filePath(QString("movies/%1/%2").arg(++m_counter).arg(name));
        const QString error = writeTemplate(path, frameScripts);
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        return path;
    }

    TemplateDetails read(const QStringList& frameScripts, QList<int>* visits = nullptr, int timeLimit = catalogue::PartWalk::OpenTimeLimit)
    {
        catalogue::PartWalk walk;
        walk.setTimeLimit(timeLimit);
        walk.onFrameVisited = [visits](int frame) {
            if (visits)
                visits->append(frame);
        };
        walk.open(makeTemplate(frameScripts));
        return walk.details();
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toUtf8());
    }

    void displayNames_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("displayName");
        QTest::newRow("plain") << "Sofa.skrv" << "Sofa";
        QTest::newRow("two dots") << "a.b.skrv" << "a";
        QTest::newRow("no dot") << "Sofa" << "Sofa";
        QTest::newRow("leading dot") << ".skrv" << "";
    }

    void displayNames()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, displayName);
        QCOMPARE(catalogue::templateDisplayName(fileName), displayName);
    }

    // The same names grouped by category (alphabetical groups) and by site (first met).
    void grouping_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("categoryGroups");
        QTest::addColumn<QStringList>("siteGroups");
        QTest::addColumn<QList<QList<int>>>("categoryMembers");
        QTest::newRow("Seats met first") << QStringList{"Seats", "seat"} << QStringList{"Seats"} << QStringList{"Seats"}
                                         << QList<QList<int>>{range({0, 1})};
        QTest::newRow("seat met first") << QStringList{"seat", "Seats"} << QStringList{"seat"} << QStringList{"seat"}
                                        << QList<QList<int>>{range({0, 1})};
        QTest::newRow("Hair, hairs, H airS") << QStringList{"Hair", "hairs", "H airS"} << QStringList{"Hair"}
                                             << QStringList{"Hair"} << QList<QList<int>>{range({0, 1, 2})};
        QTest::newRow("backslash is slash") << QStringList{"Seats\\Chairs", "seat/chair"} << QStringList{"Seats\\Chairs"}
                                            << QStringList{"Seats\\Chairs"} << QList<QList<int>>{range({0, 1})};
        QTest::newRow("empty name") << QStringList{"", "Chairs", "", "chai r"} << QStringList{"", "Chairs"}
                                    << QStringList{"", "Chairs"} << QList<QList<int>>{range({0, 2}), range({1, 3})};
        QTest::newRow("order") << QStringList{"Vehicles", "chairs", "Animals", "vehicle", "Trees"}
                               << QStringList{"Animals", "chairs", "Trees", "Vehicles"}
                               << QStringList{"Vehicles", "chairs", "Animals", "Trees"}
                               << QList<QList<int>>{range({2}), range({1}), range({4}), range({0, 3})};
    }

    void grouping()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, categoryGroups);
        QFETCH(QStringList, siteGroups);
        QFETCH(QList<QList<int>>, categoryMembers);
        catalogue::CatalogueGrouping grouping;
        for (const QString& name : names)
            grouping.add(name, name);
        QCOMPARE(grouping.groups(GroupBy::Category), categoryGroups);
        QCOMPARE(grouping.groups(GroupBy::ObjectMakerSite), siteGroups);
        for (int group = 0; group < categoryGroups.size(); ++group) {
            QCOMPARE(grouping.members(GroupBy::Category, group), categoryMembers[group]);
            for (int entry : categoryMembers[group])
                QCOMPARE(grouping.groupOf(GroupBy::Category, entry), group);
        }
        for (int entry = 0; entry < names.size(); ++entry) {
            const int site = grouping.groupOf(GroupBy::ObjectMakerSite, entry);
            QVERIFY(grouping.members(GroupBy::ObjectMakerSite, site).contains(entry));
        }
    }

    void tilesAndGuids_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("tiles");
        QTest::addColumn<QStringList>("guids");
        QTest::newRow("2.7") << "tiles = 2.7;" << "2" << QStringList{};
        QTest::newRow("-1.5") << "tiles = -1.5;" << "-2" << QStringList{};
        QTest::newRow("text number") << "tiles = \" 4 \";" << "4" << QStringList{};
        QTest::newRow("undefined") << "" << "0" << QStringList{};
        QTest::newRow("abc") << "tiles = \"abc\";" << "0" << QStringList{};
        QTest::newRow("guid and tileguids") << "guid = \"g\"; tileguids = \"a&&b&\";" << "0" << QStringList{"g", "a", "b"};
        QTest::newRow("tileguids alone") << "tileguids = \"&x\";" << "0" << QStringList{"x"};
        QTest::newRow("empty guid") << "guid = \"\";" << "0" << QStringList{""};
    }

    void tilesAndGuids()
    {
        QFETCH(QString, script);
        QFETCH(QString, tiles);
        QFETCH(QStringList, guids);
        const TemplateDetails details = read({script});
        QVERIFY(details.readable);
        QCOMPARE(details.tiles, tiles);
        QCOMPARE(details.guids, guids);
    }

    void sampleTemplates()
    {
        catalogue::CatalogueScan scan;
        const QString folder = QStringLiteral(SKRV_BIN_DIR);
        const catalogue::ScanResult result =
            scan.run({{"Car.skrv", folder + "/Car.skrv"}, {"Chair.skrv", folder + "/Chair.skrv"}, {"Stool.skrv", folder + "/Stool.skrv"}});
        QCOMPARE(result.entries.size(), size_t(3));
        const TemplateDetails& car = result.entries[0].details;
        QCOMPARE(car.title, QStringLiteral("City Coupe"));
        QCOMPARE(car.category, QStringLiteral("Vehicles"));
        QCOMPARE(car.objectMakerSiteName, QStringLiteral("Roadline Models"));
        QCOMPARE(car.objectMakerSite, QStringLiteral("https://roadline.example.net/"));
        QCOMPARE(car.size, QStringLiteral("512 x 256"));
        QCOMPARE(car.tiles, QStringLiteral("2"));
        QCOMPARE(car.guids.size(), 3);
        // The wheels frame reports both parts and picks the first.
        QCOMPARE(car.parts, (QStringList{"Body", "Wheels"}));
        QCOMPARE(car.selectedPart, 0);
        const TemplateDetails& chair = result.entries[1].details;
        QCOMPARE(chair.options, (QStringList{"Seat Fabric", "Frame Colour", "Leg Colour", "Plain Back", "Carved Back"}));
        QCOMPARE(chair.parts, QStringList{});

        catalogue::CatalogueGrouping grouping;
        for (const auto& entry : result.entries)
            grouping.add(entry.details.groupCategory, entry.details.groupSiteName);
        QCOMPARE(grouping.groups(GroupBy::Category), (QStringList{"Chairs", "Vehicles"}));
        QCOMPARE(grouping.members(GroupBy::Category, 0), range({1, 2}));
        QCOMPARE(grouping.groups(GroupBy::ObjectMakerSite), (QStringList{"Roadline Models", "Oakfield Furniture"}));
    }

    void frameWalk_data()
    {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QList<int>>("visits");
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<int>("selectedPart");
        QTest::addColumn<QString>("title");
        QTest::newRow("three frames")
            << QStringList{"stop(); title = 'T0'; fscommand('addpart', 'early');", "fscommand('addpart', 'A');", "fscommand('addpart', 'B');"}
            << range({1, 2, 3}) << QStringList{"A", "B"} << -1 << "T0";
        // A part picked during the walk loads the movie again at its frame and ends the
        // collection of parts; the walk still goes on to the last frame.
        QTest::newRow("SELECTPART during the walk")
            << QStringList{"stop(); title = 'T0'; fscommand('addpart', 'early');",
                           "title = 'T1'; fscommand('addpart', 'A');",
                           "title = 'T2'; fscommand('addpart', 'B'); fscommand('SELECTPART', '1');",
                           "title = 'T3'; fscommand('addpart', 'C');"}
            << range({1, 2, 3, 4}) << QStringList{"A", "B"} << 1 << "T1";
        QTest::newRow("selectpart out of range")
            << QStringList{"stop();", "fscommand('addpart', 'A'); fscommand('selectpart', '1');", "fscommand('addpart', 'B');"}
            << range({1, 2, 3}) << QStringList{"A", "B"} << -1 << "";
        QTest::newRow("one frame") << QStringList{"title = 'Only'; fscommand('addpart', 'x');"} << range({1})
                                   << QStringList{} << -1 << "Only";
        // The movie empties its level: the frame count can no longer be read.
        QTest::newRow("frame count gone")
            << QStringList{"stop();", "fscommand('addpart', 'A'); unloadMovieNum(0);", "fscommand('addpart', 'B');"}
            << range({1}) << QStringList{"A"} << -1 << "";
    }

    void frameWalk()
    {
        QFETCH(QStringList, frames);
        QFETCH(QList<int>, visits);
        QFETCH(QStringList, parts);
        QFETCH(int, selectedPart);
        QFETCH(QString, title);
        QList<int> visited;
        const TemplateDetails details = read(frames, &visited);
        QVERIFY(details.readable);
        QCOMPARE(visited, visits);
        QCOMPARE(details.parts, parts);
        QCOMPARE(details.selectedPart, selectedPart);
        QCOMPARE(details.title, title);
    }

    // The walk stops at frame 32767, however many frames the movie has.
    void longMovies()
    {
        QStringList frames(32800, QString());
        frames.first() = "stop();";
        frames.last() = "fscommand('addpart', 'beyond');";
        QList<int> visited;
        // Some 32767 frames take a while in a sanitizer build.
        const TemplateDetails details = read(frames, &visited, 60000);
        QVERIFY(details.readable);
        QCOMPARE(visited.size(), 32767);
        QCOMPARE(visited.last(), 32767);
        QCOMPARE(details.parts, QStringList{});
        // A walk that outlasts its time is given up: the template counts as unreadable.
        QCOMPARE(read(frames, nullptr, 1), TemplateDetails::unreadable());
    }

    void commands_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("size");
        QTest::newRow("captions once") << "fscommand('additem', 'Colour&c1&colour'); fscommand('additem', 'Colour&c2&colour');"
                                          "fscommand('additem', 'Body');"
                                       << QStringList{"Colour", "Body"} << "0 x 0";
        QTest::newRow("clearitems") << "fscommand('additem', 'Colour&c1&colour'); fscommand('clearitems');"
                                       "fscommand('additem', 'Wood&w&file');"
                                    << QStringList{"Wood"} << "0 x 0";
        QTest::newRow("SetSize as sent") << "fscommand('SetSize', ' 512 x 256 '); fscommand('msgbox', 'hello');"
                                         << QStringList{} << " 512 x 256 ";
    }

    void commands()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, options);
        QFETCH(QString, size);
        const TemplateDetails details = read({script});
        QCOMPARE(details.options, options);
        QCOMPARE(details.size, size);
    }

    // Picking a part reads the details at its frame; the parts the reloaded movie reports are
    // not added.
    void pickingAPart()
    {
        const QStringList frames{"stop(); title = 'T0'; fscommand('setsize', '64 x 64'); fscommand('addpart', 'late');",
                                 "title = 'T1'; price = 1; fscommand('addpart', 'A');",
                                 "title = 'T2'; fscommand('addpart', 'B'); fscommand('setsize', '32 x 32');",
                                 "title = 'T3'; fscommand('addpart', 'C');"};
        catalogue::PartWalk walk;
        walk.open(makeTemplate(frames));
        QCOMPARE(walk.details().parts, (QStringList{"A", "B", "C"}));
        QVERIFY(walk.isCollectingParts());

        walk.selectPart(2);
        QCOMPARE(walk.details().title, QStringLiteral("T2"));
        QCOMPARE(walk.details().size, QStringLiteral("32 x 32"));
        QCOMPARE(walk.details().selectedPart, 2);
        QVERIFY(!walk.isCollectingParts());
        // Frame 0 sent its size while the movie loaded again: that is the size shown.
        walk.selectPart(0);
        QCOMPARE(walk.details().title, QStringLiteral("T0"));
        QCOMPARE(walk.details().size, QStringLiteral("64 x 64"));
        // A variable the frame lacks keeps what was read before.
        QCOMPARE(walk.details().price, QString());
        walk.selectPart(1);
        QCOMPARE(walk.details().price, QStringLiteral("1"));
        walk.selectPart(0);
        QCOMPARE(walk.details().price, QStringLiteral("1"));
        QCOMPARE(walk.details().parts, (QStringList{"A", "B", "C"}));

        // Taken up from what was read before, the movie is loaded at the first pick.
        catalogue::PartWalk resumed;
        TemplateDetails earlier = walk.details();
        resumed.resume(walk.path(), earlier);
        QCOMPARE(resumed.details(), earlier);
        resumed.selectPart(2);
        QCOMPARE(resumed.details().title, QStringLiteral("T2"));
        resumed.selectPart(3);
        QCOMPARE(resumed.details().selectedPart, 2);
    }

    void brokenTemplates_data()
    {
        QTest::addColumn<QStringList>("frames");
        QTest::newRow("loops forever") << QStringList{"title = 'Loop'; while (true) { category = 'x'; }"};
        QTest::newRow("loops in a later frame") << QStringList{"stop(); title = 'Later';", "while (true) {}"};
        QTest::newRow("endless recursion") << QStringList{"title = 'Deep'; function f(n) { return f(n + 1); } f(0);"};
        QTest::newRow("not a movie") << QStringList{};
    }

    // A template that breaks is listed by its name with the empty details, and the scan goes on.
    void brokenTemplates()
    {
        QFETCH(QStringList, frames);
        const QString broken = frames.isEmpty() ? m_home.filePath("movies/broken.skrv") : makeTemplate(frames, "Broken.v2.skrv");
        if (frames.isEmpty()) {
            QFile file(broken);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("This is no movie.");
        }
        const QString good = makeTemplate({variables({"title", "Fine"})});
        const catalogue::ScanResult result = catalogue::CatalogueScan().run({{"Broken.v2.skrv", broken}, {"Good.skrv", good}});
        QCOMPARE(result.entries.size(), size_t(2));
        QCOMPARE(result.entries[0].displayName, QStringLiteral("Broken"));
        QCOMPARE(result.entries[0].details, TemplateDetails::unreadable());
        QCOMPARE(result.entries[1].details.title, QStringLiteral("Fine"));
    }

    void cache()
    {
        const QString cacheFile = m_home.filePath("cache/skarvelle2/catalogue.json");
        QCOMPARE(catalogue::DetailCache::defaultFilePath(), cacheFile);
        QFile::remove(cacheFile);
        std::vector<catalogue::TemplateFile> files;
        for (const QString name : {"Sofa", "Lamp", "Rug"})
            files.push_back({name + ".skrv", makeTemplate({variables({"title", name, "category", "Home"})}, name + ".skrv")});
        const auto scan = [&files] {
            catalogue::DetailCache cache;
            return catalogue::CatalogueScan(&cache).run(files);
        };

        const catalogue::ScanResult cold = scan();
        QCOMPARE(cold.moviesRead, 3);
        QVERIFY(QFile::exists(cacheFile));
        const catalogue::ScanResult warm = scan();
        QCOMPARE(warm.moviesRead, 0);
        QCOMPARE(warm.entries.size(), cold.entries.size());
        for (size_t index = 0; index < cold.entries.size(); ++index)
            QCOMPARE(warm.entries[index].details, cold.entries[index].details);

        // A changed template is read again, and only that one.
        QVERIFY(writeTemplate(files[1].path, {variables({"title", "Floor Lamp"})}).isEmpty());
        QFile lamp(files[1].path);
        QVERIFY(lamp.open(QIODevice::ReadWrite));
        QVERIFY(lamp.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        lamp.close();
        const catalogue::ScanResult changed = scan();
        QCOMPARE(changed.moviesRead, 1);
        QCOMPARE(changed.entries[1].details.title, QStringLiteral("Floor Lamp"));

        // A template no longer installed is forgotten.
        const QString gone = files.back().path;
        files.pop_back();
        QCOMPARE(scan().moviesRead, 0);
        QVERIFY(!readAll(cacheFile).contains(gone.toUtf8()));

        // A damaged cache counts as empty and is written anew.
        QFile damaged(cacheFile);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("{\"version\": 1, \"templates\": [");
        damaged.close();
        QCOMPARE(scan().moviesRead, 2);
        QCOMPARE(scan().moviesRead, 0);

        // A cancelled scan lists nothing, but keeps what it read.
        QFile::remove(cacheFile);
        catalogue::DetailCache cache;
        const catalogue::ScanResult cancelled =
            catalogue::CatalogueScan(&cache).run(files, [](int done, int) { return done < 1; });
        QVERIFY(cancelled.cancelled);
        QVERIFY(cancelled.entries.empty());
        QCOMPARE(scan().moviesRead, 1);
    }

    void cacheFolder_data()
    {
        QTest::addColumn<QByteArray>("cacheHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("set") << QByteArray("/var/cache/me") << "/var/cache/me/skarvelle2/catalogue.json";
        QTest::newRow("relative") << QByteArray("cache") << m_home.path() + "/.cache/skarvelle2/catalogue.json";
        QTest::newRow("unset") << QByteArray() << m_home.path() + "/.cache/skarvelle2/catalogue.json";
    }

    void cacheFolder()
    {
        QFETCH(QByteArray, cacheHome);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv("XDG_CACHE_HOME");
        if (cacheHome.isEmpty())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", cacheHome);
        const QString path = catalogue::DetailCache::defaultFilePath();
        qputenv("XDG_CACHE_HOME", saved);
        QCOMPARE(path, expected);
    }

    void listingLine()
    {
        catalogue::CatalogueEntry entry;
        entry.fileName = "Sofa.v2.skrv";
        entry.details.title = "Big\tSofa\nwith cushions";
        entry.details.category = "Seats";
        entry.details.price = "12.5";
        entry.details.objectMakerSiteName = "Maker";
        entry.details.templateMakerSiteName = "Skinner";
        entry.details.tiles = "3";
        entry.details.parts = QStringList{"Seat", "Back\trest"};
        QCOMPARE(catalogue::listingLine(entry),
                 QStringLiteral("Sofa.v2.skrv\tBig Sofa with cushions\tSeats\t12.5\tMaker\tSkinner\t3\tSeat, Back rest"));
        QCOMPARE(catalogue::listingLine(catalogue::CatalogueEntry{"Broken.skrv", {}, "Broken", TemplateDetails::unreadable()}),
                 QStringLiteral("Broken.skrv\t\t\t\t\t\t0\t"));
    }

    void webAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opened");
        QTest::newRow("https") << "https://oakfield.example.com/" << true;
        QTest::newRow("http in capitals, blanks around") << "  HTTP://Oakfield.example.com/chairs?id=1 " << true;
        QTest::newRow("file") << "file:///bin/sh" << false;
        QTest::newRow("local path") << "/bin/sh" << false;
        QTest::newRow("no scheme") << "oakfield.example.com" << false;
        QTest::newRow("other scheme") << "javascript:alert(1)" << false;
        QTest::newRow("mail") << "mailto:someone@example.com" << false;
        QTest::newRow("no host") << "http://" << false;
        QTest::newRow("empty") << "" << false;
    }

    void webAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, opened);
        QCOMPARE(catalogue::isWebAddress(address), opened);
    }
};

QTEST_GUILESS_MAIN(CatalogueScanTest)
#include "tst_catalogue_scan.moc"
