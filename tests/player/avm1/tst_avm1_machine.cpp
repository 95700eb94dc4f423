#include "ScriptRunner.h"

#include "player/avm1/Machine.h"

#include <QTest>
#include <QElapsedTimer>

using namespace player::avm1;

namespace {

// Raw action bytes for the few constructs the compiler does not write.
struct Bytes {
    std::vector<uint8_t> data;

    Bytes& action(uint8_t code)
    {
        data.push_back(code);
        return *this;
    }
    Bytes& action(uint8_t code, const std::vector<uint8_t>& payload)
    {
        data.push_back(code);
        data.push_back(uint8_t(payload.size() & 0xff));
        data.push_back(uint8_t(payload.size() >> 8));
        data.insert(data.end(), payload.begin(), payload.end());
        return *this;
    }
    Bytes& pushString(const std::string& text)
    {
        std::vector<uint8_t> payload{0};
        payload.insert(payload.end(), text.begin(), text.end());
        payload.push_back(0);
        return action(0x96, payload);
    }
    Bytes& append(const Bytes& other)
    {
        data.insert(data.end(), other.data.begin(), other.data.end());
        return *this;
    }
    static void put16(std::vector<uint8_t>& out, size_t value)
    {
        out.push_back(uint8_t(value & 0xff));
        out.push_back(uint8_t(value >> 8));
    }
};

} // namespace

