#include "ScriptRunner.h"

#include <QTest>

// Property attributes as scripts set them with ASSetPropFlags: the three classic ones and the
// bits that hide a property from movies older than a given SWF version.
class TestPropertyFlags : public QObject {
    Q_OBJECT

private slots:
    void versionHiding_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("seenBy"); // which of versions 5 to 10 see the property

        QTest::newRow("no version bit") << 0 << "5 6 7 8 9 10";
        QTest::newRow("128 needs 6") << 128 << "6 7 8 9 10";
        QTest::newRow("256 hides from 6 only") << 256 << "5 7 8 9 10";
        QTest::newRow("1024 needs 7") << 1024 << "7 8 9 10";
        QTest::newRow("4096 needs 8") << 4096 << "8 9 10";
        QTest::newRow("8192 needs 9") << 8192 << "9 10";
        QTest::newRow("16384 needs 10") << 16384 << "10";
        QTest::newRow("the highest bit set wins") << (128 | 4096) << "8 9 10";
        QTest::newRow("attributes alone hide nothing") << 7 << "5 6 7 8 9 10";
    }
    void versionHiding()
    {
        QFETCH(int, flags);
        QFETCH(QString, seenBy);
        const QString source = QStringLiteral(
            "var o = {}; o.test = 42; ASSetPropFlags(o, 'test', %1);"
            "trace(o.test === 42);").arg(flags);
        QStringList versions;
        for (int version = 5; version <= 10; ++version) {
            ScriptRunner runner(version);
            if (runner.run(source).join('|') == QLatin1String("true"))
                versions << QString::number(version);
        }
        QCOMPARE(versions.join(' '), seenBy);
    }

    void hiddenPropertyReadsUndefinedButStaysListed_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hidden from 7") << 7 << "undefined|true|a|42";
        QTest::newRow("seen by 8") << 8 << "42|true|a|42";
    }
    // A hidden property reads as undefined, yet hasOwnProperty and for..in still see it, and it
    // keeps its value: clearing the bit shows it again.
    void hiddenPropertyReadsUndefinedButStaysListed()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        const QString source = QStringLiteral(
            "var o = {}; o.a = 42; ASSetPropFlags(o, 'a', 4096);"
            "trace(o.a); trace(o.hasOwnProperty('a'));"
            "var names = ''; for (var k in o) names += k; trace(names);"
            "ASSetPropFlags(o, 'a', 0, 4096); trace(o.a);");
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    void flashPackageNeedsVersion8()
    {
        ScriptRunner older(7);
        QCOMPARE(older.run("trace(typeof flash);").join('|'), QStringLiteral("undefined"));
        ScriptRunner newer(8);
        QCOMPARE(newer.run("trace(typeof flash); trace(typeof flash.geom.Point);").join('|'), QStringLiteral("object|function"));
    }

    void classicAttributes()
    {
        ScriptRunner runner(8);
        const QString source = QStringLiteral(
            "var o = {a: 1, b: 2, c: 3}; ASSetPropFlags(o, 'a,b', 7);"
            "o.a = 10; delete o.b; var names = ''; for (var k in o) names += k;"
            "trace(o.a); trace(o.b); trace(names);"
            "ASSetPropFlags(o, null, 0, 4); o.a = 11; trace(o.a);");
        QCOMPARE(runner.run(source).join('|'), QStringLiteral("1|2|c|11"));
    }
};

QTEST_GUILESS_MAIN(TestPropertyFlags)
#include "tst_avm1_property_flags.moc"
