#include "Builtins.h"

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

} // namespace

// SharedObject.getLocal: the same object for the same name and path while the movie plays.
// The player never writes files, so flush only says it succeeded and nothing outlives the
// player.
void installSharedObject(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.addRoot(prototype);
    FunctionObject* constructor = defineClass(machine, QStringLiteral("SharedObject"), prototype,
                                              [](Machine&, Object*, const Arguments&) { return Value(); });
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
    const uint16_t flags = property_flag::DontEnum | property_flag::DontDelete;
    machine.defineMethod(prototype, QStringLiteral("flush"), [](Machine&, Object*, const Arguments&) { return Value(true); }, flags);
    machine.defineMethod(prototype, QStringLiteral("clear"), [](Machine& machine, Object* self, const Arguments&) {
        if (Object* data = self ? self->get(machine, QStringLiteral("data")).asObject() : nullptr) {
            std::vector<QString> names;
            for (const Property& property : data->ownProperties())
                names.push_back(property.name);
            for (const QString& name : names)
                data->remove(machine, name);
        }
        return Value();
    }, flags);
    // The size the data would take written out: the length of its names and texts.
    machine.defineMethod(prototype, QStringLiteral("getSize"), [](Machine& machine, Object* self, const Arguments&) {
        Object* data = self ? self->get(machine, QStringLiteral("data")).asObject() : nullptr;
        if (!data)
            return Value(0);
        double size = 0;
        for (const Property& property : data->ownProperties())
            size += property.name.toUtf8().size() + machine.toString(property.value).toUtf8().size();
        return Value(size);
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("close"), [](Machine&, Object*, const Arguments&) { return Value(); }, flags);
    machine.defineMethod(prototype, QStringLiteral("connect"), [](Machine&, Object*, const Arguments&) { return Value(false); }, flags);
    machine.defineMethod(prototype, QStringLiteral("setFps"), [](Machine&, Object*, const Arguments&) { return Value(false); }, flags);
}

} // namespace player::avm1::builtins
