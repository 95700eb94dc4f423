#include "ScriptRunner.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

#include <QTest>

using namespace player::avm1;

// Arrays as Flash keeps them: elements are properties that may be missing, the length is a
// 32-bit integer with its own rules, and the methods read holes as undefined. The expected
// traces are those Flash Player gives.
class TestArrays : public QObject {
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        const char* keys = "function keys(o) { var s = ''; for (var k in o) s += k + ','; return s; }";

        QTest::newRow("an index past the end makes holes")
            << QString("var a = []; a[10] = 1; trace(a.length); trace(a[5]); trace(a.hasOwnProperty(5)); trace(a.hasOwnProperty(10));")
            << "11|undefined|false|true";
        QTest::newRow("for..in skips holes, newest element first")
            << QString(keys) + "var a = []; a[1] = 'x'; a[3] = 'y'; trace(keys(a)); trace(keys([7, 8, 9]));"
            << "3,1,|2,1,0,";
        QTest::newRow("text and number indices are the same element")
            << QString("var a = []; a['5'] = 'five'; trace(a[5]); trace(a.length); a[2] = 'two'; trace(a['2']);")
            << "five|6|two";
        QTest::newRow("lowering the length deletes, raising it leaves holes")
            << QString("var a = ['a', 'b', 'c']; a.length = 1; trace(a); trace(a[2]); a.length = 3; trace(a); trace(a.hasOwnProperty(1));")
            << "a|undefined|a,undefined,undefined|false";
        QTest::newRow("the length wraps at 32 bits")
            << QString("var a = ['x']; a[2147483647] = 'y'; trace(a.length); trace(a[0]); a[4294967295] = 'z'; trace(a.length);")
            << "-2147483648|undefined|0";
        QTest::newRow("indices beyond 32 bits wrap for the length but keep their own name")
            << QString(keys) + "var a = []; a[4294967296] = 'w'; trace(a.length); trace(a[0]); trace(keys(a));"
            << "1|undefined|4294967296,";
        QTest::newRow("negative and odd names do not move the length")
            << QString("var a = [1]; a[-5] = 'n'; a['foo'] = 'f'; a['1x'] = 'g'; trace(a.length); trace(a[-5]);")
            << "1|n";
        QTest::newRow("new Array with one number is a length, otherwise the elements")
            << QString("trace(new Array(3).length); trace(new Array(-1).length); trace(new Array('3').length); trace(new Array(1, 2)); trace(new Array(-1));")
            << "3|-1|1|1,2|";
        // 4000000000 reads as the index -294967296, below the length: the length stays.
        QTest::newRow("a huge sparse array is cheap")
            << QString("var a = []; a[4000000000] = 1; trace(a.length); a.length = 2000000000; trace(a.length); a[1999999999] = 'e'; trace(a.pop()); trace(a.length);")
            << "0|2000000000|e|1999999999";
        QTest::newRow("join and toString read holes as undefined")
            << QString("var a = []; a[2] = 'c'; trace(a.join('-')); trace(a.toString());")
            << "undefined-undefined-c|undefined,undefined,c";
        QTest::newRow("push and pop follow the length")
            << QString("var a = []; a.length = 2; trace(a.push('x')); trace(a); trace(a.pop()); trace(a.pop()); trace(a.length);")
            << "3|undefined,undefined,x|x|undefined|1";
        QTest::newRow("shift fills the holes it moves")
            << QString(keys) + "var a = []; a[2] = 2; var first = a.shift(); trace(first); trace(a); trace(keys(a));"
            << "undefined|undefined,2|1,0,";
        QTest::newRow("shift re-creates elements: a hidden one shows again, an undeletable one stays")
            << QString(keys) + "var a = [1, 2, 3]; ASSetPropFlags(a, '0', 1, 0); a.shift(); trace(keys(a));"
               "var b = [1, 2, 3]; ASSetPropFlags(b, '2', 2, 0); b.shift(); trace(b); trace(keys(b));"
               "var c = [1, 2, 3]; ASSetPropFlags(c, '1', 6, 0); c.shift(); trace(c);"
            << "1,0,|2,3|1,0,2,|2,2";
        QTest::newRow("unshift, reverse and splice over holes")
            << QString("var a = []; a[1] = 'b'; trace(a.unshift('z')); trace(a);"
                       "var r = []; r[2] = 'c'; r.reverse(); trace(r);"
                       "var s = ['a', 'b', 'c', 'd']; trace(s.splice(1, 2, 'x')); trace(s); trace(s.length);")
            << "3|z,undefined,b|c,undefined,undefined|b,c|a,x,d|3";
        QTest::newRow("slice and concat copy holes as undefined")
            << QString("var a = []; a[1] = 'b'; var s = a.slice(0); trace(s.length); trace(s); trace(a.concat(['c']));")
            << "2|undefined,b|undefined,b,c";
        QTest::newRow("sort moves holes to the end")
            << QString("var a = []; a[3] = 'a'; a[1] = 'b'; a.sort(); trace(a); trace(a.length);")
            << "a,b,undefined,undefined|4";
        QTest::newRow("NUMERIC compares text as text, undefined sorts last or first descending")
            << QString("trace([3, '22', 2].sort(Array.NUMERIC)); trace([1, undefined, 2].sort(Array.NUMERIC | Array.DESCENDING));"
                       "trace([1, undefined, 2].sort(Array.NUMERIC));")
            << "2,22,3|undefined,2,1|1,2,undefined";
        QTest::newRow("sortOn reads only own plain fields")
            << QString("var a = {name: 'a'}; a.__proto__ = {order: 1}; var b = {name: 'b'}; b.__proto__ = {order: 2};"
                       "var c = {name: 'c'}; c.addProperty('order', function() { trace('getter'); return 0; }, null);"
                       "var list = [b, c, a]; list.sortOn('order', Array.NUMERIC); trace(list[0].name + list[1].name + list[2].name);")
            << "bca";
        QTest::newRow("methods work on objects that look like arrays")
            << QString("var o = {length: 2}; o[0] = 'p'; o[1] = 'q'; trace(Array.prototype.join.call(o, '+'));"
                       "Array.prototype.push.call(o, 'r'); trace(o.length); trace(o[2]);")
            << "p+q|3|r";
        QTest::newRow("join on an array-like object reads only its own plain elements")
            << QString("var base = ['a', 'b', 'c']; var o = {}; o.length = 3; o.__proto__ = base; trace(o); trace(o[0]);")
            << "undefined,undefined,undefined|a";
        QTest::newRow("deleting an element leaves the length")
            << QString("var a = [1, 2, 3]; delete a[2]; trace(a.length); trace(a);")
            << "3|1,2,undefined";
    }
    void scripts()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(7);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // Flash reads a property name as an index with leading white space, a minus sign and
    // digits, wrapping to 32 bits; only plainly written indices name the elements.
    void indexNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isIndex");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("canonical");
        QTest::newRow("zero") << "0" << true << 0 << true;
        QTest::newRow("plain") << "42" << true << 42 << true;
        QTest::newRow("leading zero") << "042" << true << 42 << false;
        QTest::newRow("negative") << "-5" << true << -5 << false;
        QTest::newRow("leading space") << " 7" << true << 7 << false;
        QTest::newRow("largest") << "2147483647" << true << 2147483647 << true;
        QTest::newRow("wraps") << "2147483648" << true << int(INT32_MIN) << false;
        QTest::newRow("wraps to zero") << "4294967296" << true << 0 << false;
        QTest::newRow("letters") << "5a" << false << 0 << false;
        QTest::newRow("fraction") << "1.5" << false << 0 << false;
    }
    void indexNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, isIndex);
        QFETCH(int, index);
        QFETCH(bool, canonical);
        int32_t parsed = 0;
        QCOMPARE(ArrayObject::parseIndex(name, parsed), isIndex);
        if (isIndex)
            QCOMPARE(parsed, index);
        int32_t canonicalIndex = -1;
        QCOMPARE(ArrayObject::isCanonicalIndex(name, canonicalIndex), canonical);
        if (canonical)
            QCOMPARE(canonicalIndex, index);
    }

    // A sparse array with a huge length costs one property, and walking all of it is
    // refused rather than allowed to build billions of slots or characters.
    void hugeArraysStayCheap_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("join") << "var a = []; a[2000000000] = 1; var s = a.join();";
        QTest::newRow("reverse") << "var a = new Array(2000000000); a.reverse();";
        QTest::newRow("shift") << "var a = []; a.length = 2000000000; a.shift();";
        QTest::newRow("sort") << "var a = new Array(100000000); a.sort();";
        QTest::newRow("concat") << "var a = new Array(100000000); var b = a.concat([1]);";
    }
    void hugeArraysStayCheap()
    {
        QFETCH(QString, source);
        ScriptRunner runner;
        QCOMPARE(runner.run(source + " trace('unreached');"), QStringList{});
        QCOMPARE(runner.run("trace(a.length > 1);"), QStringList{"true"});
        QVERIFY(runner.machine().heapSize() < 100000);
    }
};

QTEST_GUILESS_MAIN(TestArrays)

#include "tst_avm1_arrays.moc"
