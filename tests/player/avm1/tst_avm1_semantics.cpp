#include "ScriptRunner.h"

#include "authoring/ActionAssembler.h"
#include "player/avm1/Machine.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace player::avm1;
using authoring::ActionAssembler;
using authoring::ActionCode;

namespace {

// Action bytes for what the compiler never writes (the SWF 4 arithmetic, paths given to
// Delete2, odd counts for InitArray).
std::vector<uint8_t> assemble(const std::function<void(ActionAssembler&)>& build)
{
    ActionAssembler assembler;
    build(assembler);
    QByteArray bytes = assembler.finish();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Two objects whose valueOf traces their name, so the order of the conversions shows.
const char* const twoNoisyObjects =
    "one = {valueOf: function() { trace('one'); return 1; }};"
    "two = {valueOf: function() { trace('two'); return 4; }};";

} // namespace

// The behaviour of the interpreter and the core built-ins where Flash differs from what a
// reader of ECMAScript would expect. Expected traces are those Flash Player gives.
class TestSemantics : public QObject {
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        QTest::newRow("sort without a usable first argument does nothing") << 8
            << "var a = [2, 1]; trace(a.sort(undefined)); trace(a.sort(true)); trace(a.sort(null, 0)); trace(a);"
            << "undefined|undefined|undefined|2,1";
        QTest::newRow("sort takes flags from a second number") << 8
            << "trace([2, 3, 1].sort(Array.DESCENDING, Array.NUMERIC)); trace([2, 3, 1].sort(Array.DESCENDING, undefined));"
               "trace([10, 9].sort(NaN));"
            << "1,2,3|3,2,1|10,9";
        QTest::newRow("sort with an object that is not a function keeps the order") << 8
            << "var a = ['b', 'c', 'a']; trace(a.sort({})); trace([3, 1, 2].sort(function(x, y) { return x - y; }, Array.DESCENDING));"
            << "b,c,a|3,2,1";
        QTest::newRow("arguments.caller") << 8
            << "function inner() { return arguments.caller; } function outer() { return inner(); }"
               "trace(inner()); trace(outer() === outer); trace(typeof inner().caller);"
            << "null|true|undefined";
        QTest::newRow("caller is hidden from for..in") << 8
            << "function f() { var s = ''; for (var k in arguments) s += k + ';'; return s; } trace(f('x'));"
            << "0;";
        QTest::newRow("a bare object equals null and undefined") << 8
            << "trace(_global == null); trace(_global == undefined); trace(null == _global);"
               "var o = {}; trace(o == null); o.valueOf = function() { return undefined; }; trace(o == null); trace(o == 0);"
            << "true|true|true|false|true|false";
        QTest::newRow("NaN equals NaN, strictly and loosely, and nothing else") << 8
            << "var n = NaN; trace(n === n); trace(NaN === 0 / 0); trace(NaN === 'NaN'); trace(NaN == NaN); trace(undefined === null);"
            << "true|true|false|true|false";
        QTest::newRow("a prototype loop stops the script") << 8
            << "var a = {}; var b = {}; a.__proto__ = b; b.__proto__ = a; trace('before'); trace(a.missing); trace('not reached');"
            << "before";
        QTest::newRow("a long but finite chain is searched") << 8
            << "var o = {found: 1}; for (var i = 0; i < 100; i++) { var next = {}; next.__proto__ = o; o = next; } trace(o.found);"
            << "1";
        QTest::newRow("_global is found before the scope chain") << 8
            << "Object.prototype._global = 'shadow'; trace(typeof _global); _global.mark = 3; trace(_global.mark);"
               "delete Object.prototype._global;"
            << "object|3";
        QTest::newRow("Function called as a function") << 8
            << "function f() {} trace(Function(f) === f); trace(Function(true)); trace(Function('return 5'));"
               "var bare = Function(); trace(typeof bare); trace(bare.__proto__); trace(bare); trace(Function() === Function());"
            << "true|true|return 5|object|undefined|[type Object]|false";
        QTest::newRow("super inside chained constructors") << 8
            << "function Base() { trace('Base ' + (super.__proto__ === undefined)); }"
               "function Middle() { super(); trace('Middle ' + (super.__proto__ === Object.prototype)); }"
               "Middle.prototype = new Base();"
               "function Leaf() { super(); trace('Leaf ' + (super.__proto__ === Base.prototype)); }"
               "Leaf.prototype = new Middle();"
               "trace('--'); var leaf = new Leaf(); trace(leaf instanceof Base);"
            << "Base true|Base true|Middle true|--|Base true|Middle true|Leaf true|true";
        QTest::newRow("super calls the method one prototype up") << 8
            << "function A() {} A.prototype.name = function() { return 'A'; };"
               "function B() {} B.prototype = new A(); B.prototype.name = function() { return 'B' + super.name(); };"
               "function C() {} C.prototype = new B(); C.prototype.name = function() { return 'C' + super.name(); };"
               "trace(new C().name());"
            << "CBA";
        QTest::newRow("var declares a name the timeline inherits only once") << 8
            << "Object.prototype.inherited = 'kept'; var inherited; trace(inherited); var fresh; trace(this.hasOwnProperty('fresh'));"
               "delete Object.prototype.inherited;"
            << "kept|true";
        QTest::newRow("for..in over a primitive ends at once") << 8
            << "var n = 0; for (var k in 5) n++; for (var k in 'text') n++; for (var k in undefined) n++; trace(n);"
            << "0";
    }
    void scripts()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // The SWF 4 arithmetic actions call valueOf on the left operand first, in every version,
    // except Subtract, Divide and Equals, which convert the right one first.
    // On a timeline, "var" and a function definition with a path for a name define the variable
    // where the path leads; a missing holder defines nothing, a bare "var" keeps a value already
    // there, and inside a function the path is not followed: the clip the function runs on gets
    // a variable named by the whole path, which no local shadows.
    void timelineDefinitionsFollowPaths()
    {
        ScriptRunner runner(6);
        runner.run("holder = {}; kept = 'kept';");
        auto defineLocal = [](ActionAssembler& a, const char* name, const char* value) {
            a.pushString(name);
            a.pushString(value);
            a.op(ActionCode::DefineLocal);
        };
        auto declare = [](ActionAssembler& a, const char* name) {
            a.pushString(name);
            a.op(ActionCode::DefineLocal2);
        };
        runner.runBytes(assemble([&](ActionAssembler& a) {
            defineLocal(a, "/:abc", "ABC");
            defineLocal(a, "/holder/:def", "DEF");
            defineLocal(a, "/nowhere/:lost", "LOST");
            declare(a, "/:declared");
            declare(a, "_root.kept");
            ActionAssembler body = a.nested();
            body.pushString("inner");
            body.op(ActionCode::Trace);
            a.defineFunction("/:named", {}, body);
            ActionAssembler local = a.nested();
            defineLocal(local, "/:insideFunction", "IN");
            local.pushString("/:insideFunction");
            local.op(ActionCode::GetVariable);
            local.op(ActionCode::Trace);
            a.defineFunction("/:definesLocal", {}, local);
        }));
        QCOMPARE(runner.run("trace(abc); trace(holder.def); trace(lost); trace(this.hasOwnProperty('declared'));"
                            "trace(kept); named(); definesLocal(); trace(insideFunction);"
                            "trace(this['/:insideFunction']);")
                     .join('|'),
                 QString("ABC|DEF|undefined|true|kept|inner|undefined|undefined|IN"));
    }

