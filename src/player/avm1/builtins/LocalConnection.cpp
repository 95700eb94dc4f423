#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/FunctionObject.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

class LocalConnectionObject : public Object {
public:
    using Object::Object;
    QString connectedName;
};

// How deep a sent object may nest before the rest is left out.
constexpr int maximumSentDepth = 64;

// What arrives of a sent value: Flash passes copies through its message format, which knows
// dates, XML documents, arrays and plain objects (a function arrives as a plain object of its
// enumerable properties) but no display objects, which arrive as undefined.
Value sentCopy(Machine& machine, const Value& value, int depth)
{
    if (!value.isObject())
        return value;
    Object* object = value.asObject();
    if (!object || depth > maximumSentDepth || object->kind() == ObjectKind::Clip)
        return Value();
    Object* global = machine.global();
    if (object->kind() == ObjectKind::Date)
        return machine.construct(global->get(machine, QStringLiteral("Date")), {machine.callMethod(value, QStringLiteral("getTime"), {})});
    const Value xml = global->get(machine, QStringLiteral("XML"));
    if (xml.isObject() && machine.instanceOf(object, xml.asObject()))
        return machine.construct(xml, {Value(machine.toString(value))});
    if (object->kind() == ObjectKind::Array) {
        const int length = machine.toInt32(object->get(machine, QStringLiteral("length")));
        std::vector<Value> elements;
        for (int index = 0; index < length; ++index)
            elements.push_back(sentCopy(machine, object->get(machine, QString::number(index)), depth + 1));
        return Value(static_cast<Object*>(machine.makeArray(std::move(elements))));
    }
    Object* copy = machine.makeObject();
    for (const Property& property : std::vector<Property>(object->ownProperties())) {
        if (property.isEnumerable() && !property.isVirtual())
            copy->set(machine, property.name, sentCopy(machine, property.value, depth + 1));
    }
    return Value(copy);
}

// The domain of a local movie, as Flash reports it.
Value domain(Machine&, Object*, const Arguments&)
{
    return Value(QStringLiteral("localhost"));
}

// The open connections are kept by name, out of the scripts' reach.
Value connectByName(Machine& machine, Object* connections, Object* self, const Arguments& arguments)
{
    auto* connection = dynamic_cast<LocalConnectionObject*>(self);
    Value name = argument(arguments, 0);
    if (!connection || !name.isString() || name.asString().isEmpty() || name.asString().contains(u':'))
        return Value(false);
    const QString key = name.asString().toLower();
    if (!connection->connectedName.isEmpty() || connections->findOwn(key, true))
        return Value(false);
    connection->connectedName = key;
    connections->set(machine, key, Value(self));
    return Value(true);
}

Value closeConnection(Machine& machine, Object* connections, Object* self, const Arguments&)
{
    if (auto* connection = dynamic_cast<LocalConnectionObject*>(self); connection && !connection->connectedName.isEmpty()) {
        connections->remove(machine, connection->connectedName);
        connection->connectedName.clear();
    }
    return Value();
}

Value sendMessage(Machine& machine, Object* connections, Object*, const Arguments& arguments)
{
    if (arguments.size() < 2 || !arguments[0].isString() || !arguments[1].isString())
        return Value(false);
    Arguments sent;
    for (size_t index = 2; index < arguments.size(); ++index)
        sent.push_back(sentCopy(machine, arguments[index], 0));
    const QString key = arguments[0].asString().toLower();
    const QString method = arguments[1].asString();
    FunctionObject* deliver = machine.makeNative([connections, key, method](Machine& machine, Object*, const Arguments& received) {
        if (const Property* receiver = connections->findOwn(key, true))
            machine.callMethod(receiver->value, method, received);
        return Value();
    });
    machine.addDeferredCall(nullptr, Value(static_cast<Object*>(deliver)), QString(), std::move(sent));
    return Value(true);
}

constexpr Declaration prototypeDeclarations[] = {
    method("domain", domain).native(2200, 3),
    method("connect", connectByName).native(2200, 0),
    method("close", closeConnection).native(2200, 2),
    method("send", sendMessage).native(2200, 1),
};

} // namespace

// LocalConnection talks between movies: those of this player find each other by the
// connection's name (in any case), and a message arrives at the next run of the timers, never
// while the sending script runs. The player reaches no other program.
void installLocalConnection(Machine& machine)
{
    Object* connections = machine.makeObject();
    machine.addRoot(connections);
    Object* prototype = machine.makeObject();
    defineClass(machine, QStringLiteral("LocalConnection"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); },
                [](Machine& machine, Object* self, const Arguments&) {
                    return Value(static_cast<Object*>(machine.make<LocalConnectionObject>(self ? self->prototype() : nullptr)));
                });
    installDeclarations(machine, prototype, prototypeDeclarations, connections);
}

} // namespace player::avm1::builtins
