#include "Builtins.h"

#include "player/avm1/Machine.h"

#include <QRandomGenerator>
#include <cmath>
#include <functional>
#include <limits>

namespace player::avm1::builtins {

void installMath(Machine& machine)
{
    Object* math = machine.makeObject();
    machine.global()->define(QStringLiteral("Math"), Value(math), property_flag::DontEnum);
    const uint8_t constant = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;
    math->define(QStringLiteral("E"), Value(M_E), constant);
    math->define(QStringLiteral("LN10"), Value(M_LN10), constant);
    math->define(QStringLiteral("LN2"), Value(M_LN2), constant);
    math->define(QStringLiteral("LOG10E"), Value(M_LOG10E), constant);
    math->define(QStringLiteral("LOG2E"), Value(M_LOG2E), constant);
    math->define(QStringLiteral("PI"), Value(M_PI), constant);
    math->define(QStringLiteral("SQRT1_2"), Value(M_SQRT1_2), constant);
    math->define(QStringLiteral("SQRT2"), Value(M_SQRT2), constant);

    // Every Math function reads its first two arguments as numbers, in order, whether it uses
    // the second or not: a valueOf on either runs once. Further arguments are never read.
    auto defineMath = [&machine, math](const char* name, std::function<double(const Arguments&, double, double)> compute) {
        machine.defineMethod(math, QString::fromLatin1(name), [compute](Machine& machine, Object*, const Arguments& arguments) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            double first = arguments.size() > 0 ? machine.toNumber(arguments[0]) : nan;
            double second = arguments.size() > 1 ? machine.toNumber(arguments[1]) : nan;
            return Value(compute(arguments, first, second));
        });
    };
    // A missing argument is NaN, whatever the SWF version makes of undefined.
    auto unary = [&defineMath](const char* name, double (*function)(double)) {
        defineMath(name, [function](const Arguments&, double x, double) { return function(x); });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    // Math.round goes half up, also for negative numbers: round(-2.5) is -2.
    unary("round", [](double x) { return std::floor(x + 0.5); });

    // With one argument the other is NaN: pow(1) is 1, as pow(1, NaN) is, and max(5) is NaN.
    defineMath("atan2", [](const Arguments&, double y, double x) { return std::atan2(y, x); });
    defineMath("pow", [](const Arguments&, double x, double y) { return std::pow(x, y); });
    // Only the first two arguments are compared; without any the result is the identity.
    defineMath("max", [](const Arguments& arguments, double a, double b) {
        if (arguments.empty())
            return -std::numeric_limits<double>::infinity();
        return std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN() : std::max(a, b);
    });
    defineMath("min", [](const Arguments& arguments, double a, double b) {
        if (arguments.empty())
            return std::numeric_limits<double>::infinity();
        return std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN() : std::min(a, b);
    });
    defineMath("random", [](const Arguments&, double, double) { return QRandomGenerator::global()->generateDouble(); });
}

} // namespace player::avm1::builtins
