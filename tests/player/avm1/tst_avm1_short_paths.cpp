// The short ways the interpreter takes with numbers must give what the general rules give:
// operators on two numbers, remainders, the text of whole numbers, and the count of actions
// that stops a script.
#include "ScriptRunner.h"

#include "player/avm1/BinaryOperation.h"
#include "player/avm1/ExecutionLimits.h"
#include "player/avm1/NumberText.h"

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
};

QTEST_GUILESS_MAIN(TestShortPaths)
#include "tst_avm1_short_paths.moc"
