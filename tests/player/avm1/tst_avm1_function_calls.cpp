#include "authoring/ActionAssembler.h"
#include "authoring/MovieWriter.h"
#include "authoring/ScriptCompiler.h"
#include "player/Player.h"
#include "player/avm1/FunctionBodyUse.h"
#include "../TracingPlayer.h"

#include <QTest>

using authoring::ActionAssembler;
using authoring::ActionCode;
using authoring::PushRegister;
using player::avm1::FunctionBodyUse;

namespace {

// A body's bytes as the player holds them, and its constant pool's texts.
struct Body {
    player::swf::ActionBytes bytes;
    std::vector<QString> pool;
};

Body bodyOf(const ActionAssembler& code, const authoring::ConstantPool& pool)
{
    const QByteArray raw = code.functionBody();
    Body body{player::swf::ActionBytes(player::swf::Bytes(raw.begin(), raw.end())), {}};
    for (const std::string& text : pool.strings())
        body.pool.push_back(QString::fromStdString(text));
    return body;
}

// One frame of raw actions, then a frame that stops.
QByteArray rawMovie(int swfVersion, const ActionAssembler& code)
{
    authoring::MovieWriter movie(swfVersion, 100, 100, 12);
    movie.root().doAction(code.finish());
    movie.root().showFrame();
    ActionAssembler stop;
    stop.op(ActionCode::Stop);
    movie.root().doAction(stop.finish());
    movie.root().showFrame();
    return movie.toBytes(false);
}

// Calls a function named name with the given numbers for arguments and traces the result.
void traceCall(ActionAssembler& code, const std::string& name, const std::vector<int32_t>& arguments)
{
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
        code.push(*it);
    code.push(int32_t(arguments.size()));
    code.push(name);
    code.op(ActionCode::CallFunction);
    code.op(ActionCode::Trace);
}

// Pushes the value of a variable whose name is joined from two texts as the body runs.
void getJoinedName(ActionAssembler& code, const std::string& first, const std::string& second)
{
    code.push(first);
    code.push(second);
    code.op(ActionCode::Add2);
    code.op(ActionCode::GetVariable);
}

// A Try action with its blocks (each without an End); a catch block, when given, catches into
// the variable "e".
QByteArray tryBlocks(const QByteArray& tryCode, const QByteArray* catchCode, const QByteArray* finallyCode)
{
    QByteArray payload;
    payload.append(char((catchCode ? 1 : 0) | (finallyCode ? 2 : 0)));
    for (qsizetype size : {tryCode.size(), catchCode ? catchCode->size() : 0, finallyCode ? finallyCode->size() : 0}) {
        payload.append(char(size & 0xFF));
        payload.append(char(size >> 8));
    }
    payload.append("e", 2);
    QByteArray bytes;
    bytes.append(char(uint8_t(ActionCode::Try)));
    bytes.append(char(payload.size()));
    bytes.append('\0');
    bytes.append(payload);
    bytes.append(tryCode);
    if (catchCode)
        bytes.append(*catchCode);
    if (finallyCode)
        bytes.append(*finallyCode);
    return bytes;
}

QByteArray bodyBytes(const ActionAssembler& code)
{
    return code.functionBody();
}

// A block (without an End) that traces `text`.
QByteArray tracingBlock(const std::string& text)
{
    ActionAssembler code;
    code.push(text);
    code.op(ActionCode::Trace);
    return bodyBytes(code);
}

// A movie of one frame with hand-made action bytes (ending with their End).
QByteArray oneFrameMovie(int swfVersion, const QByteArray& actions)
{
    authoring::MovieWriter movie(swfVersion, 100, 100, 12);
    movie.root().doAction(actions);
    movie.root().showFrame();
    return movie.toBytes(false);
}

// A DefineFunction action of `name` with one-name parameters, followed by `body` as it stands
// (hand-made bytes, such as a Try action, that the assembler does not write as a body).
QByteArray defineFunctionAround(const std::string& name, const std::vector<std::string>& parameters,
                                const QByteArray& body)
{
    QByteArray payload(name.c_str(), qsizetype(name.size()) + 1);
    payload.append(char(parameters.size() & 0xFF));
    payload.append(char(parameters.size() >> 8));
    for (const std::string& parameter : parameters)
        payload.append(parameter.c_str(), qsizetype(parameter.size()) + 1);
    payload.append(char(body.size() & 0xFF));
    payload.append(char(body.size() >> 8));
    QByteArray bytes;
    bytes.append(char(uint8_t(ActionCode::DefineFunction)));
    bytes.append(char(payload.size()));
    bytes.append('\0');
    bytes.append(payload);
    bytes.append(body);
    return bytes;
}

// Pushes the value of the variable `name`.
void pushVariable(ActionAssembler& code, const std::string& name)
{
    code.push(name);
    code.op(ActionCode::GetVariable);
}

// holder.name = function () { body }, with the holder already pushed.
void setMethod(ActionAssembler& code, const std::string& name, const ActionAssembler& body)
{
    code.push(name);
    code.defineFunction("", {}, body);
    code.op(ActionCode::SetMember);
}

// trace(holder.name()), calling the method without arguments.
void traceMethodCall(ActionAssembler& code, const std::string& holder, const std::string& name)
{
    code.push(int32_t(0));
    pushVariable(code, holder);
    code.push(name);
    code.op(ActionCode::CallMethod);
    code.op(ActionCode::Trace);
}

} // namespace

