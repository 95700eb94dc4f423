#include "ArrayQuickSort.h"
#include "Builtins.h"
#include "Declaration.h"

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

// The Array methods work on any object with a length and elements, as in Flash; arrays take
// the quicker paths.
int32_t lengthOf(Machine& machine, Object* self)
{
    if (ArrayObject* array = asArray(self))
        return array->length();
    return self ? machine.toInt32(self->get(machine, QStringLiteral("length"))) : 0;
}

void setLengthOf(Machine& machine, Object* self, int32_t length)
{
    if (ArrayObject* array = asArray(self))
        array->setLength(machine, length);
    else if (self)
        self->set(machine, QStringLiteral("length"), Value(double(length)));
}

// An element as the methods read it: the value the object itself stores, without running a
// getter that addProperty put there; a hole or an inherited element reads as undefined.
Value elementOf(Machine& machine, Object* self, int32_t index)
{
    const Property* property = self->findVisible(machine, QString::number(index));
    return property ? property->value : Value();
}

std::vector<Value> valuesOf(Machine& machine, Object* self)
{
    if (!self)
        return {};
    if (ArrayObject* array = asArray(self))
        return array->values(machine);
    size_t length = ArrayObject::checkedLength(lengthOf(machine, self));
    std::vector<Value> values(length);
    for (size_t i = 0; i < length; ++i)
        values[i] = elementOf(machine, self, int32_t(i));
    return values;
}

// Rewrites the elements after a method rearranged them: Flash deletes the old ones and
// assigns the new in order, so an element that cannot be deleted keeps its place in the
// enumeration order and a read-only one keeps its value.
void rewriteElements(Machine& machine, Object* self, int32_t oldLength, const std::vector<Value>& values)
{
    if (ArrayObject* array = asArray(self)) {
        array->removeElements(0, std::max(oldLength, 0));
    } else {
        size_t length = ArrayObject::checkedLength(oldLength);
        for (size_t i = 0; i < length; ++i)
            self->remove(machine, QString::number(i));
    }
    for (size_t i = 0; i < values.size(); ++i)
        self->set(machine, QString::number(i), values[i]);
    setLengthOf(machine, self, int32_t(values.size()));
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
    if (!self)
        return result;
    int32_t length = lengthOf(machine, self);
    if (length <= 0)
        return result;
    // The separators alone may be too long: refuse before building anything.
    machine.checkStringLength(qsizetype(std::min<int64_t>(int64_t(length - 1) * separator.size(), Machine::maximumStringLength + 1)));
    std::vector<Value> values = valuesOf(machine, self);
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            result += separator;
        result += machine.toString(values[i]);
        machine.checkStringLength(result.size());
    }
    return result;
}

