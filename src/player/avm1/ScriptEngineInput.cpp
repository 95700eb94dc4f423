// The script engine's side of mouse and keyboard input: which objects act as buttons, Mouse and
// Key listeners, and startDrag.
#include "ScriptEngine.h"

#include "ClipObject.h"
#include "EngineServices.h"
#include "InputPort.h"
#include "Machine.h"
#include "player/display/MovieClip.h"

#include <cmath>

namespace player::avm1 {

bool ScriptEngine::hasHandler(display::DisplayObject& object, const char* handlerName)
{
    Object* scriptObject = scriptObjectOf(&object);
    if (!scriptObject)
        return false;
    const int saved = m_machine->swfVersion();
    m_machine->setSwfVersion(object.swfVersion());
    const bool found = m_machine->isCallable(scriptObject->get(*m_machine, QString::fromLatin1(handlerName)));
    m_machine->setSwfVersion(saved);
    return found;
}

std::optional<bool> ScriptEngine::booleanProperty(display::DisplayObject& object, const char* name)
{
    Object* scriptObject = scriptObjectOf(&object);
    if (!scriptObject)
        return std::nullopt;
    const int saved = m_machine->swfVersion();
    m_machine->setSwfVersion(object.swfVersion());
    const Value value = scriptObject->get(*m_machine, QString::fromLatin1(name));
    std::optional<bool> result;
    if (!value.isUndefined())
        result = m_machine->toBoolean(value);
    m_machine->setSwfVersion(saved);
    return result;
}

void ScriptEngine::broadcastInput(const char* source, const char* message)
{
    // The broadcaster is the one of the first level's globals.
    display::MovieClip* root = m_services->level(0);
    const int version = root ? root->swfVersion() : 8;
    Machine::SavedRunState saved(*m_machine);
    m_machine->setSwfVersion(version);
    Object* broadcaster = m_machine->global()->get(*m_machine, QString::fromLatin1(source)).asObject();
    if (!broadcaster)
        return;
    const Value broadcast = broadcaster->get(*m_machine, QStringLiteral("broadcastMessage"));
    if (!m_machine->isCallable(broadcast))
        return;
    m_machine->callTopLevel(broadcast, broadcaster, {Value(QString::fromLatin1(message))}, version);
}

void ScriptEngine::viewportResized()
{
    display::MovieClip* root = m_services->level(0);
    bool unscaled = false;
    {
        Machine::SavedRunState saved(*m_machine);
        m_machine->setSwfVersion(root ? root->swfVersion() : 8);
        if (Object* stage = m_machine->global()->get(*m_machine, QStringLiteral("Stage")).asObject())
            unscaled = m_machine->toString(stage->get(*m_machine, QStringLiteral("scaleMode"))) == QLatin1String("noScale");
    }
    if (unscaled)
        broadcastInput("Stage", "onResize");
}

InputPort* ScriptEngine::input()
{
    return &m_services->input();
}

void ScriptEngine::startDrag(Object* clip, bool lockCenter, bool constrained, double left, double top, double right,
                             double bottom)
{
    if (!clip || clip->kind() != ObjectKind::Clip)
        return;
    display::DisplayObject* object = static_cast<ClipObject*>(clip)->displayObject();
    if (!object || object->isRemoved())
        return;
    std::optional<QRectF> bounds;
    if (constrained && std::isfinite(left) && std::isfinite(top) && std::isfinite(right) && std::isfinite(bottom))
        bounds = QRectF(QPointF(std::min(left, right), std::min(top, bottom)), QPointF(std::max(left, right), std::max(top, bottom)));
    m_services->input().startDrag(*object, lockCenter, bounds);
}

void ScriptEngine::stopDrag()
{
    m_services->input().stopDrag();
}

} // namespace player::avm1
