#include "Builtins.h"

#include "player/avm1/Machine.h"

#include <QRandomGenerator>
#include <cmath>
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

    auto unary = [&machine, math](const char* name, double (*function)(double)) {
        machine.defineMethod(math, QString::fromLatin1(name), [function](Machine& machine, Object*, const Arguments& arguments) {
            // A missing argument is NaN, whatever the SWF version makes of undefined.
            if (arguments.empty())
                return Value(std::numeric_limits<double>::quiet_NaN());
            return Value(function(machine.toNumber(arguments[0])));
        });
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

    machine.defineMethod(math, QStringLiteral("atan2"), [](Machine& machine, Object*, const Arguments& arguments) {
        if (arguments.size() < 2)
            return Value(std::numeric_limits<double>::quiet_NaN());
        return Value(std::atan2(machine.toNumber(arguments[0]), machine.toNumber(arguments[1])));
    });
    machine.defineMethod(math, QStringLiteral("pow"), [](Machine& machine, Object*, const Arguments& arguments) {
        if (arguments.size() < 2)
            return Value(std::numeric_limits<double>::quiet_NaN());
        return Value(std::pow(machine.toNumber(arguments[0]), machine.toNumber(arguments[1])));
    });
    machine.defineMethod(math, QStringLiteral("max"), [](Machine& machine, Object*, const Arguments& arguments) {
        double result = -std::numeric_limits<double>::infinity();
        for (const Value& value : arguments) {
            double number = machine.toNumber(value);
            if (std::isnan(number))
                return Value(number);
            result = std::max(result, number);
        }
        return Value(result);
    });
    machine.defineMethod(math, QStringLiteral("min"), [](Machine& machine, Object*, const Arguments& arguments) {
        double result = std::numeric_limits<double>::infinity();
        for (const Value& value : arguments) {
            double number = machine.toNumber(value);
            if (std::isnan(number))
                return Value(number);
            result = std::min(result, number);
        }
        return Value(result);
    });
    machine.defineMethod(math, QStringLiteral("random"), [](Machine&, Object*, const Arguments&) {
        return Value(QRandomGenerator::global()->generateDouble());
    });
}

} // namespace player::avm1::builtins
