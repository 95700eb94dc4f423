#include "Builtins.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

class LocalConnectionObject : public Object {
public:
    using Object::Object;
    QString connectedName;
};

} // namespace

// LocalConnection talks to other movies on the same computer. The player plays one movie
// alone, so connecting succeeds but nothing ever arrives, and sending goes nowhere.
void installLocalConnection(Machine& machine)
{
    Object* prototype = machine.makeObject();
    defineClass(machine, QStringLiteral("LocalConnection"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); },
                [](Machine& machine, Object* self, const Arguments&) {
                    return Value(static_cast<Object*>(machine.make<LocalConnectionObject>(self ? self->prototype() : nullptr)));
                });
    const uint16_t flags = property_flag::DontEnum | property_flag::DontDelete;
    // The domain of a local movie, as Flash reports it.
    machine.defineMethod(prototype, QStringLiteral("domain"), [](Machine&, Object*, const Arguments&) {
        return Value(QStringLiteral("localhost"));
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("connect"), [](Machine&, Object* self, const Arguments& arguments) {
        auto* connection = dynamic_cast<LocalConnectionObject*>(self);
        Value name = argument(arguments, 0);
        if (!connection || !name.isString() || name.asString().isEmpty() || name.asString().contains(u':'))
            return Value(false);
        if (!connection->connectedName.isEmpty())
            return Value(false);
        connection->connectedName = name.asString();
        return Value(true);
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("close"), [](Machine&, Object* self, const Arguments&) {
        if (auto* connection = dynamic_cast<LocalConnectionObject*>(self))
            connection->connectedName.clear();
        return Value();
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("send"), [](Machine&, Object*, const Arguments& arguments) {
        return Value(arguments.size() >= 2 && arguments[0].isString() && arguments[1].isString());
    }, flags);
}

} // namespace player::avm1::builtins
