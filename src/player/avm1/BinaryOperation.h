#pragma once

#include "Value.h"

#include "ActionCodes.h"

#include <QString>

#include <cmath>
#include <cstdint>

namespace player::avm1 {

class Machine;

// What a two-operand action does once its operands are off the stack. The action's operands
// decide which conversion runs, and in which order, before the operation sees them: valueOf and
// toString side effects show that order to scripts.
struct BinaryOperation {
    enum class Operands : uint8_t {
        Numbers, // both made numbers, the left one first
        NumbersRightFirst, // both made numbers, the right one first
        Integers, // both made 32-bit integers, the right one first
        Strings, // both made strings, the right one first
        Booleans, // both made booleans
        Values, // left as they are
    };

    Operands operands = Operands::Values;
    Value (*onNumbers)(double left, double right, int swfVersion) = nullptr;
    Value (*onIntegers)(int32_t left, int32_t right) = nullptr;
    Value (*onStrings)(Machine& machine, const QString& left, const QString& right) = nullptr;
    Value (*onBooleans)(bool left, bool right) = nullptr;
    Value (*onValues)(Machine& machine, const Value& left, const Value& right) = nullptr;
};

// The operation of a two-operand action code, or nullptr for any other code.
const BinaryOperation* binaryOperation(uint8_t code);

// The remainder that Modulo gives (the C library's fmod): exact, with the dividend's sign, a
// zero remainder keeping the sign of the dividend. Whole numbers are divided as integers,
// which gives the same bits and costs far less than the general algorithm.
inline double remainderOf(double left, double right)
{
    constexpr double wholeLimit = 9007199254740992.0; // 2^53: every whole number below is exact
    if (std::fabs(left) < wholeLimit && std::fabs(right) < wholeLimit) {
        const auto dividend = int64_t(left);
        const auto divisor = int64_t(right);
        if (divisor != 0 && double(dividend) == left && double(divisor) == right) {
            const int64_t remainder = dividend % divisor;
            return remainder == 0 ? std::copysign(0.0, left) : double(remainder);
        }
    }
    return std::fmod(left, right);
}

// A two-operand action whose operands are both numbers needs no conversion, so neither
// valueOf nor an order of conversions comes into it: the result depends on the two numbers
// alone. Writes it into the slot and returns true for the actions that are that simple on
// numbers; false leaves the slot alone and the action to its general rule. The interpreter
// instantiates it for each action where it dispatches, so that the test of the code goes.
template<Action action>
inline bool operateOnNumbers(double left, double right, int swfVersion, Value& result)
{
    if constexpr (action == Action::Add || action == Action::Add2) {
        result.setNumber(left + right);
    } else if constexpr (action == Action::Subtract) {
        result.setNumber(left - right);
    } else if constexpr (action == Action::Multiply) {
        result.setNumber(left * right);
    } else if constexpr (action == Action::Divide) {
        // SWF 4 code divides by zero into an error text.
        if (right == 0 && swfVersion < 5)
            return false;
        result.setNumber(left / right);
    } else if constexpr (action == Action::Modulo) {
        result.setNumber(remainderOf(left, right));
    } else if constexpr (action == Action::Less) {
        result.setBoolean(left < right);
    } else if constexpr (action == Action::Equals) {
        result.setBoolean(left == right);
    } else if constexpr (action == Action::Less2 || action == Action::Greater) {
        // Comparing with NaN gives undefined.
        if (std::isnan(left) || std::isnan(right))
            result = Value();
        else
            result.setBoolean(action == Action::Less2 ? left < right : right < left);
    } else if constexpr (action == Action::Equals2 || action == Action::StrictEquals) {
        // NaN equals NaN in both equalities.
        result.setBoolean(left == right || (std::isnan(left) && std::isnan(right)));
    } else {
        return false;
    }
    return true;
}

// The actions operateOnNumbers knows, as an X-macro of their names.
#define SKRV_AVM1_NUMBER_OPERATIONS_BUT_ADD2(X) \
    X(Add) X(Subtract) X(Multiply) X(Divide) X(Modulo) X(Less) X(Less2) X(Greater) X(Equals) X(Equals2) X(StrictEquals)
#define SKRV_AVM1_NUMBER_OPERATIONS(X) SKRV_AVM1_NUMBER_OPERATIONS_BUT_ADD2(X) X(Add2)

// The same for an action code known only when running.
inline bool operateOnNumbers(uint8_t code, double left, double right, int swfVersion, Value& result)
{
    switch (Action(code)) {
#define SKRV_AVM1_NUMBER_OPERATION_CASE(name) \
    case Action::name: \
        return operateOnNumbers<Action::name>(left, right, swfVersion, result);
        SKRV_AVM1_NUMBER_OPERATIONS(SKRV_AVM1_NUMBER_OPERATION_CASE)
#undef SKRV_AVM1_NUMBER_OPERATION_CASE
    default:
        return false;
    }
}

} // namespace player::avm1
