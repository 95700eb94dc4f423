#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"

#include <map>
#include <memory>

namespace player::avm1::builtins {

namespace {

// Flash refuses names with these characters.
bool isValidName(const QString& name)
{
    static const QString refused = QStringLiteral("~%&\\;:\"',<>?# ");
    if (name.isEmpty())
        return false;
    for (QChar character : name) {
        if (refused.contains(character))
            return false;
    }
    return true;
}

Value sharedObjectFlush(Machine&, Object*, const Arguments&)
{
    return Value(true);
}

Value sharedObjectClear(Machine& machine, Object* self, const Arguments&)
{
    if (Object* data = self ? self->get(machine, QStringLiteral("data")).asObject() : nullptr) {
        std::vector<QString> names;
        for (const Property& property : data->ownProperties())
            names.push_back(property.name);
        for (const QString& name : names)
            data->remove(machine, name);
    }
    return Value();
}

// The size the data would take written out: the length of its names and texts.
Value sharedObjectGetSize(Machine& machine, Object* self, const Arguments&)
{
    Object* data = self ? self->get(machine, QStringLiteral("data")).asObject() : nullptr;
    if (!data)
        return Value(0);
    double size = 0;
    for (const Property& property : data->ownProperties())
        size += property.name.toUtf8().size() + machine.toString(property.value).toUtf8().size();
    return Value(size);
}

Value sharedObjectClose(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value sharedObjectConnect(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value sharedObjectSetFps(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value callSharedObject(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration prototypeDeclarations[] = {
    method("flush", sharedObjectFlush),
    method("clear", sharedObjectClear),
    method("getSize", sharedObjectGetSize),
    method("close", sharedObjectClose),
    method("connect", sharedObjectConnect),
    method("setFps", sharedObjectSetFps),
};

} // namespace

// SharedObject.getLocal: the same object for the same name and path while the movie plays.
// The player never writes files, so flush only says it succeeded and nothing outlives the
// player. getLocal keeps the objects it made, so it stays a function of its own.
void installSharedObject(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.addRoot(prototype);
    FunctionObject* constructor = defineClass(machine, QStringLiteral("SharedObject"), prototype, callSharedObject);
    auto objects = std::make_shared<std::map<QString, Object*>>();
    machine.defineMethod(constructor, QStringLiteral("getLocal"), [objects, prototype](Machine& machine, Object*, const Arguments& arguments) {
        QString name = machine.toString(argument(arguments, 0));
        if (!isValidName(name))
            return Value::null();
        QString key = machine.toString(argument(arguments, 1)) + u'\n' + name;
        auto found = objects->find(key);
        if (found != objects->end())
            return Value(found->second);
        Object* shared = machine.make<Object>(prototype);
        shared->define(QStringLiteral("data"), Value(machine.makeObject()), property_flag::DontDelete);
        // Kept for the life of the machine, as Flash keeps them for the life of the movie.
        machine.addRoot(shared);
        objects->emplace(key, shared);
        return Value(shared);
    });
    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