class TestMachine : public QObject {
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        QTest::newRow("arithmetic and concatenation") << 8
            << "trace(1 + 2); trace('a' + 1); trace(7 % 3); trace(1 / 0); trace(0.1 + 0.2); trace(5 - '2');"
            << "3|a1|1|Infinity|0.3|3";
        QTest::newRow("registerClass accepts only functions") << 8
            << "function C() {} trace(Object.registerClass('a', C)); trace(Object.registerClass('a', null));"
               "trace(Object.registerClass('a', 5)); trace(Object.registerClass('a', {})); trace(Object.registerClass('a'));"
            << "true|true|false|false|false";
        QTest::newRow("_global inherits nothing") << 8
            << "trace(typeof _global); trace(_global.valueOf); trace(_global.hasOwnProperty); trace(_global.__proto__);"
            << "object|undefined|undefined|undefined";
        QTest::newRow("undefined as text before SWF 7") << 6 << "trace('x' + undefined); trace(undefined);" << "x|undefined";
        QTest::newRow("undefined as text from SWF 7") << 7 << "trace('x' + undefined);" << "xundefined";
        QTest::newRow("undefined as number before SWF 7") << 6 << "trace(undefined + 1);" << "1";
        QTest::newRow("undefined as number from SWF 7") << 7 << "trace(undefined + 1);" << "NaN";
        QTest::newRow("names ignore case before SWF 7") << 6 << "var Foo = 1; trace(foo); var o = {Bar: 2}; trace(o.bar);" << "1|2";
        QTest::newRow("names keep case from SWF 7") << 7 << "var Foo = 1; trace(foo); trace(Foo);" << "undefined|1";
        QTest::newRow("string truth before SWF 7") << 6 << "if ('abc') trace('yes'); else trace('no'); if ('2') trace('two');" << "no|two";
        QTest::newRow("string truth from SWF 7") << 7 << "if ('abc') trace('yes'); else trace('no');" << "yes";
        QTest::newRow("loose and strict equality") << 8
            << "trace(null == undefined); trace(1 == '1'); trace(NaN == NaN); trace(1 === '1'); trace(true == 1); trace({} == {});"
            << "true|true|true|false|true|false";
        QTest::newRow("comparison of strings and numbers") << 8
            << "trace('a' < 'b'); trace('10' < '9'); trace(10 < '9'); trace(1 < NaN);"
            << "true|true|false|undefined";
        QTest::newRow("closures keep their scope") << 8
            << "function make(n) { return function() { n++; return n; }; } var f = make(5); f(); trace(f()); var g = make(0); trace(g());"
            << "7|1";
        QTest::newRow("prototype chain and constructors") << 8
            << "function A(x) { this.x = x; } A.prototype.get = function() { return this.x * 2; };"
               "var a = new A(4); trace(a.get()); trace(a instanceof A); trace(a.__proto__ == A.prototype); trace(typeof a.get);"
            << "8|true|true|function";
        QTest::newRow("valueOf and toString order") << 8
            << "var o = {valueOf: function() { return 3; }, toString: function() { return 'text'; }};"
               "trace(o + 1); trace('' + o); trace(o * 2); trace(String(o));"
            << "4|3|6|text";
        QTest::newRow("object without toString result") << 8
            << "var o = {toString: function() { return 5; }}; trace(String(o)); trace(typeof String(o));"
            << "[type Object]|string";
        QTest::newRow("getter and setter") << 8
            << "var o = {}; var store = 1; o.addProperty('p', function() { return store * 10; }, function(v) { store = v; });"
               "trace(o.p); o.p = 4; trace(o.p); trace(o.hasOwnProperty('p'));"
            << "10|40|true";
        QTest::newRow("watch changes the stored value") << 8
            << "var o = {v: 1}; o.watch('v', function(name, oldValue, newValue) { trace(name + ':' + oldValue + '>' + newValue); return newValue * 2; });"
               "o.v = 5; trace(o.v); o.unwatch('v'); o.v = 1; trace(o.v);"
            << "v:1>5|10|1";
        QTest::newRow("for in runs newest first and skips hidden") << 8
            << "var o = {}; o.a = 1; o.b = 2; o.c = 3; ASSetPropFlags(o, 'b', 1); var s = ''; for (var k in o) s += k; trace(s);"
            << "ca";
        QTest::newRow("delete and typeof") << 8
            << "var o = {a: 1}; trace(delete o.a); trace(typeof o.a); trace(typeof null); trace(typeof 'x'); trace(typeof trace);"
            << "true|undefined|null|string|function";
        QTest::newRow("array methods") << 8
            << "var a = [3, 1, 2]; a.push(4); trace(a.join('-')); trace(a.pop()); trace(a.shift()); a.unshift(9); trace(a);"
               "trace(a.slice(1).toString()); var r = a.splice(1, 1, 'x', 'y'); trace(r + ' ' + a); trace(a.concat([7, [8]]).length);"
               "a.reverse(); trace(a);"
            << "3-1-2-4|4|3|9,1,2|1,2|1 9,x,y,2|6|2,y,x,9";
        QTest::newRow("array sort flags") << 8
            << "var a = [10, 9, 100, 1]; a.sort(); trace(a); a.sort(Array.NUMERIC); trace(a); a.sort(Array.NUMERIC | Array.DESCENDING); trace(a);"
               "var b = ['b', 'B', 'a']; b.sort(Array.CASEINSENSITIVE); trace(b); trace([3, 1, 2].sort(Array.RETURNINDEXEDARRAY));"
               "trace([1, 1].sort(Array.UNIQUESORT)); trace([5, 2, 8].sort(function(x, y) { return y - x; }));"
            << "1,10,100,9|1,9,10,100|100,10,9,1|a,b,B|1,2,0|0|8,5,2";
        QTest::newRow("array sortOn") << 8
            << "var a = [{n: 'b', v: 2}, {n: 'a', v: 3}, {n: 'c', v: 1}]; a.sortOn('n'); trace(a[0].n + a[1].n + a[2].n);"
               "a.sortOn('v', Array.NUMERIC | Array.DESCENDING); trace(a[0].v + '' + a[2].v);"
            << "abc|31";
        QTest::newRow("array length grows and shrinks") << 8
            << "var a = []; a[4] = 'x'; trace(a.length); a.length = 2; trace(a.length); trace(a[4]);"
            << "5|2|undefined";
        QTest::newRow("string methods") << 8
            << "var s = 'Hello, World'; trace(s.length); trace(s.charAt(4)); trace(s.charCodeAt(0)); trace(s.indexOf('o')); trace(s.lastIndexOf('o'));"
               "trace(s.substr(-5, 3)); trace(s.substring(5, 0)); trace(s.slice(-5)); trace(s.toUpperCase()); trace(s.split(', ').length);"
               "trace('a,,b'.split(',').length); trace(String.fromCharCode(72, 105));"
            << "12|o|72|4|8|Wor|Hello|World|HELLO, WORLD|2|3|Hi";
        QTest::newRow("number conversions") << 8
            << "trace(parseInt('0x1A')); trace(parseInt('12px')); trace(parseInt('101', 2)); trace(parseFloat('3.5e2abc')); trace(isNaN('x'));"
               "trace((255).toString(16)); trace(Number('  7')); trace(int(-3.7)); trace(Math.round(-2.5)); trace(Math.max()); "
            << "26|12|5|350|true|ff|7|-3|-2|-Infinity";
        QTest::newRow("bit operations wrap to 32 bits") << 8
            << "trace(1 << 31); trace(-1 >>> 28); trace(0xFF ^ 0x0F); trace(~0); trace(4294967297 | 0);"
            << "-2147483648|15|240|-1|1";
        QTest::newRow("escape and unescape") << 8
            << "trace(escape('a b&c')); trace(unescape('%41%20b'));" << "a%20b%26c|A b";
        QTest::newRow("arguments and apply") << 8
            << "function f() { return arguments.length + ':' + arguments[1]; } trace(f(1, 2, 3)); trace(f.apply(null, ['a', 'b']));"
               "function g(a) { return this.k + a; } trace(g.call({k: 'K'}, 'x'));"
            << "3:2|2:b|Kx";
        QTest::newRow("AsBroadcaster") << 8
            << "var b = {}; AsBroadcaster.initialize(b); var l = {ping: function(v) { trace('got ' + v); }}; b.addListener(l); b.addListener(l);"
               "b.broadcastMessage('ping', 1); b.removeListener(l); b.broadcastMessage('ping', 2); trace(b._listeners.length);"
            << "got 1|0";
        QTest::newRow("flash.geom.Point") << 8
            << "var p = new flash.geom.Point(3, 4); trace(p.length); trace(p.add(new flash.geom.Point(1, 1))); trace(flash.geom.Point.distance(p, new flash.geom.Point(0, 0)));"
            << "5|(x=4, y=5)|5";
        QTest::newRow("Date parts") << 8
            << "var d = new Date(2008, 0, 31, 12, 30); trace(d.getFullYear() + '/' + d.getMonth() + '/' + d.getDate() + ' ' + d.getHours() + ':' + d.getMinutes());"
               "d.setMonth(1); trace(d.getMonth() + ' ' + d.getDate()); trace(new Date(Date.UTC(2000, 0, 1)).getUTCFullYear());"
            << "2008/0/31 12:30|2 2|2000";
        QTest::newRow("Date text names the offset from GMT with a sign and four digits") << 8
            << "var zone = new Date(0).toString().split(' ')[4]; trace(zone.length); trace(zone.charAt(3) == '+' || zone.charAt(3) == '-');"
               "trace(isNaN(Number(zone.substr(4))));"
            << "8|true|false";
        QTest::newRow("global variables are shadowed by the timeline") << 8
            << "_global.g = 1; trace(g); g = 2; trace(_global.g); trace(g);" << "1|1|2";
        QTest::newRow("registers in DefineFunction2") << 8
            << "function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); } trace(fact(10));" << "3628800";
    }
    void scripts()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    void tryCatchFinally()
    {
        ScriptRunner runner;
        // A Try action (catch into the variable "e") with its blocks, then a trace of "after".
        auto tryProgram = [](uint8_t flags, const Bytes& tryBody, const Bytes& catchBody, const Bytes& finallyBody) {
            std::vector<uint8_t> header{flags};
            Bytes::put16(header, tryBody.data.size());
            Bytes::put16(header, catchBody.data.size());
            Bytes::put16(header, finallyBody.data.size());
            header.push_back('e');
            header.push_back(0);
            Bytes program;
            program.action(0x8F, header).append(tryBody).append(catchBody).append(finallyBody).pushString("after").action(0x26).action(0);
            return program.data;
        };
        constexpr uint8_t withCatch = 0x03;
        constexpr uint8_t finallyOnly = 0x02;
        Bytes tryBody;
        tryBody.pushString("boom").action(0x2A);
        Bytes catchBody;
        catchBody.pushString("caught ").pushString("e").action(0x1C).action(0x47).action(0x26);
        Bytes finallyBody;
        finallyBody.pushString("done").action(0x26);
        QCOMPARE(runner.runBytes(tryProgram(withCatch, tryBody, catchBody, finallyBody)).join('|'), QString("caught boom|done|after"));

        // A try block that completes by jumping over the catch block to the finally block (as
        // compilers write it) runs finally once; so does a catch block that jumps to finally.
        auto jumpTo = [](size_t distance) {
            std::vector<uint8_t> offset;
            Bytes::put16(offset, distance);
            return offset;
        };
        Bytes quietTry;
        quietTry.pushString("body").action(0x26);
        Bytes jumpingCatch;
        jumpingCatch.pushString("caught").action(0x26);
        quietTry.action(0x99, jumpTo(jumpingCatch.data.size() + 5));
        jumpingCatch.action(0x99, jumpTo(0));
        QCOMPARE(runner.runBytes(tryProgram(withCatch, quietTry, jumpingCatch, finallyBody)).join('|'), QString("body|done|after"));
        QCOMPARE(runner.runBytes(tryProgram(withCatch, tryBody, jumpingCatch, finallyBody)).join('|'), QString("caught|done|after"));

        // Without a catch block the exception goes on after finally and ends the action list:
        // "after" never runs, and Flash reports the exception in the trace output.
        QCOMPARE(runner.runBytes(tryProgram(finallyOnly, tryBody, Bytes(), finallyBody)).join('|'),
                 QString("done|Warning: Uncaught exception, boom"));
    }

    void withBlock()
    {
        ScriptRunner runner;
        runner.run("o = {x: 'inner'}; x = 'outer';");
        Bytes body;
        body.pushString("x").action(0x1C).action(0x26);
        body.pushString("y").pushString("set").action(0x1D); // y is not on o: it goes to the timeline
        std::vector<uint8_t> size;
        Bytes::put16(size, body.data.size());
        Bytes program;
        program.pushString("o").action(0x1C).action(0x94, size).append(body).pushString("x").action(0x1C).action(0x26).action(0);
        QCOMPARE(runner.runBytes(program.data).join('|'), QString("inner|outer"));
        QCOMPARE(runner.run("trace(y); trace(o.y);").join('|'), QString("set|undefined"));
    }

    // A function that keeps its parameter in a register and binds neither this nor arguments
    // starts with empty locals. A closure made before the first local is defined by name must
    // still see that local, also when a tellTarget in between rebuilt the scope chain.
    void localsDefinedLateReachClosures()
    {
        ScriptRunner runner(8);
        auto pushRegister = [](Bytes& bytes, uint8_t index) { bytes.action(0x96, {4, index}); };
        // function() { return x; }, left on the stack.
        Bytes readX;
        readX.pushString("x").action(0x1C).action(0x3E);
        Bytes closure;
        {
            std::vector<uint8_t> header{0, 0, 0};
            Bytes::put16(header, readX.data.size());
            closure.action(0x9B, header).append(readX);
        }
        // function <name>(a) with a in register 1: the closure, then [tellTarget("")], then
        // var x = a, and the closure is returned.
        auto outer = [&](const std::string& name, bool retarget) {
            Bytes body;
            body.append(closure);
            if (retarget)
                body.action(0x8B, {0});
            body.pushString("x");
            pushRegister(body, 1);
            body.action(0x3C).action(0x3E);
            std::vector<uint8_t> header(name.begin(), name.end());
            header.push_back(0);
            Bytes::put16(header, 1); // one parameter
            header.push_back(2); // registers
            Bytes::put16(header, 0x0002 | 0x0008 | 0x0020); // this, arguments and super suppressed
            header.push_back(1);
            header.push_back('a');
            header.push_back(0);
            Bytes::put16(header, body.data.size());
            Bytes definition;
            definition.action(0x8E, header).append(body);
            return definition;
        };
        // h = <name>(value); trace(h());
        auto callAndTrace = [](Bytes& program, const std::string& name, const std::string& value) {
            program.pushString("h").pushString(value).action(0x96, {7, 1, 0, 0, 0}).pushString(name).action(0x3D).action(0x1D);
            program.action(0x96, {7, 0, 0, 0, 0}).pushString("h").action(0x3D).action(0x26);
        };
        Bytes program;
        program.append(outer("plain", false)).append(outer("retargeted", true));
        callAndTrace(program, "plain", "first");
        callAndTrace(program, "retargeted", "second");
        program.action(0);
        QCOMPARE(runner.runBytes(program.data).join('|'), QString("first|second"));
        // Locals by name inside such a function stay its own: the timeline gets no x.
        QCOMPARE(runner.run("trace(x);"), QStringList{"undefined"});
    }

    void recursionLimitStopsTheActionList()
    {
        ScriptRunner runner;
        QStringList traced = runner.run("function down(n) { return down(n + 1); } trace('before'); down(0); trace('after');");
        QCOMPARE(traced, QStringList{"before"});
        QCOMPARE(runner.run("trace('next');"), QStringList{"next"});
        QCOMPARE(runner.machine().callDepth(), 0);
    }

    // An exception thrown deep in a chain of calls, or the time limit running out there, leaves
    // every call it passes through: the try block around the chain catches the exception, and
    // later calls, nested or not, get their own arguments and registers.
    void callChainsLeftByThrowsAndAborts()
    {
        ScriptRunner runner;
        // function thrower() { throw "boom"; }, which the compiler cannot write.
        Bytes body;
        body.pushString("boom").action(0x2A);
        std::vector<uint8_t> header{'t', 'h', 'r', 'o', 'w', 'e', 'r', 0};
        Bytes::put16(header, 0);
        Bytes::put16(header, body.data.size());
        Bytes define;
        define.action(0x9B, header).append(body).action(0);
        QCOMPARE(runner.runBytes(define.data), QStringList{});
        runner.run("function nest(n, tag) { var mine = tag + n; if (n == 0) thrower(); else nest(n - 1, tag); return mine; }"
                   "function deep(n, tag) { var mine = tag + n; if (n > 0) deep(n - 1, tag); return mine; }"
                   "function pair(a, b) { return a + ',' + b; }");
        // try { nest(20, "x"); } catch (e) { trace("caught " + e); } trace("after");
        Bytes tryBody;
        tryBody.pushString("x").action(0x96, {7, 20, 0, 0, 0, 7, 2, 0, 0, 0}).pushString("nest").action(0x3D).action(0x17);
        Bytes catchBody;
        catchBody.pushString("caught ").pushString("e").action(0x1C).action(0x47).action(0x26);
        std::vector<uint8_t> tryHeader{0x01};
        Bytes::put16(tryHeader, tryBody.data.size());
        Bytes::put16(tryHeader, catchBody.data.size());
        Bytes::put16(tryHeader, 0);
        tryHeader.push_back('e');
        tryHeader.push_back(0);
        Bytes program;
        program.action(0x8F, tryHeader).append(tryBody).append(catchBody).pushString("after").action(0x26).action(0);
        QCOMPARE(runner.runBytes(program.data).join('|'), QString("caught boom|after"));
        QCOMPARE(runner.machine().callDepth(), 0);
        QCOMPARE(runner.run("trace(pair('a', deep(3, 'y'))); trace(pair(deep(1, 'z'), 'b'));").join('|'), QString("a,y3|z1,b"));

        runner.machine().limits().configure(256, 1);
        QCOMPARE(runner.run("function spin(n, tag) { if (n == 0) { while (true) {} } return spin(n - 1, tag); }"
                            "trace('start'); spin(100, 'w'); trace('never');"),
                 QStringList{"start"});
        QCOMPARE(runner.machine().callDepth(), 0);
        runner.machine().runTimers(100);
        QCOMPARE(runner.run("trace(pair('c', deep(2, 'v')));"), QStringList{"c,v2"});
    }

    void endlessLoopStoppedByTimeLimit()
    {
        ScriptRunner runner;
        runner.machine().limits().configure(256, 1);
        QElapsedTimer timer;
        timer.start();
        QStringList traced = runner.run("trace('start'); while (true) { } trace('never');");
        QVERIFY2(timer.elapsed() < 5000, "the loop was not stopped in time");
        QCOMPARE(traced, QStringList{"start"});
        // The rest of the frame's scripts are skipped; the next frame runs normally.
        QCOMPARE(runner.run("trace('same frame');"), QStringList{});
        runner.machine().runTimers(100);
        QCOMPARE(runner.run("trace('next frame');"), QStringList{"next frame"});
    }

    void memoryGuards()
    {
        ScriptRunner runner;
        // A far index is one property; walking all the holes is what is refused.
        QCOMPARE(runner.run("var a = []; a[50000000] = 1; a.reverse(); trace('unreached');"), QStringList{});
        QCOMPARE(runner.run("trace(a.length);"), QStringList{"50000001"});
        QCOMPARE(runner.run("var s = 'xxxxxxxxxxxxxxxx'; while (true) s += s; trace('unreached');"), QStringList{});
        QCOMPARE(runner.run("trace(s.length > 1000000);"), QStringList{"true"});
    }

    void timers()
    {
        ScriptRunner runner;
        runner.run("var n = 0; var id = setInterval(function(tag) { n++; trace(tag + n); if (n == 2) clearInterval(id); }, 100, 't');"
                   "setTimeout(function() { trace('once'); }, 150);");
        QStringList all;
        for (double now = 50; now <= 500; now += 50) {
            runner.clock = now;
            runner.machine().runTimers(now);
        }
        QCOMPARE(runner.run("trace(n);"), QStringList{"2"});
    }

    void commandsAndCalls()
    {
        ScriptRunner runner;
        runner.run("fscommand('setsize', '256,128'); getURL('FSCommand:additem', 'a&b&file'); fscommand('clearitems');"
                   "trace(flash.external.ExternalInterface.call('show', 'x<y', 2, true, null, [1]));");
        QCOMPARE(runner.commands, (QStringList{"setsize|256,128", "additem|a&b&file", "clearitems|"}));
        QCOMPARE(runner.calls, QStringList{"<invoke name=\"show\" returntype=\"xml\"><arguments><string>x&lt;y</string><number>2</number>"
                                           "<true/><null/><array><property id=\"0\"><number>1</number></property></array></arguments></invoke>"});
    }

    void garbageIsCollectedAndLiveObjectsSurvive()
    {
        ScriptRunner runner;
        runner.run("keep = {name: 'kept'}; keep.self = keep; for (var i = 0; i < 1000; i++) { var o = {}; o.loop = o; }");
        size_t before = runner.machine().heapSize();
        runner.machine().collectGarbage();
        QVERIFY(runner.machine().heapSize() < before - 900);
        QCOMPARE(runner.run("trace(keep.self.name);"), QStringList{"kept"});
    }

    // The native state super() gives a plain object lives beside it as long as the object does,
    // and goes with it.
    void nativePartsLiveAsLongAsTheirObjects()
    {
        ScriptRunner runner(8);
        runner.run("function Host() {}"
                   "Host.prototype.become = function(n) {"
                   "    this.__proto__ = {__proto__: Date.prototype, __constructor__: Date};"
                   "    super(n);"
                   "};"
                   "kept = new Host(); kept.become(1234);"
                   "for (var i = 0; i < 200; i++) new Host().become(i);");
        const size_t before = runner.machine().heapSize();
        runner.machine().collectGarbage();
        // Each lost object leaves with its date: about 3 objects a round (the object, its new
        // prototype, the date), none of them kept.
        QVERIFY(runner.machine().heapSize() < before - 500);
        runner.machine().collectGarbage();
        QCOMPARE(runner.run("trace(kept.getTime()); kept.setTime(99); trace(kept.getTime());"), (QStringList{"1234", "99"}));
    }
};

QTEST_GUILESS_MAIN(TestMachine)
#include "tst_avm1_machine.moc"
