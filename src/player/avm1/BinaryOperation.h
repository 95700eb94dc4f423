#pragma once

#include "Value.h"

#include <QString>

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

} // namespace player::avm1
