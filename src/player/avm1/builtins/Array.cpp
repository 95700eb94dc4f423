#include "Builtins.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

namespace sort_flag {
constexpr int CaseInsensitive = 1;
constexpr int Descending = 2;
constexpr int UniqueSort = 4;
constexpr int ReturnIndexedArray = 8;
constexpr int Numeric = 16;
} // namespace sort_flag

ArrayObject* asArray(Object* self)
{
    return self && self->kind() == ObjectKind::Array ? static_cast<ArrayObject*>(self) : nullptr;
}

// A relative index as slice and splice take it: negative counts from the end.
size_t clampIndex(Machine& machine, const Value& value, size_t length, size_t fallback)
{
    if (value.isUndefined())
        return fallback;
    double index = std::trunc(machine.toNumber(value));
    if (std::isnan(index))
        return 0;
    if (index < 0)
        index = std::max(0.0, double(length) + index);
    return size_t(std::min(index, double(length)));
}

QString join(Machine& machine, Object* self, const QString& separator)
{
    QString result;
    if (ArrayObject* array = asArray(self)) {
        const auto elements = array->elements();
        for (size_t i = 0; i < elements.size(); ++i) {
            if (i > 0)
                result += separator;
            result += machine.toString(elements[i]);
            machine.checkStringLength(result.size());
        }
        return result;
    }
    if (!self)
        return result;
    double length = machine.toNumber(self->get(machine, QStringLiteral("length")));
    size_t count = length > 0 ? size_t(std::min(length, double(Machine::maximumArrayLength))) : 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            result += separator;
        result += machine.toString(self->get(machine, QString::number(i)));
        machine.checkStringLength(result.size());
    }
    return result;
}

