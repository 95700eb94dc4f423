#include "ScriptRunner.h"

#include "player/avm1/builtins/Declaration.h"

#include <QTest>

using namespace player::avm1;
using namespace player::avm1::builtins;

namespace {

Value answer(Machine&, Object*, const Arguments&)
{
    return Value(42.0);
}

Value other(Machine&, Object*, const Arguments&)
{
    return Value(QStringLiteral("other"));
}

// A getter that reads back what the setter stored on the receiver under another name.
Value readStored(Machine& machine, Object* self, const Arguments&)
{
    return self ? self->get(machine, QStringLiteral("stored")) : Value();
}

Value writeStored(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self)
        self->set(machine, QStringLiteral("stored"), arguments.empty() ? Value() : arguments[0]);
    return Value();
}

constexpr int probeTable = 9100;

constexpr Declaration probeDeclarations[] = {
    method("always", answer, 0),
    method("fromSix", answer, 0).from(6),
    method("fromSeven", other, 0).from(7),
    method("fromEight", answer, 0).from(8),
    method("permanent", answer),
    method("deletable", answer, attributes::hidden),
    number("fixed", 3.5),
    number("plain", 7, 0),
    method("numbered", answer).native(probeTable, 0),
    method("renumbered", other).native(probeTable, 1),
    accessor("value", readStored, writeStored).native(probeTable, 2),
};

// Keys listed by for..in, sorted so that the test does not depend on the listing order.
const char* keys = "function keys(o) { var a = []; for (var k in o) a.push(k); a.sort(); return a.join(','); }";

} // namespace

