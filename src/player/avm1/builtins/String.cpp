#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/BoxedValue.h"
#include "player/avm1/Machine.h"

#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

QString thisText(Machine& machine, Object* self)
{
    if (Object* part = machine.nativePartOf(self); part && part->kind() == ObjectKind::String)
        return machine.toString(static_cast<BoxedValue*>(part)->value());
    return self ? machine.toString(Value(self)) : QString();
}

// An index argument as a 32-bit integer, as Flash reads it: NaN is 0 and numbers beyond the
// range wrap around, so 4294967297 is 1.
double integerArgument(Machine& machine, const Arguments& arguments, size_t index, double fallback)
{
    if (index >= arguments.size() || arguments[index].isUndefined())
        return fallback;
    return double(machine.toInt32(arguments[index]));
}

qsizetype clampTo(double value, qsizetype length)
{
    if (value < 0)
        return 0;
    if (value > double(length))
        return length;
    return qsizetype(value);
}

Value split(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    std::vector<Value> parts;
    Value separatorValue = argument(arguments, 0);
    // A limit is a 32-bit integer, and a negative one keeps nothing.
    size_t maximum = arguments.size() > 1 && !arguments[1].isUndefined() ? size_t(std::max(0, machine.toInt32(arguments[1]))) : size_t(-1);
    // SWF 5 splits at commas when no separator is given, and not at all at an empty one.
    const bool swf5 = machine.swfVersion() < 6;
    if (separatorValue.isUndefined() && swf5)
        separatorValue = Value(QStringLiteral(","));
    if (separatorValue.isUndefined()) {
        parts.push_back(Value(text));
    } else {
        QString separator = machine.toString(separatorValue);
        if (separator.isEmpty() && swf5) {
            // SWF 5 does not split at an empty separator, and then ignores the limit too.
            return Value(machine.makeArray({Value(text)}));
        } else if (separator.size() > 1 && swf5) {
            // Nor at a separator of more than one character.
            parts.push_back(Value(text));
        } else if (text.isEmpty() && !separator.isEmpty() && !swf5) {
            // From SWF 6 the empty string splits at a separator into one empty piece, whatever
            // the limit.
            return Value(machine.makeArray({Value(text)}));
        } else if (separator.isEmpty()) {
            // An empty separator splits into characters, but an empty string gives no element.
            for (QChar c : text)
                parts.push_back(Value(QString(c)));
        } else {
            // Flash keeps empty pieces, so "a,,b" gives three elements and "" gives one.
            const QStringList pieces = text.split(separator, Qt::KeepEmptyParts);
            for (const QString& piece : pieces)
                parts.push_back(Value(piece));
        }
    }
    if (parts.size() > maximum)
        parts.resize(maximum);
    return Value(machine.makeArray(std::move(parts)));
}

Value stringFromCharCode(Machine& machine, Object*, const Arguments& arguments)
{
    QString text;
    for (const Value& code : arguments) {
        auto unit = uint16_t(machine.toInt32(code));
        if (unit == 0)
            break; // Flash strings end at a NUL
        text += QChar(unit);
    }
    return Value(text);
}

Value stringToString(Machine& machine, Object* self, const Arguments&)
{
    return Value(thisText(machine, self));
}

Value stringValueOf(Machine& machine, Object* self, const Arguments&)
{
    return Value(thisText(machine, self));
}

Value stringCharAt(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    double index = integerArgument(machine, arguments, 0, 0);
    if (index < 0 || index >= double(text.size()))
        return Value(QString());
    return Value(QString(text[qsizetype(index)]));
}

Value stringCharCodeAt(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    double index = integerArgument(machine, arguments, 0, 0);
    // Past the end SWF 5 reads a 0, as if at the string's terminator.
    if (index >= double(text.size()) && machine.swfVersion() < 6)
        return Value(0);
    if (index < 0 || index >= double(text.size()))
        return Value(std::nan(""));
    return Value(double(text[qsizetype(index)].unicode()));
}

Value stringConcat(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    for (const Value& value : arguments) {
        text += machine.toString(value);
        machine.checkStringLength(text.size());
    }
    return Value(text);
}