// Compares two values as sort does with the given flags (no compare function): negative,
// zero or positive.
int compareValues(Machine& machine, const Value& left, const Value& right, int flags)
{
    // NUMERIC orders numbers by value; anything else, even with the flag, compares as text.
    if ((flags & sort_flag::Numeric) && left.isNumber() && right.isNumber()) {
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

// A field as sortOn reads it: the element's own value, a built-in one such as a String
// object's length included, but without prototypes or getters. An element that is no object
// is compared itself.
Value fieldOf(Machine& machine, const Value& element, const QString& name)
{
    Object* object = element.asObject();
    if (!object)
        return element;
    if (const Property* property = object->findVisible(machine, name))
        return property->isVirtual() ? Value() : property->value;
    // What the object owns beyond its stored properties is built in and runs no script.
    return object->hasOwnProperty(machine, name) ? object->get(machine, name) : Value();
}

// The shared part of sort and sortOn: orders the indices of the elements, then either
// returns them (RETURNINDEXEDARRAY) or rearranges the array. UNIQUESORT gives 0 and leaves the
// array alone when two elements compare equal.
Value sortWith(Machine& machine, Object* self, int flags, const std::function<int(const Value&, const Value&)>& compare)
{
    int32_t oldLength = lengthOf(machine, self);
    std::vector<Value> elements = valuesOf(machine, self);
    std::vector<size_t> order(elements.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    bool foundEqual = false;
    quickSort(order, [&](size_t a, size_t b) {
        int result = compare(elements[a], elements[b]);
        if (result == 0)
            foundEqual = true;
        return (flags & sort_flag::Descending) ? -result : result;
    });
    if ((flags & sort_flag::UniqueSort) && foundEqual)
        return Value(0.0);
    if (flags & sort_flag::ReturnIndexedArray) {
        std::vector<Value> indices;
        for (size_t index : order)
            indices.push_back(Value(double(index)));
        return Value(machine.makeArray(std::move(indices)));
    }
    std::vector<Value> sorted(elements.size());
    for (size_t i = 0; i < order.size(); ++i)
        sorted[i] = elements[order[i]];
    rewriteElements(machine, self, oldLength, sorted);
    return Value(self);
}

Value sort(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
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
        // An object that cannot be called leaves the array as it is.
        if (compareFunction.asObject()->kind() != ObjectKind::Function)
            return Value(self);
        return sortWith(machine, self, flags, [&](const Value& a, const Value& b) {
            double result = machine.toNumber(machine.call(compareFunction, nullptr, {a, b}));
            return result < 0 ? -1 : (result > 0 ? 1 : 0);
        });
    }
    return sortWith(machine, self, flags, [&](const Value& a, const Value& b) {
        // Undefined elements sort after everything, so DESCENDING puts them first.
        if (a.isUndefined() != b.isUndefined())
            return a.isUndefined() ? 1 : -1;
        return compareValues(machine, a, b, flags);
    });
}

Value sortOn(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.empty())
        return Value();
    std::vector<QString> fields;
    std::vector<int> fieldFlags;
    if (ArrayObject* names = asArray(arguments[0].asObject())) {
        for (const Value& name : names->values(machine))
            fields.push_back(machine.toString(name));
    } else {
        fields.push_back(machine.toString(arguments[0]));
    }
    int flags = 0;
    if (ArrayObject* flagList = asArray(argument(arguments, 1).asObject())) {
        for (const Value& flag : flagList->values(machine))
            fieldFlags.push_back(machine.toInt32(flag));
        if (fieldFlags.size() != fields.size())
            fieldFlags.clear();
    } else {
        flags = machine.toInt32(argument(arguments, 1));
    }
    int overall = fieldFlags.empty() ? flags : (fieldFlags[0] & (sort_flag::UniqueSort | sort_flag::ReturnIndexedArray));
    return sortWith(machine, self, overall & ~sort_flag::Descending, [&](const Value& a, const Value& b) {
        for (size_t i = 0; i < fields.size(); ++i) {
            int fieldFlag = fieldFlags.empty() ? flags : fieldFlags[i];
            Value left = fieldOf(machine, a, fields[i]);
            Value right = fieldOf(machine, b, fields[i]);
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
    if (!self || arguments.empty())
        return Value();
    int32_t oldLength = lengthOf(machine, self);
    std::vector<Value> elements = valuesOf(machine, self);
    size_t start = clampIndex(machine, arguments[0], elements.size(), 0);
    size_t count = elements.size() - start;
    if (arguments.size() > 1) {
        double wanted = std::trunc(machine.toNumber(arguments[1]));
        // A negative count is refused: the array keeps its elements, the new ones are not
        // put in, and nothing is returned.
        if (wanted < 0)
            return Value();
        count = std::isnan(wanted) ? 0 : size_t(std::min(wanted, double(count)));
    }
    std::vector<Value> removed(elements.begin() + long(start), elements.begin() + long(start + count));
    elements.erase(elements.begin() + long(start), elements.begin() + long(start + count));
    if (arguments.size() > 2) {
        if (elements.size() + arguments.size() - 2 > Machine::maximumArrayLength)
            ArrayObject::checkedLength(INT32_MAX);
        elements.insert(elements.begin() + long(start), arguments.begin() + 2, arguments.end());
    }
    rewriteElements(machine, self, oldLength, elements);
    return Value(machine.makeArray(std::move(removed)));
}

Value construct(Machine& machine, Object* self, const Arguments& arguments)
{
    // An array new made for a subclass (or super() reached) is filled in place.
    const bool inPlace = self && self->kind() == ObjectKind::Array && self != machine.prototypes().array;
    ArrayObject* array = inPlace ? static_cast<ArrayObject*>(self) : machine.makeArray();
    // A single number is the length (a negative one included, as Flash keeps it); anything
    // else, a numeric string too, is the one element.
    if (arguments.size() == 1 && arguments[0].isNumber())
        array->setLength(machine, number_text::toInt32(arguments[0].asNumber()));
    else
        array->assign(machine, arguments);
    // new on a subclass of Array keeps the subclass's prototype.
    if (!inPlace && self && self->prototype())
        array->setPrototype(self->prototype());
    return Value(array);
}

Value arrayPush(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    int32_t length = lengthOf(machine, self);
    for (size_t i = 0; i < arguments.size(); ++i)
        self->set(machine, QString::number(int64_t(length) + int64_t(i)), arguments[i]);
    int32_t newLength = int32_t(uint32_t(length) + uint32_t(arguments.size()));
    setLengthOf(machine, self, newLength);
    return Value(double(newLength));
}

Value arrayPop(Machine& machine, Object* self, const Arguments&)
{
    int32_t length = lengthOf(machine, self);
    if (length <= 0)
        return Value();
    Value last = elementOf(machine, self, length - 1);
    self->remove(machine, QString::number(length - 1));
    setLengthOf(machine, self, length - 1);
    return last;
}

Value arrayShift(Machine& machine, Object* self, const Arguments&)
{
    int32_t length = lengthOf(machine, self);
    if (length <= 0)
        return Value();
    std::vector<Value> values = valuesOf(machine, self);
    Value first = values.front();
    values.erase(values.begin());
    rewriteElements(machine, self, length, values);
    return first;
}

Value arrayUnshift(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    int32_t length = lengthOf(machine, self);
    std::vector<Value> values = valuesOf(machine, self);
    if (values.size() + arguments.size() > Machine::maximumArrayLength)
        ArrayObject::checkedLength(INT32_MAX);
    values.insert(values.begin(), arguments.begin(), arguments.end());
    rewriteElements(machine, self, length, values);
    return Value(double(values.size()));
}

Value arraySlice(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    std::vector<Value> elements = valuesOf(machine, self);
    size_t start = clampIndex(machine, argument(arguments, 0), elements.size(), 0);
    size_t end = clampIndex(machine, argument(arguments, 1), elements.size(), elements.size());
    std::vector<Value> part;
    if (end > start)
        part.assign(elements.begin() + long(start), elements.begin() + long(end));
    return Value(machine.makeArray(std::move(part)));
}

Value arrayConcat(Machine& machine, Object* self, const Arguments& arguments)
{
    std::vector<Value> result = valuesOf(machine, self);
    for (const Value& value : arguments) {
        if (ArrayObject* other = asArray(value.asObject())) {
            std::vector<Value> values = other->values(machine);
            result.insert(result.end(), values.begin(), values.end());
        } else {
            result.push_back(value);
        }
        if (result.size() > Machine::maximumArrayLength)
            ArrayObject::checkedLength(INT32_MAX);
    }
    return Value(machine.makeArray(std::move(result)));
}

Value arrayJoin(Machine& machine, Object* self, const Arguments& arguments)
{
    QString separator = arguments.empty() || arguments[0].isUndefined() ? QStringLiteral(",") : machine.toString(arguments[0]);
    return Value(join(machine, self, separator));
}

Value arrayToString(Machine& machine, Object* self, const Arguments&)
{
    return Value(join(machine, self, QStringLiteral(",")));
}

Value arrayReverse(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value();
    int32_t length = lengthOf(machine, self);
    std::vector<Value> values = valuesOf(machine, self);
    std::reverse(values.begin(), values.end());
    rewriteElements(machine, self, length, values);
    return Value(self);
}

// The flags of sort and sortOn.
constexpr Declaration arrayDeclarations[] = {
    number("CASEINSENSITIVE", 1),
    number("DESCENDING", 2),
    number("UNIQUESORT", 4),
    number("RETURNINDEXEDARRAY", 8),
    number("NUMERIC", 16),
};

constexpr Declaration prototypeDeclarations[] = {
    method("push", arrayPush),
    method("pop", arrayPop),
    method("shift", arrayShift),
    method("unshift", arrayUnshift),
    method("splice", splice),
    method("slice", arraySlice),
    method("concat", arrayConcat),
    method("join", arrayJoin),
    method("toString", arrayToString),
    method("reverse", arrayReverse),
    method("sort", sort),
    method("sortOn", sortOn),
};

} // namespace

void installArray(Machine& machine)
{
    Object* prototype = machine.make<ArrayObject>(machine.prototypes().object, std::vector<Value>{});
    machine.prototypes().array = prototype;
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Array"), prototype, [](Machine& machine, Object*, const Arguments& arguments) {
        return construct(machine, nullptr, arguments);
    }, construct);
    installDeclarations(machine, constructor, arrayDeclarations);
    installDeclarations(machine, prototype, prototypeDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