// The shared installer of built-in classes: a row's version, attributes and native number each
// reach the installed property, for a made-up table and for converted classes.
class TestDeclarations : public QObject {
    Q_OBJECT

private slots:
    void probe_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        QTest::newRow("a newer row is hidden yet owned and listed in SWF 5") << 5
            << QString(keys) + "trace(typeof probe.always + ' ' + typeof probe.fromSix + ' ' + typeof probe.fromSeven + ' ' + typeof probe.fromEight);"
                               "trace(probe.hasOwnProperty('fromSix') + ' ' + probe.hasOwnProperty('fromEight')); trace(keys(probe));"
            << "function undefined undefined undefined|true true|always,fromEight,fromSeven,fromSix,plain";
        QTest::newRow("SWF 6 sees the rows of 6, not those of 7") << 6
            << QString("trace(probe.fromSix() + ' ' + typeof probe.fromSeven + ' ' + typeof probe.fromEight);")
            << "42 undefined undefined";
        QTest::newRow("SWF 7 sees the rows of 7, not those of 8") << 7
            << QString("trace(probe.fromSeven() + ' ' + typeof probe.fromEight);")
            << "other undefined";
        QTest::newRow("SWF 8 sees them all") << 8
            << QString("trace(probe.fromSix() + ' ' + probe.fromSeven() + ' ' + probe.fromEight());")
            << "42 other 42";
        QTest::newRow("methods are hidden, permanent only where asked, and writable") << 8
            << QString("probe.permanent = 1; trace(probe.permanent); trace(delete probe.permanent); trace(probe.permanent);"
                       "trace(delete probe.deletable); trace(typeof probe.deletable);")
            << "1|false|1|true|undefined";
        QTest::newRow("constants keep their number; a plain one is listed and writable") << 8
            << QString(keys) + "probe.fixed = 1; trace(probe.fixed); trace(delete probe.fixed); probe.plain = 8; trace(probe.plain);"
                               "trace(keys(probe)); trace(delete probe.plain);"
            << "3.5|false|8|always,fromEight,fromSeven,fromSix,plain|true";
        QTest::newRow("ASnative answers a numbered row with its own function, even once replaced") << 8
            << QString("var first = probe.numbered; probe.numbered = null; trace(ASnative(9100, 0) === first);"
                       "trace(ASnative(9100, 0)() + ' ' + ASnative(9100, 1)()); trace(ASnative(9100, 4));")
            << "true|42 other|undefined";
        QTest::newRow("an accessor row gives its getter and setter and numbers both") << 8
            << QString("probe.value = 'kept'; trace(probe.value + ' ' + probe.stored);"
                       "var o = {}; ASSetNativeAccessor(o, 9100, 'v', 2); o.v = 5; trace(o.v + ' ' + o.stored);")
            << "kept kept|5 5";
    }
    void probe()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        Machine& machine = runner.machine();
        Object* probe = machine.makeObject();
        machine.global()->define(QStringLiteral("probe"), Value(probe));
        installDeclarations(machine, probe, probeDeclarations);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // A converted class whose methods came with a later version: hidden from older movies, but
    // still owned by the prototype.
    void convertedVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");

        QTest::newRow("SWF 6") << 6 << "undefined undefined undefined|true true true";
        QTest::newRow("SWF 7") << 7 << "function function function|true true true";
    }
    void convertedVersions()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        const QString source = "var m = ContextMenu.prototype; var i = ContextMenuItem.prototype;"
                               "trace(typeof m.copy + ' ' + typeof m.hideBuiltInItems + ' ' + typeof i.copy);"
                               "trace(m.hasOwnProperty('copy') + ' ' + m.hasOwnProperty('hideBuiltInItems') + ' ' + i.hasOwnProperty('copy'));";
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // The converted classes keep Flash's numbering: ASSetNative lays a table out by Flash's order
    // of names, and each must be the class's own method.
    void convertedClasses_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("names");

        QTest::newRow("Math") << "Math" << 200 << 0 << "abs,min,max,sin,cos,atan2,tan,exp,log,sqrt,round,random,floor,ceil,atan,asin,acos,pow";
        QTest::newRow("global number tests") << "_global" << 200 << 18 << "isNaN,isFinite";
        QTest::newRow("global text functions") << "_global" << 100 << 0 << "escape,unescape,parseInt,parseFloat";
        QTest::newRow("global timers") << "_global" << 250 << 0 << "setInterval,clearInterval";
        QTest::newRow("Key") << "Key" << 800 << 0 << "getAscii,getCode,isDown,isToggled";
        QTest::newRow("Mouse") << "Mouse" << 5 << 0 << "show,hide";
        QTest::newRow("Object.prototype") << "Object.prototype" << 101 << 0 << "watch,unwatch,addProperty,valueOf,toString,hasOwnProperty,isPrototypeOf,isPropertyEnumerable";
        QTest::newRow("Object") << "Object" << 101 << 8 << "registerClass";
        QTest::newRow("AsBroadcaster") << "AsBroadcaster" << 101 << 12 << "broadcastMessage";
        QTest::newRow("Date.prototype") << "Date.prototype" << 103 << 0 << "getFullYear,getYear,getMonth,getDate,getDay,getHours,getMinutes,getSeconds,"
                                                                       "getMilliseconds,setFullYear,setMonth,setDate,setHours,setMinutes,setSeconds,"
                                                                       "setMilliseconds,getTime,setTime,getTimezoneOffset,toString";
        QTest::newRow("Date.prototype in UTC") << "Date.prototype" << 103 << 128 << "getUTCFullYear,,getUTCMonth,getUTCDate,getUTCDay,getUTCHours,"
                                                                              "getUTCMinutes,getUTCSeconds,getUTCMilliseconds,setUTCFullYear,setUTCMonth,"
                                                                              "setUTCDate,setUTCHours,setUTCMinutes,setUTCSeconds,setUTCMilliseconds";
        QTest::newRow("Date") << "Date" << 103 << 257 << "UTC";
        QTest::newRow("Color.prototype") << "Color.prototype" << 700 << 0 << "setRGB,setTransform,getRGB,getTransform";
    }
    void convertedClasses()
    {
        QFETCH(QString, owner);
        QFETCH(int, table);
        QFETCH(int, first);
        QFETCH(QString, names);
        ScriptRunner runner(8);
        const QString source = QString("var o = {}; ASSetNative(o, %1, '%2', %3); var names = '%2'.split(',');"
                                       "for (var i = 0; i < names.length; ++i) if (names[i] != '' && (o[names[i]] !== %4[names[i]] || typeof o[names[i]] != 'function')) trace(names[i]);"
                                       "trace('done');").arg(table).arg(names).arg(first).arg(owner);
        QCOMPARE(runner.run(source).join('|'), QString("done"));
    }
};

QTEST_GUILESS_MAIN(TestDeclarations)

#include "tst_avm1_declarations.moc"