// Without any argument the searches and the cuts give undefined; an undefined one still counts.
Value stringIndexOf(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    if (arguments.empty())
        return Value();
    QString pattern = machine.toString(arguments[0]);
    double start = integerArgument(machine, arguments, 1, 0);
    // Not even an empty string is found past the end.
    if (start > double(text.size()))
        return Value(-1.0);
    return Value(double(text.indexOf(pattern, clampTo(start, text.size()))));
}

Value stringLastIndexOf(Machine& machine, Object* self, const Arguments& arguments)
{
    QString text = thisText(machine, self);
    if (arguments.empty())
        return Value();
    QString pattern = machine.toString(arguments[0]);
    double start = integerArgument(machine, arguments, 1, double(text.size()));
    if (start < 0)
        return Value(-1.0);
    return Value(double(text.lastIndexOf(pattern, clampTo(start, text.size()))));
}

Value stringSlice(Machine& machine, Object* self, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    QString text = thisText(machine, self);
    double length = double(text.size());
    double start = integerArgument(machine, arguments, 0, 0);
    double end = integerArgument(machine, arguments, 1, length);
    if (start < 0)
        start += length;
    if (end < 0)
        end += length;
    qsizetype from = clampTo(start, text.size());
    qsizetype to = clampTo(end, text.size());
    return Value(to > from ? text.mid(from, to - from) : QString());
}

Value stringSubstring(Machine& machine, Object* self, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    QString text = thisText(machine, self);
    qsizetype from = clampTo(integerArgument(machine, arguments, 0, 0), text.size());
    qsizetype to = clampTo(integerArgument(machine, arguments, 1, double(text.size())), text.size());
    if (from > to)
        std::swap(from, to);
    return Value(text.mid(from, to - from));
}

Value stringSubstr(Machine& machine, Object* self, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    QString text = thisText(machine, self);
    double length = double(text.size());
    double start = integerArgument(machine, arguments, 0, 0);
    if (start < 0)
        start = std::max(0.0, start + length);
    double count = integerArgument(machine, arguments, 1, length);
    // A negative count counts back from the end, as Flash has it.
    if (count < 0)
        count = std::max(0.0, count + length - start);
    qsizetype from = clampTo(start, text.size());
    return Value(text.mid(from, clampTo(count, text.size() - from)));
}

Value stringToLowerCase(Machine& machine, Object* self, const Arguments&)
{
    return Value(thisText(machine, self).toLower());
}

Value stringToUpperCase(Machine& machine, Object* self, const Arguments&)
{
    return Value(thisText(machine, self).toUpper());
}

constexpr Declaration stringDeclarations[] = {
    method("fromCharCode", stringFromCharCode),
};

constexpr Declaration prototypeDeclarations[] = {
    method("toString", stringToString),
    method("valueOf", stringValueOf),
    method("charAt", stringCharAt),
    method("charCodeAt", stringCharCodeAt),
    method("concat", stringConcat),
    method("indexOf", stringIndexOf),
    method("lastIndexOf", stringLastIndexOf),
    method("slice", stringSlice),
    method("substring", stringSubstring),
    method("substr", stringSubstr),
    method("split", split),
    method("toLowerCase", stringToLowerCase),
    method("toUpperCase", stringToUpperCase),
};

} // namespace

void installString(Machine& machine)
{
    Object* prototype = machine.make<BoxedValue>(machine.prototypes().object, ObjectKind::String, Value(QString()));
    machine.prototypes().string = prototype;
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        QString text = arguments.empty() ? QString() : machine.toString(arguments[0]);
        if (self && self->kind() == ObjectKind::String) {
            static_cast<BoxedValue*>(self)->setValue(Value(text));
            return Value(self);
        }
        auto* boxed = machine.make<BoxedValue>(self && self->prototype() ? self->prototype() : machine.prototypes().string, ObjectKind::String, Value(text));
        // An object that is no string, reached through super(), gets the length a string
        // object keeps as its own hidden property.
        if (self && self->kind() == ObjectKind::Plain)
            self->define(QStringLiteral("length"), Value(double(text.size())), property_flag::DontEnum | property_flag::DontDelete);
        return Value(boxed);
    };
    FunctionObject* constructor = defineClass(machine, QStringLiteral("String"), prototype, [](Machine& machine, Object*, const Arguments& arguments) {
        return Value(arguments.empty() ? QString() : machine.toString(arguments[0]));
    }, construct);
    installDeclarations(machine, constructor, stringDeclarations);
    installDeclarations(machine, prototype, prototypeDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
