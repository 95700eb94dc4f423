// The short ways the interpreter takes with numbers must give what the general rules give:
// operators on two numbers, remainders, the text of whole numbers, and the count of actions
// that stops a script.
#include "ScriptRunner.h"

#include "player/avm1/BinaryOperation.h"
#include "player/avm1/ExecutionLimits.h"
#include "player/avm1/NumberText.h"
#include "player/avm1/ValueStack.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace player::avm1;

namespace {

uint64_t bitsOf(double number)
{
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

// Numbers at the edges: signed zeros, fractions, whole numbers at the limits of 32 bits and of
// exact integers, the largest and smallest doubles, NaN and the infinities.
std::vector<double> edgeNumbers()
{
    const double infinity = std::numeric_limits<double>::infinity();
    return {0.0, -0.0, 1.0, -1.0, 0.5, -2.5, 3.0, 7.0, -7.0, 1e-300, 2147483647.0, -2147483648.0, 4294967296.0,
            9007199254740991.0, -9007199254740991.0, 9007199254740992.0, 1e20, -1e300, std::numeric_limits<double>::max(),
            std::numeric_limits<double>::denorm_min(), infinity, -infinity, std::nan("")};
}

// Two values alike as results: the same type, and numbers with the same bits (NaN any NaN).
bool sameResult(const Value& left, const Value& right)
{
    if (left.type() != right.type())
        return false;
    if (left.isNumber())
        return (std::isnan(left.asNumber()) && std::isnan(right.asNumber())) || bitsOf(left.asNumber()) == bitsOf(right.asNumber());
    return left.strictlyEquals(right);
}

QString describe(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return QStringLiteral("undefined");
    case Value::Type::Boolean:
        return value.asBoolean() ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Type::Number:
        return QString::number(value.asNumber(), 'g', 17) + (std::signbit(value.asNumber()) ? " (sign set)" : "");
    case Value::Type::String:
        return '"' + value.asString() + '"';
    default:
        return QStringLiteral("another value");
    }
}

// Raw actions, for the orders of actions the compiler does not write.
struct Actions {
    std::vector<uint8_t> bytes;

    Actions& action(uint8_t code, const std::vector<uint8_t>& payload = {})
    {
        bytes.push_back(code);
        if (code >= 0x80) {
            bytes.push_back(uint8_t(payload.size() & 0xff));
            bytes.push_back(uint8_t(payload.size() >> 8));
            bytes.insert(bytes.end(), payload.begin(), payload.end());
        }
        return *this;
    }
    Actions& pushString(const std::string& text)
    {
        std::vector<uint8_t> payload{0};
        payload.insert(payload.end(), text.begin(), text.end());
        payload.push_back(0);
        return action(0x96, payload);
    }
    Actions& storeRegister(uint8_t index) { return action(0x87, {index}); }
};

constexpr uint8_t popCode = 0x17;
constexpr uint8_t traceCode = 0x26;

} // namespace

class TestShortPaths : public QObject {
    Q_OBJECT

private slots:
    void remainderIsTheLibrarysBitForBit()
    {
        std::vector<double> numbers = edgeNumbers();
        QRandomGenerator random(7);
        for (int i = 0; i < 300; ++i) {
            // Whole numbers of every size, and a few with fractions.
            const double magnitude = std::ldexp(1.0, int(random.bounded(60)));
            double number = std::floor(random.generateDouble() * magnitude);
            if (i % 5 == 0)
                number += 0.25;
            numbers.push_back(i % 2 ? -number : number);
        }
        for (double left : numbers) {
            for (double right : numbers) {
                const double expected = std::fmod(left, right);
                const double actual = remainderOf(left, right);
                if (std::isnan(expected) && std::isnan(actual))
                    continue;
                if (bitsOf(expected) != bitsOf(actual))
                    QFAIL(qPrintable(QStringLiteral("%1 modulo %2: %3, not %4").arg(left, 0, 'g', 17).arg(right, 0, 'g', 17)
                                         .arg(describe(Value(actual)), describe(Value(expected)))));
            }
        }
    }

