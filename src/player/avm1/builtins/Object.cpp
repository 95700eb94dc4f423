#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

Value objectToString(Machine& machine, Object* self, const Arguments&)
{
    if (self && self->kind() == ObjectKind::Function)
        return Value(QStringLiteral("[type Function]"));
    Q_UNUSED(machine);
    return Value(QStringLiteral("[object Object]"));
}

Value addProperty(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.size() < 2)
        return Value(false);
    QString name = machine.toString(arguments[0]);
    Object* getter = arguments[1].asObject();
    Value setterValue = argument(arguments, 2);
    Object* setter = setterValue.asObject();
    // The getter must be a function. The setter must be given: null, or an object that is not
    // a function, makes the property read-only; a missing or primitive one is refused.
    if (name.isEmpty() || !getter || getter->kind() != ObjectKind::Function)
        return Value(false);
    if (!setterValue.isObject() && !setterValue.isNull())
        return Value(false);
    if (setter && setter->kind() != ObjectKind::Function)
        setter = nullptr;
    Property* existing = self->findOwn(name, machine.caseSensitive());
    uint8_t flags = existing ? existing->flags : 0;
    self->defineVirtual(existing ? existing->name : name, getter, setter, flags);
    return Value(true);
}

// The "this" of call and apply: without one (undefined or null), or with a primitive that
// cannot be boxed, the function runs on the global object.
Object* thisObjectOf(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return machine.global();
    Object* object = machine.toObject(value);
    return object ? object : machine.global();
}

Value constructObject(Machine& machine, Object* self, const Arguments& arguments)
{
    Value value = argument(arguments, 0);
    if (value.isObject())
        return value;
    if (!value.isNullish())
        return Value(machine.toObject(value));
    return self ? Value(self) : Value(machine.makeObject());
}

Value callObject(Machine& machine, Object*, const Arguments& arguments)
{
    Value value = argument(arguments, 0);
    if (value.isObject())
        return value;
    if (!value.isNullish())
        return Value(machine.toObject(value));
    return Value(machine.makeObject());
}

Value objectValueOf(Machine&, Object* self, const Arguments&)
{
    return self ? Value(self) : Value();
}

Value hasOwnProperty(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.empty())
        return Value(false);
    return Value(self->hasOwnPropertyForScripts(machine, machine.toString(arguments[0])));
}

Value isPropertyEnumerable(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.empty())
        return Value(false);
    QString name = machine.toString(arguments[0]);
    const Property* property = self->findOwn(name, machine.caseSensitive());
    if (property)
        return Value(property->isEnumerable());
    std::vector<QString> names;
    self->enumerableNames(machine, names);
    return Value(self->hasOwnProperty(machine, name) && std::find(names.begin(), names.end(), name) != names.end());
}

Value isPrototypeOf(Machine&, Object* self, const Arguments& arguments)
{
    Object* object = argument(arguments, 0).asObject();
    int depth = 0;
    for (Object* link = object ? object->prototype() : nullptr; link && depth < 256; link = link->prototype(), ++depth) {
        if (link == self)
            return Value(true);
    }
    return Value(false);
}

Value watch(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.size() < 2)
        return Value(false);
    Object* callback = arguments[1].asObject();
    if (!callback || callback->kind() != ObjectKind::Function)
        return Value(false);
    return Value(self->watch(machine.toString(arguments[0]), callback, argument(arguments, 2), machine.caseSensitive()));
}

Value unwatch(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.empty())
        return Value(false);
    return Value(self->unwatch(machine.toString(arguments[0]), machine.caseSensitive()));
}

Value registerClass(Machine& machine, Object*, const Arguments& arguments)
{
    if (arguments.size() < 2)
        return Value(false);
    // Only a function (or null and undefined, which unregister) is accepted as the class.
    Object* constructor = arguments[1].asObject();
    if (!arguments[1].isNullish() && (!constructor || constructor->kind() != ObjectKind::Function))
        return Value(false);
    QString name = machine.toString(arguments[0]);
    if (arguments[1].isNullish())
        machine.registeredClasses().erase(name);
    else
        machine.registeredClasses()[name] = arguments[1];
    return Value(true);
}

Value constructFunction(Machine& machine, Object*, const Arguments& arguments)
{
    Value value = argument(arguments, 0);
    return value.isObject() ? value : Value(machine.makeObject());
}

// Called as a function, Function hands back its first argument whatever its type, and without
// one a bare object that has no prototype at all.
Value callFunctionClass(Machine& machine, Object*, const Arguments& arguments)
{
    if (!arguments.empty())
        return arguments[0];
    return Value(machine.make<Object>(nullptr));
}

Value functionCall(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* thisObject = thisObjectOf(machine, argument(arguments, 0));
    Arguments rest(arguments.size() > 1 ? arguments.begin() + 1 : arguments.end(), arguments.end());
    return machine.call(Value(self), thisObject, rest);
}

Value functionApply(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* thisObject = thisObjectOf(machine, argument(arguments, 0));
    Arguments list;
    if (Object* array = argument(arguments, 1).asObject()) {
        double length = machine.toNumber(array->get(machine, QStringLiteral("length")));
        size_t count = length > 0 && length < double(Machine::maximumArrayLength) ? size_t(length) : 0;
        for (size_t i = 0; i < count; ++i)
            list.push_back(array->get(machine, QString::number(i)));
    }
    return machine.call(Value(self), thisObject, list);
}

// The methods Flash Player 6 brought are hidden from SWF 5 movies, which reach them only
// through ASnative.
constexpr Declaration objectPrototypeDeclarations[] = {
    method("toString", objectToString).native(101, 4),
    method("toLocaleString", objectToString),
    method("valueOf", objectValueOf).native(101, 3),
    method("hasOwnProperty", hasOwnProperty).native(101, 5).from(6),
    method("isPropertyEnumerable", isPropertyEnumerable).native(101, 7).from(6),
    method("isPrototypeOf", isPrototypeOf).native(101, 6).from(6),
    method("addProperty", addProperty).native(101, 2).from(6),
    method("watch", watch).native(101, 0).from(6),
    method("unwatch", unwatch).native(101, 1).from(6),
};

constexpr Declaration objectDeclarations[] = {
    method("registerClass", registerClass).native(101, 8),
};

// SWF 5 movies have neither call nor apply.
constexpr Declaration functionPrototypeDeclarations[] = {
    method("call", functionCall).from(6),
    method("apply", functionApply).from(6),
};

} // namespace

void installObject(Machine& machine)
{
    Object* prototype = machine.prototypes().object;
    FunctionObject* constructor = defineClass(machine, QStringLiteral("Object"), prototype, callObject, constructObject);
    installDeclarations(machine, prototype, objectPrototypeDeclarations);
    installDeclarations(machine, constructor, objectDeclarations);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

void installFunction(Machine& machine)
{
    Object* prototype = machine.prototypes().function;
    FunctionObject* function = defineClass(machine, QStringLiteral("Function"), prototype, callFunctionClass, constructFunction);
    // Object came before Function, and Function finds itself only now.
    giveFunctionAsConstructor(machine, function);
    if (const Property* object = machine.global()->findOwn(QStringLiteral("Object"), true); object && object->value.asObject())
        giveFunctionAsConstructor(machine, object->value.asObject());
    installDeclarations(machine, prototype, functionPrototypeDeclarations);
    // Function.prototype has no toString of its own: Object's names functions "[type Function]".
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
