#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

// Every Math function reads its first two arguments as numbers, in order, whether it uses the
// second or not: a valueOf on either runs once. Further arguments are never read. A missing
// argument is NaN, whatever the SWF version makes of undefined.
std::pair<double, double> mathOperands(Machine& machine, const Arguments& arguments)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double first = arguments.size() > 0 ? machine.toNumber(arguments[0]) : nan;
    double second = arguments.size() > 1 ? machine.toNumber(arguments[1]) : nan;
    return {first, second};
}

template<double (*compute)(double)>
Value mathUnary(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(compute(mathOperands(machine, arguments).first));
}

template<double (*compute)(double, double)>
Value mathBinary(Machine& machine, Object*, const Arguments& arguments)
{
    auto [first, second] = mathOperands(machine, arguments);
    return Value(compute(first, second));
}

double absolute(double x) { return std::fabs(x); }
double arcCosine(double x) { return std::acos(x); }
double arcSine(double x) { return std::asin(x); }
double arcTangent(double x) { return std::atan(x); }
double ceiling(double x) { return std::ceil(x); }
double cosine(double x) { return std::cos(x); }
double exponential(double x) { return std::exp(x); }
double floorOf(double x) { return std::floor(x); }
double logarithm(double x) { return std::log(x); }
double sine(double x) { return std::sin(x); }
double squareRoot(double x) { return std::sqrt(x); }
double tangent(double x) { return std::tan(x); }
// Math.round goes half up, also for negative numbers: round(-2.5) is -2.
double roundHalfUp(double x) { return std::floor(x + 0.5); }
// With one argument the other is NaN: pow(1) is 1, as pow(1, NaN) is.
double arcTangent2(double y, double x) { return std::atan2(y, x); }
double power(double x, double y) { return std::pow(x, y); }

// Only the first two arguments are compared; without any the result is the identity, and with
// one the other is NaN, so max(5) is NaN.
Value mathMax(Machine& machine, Object*, const Arguments& arguments)
{
    auto [a, b] = mathOperands(machine, arguments);
    if (arguments.empty())
        return Value(-std::numeric_limits<double>::infinity());
    return Value(std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN() : std::max(a, b));
}

Value mathMin(Machine& machine, Object*, const Arguments& arguments)
{
    auto [a, b] = mathOperands(machine, arguments);
    if (arguments.empty())
        return Value(std::numeric_limits<double>::infinity());
    return Value(std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN() : std::min(a, b));
}

Value mathRandom(Machine& machine, Object*, const Arguments& arguments)
{
    mathOperands(machine, arguments);
    return Value(QRandomGenerator::global()->generateDouble());
}

constexpr Declaration mathDeclarations[] = {
    number("E", M_E),
    number("LN10", M_LN10),
    number("LN2", M_LN2),
    number("LOG10E", M_LOG10E),
    number("LOG2E", M_LOG2E),
    number("PI", M_PI),
    number("SQRT1_2", M_SQRT1_2),
    number("SQRT2", M_SQRT2),
    method("abs", mathUnary<absolute>).native(200, 0),
    method("acos", mathUnary<arcCosine>).native(200, 16),
    method("asin", mathUnary<arcSine>).native(200, 15),
    method("atan", mathUnary<arcTangent>).native(200, 14),
    method("ceil", mathUnary<ceiling>).native(200, 13),
    method("cos", mathUnary<cosine>).native(200, 4),
    method("exp", mathUnary<exponential>).native(200, 7),
    method("floor", mathUnary<floorOf>).native(200, 12),
    method("log", mathUnary<logarithm>).native(200, 8),
    method("sin", mathUnary<sine>).native(200, 3),
    method("sqrt", mathUnary<squareRoot>).native(200, 9),
    method("tan", mathUnary<tangent>).native(200, 6),
    method("round", mathUnary<roundHalfUp>).native(200, 10),
    method("atan2", mathBinary<arcTangent2>).native(200, 5),
    method("pow", mathBinary<power>).native(200, 17),
    method("max", mathMax).native(200, 2),
    method("min", mathMin).native(200, 1),
    method("random", mathRandom).native(200, 11),
};

} // namespace

void installMath(Machine& machine)
{
    Object* math = machine.makeObject();
    machine.global()->define(QStringLiteral("Math"), Value(math), property_flag::DontEnum);
    installDeclarations(machine, math, mathDeclarations);
}

} // namespace player::avm1::builtins
