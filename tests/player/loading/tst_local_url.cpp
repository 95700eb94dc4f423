#include "player/LocalUrl.h"
#include "player/UrlQuery.h"
#include "player/display/MovieAddress.h"

#include <QTest>

// Which files a movie may load: local paths only, relative ones from the loading movie's folder.
class TestLocalUrl : public QObject {
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected"); // empty: refused

        QTest::newRow("absolute path") << "/data/a.jpg" << "/movies/m.swf" << "/data/a.jpg";
        QTest::newRow("relative to the movie's folder") << "pics/a.png" << "/movies/m.swf" << "/movies/pics/a.png";
        QTest::newRow("up from the movie's folder") << "../a.gif" << "/movies/sub/m.swf" << "/movies/a.gif";
        QTest::newRow("relative to a movie given as file URL") << "a.jpg" << "file:///movies/m.swf" << "/movies/a.jpg";
        QTest::newRow("relative with no movie folder stays relative") << "a.jpg" << "m.swf" << "a.jpg";
        QTest::newRow("file URL") << "file:///data/a%20b.jpg" << "/movies/m.swf" << "/data/a b.jpg";
        QTest::newRow("file URL with localhost") << "file://localhost/data/a.jpg" << "" << "/data/a.jpg";
        QTest::newRow("surrounding spaces") << "  /data/a.jpg " << "" << "/data/a.jpg";
        QTest::newRow("http is refused") << "http://example.com/a.jpg" << "/movies/m.swf" << "";
        QTest::newRow("https is refused") << "HTTPS://example.com/a.jpg" << "/movies/m.swf" << "";
        QTest::newRow("other schemes are refused") << "ftp://example.com/a.jpg" << "" << "";
        QTest::newRow("relative to a movie from a server is refused") << "a.jpg" << "http://example.com/m.swf" << "";
        QTest::newRow("empty is refused") << "" << "/movies/m.swf" << "";
        QTest::newRow("query left out of a path") << "a.swf?x=1&y=2" << "/movies/m.swf" << "/movies/a.swf";
        QTest::newRow("query left out of a file URL") << "file:///data/a.swf?x=%2F" << "" << "/data/a.swf";
    }

    void resolve()
    {
        QFETCH(QString, url);
        QFETCH(QString, base);
        QFETCH(QString, expected);
        const std::optional<QString> resolved = player::local_url::resolve(url, base);
        if (expected.isEmpty()) {
            QVERIFY2(!resolved, qPrintable(resolved.value_or(QString())));
        } else {
            QVERIFY(resolved);
            QCOMPARE(*resolved, expected);
        }
    }

    // A query's variables, decoded, in order; pairs without a name are left out.
    void queryVariables()
    {
        using Pairs = std::vector<std::pair<QString, QString>>;
        QCOMPARE(player::url_query::variables(QStringLiteral("a.swf")), Pairs{});
        QCOMPARE(player::url_query::variables(QStringLiteral("a.swf?one=1&two=a+b%26c&&=lost&flag&url=http%3A%2F%2Fx%2F")),
                 (Pairs{{"one", "1"}, {"two", "a b&c"}, {"flag", ""}, {"url", "http://x/"}}));
        QCOMPARE(player::url_query::variables(QStringLiteral("a.swf?caf%C3%A9=%C3%A9t%C3%A9")), (Pairs{{"caf\u00e9", "\u00e9t\u00e9"}}));
        QCOMPARE(player::url_query::queryOf(QStringLiteral("a.swf?x=1?y")), QStringLiteral("?x=1?y"));
        QCOMPARE(player::url_query::queryOf(QStringLiteral("a.swf")), QString());
    }

    // What _url shows for the address the player keeps: local paths as file: URLs from the file
    // root, encoded; URLs as they are.
    void addressShownToScripts_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown");

        QTest::newRow("relative path from the file root") << "test.swf" << "file:///test.swf";
        QTest::newRow("relative path in a folder") << "./sub/../movies/a.swf" << "file:///movies/a.swf";
        QTest::newRow("absolute path") << "/home/me/a.swf" << "file:///home/me/a.swf";
        QTest::newRow("spaces and letters beyond ASCII") << "no such (movie) \u00e9.swf" << "file:///no%20such%20(movie)%20%C3%A9.swf";
        QTest::newRow("query kept as it is") << "a.swf?x=1&y=a b" << "file:///a.swf?x=1&y=a b";
        QTest::newRow("file URL unchanged") << "file:///data/a%20b.swf" << "file:///data/a%20b.swf";
        QTest::newRow("other schemes unchanged") << "http://example.com/a.swf" << "http://example.com/a.swf";
        QTest::newRow("nothing") << "" << "";
    }

    void addressShownToScripts()
    {
        QFETCH(QString, address);
        QFETCH(QString, shown);
        QCOMPARE(player::display::movie_address::forScripts(address), shown);
    }
};

QTEST_GUILESS_MAIN(TestLocalUrl)
#include "tst_local_url.moc"