    // Every action that has a short way on two numbers, against the action's general rule
    // (conversions and all), in SWF 4 and SWF 8.
    void operatorsOnTwoNumbersFollowTheGeneralRule()
    {
        const uint8_t codes[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x3F, 0x47, 0x48, 0x49, 0x66, 0x67};
        ScriptRunner runner;
        Machine& machine = runner.machine();
        int shortWays = 0;
        for (int version : {4, 8}) {
            machine.setSwfVersion(version);
            for (uint8_t code : codes) {
                const BinaryOperation* operation = binaryOperation(code);
                QVERIFY(operation);
                for (double left : edgeNumbers()) {
                    for (double right : edgeNumbers()) {
                        Value general;
                        if (operation->onNumbers)
                            general = operation->onNumbers(left, right, version);
                        else
                            general = operation->onValues(machine, Value(left), Value(right));
                        Value quick(QStringLiteral("untouched"));
                        if (!operateOnNumbers(code, left, right, version, quick)) {
                            QCOMPARE(quick.asString(), QStringLiteral("untouched"));
                            continue;
                        }
                        ++shortWays;
                        if (!sameResult(quick, general))
                            QFAIL(qPrintable(QStringLiteral("action 0x%1 in SWF %2 on %3 and %4: %5, not %6")
                                                 .arg(code, 0, 16).arg(version).arg(left).arg(right)
                                                 .arg(describe(quick), describe(general))));
                    }
                }
            }
        }
        // Only SWF 4's division by zero goes the general way.
        const int pairs = int(edgeNumbers().size() * edgeNumbers().size());
        QCOMPARE(shortWays, 2 * int(std::size(codes)) * pairs - 2 * int(edgeNumbers().size()));
    }

    void wholeNumberTextIsTheNumbersText()
    {
        std::vector<double> numbers = edgeNumbers();
        for (double number : {10.0, -10.0, 99.0, 100.0, 1e9, -1e9, 999999999.0, 2147483648.0, -2147483649.0, 1.5})
            numbers.push_back(number);
        // Every count of digits, odd and even, at both ends.
        for (double power = 1; power < 2e9; power *= 10) {
            for (double number : {power - 1, power, power + 1, -power, -power + 1})
                numbers.push_back(number);
        }
        for (int number = -1100; number <= 1100; ++number)
            numbers.push_back(number);
        QRandomGenerator random(11);
        for (int i = 0; i < 2000; ++i)
            numbers.push_back(double(int32_t(random.generate())));
        for (double number : numbers) {
            number_text::WholeNumberBuffer buffer;
            const int length = number_text::wholeNumberText(number, buffer);
            const bool whole = number >= -2147483648.0 && number <= 2147483647.0 && std::floor(number) == number;
            QCOMPARE(length > 0, whole);
            if (whole)
                QCOMPARE(QString(reinterpret_cast<const QChar*>(buffer), length), number_text::toText(number));
        }
    }

    // The operand stack keeps its values when it grows: strings and numbers alike, a value
    // copied from the stack onto itself just when it is full, and the undefined values it grows
    // by when resized.
    void operandStackKeepsValuesAsItGrows()
    {
        ValueStack stack;
        for (int i = 0; i < 1000; ++i) {
            if (i % 3 == 0)
                stack.push_back(Value(QString::number(i)));
            else if (i % 7 == 0)
                stack.emplace_back(stack[0]);
            else
                stack.push_back(Value(i));
        }
        QCOMPARE(stack.size(), size_t(1000));
        for (int i = 0; i < 1000; ++i) {
            const Value& value = stack[size_t(i)];
            if (i % 3 == 0)
                QCOMPARE(value.asString(), QString::number(i));
            else if (i % 7 == 0)
                QCOMPARE(value.asString(), QStringLiteral("0"));
            else
                QCOMPARE(value.asNumber(), double(i));
        }
        // Full to the last place: the copy of the bottom value is made before the values move.
        while (stack.size() < 4096)
            stack.push_back(Value(1));
        stack.emplace_back(stack[0]);
        QCOMPARE(stack.back().asString(), QStringLiteral("0"));
        stack.resize(2);
        QCOMPARE(stack.size(), size_t(2));
        stack.resize(5);
        QVERIFY(stack[1].isNumber() && stack[2].isUndefined() && stack[4].isUndefined());
        stack.reserveMore(300);
        for (int i = 0; i < 300; ++i)
            stack.pushUnchecked(QStringLiteral("kept"));
        QCOMPARE(stack.size(), size_t(305));
        QCOMPARE(stack[304].asString(), QStringLiteral("kept"));
        QCOMPARE(stack[0].asString(), QStringLiteral("0"));
        stack.clear();
        QVERIFY(stack.empty());
    }

