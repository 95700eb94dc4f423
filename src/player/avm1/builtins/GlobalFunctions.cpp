#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cmath>
#include <limits>

namespace player::avm1::builtins {

namespace {

// Flash's parseInt differs from the standard's in several ways, copied here: without arguments
// it gives undefined; a "0x" prefix is read before any spaces or sign and is dropped whatever
// the radix; a sign before "0x" gives NaN unless the radix can read "0x" as digits, and then
// the sign is ignored; and a text of only octal digits after a leading zero is octal.
Value parseInt(Machine& machine, Object*, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    int radix = 0;
    if (arguments.size() > 1) {
        radix = machine.toInt32(arguments[1]);
        if (radix < 2 || radix > 36)
            return Value(notANumber);
    }
    QString text = machine.toString(arguments[0]);
    QStringView rest(text);
    bool signed_ = !rest.isEmpty() && (rest[0] == u'+' || rest[0] == u'-');
    qsizetype afterSign = signed_ ? 1 : 0;
    bool leadingZero = rest.size() > afterSign && rest[afterSign] == u'0';
    bool hexPrefix = leadingZero && rest.size() > afterSign + 1 && (rest[afterSign + 1] == u'x' || rest[afterSign + 1] == u'X');
    bool ignoreSign = false;
    if (hexPrefix) {
        if (signed_) {
            if (radix <= 33)
                return Value(notANumber);
            ignoreSign = true;
        } else {
            radix = radix ? radix : 16;
            rest = rest.mid(2);
        }
    } else if (leadingZero && radix == 0) {
        bool allOctal = true;
        for (QChar character : rest.mid(1))
            allOctal = allOctal && character >= u'0' && character <= u'7';
        radix = allOctal ? 8 : 10;
    }
    if (radix == 0)
        radix = 10;
    while (!rest.isEmpty() && (rest[0] == u' ' || rest[0] == u'\t' || rest[0] == u'\n' || rest[0] == u'\r'))
        rest = rest.mid(1);
    bool negative = false;
    if (!rest.isEmpty() && (rest[0] == u'+' || rest[0] == u'-')) {
        negative = rest[0] == u'-' && !ignoreSign;
        rest = rest.mid(1);
    }
    double result = 0;
    bool anyDigit = false;
    for (QChar character : rest) {
        char16_t c = character.unicode();
        int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'a' && c <= 'z' ? c - 'a' + 10 : (c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 99));
        if (digit >= radix)
            break;
        result = result * radix + digit;
        anyDigit = true;
    }
    if (!anyDigit)
        return Value(notANumber);
    return Value(negative ? -result : result);
}

QString escapeText(const QString& text, bool utf8)
{
    QByteArray bytes = utf8 ? text.toUtf8() : text.toLatin1();
    QString result;
    for (char raw : bytes) {
        auto c = uint8_t(raw);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            result += QChar(c);
        else
            result += QLatin1Char('%') + QStringLiteral("%1").arg(c, 2, 16, QChar(u'0')).toUpper();
    }
    return result;
}

QString unescapeText(const QString& text, bool utf8)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'%' && i + 2 < text.size()) {
            bool ok = false;
            int value = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                bytes.append(char(value));
                i += 2;
                continue;
            }
        }
        bytes.append(utf8 ? QString(c).toUtf8() : QByteArray(1, char(c.unicode() & 0xff)));
    }
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

Value setTimer(Machine& machine, const Arguments& arguments, bool repeat)
{
    if (arguments.empty())
        return Value();
    // setInterval(function, ms, ...) or setInterval(object, "method", ms, ...).
    // Without an interval (undefined, not null) no timer is made.
    if (machine.isCallable(arguments[0])) {
        if (argument(arguments, 1).isUndefined())
            return Value();
        double interval = machine.toNumber(argument(arguments, 1));
        Arguments rest(arguments.size() > 2 ? arguments.begin() + 2 : arguments.end(), arguments.end());
        return Value(double(machine.addTimer(nullptr, arguments[0], QString(), interval, rest, repeat)));
    }
    Object* target = arguments[0].asObject();
    if (!target || arguments.size() < 3 || arguments[2].isUndefined())
        return Value();
    QString method = machine.toString(arguments[1]);
    double interval = machine.toNumber(arguments[2]);
    Arguments rest(arguments.begin() + 3, arguments.end());
    return Value(double(machine.addTimer(target, Value(), method, interval, rest, repeat)));
}

