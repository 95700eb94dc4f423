#include "ClipLoaderEvents.h"

#include "Machine.h"
#include "Object.h"

namespace player::avm1 {

ClipLoaderEvents::ClipLoaderEvents(Machine& machine, Object* loader, ObjectLookup objectFor, int swfVersion)
    : m_machine(machine), m_loader(loader), m_objectFor(std::move(objectFor)), m_swfVersion(swfVersion)
{
    m_machine.addRoot(m_loader);
}

ClipLoaderEvents::~ClipLoaderEvents()
{
    m_machine.removeRoot(m_loader);
}

void ClipLoaderEvents::broadcast(const QString& event, display::DisplayObject* target, std::vector<Value> more)
{
    Value method = m_loader->get(m_machine, QStringLiteral("broadcastMessage"));
    if (!m_machine.isCallable(method))
        return;
    Object* targetObject = target ? m_objectFor(target) : nullptr;
    Arguments arguments{Value(event), targetObject ? Value(targetObject) : Value()};
    for (Value& value : more)
        arguments.push_back(std::move(value));
    m_machine.callTopLevel(method, m_loader, arguments, m_swfVersion);
}

void ClipLoaderEvents::loadStarted(display::DisplayObject& target)
{
    broadcast(QStringLiteral("onLoadStart"), &target, {});
}

void ClipLoaderEvents::loadProgressed(display::DisplayObject& target, qint64 loaded, qint64 total)
{
    broadcast(QStringLiteral("onLoadProgress"), &target, {Value(double(loaded)), Value(double(total))});
}

void ClipLoaderEvents::loadCompleted(display::DisplayObject& target)
{
    // The HTTP status of a local file is 0.
    broadcast(QStringLiteral("onLoadComplete"), &target, {Value(0.0)});
}

void ClipLoaderEvents::loadInitialized(display::DisplayObject& target)
{
    broadcast(QStringLiteral("onLoadInit"), &target, {});
}

void ClipLoaderEvents::loadFailed(display::DisplayObject* target, const QString& reason)
{
    broadcast(QStringLiteral("onLoadError"), target, {Value(reason), Value(0.0)});
}

} // namespace player::avm1