    // A StoreRegister followed by a Pop stores and pops in one go, but only where the Pop
    // belongs to the same block: a try block that ends in a StoreRegister leaves its value on
    // the stack, whatever the catch block after it starts with.
    void storeAndPopStayInTheirBlock()
    {
        Actions tryBody;
        tryBody.pushString("stored").storeRegister(0);
        const auto trySize = uint16_t(tryBody.bytes.size());
        Actions program;
        program.pushString("under");
        program.action(0x8F, {0x00, uint8_t(trySize & 0xff), uint8_t(trySize >> 8), 1, 0, 0, 0, 0});
        program.bytes.insert(program.bytes.end(), tryBody.bytes.begin(), tryBody.bytes.end());
        program.action(popCode); // the catch block, never run
        program.action(traceCode).action(traceCode);
        // In one block the pair is one assignment: the register holds the value, the stack not.
        program.pushString("below").pushString("assigned").storeRegister(1).action(popCode).action(traceCode);
        program.action(0x96, {4, 1}).action(traceCode);
        program.action(0);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes), (QStringList{"stored", "under", "below", "assigned"}));
    }

    // Actions are read once into a ready form, yet every byte position keeps its own reading:
    // a branch into the data of a Push that has run already reads those bytes as actions.
    // Cut-short actions and branches out of the bytes end the list.
    void everyPositionKeepsItsOwnReading()
    {
        // A Push of the whole number 0x17171726: read from its second byte of data it is a
        // Trace and three Pops.
        Actions program;
        program.action(0x96, {7, 0x26, popCode, popCode, popCode});
        program.action(traceCode);
        program.action(0x96, {4, 1});
        const size_t ifAt = program.bytes.size();
        program.action(0x9D, {0, 0}); // to the End once register 1 holds true
        program.action(0x96, {5, 1}).storeRegister(1).action(popCode);
        program.pushString("inside");
        const auto back = int16_t(4 - int(program.bytes.size() + 5));
        program.action(0x99, {uint8_t(uint16_t(back) & 0xff), uint8_t(uint16_t(back) >> 8)});
        const auto forward = uint16_t(program.bytes.size() - (ifAt + 5));
        program.bytes[ifAt + 3] = uint8_t(forward & 0xff);
        program.bytes[ifAt + 4] = uint8_t(forward >> 8);
        program.action(0);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes), (QStringList{"387389222", "inside", "undefined"}));

        Actions cutShort;
        cutShort.pushString("ok").action(traceCode);
        cutShort.bytes.insert(cutShort.bytes.end(), {0x96, 0x10, 0x00, 0x07, 0x01});
        QCOMPARE(runner.runBytes(cutShort.bytes), QStringList{"ok"});

        Actions jumpBeforeStart;
        jumpBeforeStart.pushString("a").action(traceCode).action(0x99, {0x9C, 0xFF}).pushString("never").action(traceCode).action(0);
        QCOMPARE(runner.runBytes(jumpBeforeStart.bytes), QStringList{"a"});
    }

    // A frame that is not loaded makes WaitForFrame pass over the given count of actions: in the
    // same block, after the end of a with block, and never past an End.
    void framesNotLoadedSkipActions()
    {
        const std::vector<uint8_t> farFrame{0x20, 0x4E}; // frame 20000: never loaded
        auto waitForFrame = [&](Actions& actions, uint8_t skip) -> Actions& {
            return actions.action(0x8A, {farFrame[0], farFrame[1], skip});
        };
        Actions program;
        program.pushString("kept");
        waitForFrame(program, 2).pushString("skipped").action(traceCode).action(traceCode);
        program.pushString("s");
        Actions body;
        waitForFrame(body, 2);
        program.action(0x94, {uint8_t(body.bytes.size()), 0});
        program.bytes.insert(program.bytes.end(), body.bytes.begin(), body.bytes.end());
        program.pushString("hidden").action(traceCode).pushString("shown").action(traceCode);
        waitForFrame(program, 5).pushString("gone").action(0).pushString("after the end").action(traceCode);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes), (QStringList{"kept", "shown"}));
    }

    // Text that is only appended to grows in place; a string that shares the grown text keeps
    // its own length and content, whichever of the two is appended to next. In registers (a
    // function) and in named variables (a timeline) alike.
    void appendedTextKeepsEveryHoldersValue()
    {
        const QString body = QStringLiteral(
            "var a = ''; for (var i = 0; i < 40; i++) { a += 'ab' + i; }"
            "var b = a; a += 'X'; b += 'Y'; var c = a; a += 'Z'; c += 'W';"
            "trace(a.slice(-5)); trace(b.slice(-5)); trace(c.slice(-5)); trace(a.length + ' ' + b.length + ' ' + c.length);"
            "var d = b; b += 'Q'; trace(d.slice(-3) + ' ' + b.slice(-3));");
        const QStringList expected{"b39XZ", "ab39Y", "b39XW", "152 151 152", "39Y 9YQ"};
        ScriptRunner runner;
        QCOMPARE(runner.run(body), expected);
        QCOMPARE(runner.run("function f() {" + body + "} f();"), expected);
    }

    // text += piece and text += a + b on a register join in place, with pieces from the constant
    // pool, from registers and from the Push itself; anything else (a pool entry that does not
    // exist, two numbers that add up first, a number in the register, a store into another
    // register) takes the general way with the same result, and values pushed before the text
    // stay on the stack.
    void textAppendedToARegister()
    {
        constexpr uint8_t add2Code = 0x47;
        auto appendTail = [&](Actions& actions, int pieces, uint8_t storedIn) -> Actions& {
            for (int i = 0; i < pieces; ++i)
                actions.action(add2Code);
            return actions.storeRegister(storedIn).action(popCode);
        };
        Actions program;
        program.action(0x88, {2, 0, 'a', 'b', 0, 'c', 'd', 0});
        program.pushString("<").storeRegister(1).action(popCode);
        program.action(0x96, {7, 5, 0, 0, 0}).storeRegister(3).action(popCode);
        appendTail(program.action(0x96, {4, 1, 8, 0, 8, 1}), 2, 1);
        appendTail(program.action(0x96, {4, 1, 8, 9}), 1, 1);
        appendTail(program.action(0x96, {0, 'b', 'e', 'l', 'o', 'w', 0, 4, 1, 7, 1, 0, 0, 0, 7, 2, 0, 0, 0}), 2, 1);
        appendTail(program.action(0x96, {4, 1, 4, 1}), 1, 1);
        appendTail(program.action(0x96, {4, 1, 0, 'x', 0}), 1, 2);
        appendTail(program.action(0x96, {4, 3, 8, 0}), 1, 3);
        for (uint8_t index : {1, 2, 3})
            program.action(0x96, {4, index}).action(traceCode);
        program.action(traceCode).action(0);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes),
                 (QStringList{"<abcdundefined3<abcdundefined3", "<abcdundefined3<abcdundefined3x", "5ab", "below"}));
    }

    // i++ and i-- on a register step the number where it lies; a register holding anything else
    // (a text, undefined), a store into another register or a missing Pop take the general way,
    // and values pushed before the register stay on the stack.
    void registerSteppedInPlace()
    {
        constexpr uint8_t incrementCode = 0x50;
        constexpr uint8_t decrementCode = 0x51;
        Actions program;
        program.action(0x96, {7, 5, 0, 0, 0}).storeRegister(1).action(popCode);
        program.pushString("7").storeRegister(2).action(popCode);
        program.action(0x96, {4, 1}).action(incrementCode).storeRegister(1).action(popCode);
        program.action(0x96, {0, 'b', 'e', 'l', 'o', 'w', 0, 4, 1}).action(incrementCode).storeRegister(1).action(popCode);
        program.action(0x96, {4, 1}).action(decrementCode).storeRegister(1).action(popCode);
        program.action(0x96, {4, 2}).action(decrementCode).storeRegister(2).action(popCode);
        program.action(0x96, {4, 3}).action(incrementCode).storeRegister(3).action(popCode);
        program.action(0x96, {4, 1}).action(incrementCode).storeRegister(0).action(popCode);
        program.action(0x96, {4, 1}).action(incrementCode).storeRegister(1).action(traceCode);
        for (uint8_t index : {0, 1, 2, 3})
            program.action(0x96, {4, index}).action(traceCode);
        program.action(traceCode).action(0);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes), (QStringList{"7", "7", "7", "6", "NaN", "below"}));
    }

    // A comparison followed by an If, or by a Not and an If, branches at once, and goes where
    // the If itself would: an If whose length field is longer than its offset ends where its
    // length says, taken or not, forwards and backwards.
    void comparisonBranchesWhereItsIfLeads()
    {
        constexpr uint8_t less2Code = 0x48;
        constexpr uint8_t notCode = 0x12;
        auto longIf = [](Actions& actions, int16_t offset) -> Actions& {
            const auto raw = uint16_t(offset);
            return actions.action(0x9D, {uint8_t(raw & 0xff), uint8_t(raw >> 8), 0});
        };
        Actions skipped;
        skipped.pushString("skipped").action(traceCode);
        const auto skip = int16_t(skipped.bytes.size());
        Actions program;
        for (bool negated : {false, true}) {
            for (bool taken : {true, false}) {
                program.action(0x96, {7, uint8_t(taken != negated ? 1 : 2), 0, 0, 0, 7, uint8_t(taken != negated ? 2 : 1), 0, 0, 0});
                program.action(less2Code);
                if (negated)
                    program.action(notCode);
                longIf(program, skip);
                program.bytes.insert(program.bytes.end(), skipped.bytes.begin(), skipped.bytes.end());
                program.pushString(taken ? "taken" : "not taken").action(traceCode);
            }
        }
        // Counts register 1 down from 3 with a comparison and a long If that jump back.
        program.action(0x96, {7, 3, 0, 0, 0}).storeRegister(1).action(popCode);
        const size_t loop = program.bytes.size();
        program.action(0x96, {4, 1}).action(traceCode);
        program.action(0x96, {4, 1}).action(0x51).storeRegister(1).action(popCode);
        program.action(0x96, {7, 0, 0, 0, 0, 4, 1}).action(less2Code);
        longIf(program, int16_t(int(loop) - int(program.bytes.size() + 6)));
        program.pushString("done").action(traceCode).action(0);
        ScriptRunner runner;
        QCOMPARE(runner.runBytes(program.bytes), (QStringList{"taken", "skipped", "not taken", "taken", "skipped", "not taken",
                                                              "3", "2", "1", "done"}));
    }

    // Numbers joined to text read as they do everywhere else, at the edges of the short ways
    // for whole numbers too.
    void numbersJoinedToText()
    {
        ScriptRunner runner;
        QCOMPARE(runner.run("var z = -0; var n = 2147483647; var big = 9007199254740992;"
                            "trace('n' + z); trace('n' + 1e21); trace('n' + (0.1 + 0.2)); trace('n' + (n + 1));"
                            "trace('n' + (-n - 1)); trace('n' + (-n - 2)); trace('n' + big); trace(-5 + 'x');"
                            "trace('n' + 0.5 + 1); trace('n' + 1e-7); trace('n' + (1 / 0));"
                            "var t = 'v'; for (var i = -2; i < 2; i++) { t += ',' + i; } trace(t);"),
                 (QStringList{"n0", "n1e+21", "n0.3", "n2147483648", "n-2147483648", "n-2147483649", "n9.00719925474099e+15",
                              "-5x", "n0.51", "n1e-7", "nInfinity", "v,-2,-1,0,1"}));
    }

    // The count of actions is looked at every few thousand actions, yet a limit once spent
    // answers at every action from then on, through the start of another list, until reset.
    void spentLimitStaysSpent()
    {
        ExecutionLimits limits;
        limits.setActionBudget(10000);
        limits.start();
        int actions = 0;
        while (!limits.tick() && actions < 1000000)
            ++actions;
        QVERIFY2(actions >= 10000 && actions < 10000 + 4096, qPrintable(QString::number(actions)));
        QVERIFY(limits.expired());
        for (int i = 0; i < 3; ++i)
            QVERIFY(limits.tick());
        limits.start();
        QVERIFY(limits.tick());
        limits.beginQueueRun();
        QVERIFY(limits.tick());
        QVERIFY(limits.queueRunSpent());
        limits.endQueueRun();
        limits.resetExpiry();
        limits.start();
        QVERIFY(!limits.tick());
        QVERIFY(!limits.expired());
    }

    // Loops made of backward jumps, of conditional jumps and of calls are all stopped by the
    // budget, and the rest of the list does not run.
    void actionBudgetStopsEndlessLoops_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::newRow("jump back") << "while (true) { n++; }";
        QTest::newRow("conditional jump back") << "do { n++; } while (n > 0);";
        QTest::newRow("loop in a function") << "function f() { for (;;) { n++; } } f();";
        QTest::newRow("calls in a loop") << "function g() { return n++; } while (g() >= 0) { }";
    }
    void actionBudgetStopsEndlessLoops()
    {
        QFETCH(QString, loop);
        ScriptRunner runner;
        runner.machine().limits().setActionBudget(20000);
        QCOMPARE(runner.run("var n = 0; trace('start'); " + loop + " trace('never');"), QStringList{"start"});
        runner.machine().limits().resetExpiry();
        const QStringList counted = runner.run("trace(n);");
        QCOMPARE(counted.size(), 1);
        QVERIFY2(counted[0].toInt() > 100 && counted[0].toInt() < 20000, qPrintable(counted[0]));
    }

    // The budget bounds the actions run, though plain actions are not counted one by one: a
    // round of the loop below runs more than 30 actions, nearly all of them plain (registers,
    // arithmetic, fused steps), so 20000 counted allow no more than about 650 rounds.
    void actionBudgetBoundsPlainActions()
    {
        ScriptRunner runner;
        runner.machine().limits().setActionBudget(20000);
        const QString loop = QStringLiteral(
            "var rounds = 0; function spin() { var a = 0; var b = 1; var c = 2; while (true) {"
            " a = a + b; b = b + c; c = c - a; a = a * 2; b = b - 1; c = c + 3; a = a - c; b = b + a;"
            " c++; a++; b--; rounds++; } } spin(); trace('never');");
        QCOMPARE(runner.run(loop), QStringList{});
        runner.machine().limits().resetExpiry();
        const QStringList rounds = runner.run("trace(rounds);");
        QCOMPARE(rounds.size(), 1);
        QVERIFY2(rounds[0].toInt() > 10 && rounds[0].toInt() <= 650 + 4096 / 30, qPrintable(rounds[0]));
    }
};

QTEST_GUILESS_MAIN(TestShortPaths)
#include "tst_avm1_short_paths.moc"
