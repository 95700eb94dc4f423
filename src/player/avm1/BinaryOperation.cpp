#include "BinaryOperation.h"

#include "ActionCodes.h"
#include "Machine.h"

#include <array>
#include <cmath>

namespace player::avm1 {

namespace {

using Operands = BinaryOperation::Operands;

constexpr BinaryOperation numbers(Value (*operation)(double, double, int), Operands operands = Operands::Numbers)
{
    BinaryOperation result;
    result.operands = operands;
    result.onNumbers = operation;
    return result;
}

constexpr BinaryOperation integers(Value (*operation)(int32_t, int32_t))
{
    BinaryOperation result;
    result.operands = Operands::Integers;
    result.onIntegers = operation;
    return result;
}

constexpr BinaryOperation strings(Value (*operation)(Machine&, const QString&, const QString&))
{
    BinaryOperation result;
    result.operands = Operands::Strings;
    result.onStrings = operation;
    return result;
}

constexpr BinaryOperation booleans(Value (*operation)(bool, bool))
{
    BinaryOperation result;
    result.operands = Operands::Booleans;
    result.onBooleans = operation;
    return result;
}

constexpr BinaryOperation values(Value (*operation)(Machine&, const Value&, const Value&))
{
    BinaryOperation result;
    result.operands = Operands::Values;
    result.onValues = operation;
    return result;
}

// A shift uses the low five bits of its count.
uint32_t shiftCount(int32_t count)
{
    return uint32_t(count) & 31;
}

// The operations by action code. The SWF 4 comparisons give booleans too, which a SWF 4 movie
// writes as 1 and 0.
struct Table {
    std::array<BinaryOperation, 256> operations{};
    std::array<bool, 256> present{};

    void add(Action action, BinaryOperation operation)
    {
        operations[size_t(action)] = operation;
        present[size_t(action)] = true;
    }

    Table()
    {
        add(Action::Add, numbers([](double left, double right, int) { return Value(left + right); }));
        // Subtract, Divide and Equals convert their right operand first, unlike the other older
        // arithmetic actions.
        add(Action::Subtract, numbers([](double left, double right, int) { return Value(left - right); }, Operands::NumbersRightFirst));
        add(Action::Multiply, numbers([](double left, double right, int) { return Value(left * right); }));
        add(Action::Divide, numbers([](double left, double right, int swfVersion) {
                return right == 0 && swfVersion < 5 ? Value(QStringLiteral("#ERROR#")) : Value(left / right);
            }, Operands::NumbersRightFirst));
        add(Action::Equals, numbers([](double left, double right, int) { return Value(left == right); }, Operands::NumbersRightFirst));
        add(Action::Less, numbers([](double left, double right, int) { return Value(left < right); }));
        add(Action::Modulo, numbers([](double left, double right, int) { return Value(remainderOf(left, right)); }, Operands::NumbersRightFirst));
        add(Action::And, booleans([](bool left, bool right) { return Value(left && right); }));
        add(Action::Or, booleans([](bool left, bool right) { return Value(left || right); }));
        add(Action::StringEquals, strings([](Machine&, const QString& left, const QString& right) { return Value(left == right); }));
        add(Action::StringLess, strings([](Machine&, const QString& left, const QString& right) { return Value(left < right); }));
        add(Action::StringGreater, strings([](Machine&, const QString& left, const QString& right) { return Value(left > right); }));
        add(Action::StringAdd, strings([](Machine& machine, const QString& left, const QString& right) {
                machine.checkStringLength(left.size() + right.size());
                return Value(machine.concatenate(left, right));
            }));
        add(Action::Add2, values([](Machine& machine, const Value& left, const Value& right) { return machine.add(left, right); }));
        add(Action::Less2, values([](Machine& machine, const Value& left, const Value& right) { return machine.lessThan(left, right); }));
        add(Action::Greater, values([](Machine& machine, const Value& left, const Value& right) { return machine.lessThan(right, left); }));
        add(Action::Equals2, values([](Machine& machine, const Value& left, const Value& right) { return Value(machine.looseEquals(left, right)); }));
        // Unlike ECMAScript, Flash's strict equality finds NaN equal to NaN. A clip value is a
        // reference by target path: two clips that answer to the same path are the same value
        // (a clip placed again after a rewind while the old one still lives elsewhere).
        add(Action::StrictEquals, values([](Machine& machine, const Value& left, const Value& right) {
                bool equal = left.strictlyEquals(right)
                             || (left.isNumber() && right.isNumber() && std::isnan(left.asNumber()) && std::isnan(right.asNumber()));
                if (!equal && left.isObject() && right.isObject() && left.asObject()->kind() == ObjectKind::Clip
                    && right.asObject()->kind() == ObjectKind::Clip)
                    equal = machine.toString(left) == machine.toString(right);
                return Value(equal);
            }));
        add(Action::BitAnd, integers([](int32_t left, int32_t right) { return Value(double(left & right)); }));
        add(Action::BitOr, integers([](int32_t left, int32_t right) { return Value(double(left | right)); }));
        add(Action::BitXor, integers([](int32_t left, int32_t right) { return Value(double(left ^ right)); }));
        add(Action::BitLShift, integers([](int32_t value, int32_t count) { return Value(double(int32_t(uint32_t(value) << shiftCount(count)))); }));
        add(Action::BitRShift, integers([](int32_t value, int32_t count) { return Value(double(value >> shiftCount(count))); }));
        add(Action::BitURShift, integers([](int32_t value, int32_t count) { return Value(double(uint32_t(value) >> shiftCount(count))); }));
    }
};

const Table table;

} // namespace

const BinaryOperation* binaryOperation(uint8_t code)
{
    return table.present[code] ? &table.operations[code] : nullptr;
}

} // namespace player::avm1