    // instanceof follows interfaces through interfaces: a class implementing an interface that
    // itself implements another is an instance of both, at any depth, and a cycle among the
    // interfaces ends the search instead of hanging it.
    void instanceOfFollowsInterfacesOfInterfaces()
    {
        ScriptRunner runner(7);
        runner.run("Red = function() {}; Pink = function() {}; Blue = function() {}; Other = function() {};"
                   "Base = function() {}; Child = function() {}; Child.prototype = new Base();");
        auto implement = [](ActionAssembler& a, const char* className, std::initializer_list<const char*> interfaces) {
            for (const char* interface : interfaces) {
                a.pushString(interface);
                a.op(ActionCode::GetVariable);
            }
            a.pushNumber(double(interfaces.size()));
            a.pushString(className);
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::ImplementsOp);
        };
        runner.runBytes(assemble([&](ActionAssembler& a) {
            implement(a, "Pink", {"Red"});
            implement(a, "Child", {"Pink"});
            implement(a, "Base", {"Blue"});
        }));
        QCOMPARE(runner.run("obj = new Child();"
                            "trace(obj instanceof Pink); trace(obj instanceof Red); trace(obj instanceof Blue);"
                            "trace(obj instanceof Other); trace(new Base() instanceof Red);")
                     .join('|'),
                 QString("true|true|true|false|false"));
        runner.runBytes(assemble([&](ActionAssembler& a) { implement(a, "Red", {"Pink"}); }));
        QCOMPARE(runner.run("trace(obj instanceof Other); trace(obj instanceof Red);").join('|'), QString("false|true"));
    }

    // ImplementsOp and instanceof read a class's own prototype slot as stored: no getter runs,
    // nothing is inherited, and ImplementsOp keeps the interface prototypes of that moment. A
    // class keeps the interfaces of its first ImplementsOp; later ones change nothing. The
    // chain of an interface's prototype is not searched.
    void implementsKeepsThePrototypesOfItsMoment()
    {
        ScriptRunner runner(8);
        runner.run("Shape = function() {}; Round = function() {}; Square = function() {}; Late = {};"
                   "Base = function() {}; Round.prototype.__proto__ = Base.prototype;"
                   "Round.addProperty('prototype', function() { trace('getter'); return {}; }, null);"
                   "Holder = {__proto__: Round};");
        auto implement = [](ActionAssembler& a, const char* className, std::initializer_list<const char*> interfaces) {
            for (const char* interface : interfaces) {
                a.pushString(interface);
                a.op(ActionCode::GetVariable);
            }
            a.pushNumber(double(interfaces.size()));
            a.pushString(className);
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::ImplementsOp);
        };
        runner.runBytes(assemble([&](ActionAssembler& a) {
            implement(a, "Shape", {});
            implement(a, "Shape", {"Round", "Late"});
            implement(a, "Shape", {"Square"});
        }));
        QCOMPARE(runner.run("Late.prototype = {}; obj = new Shape();"
                            "trace(obj instanceof Round); trace(obj instanceof Holder); trace(obj instanceof Square);"
                            "trace(obj instanceof Base); trace(obj instanceof Late);")
                     .join('|'),
                 QString("true|false|false|false|false"));
    }

    void olderArithmeticConversionOrder_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Add, SWF 4") << 4 << int(ActionCode::Add) << "one|two|5";
        QTest::newRow("Add, SWF 8") << 8 << int(ActionCode::Add) << "one|two|5";
        QTest::newRow("Subtract converts the right one first") << 8 << int(ActionCode::Subtract) << "two|one|-3";
        QTest::newRow("Multiply") << 8 << int(ActionCode::Multiply) << "one|two|4";
        QTest::newRow("Divide converts the right one first") << 8 << int(ActionCode::Divide) << "two|one|0.25";
        QTest::newRow("Less") << 8 << int(ActionCode::Less) << "one|two|true";
        QTest::newRow("Equals converts the right one first") << 8 << int(ActionCode::Equals) << "two|one|false";
    }
    void olderArithmeticConversionOrder()
    {
        QFETCH(int, version);
        QFETCH(int, action);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        runner.run(twoNoisyObjects);
        auto code = assemble([&](ActionAssembler& a) {
            a.pushString("one");
            a.op(ActionCode::GetVariable);
            a.pushString("two");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode(action));
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // StartDrag takes its lock and constrain flags as numbers, each through valueOf, and only 1
    // counts; the four bounds are popped and converted only when the constraint is on. What is
    // left on top of the stack afterwards shows how much was taken.
    void startDragFlagsAreExactlyOne_data()
    {
        QTest::addColumn<QString>("constrain");
        QTest::addColumn<QString>("expected");
        QTest::newRow("true") << "true" << "lock|constrain|bottom|right|top|left|after";
        QTest::newRow("the string 1") << "'1'" << "lock|constrain|bottom|right|top|left|after";
        QTest::newRow("seven is not one") << "7" << "lock|constrain|bottom";
        QTest::newRow("a string of seven") << "'7'" << "lock|constrain|bottom";
    }
    void startDragFlagsAreExactlyOne()
    {
        QFETCH(QString, constrain);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        runner.run("function noisy(name, value) { return {valueOf: function() { trace(name); return value; }}; }"
                   "left = noisy('left', 0); top = noisy('top', 0); right = noisy('right', 9); bottom = noisy('bottom', 9);"
                   "lock = noisy('lock', 2); constrain = noisy('constrain', " + constrain + ");"
                   "after = noisy('after', 0);");
        auto code = assemble([&](ActionAssembler& a) {
            for (const char* name : {"after", "left", "top", "right", "bottom", "constrain", "lock"}) {
                a.pushString(name);
                a.op(ActionCode::GetVariable);
            }
            a.pushString("/");
            a.op(ActionCode::StartDrag);
            a.op(ActionCode::ToNumber);
            a.op(ActionCode::Pop);
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // A string, number or boolean called or constructed as a value (a method call without a
    // name) is boxed first, by whatever class stands for its type now; the box is no function,
    // so the call gives undefined.
    void primitiveCalledAsAValueIsBoxedFirst_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("called, a string") << int(ActionCode::CallMethod) << "callme" << "boxing callme|undefined";
        QTest::newRow("constructed, a string") << int(ActionCode::NewMethod) << "callme" << "boxing callme|undefined";
        QTest::newRow("called, undefined") << int(ActionCode::CallMethod) << "" << "undefined";
    }
    void primitiveCalledAsAValueIsBoxedFirst()
    {
        QFETCH(int, action);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        runner.run("_global.String = function(v) { trace('boxing ' + v); };");
        auto code = assemble([&](ActionAssembler& a) {
            a.pushNumber(0);
            if (value.isEmpty())
                a.push(authoring::PushUndefined{});
            else
                a.pushString(value.toStdString());
            a.push(authoring::PushUndefined{});
            a.op(ActionCode(action));
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // A function that preloads "this" or "super" into a register, or suppresses it, does not bind
    // the name: a lookup goes on to the clip the function was defined in ("this") or finds
    // nothing ("super"). Suppressing wins over preloading, which leaves the register undefined.
    void preloadedNamesAreNotBound_data()
    {
        namespace flags = authoring::function_flags;
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("name"); // empty: register 1
        QTest::addColumn<bool>("askType");  // typeof the value, else its "tag"
        QTest::addColumn<QString>("expected");
        QTest::newRow("this is bound by default") << 0 << "this" << false << "holder";
        QTest::newRow("a preloaded this is no name") << int(flags::PreloadThis) << "this" << false << "root";
        QTest::newRow("a suppressed this is no name") << int(flags::SuppressThis) << "this" << false << "root";
        QTest::newRow("a preloaded this is in its register") << int(flags::PreloadThis) << "" << false << "holder";
        QTest::newRow("suppressing this wins over preloading it")
            << int(flags::PreloadThis | flags::SuppressThis) << "" << true << "undefined";
        QTest::newRow("super is bound by default") << 0 << "super" << true << "object";
        QTest::newRow("a preloaded super is no name") << int(flags::PreloadSuper) << "super" << true << "undefined";
        QTest::newRow("a preloaded super is in its register") << int(flags::PreloadSuper) << "" << true << "object";
        QTest::newRow("suppressing super wins over preloading it")
            << int(flags::PreloadSuper | flags::SuppressSuper) << "" << true << "undefined";
    }
    void preloadedNamesAreNotBound()
    {
        QFETCH(int, flags);
        QFETCH(QString, name);
        QFETCH(bool, askType);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        runner.run("holder = {tag: 'holder'}; tag = 'root';");
        auto code = assemble([&](ActionAssembler& a) {
            ActionAssembler body = a.nested();
            if (name.isEmpty()) {
                body.push(authoring::PushRegister{1});
            } else {
                body.pushString(name.toStdString());
                body.op(ActionCode::GetVariable);
            }
            if (askType) {
                body.op(ActionCode::TypeOf);
            } else {
                body.pushString("tag");
                body.op(ActionCode::GetMember);
            }
            body.op(ActionCode::Return);
            a.pushString("holder");
            a.op(ActionCode::GetVariable);
            a.pushString("f");
            a.defineFunction2("", {}, 2, uint16_t(flags), body);
            a.op(ActionCode::SetMember);
            a.pushNumber(0);
            a.pushString("holder");
            a.op(ActionCode::GetVariable);
            a.pushString("f");
            a.op(ActionCode::CallMethod);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // A called function pushes onto its caller's stack: what it leaves there stays when it
    // returns, beneath the value the call pushes. Movies assembled by other tools than Flash's
    // compiler hand values back that way.
    void calledFunctionsShareTheCallersStack_data()
    {
        QTest::addColumn<bool>("method"); // called by CallMethod, else by CallFunction
        QTest::addColumn<bool>("returns"); // the body ends with a Return of "result"
        QTest::addColumn<QString>("expected");
        QTest::newRow("a function that runs to its end") << false << false << "undefined|ba";
        QTest::newRow("a function that returns") << false << true << "result|ba";
        QTest::newRow("a method that runs to its end") << true << false << "undefined|ba";
        QTest::newRow("a method that returns") << true << true << "result|ba";
    }
    void calledFunctionsShareTheCallersStack()
    {
        QFETCH(bool, method);
        QFETCH(bool, returns);
        QFETCH(QString, expected);
        ScriptRunner runner(6);
        auto code = assemble([&](ActionAssembler& a) {
            ActionAssembler body = a.nested();
            body.pushString("a");
            if (returns) {
                body.pushString("result");
                body.op(ActionCode::Return);
            }
            a.defineFunction("f", {}, body);
            a.pushString("holder");
            a.pushNumber(0);
            a.op(ActionCode::InitObject);
            a.op(ActionCode::SetVariable);
            a.pushString("holder");
            a.op(ActionCode::GetVariable);
            a.pushString("f");
            a.pushString("f");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::SetMember);
            a.pushString("b");
            a.pushNumber(0);
            if (method) {
                a.pushString("holder");
                a.op(ActionCode::GetVariable);
                a.pushString("f");
                a.op(ActionCode::CallMethod);
            } else {
                a.pushString("f");
                a.op(ActionCode::CallFunction);
            }
            a.op(ActionCode::Trace);
            a.op(ActionCode::Add2);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // Frame scripts use the four global registers; a function defined with registers has that
    // many of its own, and the numbers above them reach the global ones. Functions defined
    // without registers use the global ones throughout.
    void registersAboveAFunctionsOwnAreGlobal()
    {
        ScriptRunner runner(8);
        auto code = assemble([](ActionAssembler& a) {
            for (uint8_t index = 0; index < 4; ++index) {
                a.pushNumber(10 + index);
                a.storeRegister(index);
                a.op(ActionCode::Pop);
            }
            ActionAssembler withRegisters = a.nested();
            withRegisters.push(authoring::PushRegister{1});
            withRegisters.op(ActionCode::Trace);
            withRegisters.push(authoring::PushRegister{2});
            withRegisters.op(ActionCode::Trace);
            withRegisters.pushNumber(99);
            withRegisters.storeRegister(3);
            withRegisters.op(ActionCode::Pop);
            a.defineFunction2("twoOwn", {}, 2, 0, withRegisters);
            ActionAssembler withoutRegisters = a.nested();
            withoutRegisters.push(authoring::PushRegister{1});
            withoutRegisters.op(ActionCode::Trace);
            a.defineFunction("noneOwn", {}, withoutRegisters);
            for (const char* name : {"twoOwn", "noneOwn"}) {
                a.pushNumber(0);
                a.pushString(name);
                a.op(ActionCode::CallFunction);
                a.op(ActionCode::Pop);
            }
            a.push(authoring::PushRegister{3});
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), QStringLiteral("undefined|12|11|99"));
    }

    // The SWF 4 comparison and logic actions give booleans, as in later versions; a SWF 4 movie
    // writes them as 1 and 0, and they are not strictly equal to those numbers.
    void swf4ComparisonsGiveBooleans_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Equals, SWF 4") << 4 << int(ActionCode::Equals) << "boolean|0|0|1";
        QTest::newRow("Less, SWF 4") << 4 << int(ActionCode::Less) << "boolean|0|0|1";
        QTest::newRow("And, SWF 4") << 4 << int(ActionCode::And) << "boolean|1|1|0";
        QTest::newRow("StringEquals, SWF 4") << 4 << int(ActionCode::StringEquals) << "boolean|0|0|1";
        QTest::newRow("Equals, SWF 5") << 5 << int(ActionCode::Equals) << "boolean|false|false|true";
    }
    void swf4ComparisonsGiveBooleans()
    {
        QFETCH(int, version);
        QFETCH(int, action);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        auto code = assemble([&](ActionAssembler& a) {
            a.pushString("result");
            a.pushNumber(3);
            a.pushNumber(2);
            a.op(ActionCode(action));
            a.op(ActionCode::SetVariable);
            a.pushString("result");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::TypeOf);
            a.op(ActionCode::Trace);
            a.pushString("result");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::Trace);
            for (bool probe : {true, false}) {
                a.pushString("result");
                a.op(ActionCode::GetVariable);
                a.push(probe);
                a.op(ActionCode::StrictEquals);
                a.op(ActionCode::Trace);
            }
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }

    // SWF 4 code sees only the variables of its timelines: NaN, Infinity, the classes and
    // _global are not there, and a variable of such a name is the timeline's own.
    void swf4CodeSeesNoGlobals_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SWF 4") << 4 << "undefined|undefined|undefined|undefined";
        QTest::newRow("SWF 5") << 5 << "number|number|object|function";
    }
    void swf4CodeSeesNoGlobals()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        auto code = assemble([&](ActionAssembler& a) {
            for (const char* name : {"NaN", "Infinity", "Math", "Array"}) {
                a.pushString(name);
                a.op(ActionCode::GetVariable);
                a.op(ActionCode::TypeOf);
                a.op(ActionCode::Trace);
            }
        });
        QCOMPARE(runner.runBytes(code).join('|'), expected);
    }
    void swf4VariablesNamedAsGlobals()
    {
        ScriptRunner runner(4);
        auto code = assemble([&](ActionAssembler& a) {
            a.pushString("Infinity");
            a.pushNumber(7);
            a.op(ActionCode::SetVariable);
            a.pushString("Infinity");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::Trace);
            a.pushString("_global");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::TypeOf);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code).join('|'), QStringLiteral("7|undefined"));
        // The global object itself keeps its value for later versions' code.
        QCOMPARE(runner.machine().global()->get(runner.machine(), QStringLiteral("Infinity")).asNumber(),
                 std::numeric_limits<double>::infinity());
    }

    void objectWithoutPrimitiveIsZeroInSwf4_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SWF 4: division by zero") << 4 << "#ERROR#";
        QTest::newRow("SWF 5: NaN") << 5 << "NaN";
    }
    void objectWithoutPrimitiveIsZeroInSwf4()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        runner.run("plain = new Object();");
        auto code = assemble([](ActionAssembler& a) {
            a.pushString("plain");
            a.op(ActionCode::GetVariable);
            a.pushString("plain");
            a.op(ActionCode::GetVariable);
            a.op(ActionCode::Divide);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code), QStringList{expected});
    }

    void deleteByPath()
    {
        ScriptRunner runner;
        runner.run("o = {a: 1, b: 2, c: {d: 3}};");
        auto remove = [&](const std::string& path) {
            return runner.runBytes(assemble([&](ActionAssembler& a) {
                a.pushString(path);
                a.op(ActionCode::Delete2);
                a.op(ActionCode::Trace);
            }));
        };
        QCOMPARE(remove("o.a"), QStringList{"true"});
        QCOMPARE(remove("o:b"), QStringList{"true"});
        QCOMPARE(remove("o.c.d"), QStringList{"true"});
        QCOMPARE(remove("o.missing"), QStringList{"false"});
        QCOMPARE(remove("nowhere.a"), QStringList{"false"});
        QCOMPARE(runner.run("trace(o.a); trace(o.b); trace(typeof o.c); trace(o.c.d);"),
                 (QStringList{"undefined", "undefined", "object", "undefined"}));
    }

    // A path whose holder is a string, number or boolean deletes nothing, and Flash logs that it
    // no longer makes objects of primitives; undefined and null holders fail without a word.
    void delete2RefusesPrimitiveHolders()
    {
        ScriptRunner runner;
        const QString warning = QStringLiteral("Parameters of primitive types are no longer coerced into the required type - Object.");
        auto remove = [&](const std::string& path) {
            return runner.runBytes(assemble([&](ActionAssembler& a) {
                a.pushString(path);
                a.op(ActionCode::Delete2);
                a.op(ActionCode::Trace);
            }));
        };
        runner.run("o = {t: 'text'};");
        QCOMPARE(remove("o.t.length"), (QStringList{warning, "false"}));
        runner.run("o.t = 2;");
        QCOMPARE(remove("o:t.y"), (QStringList{warning, "false"}));
        runner.run("o.t = true;");
        QCOMPARE(remove("o.t:y"), (QStringList{warning, "false"}));
        runner.run("o.t = null;");
        QCOMPARE(remove("o.t.y"), QStringList{"false"});
        runner.run("o.t = undefined;");
        QCOMPARE(remove("o.t.y"), QStringList{"false"});
        runner.run("o.t = {y: 1};");
        QCOMPARE(remove("o.t.y"), QStringList{"true"});
    }

    void enumerateMarksTheEndWithUndefined()
    {
        ScriptRunner runner;
        auto code = assemble([](ActionAssembler& a) {
            a.pushNumber(10);
            a.op(ActionCode::Enumerate2);
            a.op(ActionCode::TypeOf);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code), QStringList{"undefined"});
    }

    void initArrayWithTooLargeACount()
    {
        ScriptRunner runner;
        auto code = assemble([](ActionAssembler& a) {
            a.pushString("a");
            a.pushString("b");
            a.pushString("c");
            a.pushNumber(4294967297.0);
            a.op(ActionCode::InitArray);
            a.op(ActionCode::Trace);
            a.op(ActionCode::Trace);
            a.op(ActionCode::Trace);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(code), (QStringList{"undefined", "c", "b", "a"}));
        auto fitting = assemble([](ActionAssembler& a) {
            a.pushString("a");
            a.pushString("b");
            a.pushNumber(2);
            a.op(ActionCode::InitArray);
            a.op(ActionCode::Trace);
        });
        QCOMPARE(runner.runBytes(fitting), QStringList{"b,a"});
    }

    // A movie's ScriptLimits depth counts the action list itself as the first level.
    void recursionDepthFromTheMovie()
    {
        ScriptRunner runner;
        runner.machine().limits().configure(5, 10);
        QStringList traced = runner.run("function down() { trace('in'); down(); } down(); trace('not reached');");
        QCOMPARE(traced, (QStringList{"in", "in", "in", "in"}));
        QCOMPARE(runner.run("trace('next');"), QStringList{"next"});
    }

    // No single script can use up the memory with a string or an array: past a fixed size
    // the action list stops, and the next one runs normally.
    void growthIsBounded_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("string doubled with concat") << "var s = 'ab'; while (true) s = s.concat(s);";
        QTest::newRow("string doubled with join") << "var s = 'ab'; while (true) s = [s, s].join('');";
        QTest::newRow("huge length walked by join") << "var a = []; a.length = 100000000; a.join();";
        QTest::newRow("huge constructor length reversed") << "var a = new Array(1e9); a.reverse();";
        QTest::newRow("huge index sorted") << "var a = []; a[99999999] = 1; a.sort();";
    }
    void growthIsBounded()
    {
        QFETCH(QString, source);
        ScriptRunner runner;
        QCOMPARE(runner.run(source + " trace('unreached');"), QStringList{});
        QCOMPARE(runner.run("trace('next');"), QStringList{"next"});
    }
};

QTEST_GUILESS_MAIN(TestSemantics)
#include "tst_avm1_semantics.moc"