// Compares two values as sort does with the given flags (no compare function): negative,
// zero or positive.
int compareValues(Machine& machine, const Value& left, const Value& right, int flags)
{
    if (flags & sort_flag::Numeric) {
        double a = machine.toNumber(left);
        double b = machine.toNumber(right);
        if (a < b)
            return -1;
        if (a > b)
            return 1;
        if (std::isnan(a) != std::isnan(b))
            return std::isnan(a) ? 1 : -1;
        return 0;
    }
    QString a = machine.toString(left);
    QString b = machine.toString(right);
    return a.compare(b, (flags & sort_flag::CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

// The shared part of sort and sortOn: orders the indices of the elements, then either
// returns them (RETURNINDEXEDARRAY) or rearranges the array. UNIQUESORT gives 0 and leaves the
// array alone when two elements compare equal.
Value sortWith(Machine& machine, ArrayObject* array, int flags, const std::function<int(const Value&, const Value&)>& compare)
{
    std::vector<Value> elements = array->elements();
    std::vector<size_t> order(elements.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    bool foundEqual = false;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int result = compare(elements[a], elements[b]);
        if (result == 0)
            foundEqual = true;
        if (flags & sort_flag::Descending)
            result = -result;
        return result < 0;
    });
    if ((flags & sort_flag::UniqueSort) && foundEqual)
        return Value(0.0);
    if (flags & sort_flag::ReturnIndexedArray) {
        std::vector<Value> indices;
        for (size_t index : order)
            indices.push_back(Value(double(index)));
        return Value(machine.makeArray(std::move(indices)));
    }
    std::vector<Value>& target = array->elements();
    target.resize(elements.size());
    for (size_t i = 0; i < order.size(); ++i)
        target[i] = elements[order[i]];
    return Value(array);
}

Value sort(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* array = asArray(self);
    if (!array)
        return Value();
    // Flash picks the overload by the types of the arguments: an object is the compare
    // function, a number the flags, and a number after either replaces the flags. Any other
    // first argument makes sort do nothing and return undefined.
    Value compareFunction;
    int flags = 0;
    if (!arguments.empty()) {
        const Value& first = arguments[0];
        if (first.isObject())
            compareFunction = first;
        else if (first.isNumber())
            flags = number_text::toInt32(first.asNumber());
        else
            return Value();
        if (arguments.size() > 1 && arguments[1].isNumber())
            flags = number_text::toInt32(arguments[1].asNumber());
    }
    if (compareFunction.isObject()) {
        return sortWith(machine, array, flags, [&](const Value& a, const Value& b) {
            double result = machine.toNumber(machine.call(compareFunction, nullptr, {a, b}));
            return result < 0 ? -1 : (result > 0 ? 1 : 0);
        });
    }
    return sortWith(machine, array, flags, [&](const Value& a, const Value& b) {
        // Undefined elements go to the end whatever the order.
        if (a.isUndefined() != b.isUndefined())
            return a.isUndefined() ? ((flags & sort_flag::Descending) ? -1 : 1) : ((flags & sort_flag::Descending) ? 1 : -1);
        return compareValues(machine, a, b, flags);
    });
}

Value sortOn(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* array = asArray(self);
    if (!array || arguments.empty())
        return Value();
    std::vector<QString> fields;
    std::vector<int> fieldFlags;
    if (ArrayObject* names = asArray(arguments[0].asObject())) {
        for (const Value& name : names->elements())
            fields.push_back(machine.toString(name));
    } else {
        fields.push_back(machine.toString(arguments[0]));
    }
    int flags = 0;
    if (ArrayObject* flagList = asArray(argument(arguments, 1).asObject())) {
        for (const Value& flag : flagList->elements())
            fieldFlags.push_back(machine.toInt32(flag));
        if (fieldFlags.size() != fields.size())
            fieldFlags.clear();
    } else {
        flags = machine.toInt32(argument(arguments, 1));
    }
    int overall = fieldFlags.empty() ? flags : (fieldFlags[0] & (sort_flag::UniqueSort | sort_flag::ReturnIndexedArray));
    return sortWith(machine, array, overall & ~sort_flag::Descending, [&](const Value& a, const Value& b) {
        for (size_t i = 0; i < fields.size(); ++i) {
            int fieldFlag = fieldFlags.empty() ? flags : fieldFlags[i];
            Value left = machine.getMember(a, fields[i]);
            Value right = machine.getMember(b, fields[i]);
            int result = compareValues(machine, left, right, fieldFlag);
            if (fieldFlag & sort_flag::Descending)
                result = -result;
            if (result != 0)
                return result;
        }
        return 0;
    });
}

Value splice(Machine& machine, Object* self, const Arguments& arguments)
{
    ArrayObject* array = asArray(self);
    if (!array || arguments.empty())
        return Value();
    auto& elements = array->elements();
    size_t start = clampIndex(machine, arguments[0], elements.size(), 0);
    size_t count = elements.size() - start;
    if (arguments.size() > 1) {
        double wanted = std::trunc(machine.toNumber(arguments[1]));
        count = std::isnan(wanted) || wanted < 0 ? 0 : size_t(std::min(wanted, double(count)));
    }
    std::vector<Value> removed(elements.begin() + long(start), elements.begin() + long(start + count));
    elements.erase(elements.begin() + long(start), elements.begin() + long(start + count));
    if (arguments.size() > 2) {
        if (elements.size() + arguments.size() - 2 > Machine::maximumArrayLength)
            array->resize(machine, elements.size() + arguments.size());
        elements.insert(elements.begin() + long(start), arguments.begin() + 2, arguments.end());
    }
    return Value(machine.makeArray(std::move(removed)));
}

} // namespace

void installArray(Machine& machine)
{
    Object* prototype = machine.make<ArrayObject>(machine.prototypes().object, std::vector<Value>{});
    machine.prototypes().array = prototype;
    auto make = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        std::vector<Value> elements;
        if (arguments.size() == 1 && arguments[0].isNumber()) {
            double length = arguments[0].asNumber();
            if (length >= 0 && std::isfinite(length)) {
                if (length > double(Machine::maximumArrayLength))
                    machine.makeArray(std::vector<Value>(Machine::maximumArrayLength + 1));
                elements.resize(size_t(length));
            }
        } else {
            elements = arguments;
        }
        ArrayObject* array = machine.makeArray(std::move(elements));
        // new on a subclass of Array keeps the subclass's prototype.
        if (self && self->prototype())
            array->setPrototype(self->prototype());
        return Value(array);
    };
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Array"), prototype, [make](Machine& machine, Object*, const Arguments& arguments) {
        return make(machine, nullptr, arguments);
    }, make);
    constructor->define(QStringLiteral("CASEINSENSITIVE"), Value(1.0), 7);
    constructor->define(QStringLiteral("DESCENDING"), Value(2.0), 7);
    constructor->define(QStringLiteral("UNIQUESORT"), Value(4.0), 7);
    constructor->define(QStringLiteral("RETURNINDEXEDARRAY"), Value(8.0), 7);
    constructor->define(QStringLiteral("NUMERIC"), Value(16.0), 7);

    machine.defineMethod(prototype, QStringLiteral("push"), [](Machine& machine, Object* self, const Arguments& arguments) {
        ArrayObject* array = asArray(self);
        if (!array)
            return Value();
        size_t length = array->length();
        array->resize(machine, length + arguments.size());
        std::copy(arguments.begin(), arguments.end(), array->elements().begin() + long(length));
        return Value(double(array->length()));
    });
    machine.defineMethod(prototype, QStringLiteral("pop"), [](Machine&, Object* self, const Arguments&) {
        ArrayObject* array = asArray(self);
        if (!array || array->elements().empty())
            return Value();
        Value last = array->elements().back();
        array->elements().pop_back();
        return last;
    });
    machine.defineMethod(prototype, QStringLiteral("shift"), [](Machine&, Object* self, const Arguments&) {
        ArrayObject* array = asArray(self);
        if (!array || array->elements().empty())
            return Value();
        Value first = array->elements().front();
        array->elements().erase(array->elements().begin());
        return first;
    });
    machine.defineMethod(prototype, QStringLiteral("unshift"), [](Machine& machine, Object* self, const Arguments& arguments) {
        ArrayObject* array = asArray(self);
        if (!array)
            return Value();
        if (array->length() + arguments.size() > Machine::maximumArrayLength)
            array->resize(machine, array->length() + arguments.size());
        array->elements().insert(array->elements().begin(), arguments.begin(), arguments.end());
        return Value(double(array->length()));
    });
    machine.defineMethod(prototype, QStringLiteral("splice"), splice);
    machine.defineMethod(prototype, QStringLiteral("slice"), [](Machine& machine, Object* self, const Arguments& arguments) {
        ArrayObject* array = asArray(self);
        if (!array)
            return Value();
        const auto& elements = array->elements();
        size_t start = clampIndex(machine, argument(arguments, 0), elements.size(), 0);
        size_t end = clampIndex(machine, argument(arguments, 1), elements.size(), elements.size());
        std::vector<Value> part;
        if (end > start)
            part.assign(elements.begin() + long(start), elements.begin() + long(end));
        return Value(machine.makeArray(std::move(part)));
    });
    machine.defineMethod(prototype, QStringLiteral("concat"), [](Machine& machine, Object* self, const Arguments& arguments) {
        std::vector<Value> result;
        if (ArrayObject* array = asArray(self))
            result = array->elements();
        for (const Value& value : arguments) {
            if (ArrayObject* other = asArray(value.asObject()))
                result.insert(result.end(), other->elements().begin(), other->elements().end());
            else
                result.push_back(value);
            if (result.size() > Machine::maximumArrayLength)
                machine.makeArray(std::move(result));
        }
        return Value(machine.makeArray(std::move(result)));
    });
    machine.defineMethod(prototype, QStringLiteral("join"), [](Machine& machine, Object* self, const Arguments& arguments) {
        QString separator = arguments.empty() || arguments[0].isUndefined() ? QStringLiteral(",") : machine.toString(arguments[0]);
        return Value(join(machine, self, separator));
    });
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        return Value(join(machine, self, QStringLiteral(",")));
    });
    machine.defineMethod(prototype, QStringLiteral("reverse"), [](Machine&, Object* self, const Arguments&) {
        ArrayObject* array = asArray(self);
        if (array)
            std::reverse(array->elements().begin(), array->elements().end());
        return self ? Value(self) : Value();
    });
    machine.defineMethod(prototype, QStringLiteral("sort"), sort);
    machine.defineMethod(prototype, QStringLiteral("sortOn"), sortOn);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