void setPropertyFlags(Machine& machine, Object*, const Arguments& arguments)
{
    Object* object = argument(arguments, 0).asObject();
    if (!object)
        return;
    // Besides the three attributes, the bits that hide a property from older versions count.
    uint16_t setMask = uint16_t(machine.toInt32(argument(arguments, 2)) & 0xFFFF);
    uint16_t clearMask = uint16_t(machine.toInt32(argument(arguments, 3)) & 0xFFFF);
    Value names = argument(arguments, 1);
    if (names.isNull()) {
        object->setAllFlags(setMask, clearMask);
        return;
    }
    QStringList list;
    if (Object* array = names.asObject(); array && array->kind() == ObjectKind::Array) {
        for (const Value& element : static_cast<ArrayObject*>(array)->values(machine))
            list.append(machine.toString(element));
    } else {
        list = machine.toString(names).split(u',');
    }
    for (const QString& name : list)
        object->setFlags(name, setMask, clearMask, machine.caseSensitive());
}

Value parseFloat(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(number_text::parseFloatPrefix(machine.toString(argument(arguments, 0))));
}

// Both read a missing argument as NaN, not as undefined (which is 0 before SWF 7).
Value isNaN(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(arguments.empty() || std::isnan(machine.toNumber(arguments[0])));
}

Value isFinite(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(!arguments.empty() && std::isfinite(machine.toNumber(arguments[0])));
}

Value escape(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(escapeText(machine.toString(argument(arguments, 0)), machine.swfVersion() >= 6));
}

Value unescape(Machine& machine, Object*, const Arguments& arguments)
{
    return Value(unescapeText(machine.toString(argument(arguments, 0)), machine.swfVersion() >= 6));
}

Value setInterval(Machine& machine, Object*, const Arguments& arguments)
{
    return setTimer(machine, arguments, true);
}

Value setTimeout(Machine& machine, Object*, const Arguments& arguments)
{
    return setTimer(machine, arguments, false);
}

// clearInterval and clearTimeout: either ends a timer of either kind.
Value clearTimer(Machine& machine, Object*, const Arguments& arguments)
{
    machine.removeTimer(machine.toInt32(argument(arguments, 0)));
    return Value();
}

Value assetPropFlags(Machine& machine, Object* self, const Arguments& arguments)
{
    setPropertyFlags(machine, self, arguments);
    return Value();
}

Value updateAfterEvent(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value getTimer(Machine& machine, Object*, const Arguments&)
{
    return Value(std::floor(machine.bridge().milliseconds()));
}

Value trace(Machine& machine, Object*, const Arguments& arguments)
{
    Value value = argument(arguments, 0);
    machine.bridge().trace(value.isUndefined() ? QStringLiteral("undefined") : machine.toString(value));
    return Value();
}

using attributes::hidden;

const Declaration globalDeclarations[] = {
    method("parseInt", parseInt, hidden).native(100, 2),
    method("parseFloat", parseFloat, hidden).native(100, 3),
    method("isNaN", isNaN, hidden).native(200, 18),
    method("isFinite", isFinite, hidden).native(200, 19),
    method("escape", escape, hidden).native(100, 0),
    method("unescape", unescape, hidden).native(100, 1),
    method("setInterval", setInterval, hidden).native(250, 0),
    method("setTimeout", setTimeout, hidden),
    method("clearInterval", clearTimer, hidden).native(250, 1),
    method("clearTimeout", clearTimer, hidden),
    method("ASSetPropFlags", assetPropFlags, hidden).native(1, 0),
    method("updateAfterEvent", updateAfterEvent, hidden).native(9, 0),
    method("getTimer", getTimer, hidden),
    method("trace", trace, hidden),
    number("NaN", std::numeric_limits<double>::quiet_NaN(), hidden),
    number("Infinity", std::numeric_limits<double>::infinity(), hidden),
};

} // namespace

void installGlobalFunctions(Machine& machine)
{
    installDeclarations(machine, machine.global(), globalDeclarations);
}

} // namespace player::avm1::builtins