// A call makes "this", "arguments", super and its locals link only where the body may reach
// them; what it may reach is read once from the body's actions.
class TestFunctionCalls : public QObject {
    Q_OBJECT

private slots:
    void bodyUse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("thisName");
        QTest::addColumn<bool>("argumentsName");
        QTest::addColumn<bool>("superName");
        QTest::addColumn<bool>("locals");
        QTest::newRow("constant names only") << "plain" << false << false << false << false;
        QTest::newRow("this by name") << "this" << true << false << false << false;
        QTest::newRow("arguments from the pool, in capitals") << "pooled arguments" << false << true << false << false;
        QTest::newRow("super in a path") << "super path" << false << false << true << false;
        QTest::newRow("joined name") << "joined" << true << true << true << false;
        QTest::newRow("name from a register") << "register" << true << true << true << false;
        QTest::newRow("set with a computed name") << "computed set" << true << true << true << false;
        QTest::newRow("set of a computed value") << "computed value" << false << false << false << false;
        QTest::newRow("call with counted arguments") << "call" << false << false << false << false;
        QTest::newRow("name met at a branch destination") << "branches" << true << true << true << false;
        QTest::newRow("local by name") << "local" << false << false << false << true;
        QTest::newRow("nested function") << "nested" << false << false << false << true;
        QTest::newRow("catch into a name") << "catch" << false << false << false << true;
        QTest::newRow("branch out of the body") << "branch out" << true << true << true << true;
        QTest::newRow("frame test skipping actions") << "frame test" << true << true << true << true;
    }
    void bodyUse()
    {
        QFETCH(QString, kind);
        auto pool = std::make_shared<authoring::ConstantPool>();
        ActionAssembler code(pool);
        if (kind == QLatin1String("plain")) {
            code.push(std::string("a"));
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Return);
        } else if (kind == QLatin1String("this")) {
            code.push(std::string("this"));
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("pooled arguments")) {
            code.pushString("ARGUMENTS");
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("super path")) {
            code.push(std::string("_parent.super.x"));
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("joined")) {
            getJoinedName(code, "argu", "ments");
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("register")) {
            code.push(PushRegister{1});
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("computed set")) {
            code.push(std::string("a"));
            code.op(ActionCode::GetVariable);
            code.push(int32_t(1));
            code.op(ActionCode::SetVariable);
        } else if (kind == QLatin1String("computed value")) {
            code.push(std::string("x"));
            code.push(std::string("a"));
            code.op(ActionCode::GetVariable);
            code.push(std::string("c"));
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Add2);
            code.op(ActionCode::SetVariable);
        } else if (kind == QLatin1String("call")) {
            code.push(int32_t(1));
            code.push(std::string("two"));
            code.push(int32_t(2));
            code.push(std::string("f"));
            code.op(ActionCode::CallFunction);
            code.push(std::string("g"));
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Add2);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("branches")) {
            // Either "x" or the value of "y" is the name the last GetVariable takes.
            const authoring::Label other = code.newLabel();
            const authoring::Label join = code.newLabel();
            code.push(true);
            code.ifTrue(other);
            code.push(std::string("x"));
            code.jump(join);
            code.bind(other);
            code.push(std::string("y"));
            code.op(ActionCode::GetVariable);
            code.bind(join);
            code.op(ActionCode::GetVariable);
            code.op(ActionCode::Trace);
        } else if (kind == QLatin1String("local")) {
            code.push(std::string("a"));
            code.push(int32_t(1));
            code.op(ActionCode::DefineLocal);
        } else if (kind == QLatin1String("nested")) {
            ActionAssembler inner = code.nested();
            inner.push(std::string("b"));
            inner.op(ActionCode::GetVariable);
            inner.op(ActionCode::Return);
            code.defineFunction("inner", {}, inner);
        } else if (kind == QLatin1String("catch")) {
            // Try with a catch block held by the name "e": flags 1, then the three block sizes.
            QByteArray payload("\x01\x00\x00\x00\x00\x00\x00", 7);
            payload.append("e", 2);
            code.push(int32_t(1));
            code.op(ActionCode::Pop);
            QByteArray bytes = code.functionBody();
            bytes.append(char(uint8_t(ActionCode::Try)));
            bytes.append(char(payload.size()));
            bytes.append('\0');
            bytes.append(payload);
            Body body{player::swf::ActionBytes(player::swf::Bytes(bytes.begin(), bytes.end())), {}};
            const FunctionBodyUse use = FunctionBodyUse::scan(body.bytes, 0, body.bytes.size(), true, nullptr);
            QCOMPARE(use.locals, true);
            QCOMPARE(use.thisName || use.argumentsName || use.superName, false);
            return;
        } else if (kind == QLatin1String("branch out")) {
            const authoring::Label outside = code.newLabel();
            code.jump(outside);
            code.op(ActionCode::Stop);
            code.bind(outside);
            Body body = bodyOf(code, *pool);
            // The body ends before the destination: the jump leaves it.
            const FunctionBodyUse use = FunctionBodyUse::scan(body.bytes, 0, body.bytes.size() - 1, true, nullptr);
            QVERIFY(use.thisName && use.argumentsName && use.superName && use.locals);
            return;
        } else if (kind == QLatin1String("frame test")) {
            QByteArray bytes("\x8A\x03\x00\x01\x00\x01", 6); // WaitForFrame 1, skip 1
            bytes.append(char(uint8_t(ActionCode::Stop)));
            Body body{player::swf::ActionBytes(player::swf::Bytes(bytes.begin(), bytes.end())), {}};
            const FunctionBodyUse use = FunctionBodyUse::scan(body.bytes, 0, body.bytes.size(), true, nullptr);
            QVERIFY(use.thisName && use.argumentsName && use.superName && use.locals);
            return;
        }
        Body body = bodyOf(code, *pool);
        const FunctionBodyUse use = FunctionBodyUse::scan(body.bytes, 0, body.bytes.size(), true, &body.pool);
        QTEST(use.thisName, "thisName");
        QTEST(use.argumentsName, "argumentsName");
        QTEST(use.superName, "superName");
        QTEST(use.locals, "locals");
    }

    // Functions defined by DefineFunction (no registers) still reach "this", "arguments" and
    // super by a name they compute, and get them by a constant name; a body that names none of
    // them runs the same without.
    void definedWithoutRegisters_data()
    {
        QTest::addColumn<int>("swfVersion");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SWF 6") << 6 << "3|holder|[object Object]|A;B|5";
        QTest::newRow("SWF 7") << 7 << "3|holder|[object Object]|A;B|5";
    }
    void definedWithoutRegisters()
    {
        QFETCH(int, swfVersion);
        ActionAssembler code;
        // function count() { trace(eval("argu" + "ments").length); }
        ActionAssembler count = code.nested();
        getJoinedName(count, "argu", "ments");
        count.push(std::string("length"));
        count.op(ActionCode::GetMember);
        count.op(ActionCode::Trace);
        code.defineFunction("count", {}, count);
        code.push(int32_t(3));
        code.push(int32_t(2));
        code.push(int32_t(1));
        code.push(int32_t(3));
        code.push(std::string("count"));
        code.op(ActionCode::CallFunction);
        code.op(ActionCode::Pop);

        // holder = {label: "holder"}; holder.describe = function () { return eval("th" + "is").label; };
        code.push(std::string("holder"));
        code.push(std::string("label"));
        code.push(std::string("holder"));
        code.push(int32_t(1));
        code.op(ActionCode::InitObject);
        code.op(ActionCode::SetVariable);
        ActionAssembler describe = code.nested();
        getJoinedName(describe, "th", "is");
        describe.push(std::string("label"));
        describe.op(ActionCode::GetMember);
        describe.op(ActionCode::Return);
        pushVariable(code, "holder");
        setMethod(code, "describe", describe);
        traceMethodCall(code, "holder", "describe");

        // function self() { return this; } called as a method of holder, by a constant name.
        ActionAssembler self = code.nested();
        self.push(std::string("this"));
        self.op(ActionCode::GetVariable);
        self.op(ActionCode::Return);
        pushVariable(code, "holder");
        setMethod(code, "self", self);
        traceMethodCall(code, "holder", "self");

        // function A() {} A.prototype.name = function () { return "A"; };
        // function B() {} B.prototype = new A(); B.prototype.name = function () { return super.name() + ";B"; };
        code.defineFunction("A", {}, code.nested());
        code.defineFunction("B", {}, code.nested());
        ActionAssembler nameA = code.nested();
        nameA.push(std::string("A"));
        nameA.op(ActionCode::Return);
        pushVariable(code, "A");
        code.push(std::string("prototype"));
        code.op(ActionCode::GetMember);
        setMethod(code, "name", nameA);
        pushVariable(code, "B");
        code.push(std::string("prototype"));
        code.push(int32_t(0));
        code.push(std::string("A"));
        code.op(ActionCode::NewObject);
        code.op(ActionCode::SetMember);
        ActionAssembler nameB = code.nested();
        nameB.push(int32_t(0));
        nameB.push(std::string("super"));
        nameB.op(ActionCode::GetVariable);
        nameB.push(std::string("name"));
        nameB.op(ActionCode::CallMethod);
        nameB.push(std::string(";B"));
        nameB.op(ActionCode::Add2);
        nameB.op(ActionCode::Return);
        pushVariable(code, "B");
        code.push(std::string("prototype"));
        code.op(ActionCode::GetMember);
        setMethod(code, "name", nameB);
        code.push(int32_t(0));
        code.push(int32_t(0));
        code.push(std::string("B"));
        code.op(ActionCode::NewObject);
        code.push(std::string("name"));
        code.op(ActionCode::CallMethod);
        code.op(ActionCode::Trace);

        // function add(a, b) { return a + b; } with its parameters as named locals.
        ActionAssembler add = code.nested();
        add.push(std::string("a"));
        add.op(ActionCode::GetVariable);
        add.push(std::string("b"));
        add.op(ActionCode::GetVariable);
        add.op(ActionCode::Add2);
        add.op(ActionCode::Return);
        code.defineFunction("add", {"a", "b"}, add);
        traceCall(code, "add", {2, 3});

        QFETCH(QString, expected);
        TracingPlayer run;
        QCOMPARE(run.playJoined(rawMovie(swfVersion, code), 1), expected);
    }

    // "this" of a function without registers is its receiver, read by a constant name or by one
    // the body computes: the timeline for a call by name from a frame, the object for a method.
    void thisOfOlderMovies_data()
    {
        QTest::addColumn<int>("swfVersion");
        QTest::newRow("SWF 5") << 5;
        QTest::newRow("SWF 6") << 6;
    }
    void thisOfOlderMovies()
    {
        QFETCH(int, swfVersion);
        ActionAssembler code;
        ActionAssembler who = code.nested();
        who.push(std::string("this"));
        who.op(ActionCode::GetVariable);
        who.op(ActionCode::Trace);
        getJoinedName(who, "th", "is");
        who.op(ActionCode::Trace);
        code.defineFunction("who", {}, who);
        traceCall(code, "who", {});
        code.push(std::string("holder"));
        code.push(int32_t(0));
        code.op(ActionCode::InitObject);
        code.op(ActionCode::SetVariable);
        code.push(std::string("holder"));
        code.op(ActionCode::GetVariable);
        code.push(std::string("who"));
        code.push(std::string("who"));
        code.op(ActionCode::GetVariable);
        code.op(ActionCode::SetMember);
        code.push(int32_t(0));
        code.push(std::string("holder"));
        code.op(ActionCode::GetVariable);
        code.push(std::string("who"));
        code.op(ActionCode::CallMethod);
        code.op(ActionCode::Pop);
        TracingPlayer run;
        QCOMPARE(run.playJoined(rawMovie(swfVersion, code), 1),
                 QStringLiteral("_level0|_level0|undefined|[object Object]|[object Object]"));
    }

    // A throw leaves the calls between it and its catch, each running its finally block on the
    // way out, and the calls that follow run as before.
    void throwsUnwindThroughCalls()
    {
        ActionAssembler thrower;
        const authoring::Label keep = thrower.newLabel();
        thrower.push(std::string("n"));
        thrower.op(ActionCode::GetVariable);
        thrower.push(int32_t(2));
        thrower.op(ActionCode::Equals2);
        thrower.op(ActionCode::Not);
        thrower.ifTrue(keep);
        thrower.push(std::string("thrown"));
        thrower.op(ActionCode::Throw);
        thrower.bind(keep);
        thrower.push(std::string("n"));
        thrower.op(ActionCode::GetVariable);
        thrower.op(ActionCode::Return);

        ActionAssembler callThrower;
        callThrower.push(std::string("n"));
        callThrower.op(ActionCode::GetVariable);
        callThrower.push(int32_t(1));
        callThrower.push(std::string("thrower"));
        callThrower.op(ActionCode::CallFunction);
        callThrower.op(ActionCode::Return);
        const QByteArray finallyCode = tracingBlock("finally");
        const QByteArray middleBody = tryBlocks(bodyBytes(callThrower), nullptr, &finallyCode);

        // The definitions come from the assembler; the calls are put together by hand.
        ActionAssembler definitions;
        definitions.defineFunction("thrower", {"n"}, thrower);
        ActionAssembler add;
        add.push(std::string("a"));
        add.op(ActionCode::GetVariable);
        add.push(std::string("b"));
        add.op(ActionCode::GetVariable);
        add.op(ActionCode::Add2);
        add.op(ActionCode::Return);
        definitions.defineFunction("add", {"a", "b"}, add);
        QByteArray code = definitions.finish();
        code.chop(1);
        // function middle(n), with the try statement for its body.
        code.append(defineFunctionAround("middle", {"n"}, middleBody));
        ActionAssembler caught;
        caught.push(std::string("caught "));
        caught.push(std::string("e"));
        caught.op(ActionCode::GetVariable);
        caught.op(ActionCode::Add2);
        caught.op(ActionCode::Trace);
        const QByteArray catchCode = bodyBytes(caught);
        for (int32_t i = 0; i < 4; ++i) {
            ActionAssembler call;
            traceCall(call, "middle", {i});
            code.append(tryBlocks(bodyBytes(call), &catchCode, nullptr));
        }
        ActionAssembler after;
        traceCall(after, "add", {2, 3});
        code.append(bodyBytes(after));
        code.append('\0');

        TracingPlayer run;
        QCOMPARE(run.playJoined(oneFrameMovie(7, code)), QStringLiteral("finally|0|finally|1|finally|caught thrown|finally|3|5"));
    }

    // A Return hands back the value on top of the stack and no other: undefined when there is
    // none, and what the body pushed below it stays for the caller. A Return inside a try block
    // runs the finally block before the caller sees the value. Each function is called twice, so
    // that the second call runs on the registers and stack room the first one gave back.
    void returnsHandBackTheTopValue()
    {
        ActionAssembler bare;
        bare.op(ActionCode::Return);
        ActionAssembler leaves;
        leaves.push(std::string("junk"));
        leaves.push(std::string("result"));
        leaves.op(ActionCode::Return);
        ActionAssembler returning;
        returning.push(std::string("r"));
        returning.op(ActionCode::Return);
        const QByteArray finallyCode = tracingBlock("finally");
        const QByteArray guardedBody = tryBlocks(bodyBytes(returning), nullptr, &finallyCode);

        ActionAssembler definitions;
        definitions.defineFunction("bare", {}, bare);
        definitions.defineFunction("leaves", {}, leaves);
        QByteArray code = definitions.finish();
        code.chop(1);
        code.append(defineFunctionAround("guarded", {}, guardedBody));
        for (int round = 0; round < 2; ++round) {
            ActionAssembler calls;
            traceCall(calls, "bare", {});
            traceCall(calls, "leaves", {});
            calls.op(ActionCode::Trace);
            traceCall(calls, "guarded", {});
            code.append(bodyBytes(calls));
        }
        code.append('\0');

        TracingPlayer run;
        QCOMPARE(run.playJoined(oneFrameMovie(7, code)),
                 QStringLiteral("undefined|result|junk|finally|r|undefined|result|junk|finally|r"));
    }

    // A call whose name the Push right before it takes from the constant pool: the function
    // runs with its arguments, again when a loop comes back to it; a pool entry past the end of
    // the pool, or a name that holds no function, calls nothing (undefined, the arguments
    // taken); and a body that ends in such a Push ends there, before the CallFunction that
    // follows it in the bytes.
    void callsByPooledName()
    {
        ActionAssembler code;
        ActionAssembler add = code.nested();
        add.push(PushRegister{1});
        add.push(PushRegister{2});
        add.op(ActionCode::Add2);
        add.op(ActionCode::Return);
        using namespace authoring::function_flags;
        code.defineFunction2("add", {{"a", 1}, {"b", 2}}, 3, SuppressThis | SuppressArguments | SuppressSuper, add);
        ActionAssembler endsInName = code.nested();
        endsInName.push(int32_t(0));
        endsInName.pushString("add");
        code.defineFunction("g", {}, endsInName);
        // Runs as the definition's next action, on an empty stack: it calls "undefined".
        code.op(ActionCode::CallFunction);
        code.op(ActionCode::Pop);

        const authoring::Label again = code.newLabel();
        code.push(int32_t(2));
        code.storeRegister(0);
        code.op(ActionCode::Pop);
        code.bind(again);
        code.push(int32_t(3));
        code.push(PushRegister{0});
        code.push(int32_t(2));
        code.pushString("add");
        code.op(ActionCode::CallFunction);
        code.op(ActionCode::Trace);
        code.push(PushRegister{0});
        code.op(ActionCode::Decrement);
        code.storeRegister(0);
        code.ifTrue(again);

        code.push(std::string("below"));
        code.push(int32_t(7));
        code.push(int32_t(1));
        code.push(authoring::PushConstant{200});
        code.op(ActionCode::CallFunction);
        code.op(ActionCode::Trace);
        code.op(ActionCode::Trace);
        code.pushString("n");
        code.push(int32_t(4));
        code.op(ActionCode::SetVariable);
        code.push(int32_t(9));
        code.push(int32_t(1));
        code.pushString("n");
        code.op(ActionCode::CallFunction);
        code.op(ActionCode::Trace);

        code.push(int32_t(0));
        code.pushString("g");
        code.op(ActionCode::CallFunction);
        for (int i = 0; i < 3; ++i)
            code.op(ActionCode::Trace);

        TracingPlayer run;
        QCOMPARE(run.playJoined(rawMovie(7, code)), QStringLiteral("5|4|undefined|below|undefined|undefined|add|0"));
    }

    // The action list and 255 nested calls make the 256 levels a movie may use: the deepest call
    // runs and every level gets its own value back; one call more stops the script, and the next
    // frame's calls reach the same depth again.
    void recursionReachesTheLimit()
    {
        const char* frames[] = {
            "function down(n) { return n == 0 ? 0 : 1 + down(n - 1); }\n"
            "trace(down(254));\ntrace(down(255));\ntrace('not reached');",
            "trace(down(254) + down(3)); stop();"};
        authoring::MovieWriter movie(8, 100, 100, 12);
        for (const char* frameScript : frames) {
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(frameScript);
            QVERIFY(compiled.ok());
            movie.root().doAction(compiled.actions);
            movie.root().showFrame();
        }
        TracingPlayer run(100);
        QCOMPARE(run.playJoined(movie.toBytes(false), 1), QStringLiteral("254|257"));
    }

    // A script stopped by the limit of nested calls, or by the time limit deep in a chain of
    // calls, leaves no call behind: the next frame's calls, recursive ones included, run as
    // before.
    void abortedChainsLeaveCallsWorking_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("too many levels") << "function down(n) { return down(n + 1) + 1; } down(0);";
        QTest::newRow("time limit") << "function spin(n) { if (n > 0) return spin(n - 1); while (true) {} } spin(100);";
    }
    void abortedChainsLeaveCallsWorking()
    {
        QFETCH(QString, script);
        const QString first = QStringLiteral(
            "function add(a, b) { return a + b; }\n"
            "function depth(n) { return n == 0 ? 0 : 1 + depth(n - 1); }\n"
            "trace(depth(200));\n") + script + QStringLiteral("\ntrace('not reached');");
        authoring::MovieWriter movie(8, 100, 100, 12);
        for (const QString& frameScript : {first, QStringLiteral("trace(add(2, 3) + ' ' + depth(250)); stop();")}) {
            authoring::CompileResult compiled = authoring::ScriptCompiler::compile(frameScript.toStdString());
            QVERIFY(compiled.ok());
            movie.root().doAction(compiled.actions);
            movie.root().showFrame();
        }
        TracingPlayer run(100);
        QCOMPARE(run.playJoined(movie.toBytes(false), 1), QStringLiteral("200|5 250"));
    }
};

QTEST_GUILESS_MAIN(TestFunctionCalls)
#include "tst_avm1_function_calls.moc"
