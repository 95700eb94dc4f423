#include "ScriptRunner.h"

#include <QTest>

// ASnative, ASSetNative and ASnew: the numbered native functions are the built-ins' own, and
// ASSetNative lays them on an object by a list of names. The expected traces are those Flash
// Player gives.
class TestNativeTables : public QObject {
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        const char* keys = "function keys(o) { var s = ''; for (var k in o) s += k + ','; return s; }";

        QTest::newRow("ASnative gives the built-in functions themselves") << 8
            << QString("trace(ASnative(200, 0) === Math.abs); trace(ASnative(200, 0)(-3)); trace(ASnative(200, 17)(2, 10));"
                       "trace(ASnative(100, 2)('12px')); trace(ASnative(200, 18)(NaN)); trace(ASnative(1, 0) === ASSetPropFlags);")
            << "true|3|1024|12|true|true";
        QTest::newRow("ASnative numbers Date methods in Flash's order") << 8
            << QString("var d = new Date(1234); d.t = ASnative(103, 16); trace(d.t()); trace(ASnative(103, 16) === Date.prototype.getTime);")
            << "1234|true";
        QTest::newRow("ASnative needs exactly two arguments and a known number; the Math table knows all") << 8
            << QString("trace(typeof ASnative); trace(ASnative(200)); trace(ASnative(200, 0, 1)); trace(ASnative(9900, 0)); trace(ASnative(200, 999)(1, 2));")
            << "function|undefined|undefined|undefined|NaN";
        QTest::newRow("ASSetNative names the functions from the first number on") << 7
            << QString(keys) + "var o = {}; ASSetNative(o, 200, 'a,b,,c'); trace(keys(o)); trace(o.a(-2)); trace(o.b(4, 9)); trace(o.c === Math.sin);"
                               "var p = {}; ASSetNative(p, 200, 'max', 2); trace(p.max(1, 5));"
            << "c,b,a,|2|4|true|5";
        QTest::newRow("ASSetNative keeps spaces and skips empty names") << 7
            << QString(keys) + "var o = {}; ASSetNative(o, 200, ' a , b'); trace(keys(o)); var e = {}; ASSetNative(e, 200, ','); trace(keys(e));"
            << " b, a ,|";
        QTest::newRow("ASSetNative reads a version prefix; new names get its flags, old ones keep theirs") << 7
            << QString("var o = {}; ASSetNative(o, 200, '6a,7b,8c,10d,1e,2f'); trace(typeof o.a); trace(typeof o.b); trace(typeof o.c);"
                       "trace(typeof o.d); trace(typeof o.e); trace(typeof o['2f']);"
                       "var p = {c: 1}; ASSetNative(p, 200, 'a,b,8c'); trace(typeof p.c);")
            << "function|function|undefined|undefined|function|function|function";
        QTest::newRow("ASSetNative converts the first number once") << 8
            << QString("var d = new Date(1234); var n = {valueOf: function() { trace('valueOf'); return 16; }};"
                       "ASSetNative(d, 103, 'time', n); trace(d.time());")
            << "valueOf|1234";
        QTest::newRow("ASSetNative with too few arguments does nothing") << 8
            << QString("var o = {}; trace(typeof ASSetNative(o, 200)); var n = 0; for (var k in o) n++; trace(n);")
            << "undefined|0";
        QTest::newRow("ASnew tells a constructor call from a plain one") << 8
            << QString("var asNew = ASnative(2, 0);"
                       "function F() { this.made = asNew(); this.inner = (function() { return asNew(); })(); this.applied = asNew.apply(null, []); }"
                       "var f = new F(); trace(f.made); trace(f.inner); trace(f.applied);"
                       "var g = {}; F.call(g); trace(g.made); trace(asNew());")
            << "true|false|true|false|false";
    }
    void scripts()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        QCOMPARE(runner.run(source).join('|'), expected);
    }
};

QTEST_GUILESS_MAIN(TestNativeTables)

#include "tst_avm1_native_tables.moc"
