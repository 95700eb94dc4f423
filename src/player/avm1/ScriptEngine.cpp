#include "ScriptEngine.h"

#include "ClipBinding.h"
#include "ClipLoaderEvents.h"
#include "ClipObject.h"
#include "EngineServices.h"
#include "LocalFileReader.h"
#include "Machine.h"
#include "RegisteredClass.h"
#include "TargetPath.h"
#include "builtins/Builtins.h"
#include "builtins/LocalLoad.h"
#include "player/display/MovieClip.h"
#include "player/display/MovieLibrary.h"

#include <algorithm>
#include <cmath>

namespace player::avm1 {

ScriptEngine::ScriptEngine(std::unique_ptr<EngineServices> services)
    : m_services(std::move(services))
    , m_machine(std::make_shared<Machine>(*this))
{
    EngineServices* engineServices = m_services.get();
    m_machine->limits().onStop = [engineServices](const QString& reason) { engineServices->limitReached(reason); };
    m_machine->limits().stopRequested = [engineServices]() { return engineServices->isMovieStopped(); };
}

ScriptEngine::~ScriptEngine() = default;

std::unique_ptr<display::ScriptHost> createScriptHost(std::unique_ptr<EngineServices> services)
{
    return std::make_unique<ScriptEngine>(std::move(services));
}

Object* ScriptEngine::objectFor(display::DisplayObject* object)
{
    if (!object)
        return nullptr;
    if (Object* existing = scriptObjectOf(object))
        return existing;
    if (!object->isMovieClip() && object->kind() != display::DisplayKind::EditText
        && object->kind() != display::DisplayKind::Button && object->kind() != display::DisplayKind::Video)
        return nullptr;
    objectCreated(*object);
    return scriptObjectOf(object);
}

void ScriptEngine::objectCreated(display::DisplayObject& object)
{
    // Clips, buttons, text fields and videos have script objects; they share the clip properties.
    bool textField = object.kind() == display::DisplayKind::EditText;
    bool button = object.kind() == display::DisplayKind::Button;
    bool video = object.kind() == display::DisplayKind::Video;
    if ((!object.isMovieClip() && !textField && !button && !video) || scriptObjectOf(&object))
        return;
    // The object belongs to the globals of its movie's version.
    Machine::SavedRunState savedState(*m_machine);
    m_machine->setSwfVersion(object.swfVersion());
    Object* prototype = textField ? m_machine->prototypes().textField
        : button                  ? m_machine->prototypes().button
        : video                   ? m_machine->prototypes().video
                                  : m_machine->prototypes().movieClip;
    auto* clipObject = m_machine->make<ClipObject>(prototype, object.sharedFromThis());
    object.setScriptBinding(std::make_unique<ClipBinding>(m_machine, clipObject));
    defineVersionVariable(object, clipObject);
    if (textField) {
        builtins::initializeTextFieldListeners(*m_machine, clipObject);
        builtins::bindTextFieldVariable(*m_machine, clipObject);
        m_textFieldVariables.add(object.sharedFromThis());
    }
}

void ScriptEngine::objectRemoved(display::DisplayObject&)
{
    // The binding lives as long as the display object; scripts holding the object then see
    // a clip without clip properties.
}

void ScriptEngine::defineVersionVariable(display::DisplayObject& object, Object* clipObject)
{
    // The first level holds the player's version as the variable $version.
    const display::MovieClip* clip = object.asMovieClip();
    if (!clip || !clip->isLevelRoot() || clip->levelNumber() != 0)
        return;
    Object* system = m_machine->global()->get(*m_machine, QStringLiteral("System")).asObject();
    Object* capabilities = system ? system->get(*m_machine, QStringLiteral("capabilities")).asObject() : nullptr;
    if (capabilities)
        clipObject->define(QStringLiteral("$version"), capabilities->get(*m_machine, QStringLiteral("version")),
                           property_flag::DontEnum);
}

void ScriptEngine::contentReplaced(display::DisplayObject& object)
{
    Object* clip = scriptObjectOf(&object);
    if (!clip)
        return;
    std::vector<QString> names;
    for (const Property& property : clip->ownProperties())
        names.push_back(property.name);
    for (const QString& name : names)
        clip->remove(*m_machine, name);
    Machine::SavedRunState savedState(*m_machine);
    m_machine->setSwfVersion(object.swfVersion());
    clip->setPrototype(m_machine->prototypes().movieClip);
    defineVersionVariable(object, clip);
}

void ScriptEngine::runActions(display::MovieClip& scope, const swf::ActionCode& code)
{
    Object* clip = objectFor(&scope);
    if (!clip)
        return;
    if (!m_limitsConfigured) {
        m_limitsConfigured = true;
        const display::DisplayObject* root = scope.root();
        const auto& library = root ? root->library() : scope.library();
        if (library && library->movie().hasScriptLimits)
            m_machine->limits().configure(library->movie().maxRecursionDepth, library->movie().scriptTimeoutSeconds);
    }
    m_machine->runTopLevel(clip, code, scope.swfVersion());
}

void ScriptEngine::frameStarted()
{
    m_machine->clearFrameState();
    // The time limit ends one frame's scripts, whether a frame script or a timer ran out of
    // time; the next frame starts afresh.
    m_machine->limits().resetExpiry();
}

void ScriptEngine::queueRunStarted()
{
    m_machine->limits().beginQueueRun();
}

void ScriptEngine::queueRunEnded()
{
    m_machine->limits().endQueueRun();
}

bool ScriptEngine::queueRunTimeSpent()
{
    return m_machine->limits().queueRunSpent();
}

void ScriptEngine::constructClip(display::MovieClip& clip, const std::vector<swf::ActionCode>& constructBlocks)
{
    Object* object = objectFor(&clip);
    if (!object)
        return;
    const Value constructor = registeredClassOf(*m_machine, clip);
    if (m_machine->isCallable(constructor)) {
        if (Object* prototype = m_machine->getMember(constructor, QStringLiteral("prototype")).asObject())
            object->setPrototype(prototype);
    }
    for (const swf::ActionCode& code : constructBlocks)
        runActions(clip, code);
    if (clip.isRemoved())
        return;
    if (m_machine->isCallable(constructor)) {
        // As with "new", the clip remembers the class that made it, so that super() inside the
        // class reaches the superclass; movies before SWF 7 also get it as "constructor".
        object->define(QStringLiteral("__constructor__"), constructor, property_flag::DontEnum);
        if (clip.swfVersion() < 7)
            object->define(QStringLiteral("constructor"), constructor, property_flag::DontEnum);
        m_machine->callTopLevel(constructor, object, {}, clip.swfVersion());
        return;
    }
    // A clip of no registered class calls onConstruct when it finds one, usually on
    // MovieClip.prototype; what it throws is reported and goes no further.
    const Value onConstruct = object->get(*m_machine, QStringLiteral("onConstruct"));
    if (m_machine->isCallable(onConstruct))
        m_machine->callTopLevel(onConstruct, object, {}, clip.swfVersion());
}

void ScriptEngine::callHandler(display::DisplayObject& object, const char* handlerName)
{
    Object* clip = objectFor(&object);
    if (!clip)
        return;
    int version = object.swfVersion();
    int saved = m_machine->swfVersion();
    m_machine->setSwfVersion(version);
    Value handler = clip->get(*m_machine, QString::fromLatin1(handlerName));
    m_machine->setSwfVersion(saved);
    if (m_machine->isCallable(handler))
        m_machine->callTopLevel(handler, clip, {}, version);
}

display::DisplayObject* ScriptEngine::resolveTarget(const QString& path)
{
    Object* start = level(0);
    // The host's paths match names as the root movie's own scripts do: without regard to case
    // before version 7.
    const int saved = m_machine->swfVersion();
    if (const display::DisplayObject* root = m_services->level(0))
        m_machine->setSwfVersion(root->swfVersion());
    Object* found = target_path::resolve(*m_machine, start, path.trimmed());
    m_machine->setSwfVersion(saved);
    if (!found || found->kind() != ObjectKind::Clip)
        return nullptr;
    return static_cast<ClipObject*>(found)->displayObject();
}

bool ScriptEngine::splitHostPath(const QString& text, Object*& object, QString& name)
{
    QString path;
    Object* root = level(0);
    if (!target_path::splitVariable(text, path, name)) {
        object = root;
        name = text;
        return object != nullptr;
    }
    object = path.isEmpty() ? root : target_path::resolve(*m_machine, root, path);
    return object != nullptr && !name.isEmpty();
}

bool ScriptEngine::setVariable(const QString& path, const QString& value)
{
    Object* object = nullptr;
    QString name;
    if (!splitHostPath(path, object, name))
        return false;
    int version = object->kind() == ObjectKind::Clip && static_cast<ClipObject*>(object)->displayObject()
        ? static_cast<ClipObject*>(object)->displayObject()->swfVersion() : 8;
    // Setters and watchers may run scripts: the assignment runs as a top-level call.
    FunctionObject* assign = m_machine->makeNative([object, name, value](Machine& machine, Object*, const Arguments&) {
        object->set(machine, name, Value(value));
        return Value();
    });
    m_machine->callTopLevel(Value(assign), nullptr, {}, version);
    return true;
}

std::optional<QString> ScriptEngine::getVariable(const QString& path)
{
    Object* object = nullptr;
    QString name;
    if (!splitHostPath(path, object, name))
        return std::nullopt;
    int version = object->kind() == ObjectKind::Clip && static_cast<ClipObject*>(object)->displayObject()
        ? static_cast<ClipObject*>(object)->displayObject()->swfVersion() : 8;
    std::optional<QString> result;
    FunctionObject* read = m_machine->makeNative([object, name, &result](Machine& machine, Object*, const Arguments&) {
        Value value = object->get(machine, name);
        if (!value.isUndefined())
            result = machine.toString(value);
        return Value();
    });
    m_machine->callTopLevel(Value(read), nullptr, {}, version);
    return result;
}

void ScriptEngine::runTimers(double untilMilliseconds, const std::function<void()>& afterEachCall)
{
    m_machine->runTimers(untilMilliseconds, afterEachCall);
    m_textFieldVariables.refresh(*m_machine);
}

void ScriptEngine::trace(const QString& text)
{
    m_services->trace(text);
}

void ScriptEngine::fsCommand(const QString& command, const QString& arguments)
{
    m_services->fsCommand(command, arguments);
}

Value ScriptEngine::flashCall(const QString& request)
{
    m_services->flashCall(request);
    return Value();
}

void ScriptEngine::getUrl(Object* clip, const QString& url, const QString& target, int, bool loadTarget, bool loadVariables)
{
    if (loadVariables) {
        this->loadVariables(clip, url, target);
        return;
    }
    // "_level3" names a level; "_level0.clip" is a path to a clip like any other.
    bool isLevel = false;
    const int number = target.startsWith(QLatin1String("_level"), Qt::CaseInsensitive) ? target.mid(6).toInt(&isLevel) : -1;
    if (isLevel) {
        if (number < 0)
            return;
        if (url.isEmpty())
            m_services->unloadLevel(number);
        else
            requestLoad(clip, url, number, nullptr, nullptr);
        return;
    }
    if (!loadTarget)
        return; // a browser window: the player opens nothing
    Object* targetObject = target_path::resolve(*m_machine, clip, target);
    if (!targetObject || targetObject->kind() != ObjectKind::Clip)
        return;
    display::MovieClip* targetClip = static_cast<ClipObject*>(targetObject)->clip();
    if (!targetClip)
        return;
    // An empty address unloads the clip; like a load, that waits for the end of the frame.
    requestLoad(clip, url, -1, targetClip, nullptr);
}

void ScriptEngine::loadVariables(Object* loadingClip, const QString& url, const QString& target)
{
    bool isLevel = false;
    const int number = target.startsWith(QLatin1String("_level"), Qt::CaseInsensitive) ? target.mid(6).toInt(&isLevel) : -1;
    Object* targetObject = isLevel ? level(number) : target_path::resolve(*m_machine, loadingClip, target);
    if (!targetObject)
        return;
    display::DisplayObject* loading = loadingClip && loadingClip->kind() == ObjectKind::Clip
        ? static_cast<ClipObject*>(loadingClip)->displayObject() : nullptr;
    if (!loading)
        loading = m_services->level(0);
    const QString baseUrl = loading && loading->library() ? loading->library()->url() : QString();
    // Only local files: any other scheme is refused here, quietly, and nothing is fetched.
    std::optional<QString> path = m_services->localPath(url, baseUrl);
    std::optional<QByteArray> bytes = path ? readLocalFileForScript(*path, readableCheck()) : std::nullopt;
    if (!bytes)
        return;
    FunctionObject* deliver = m_machine->makeNative([this](Machine& machine, Object* self, const Arguments& arguments) {
        if (!self)
            return Value();
        builtins::decodeVariables(machine, self, machine.toString(builtins::argument(arguments, 0)));
        display::DisplayObject* object = self->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(self)->displayObject() : nullptr;
        if (!object || object->isRemoved())
            return Value();
        if (display::MovieClip* clip = object->asMovieClip()) {
            // A copy: the handler may load another movie into the clip.
            const std::vector<swf::ClipAction> actions = clip->clipActions();
            for (const swf::ClipAction& action : actions) {
                if (action.events & swf::clip_event::Data)
                    runActions(*clip, action.actions);
            }
        }
        callHandler(*object, "onData");
        return Value();
    });
    m_machine->addDeferredCall(targetObject, Value(deliver), QString(), {Value(builtins::decodeLoadedText(*bytes))});
}

void ScriptEngine::loadClip(Object* loader, Object* caller, const QString& url, Object* clip, int level)
{
    display::DisplayObject* target = clip && clip->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(clip)->displayObject() : nullptr;
    if (!loader || (level < 0 && !target))
        return;
    auto listener = std::make_shared<ClipLoaderEvents>(*m_machine, loader,
        [this](display::DisplayObject* object) { return objectFor(object); }, m_machine->swfVersion());
    requestLoad(caller, url, level, target, std::move(listener));
}

void ScriptEngine::requestLoad(Object* loadingClip, const QString& url, int level, display::DisplayObject* target,
                               std::shared_ptr<display::LoadListener> listener)
{
    display::LoadRequest request;
    request.url = url;
    request.level = level;
    if (target)
        request.clip = target->sharedFromThis();
    display::DisplayObject* loading = loadingClip && loadingClip->kind() == ObjectKind::Clip
        ? static_cast<ClipObject*>(loadingClip)->displayObject() : nullptr;
    if (!loading)
        loading = m_services->level(0);
    if (loading && loading->library()) {
        request.baseUrl = loading->library()->url();
        request.swfVersion = loading->swfVersion();
    }
    request.listener = std::move(listener);
    m_services->requestLoad(std::move(request));
}

double ScriptEngine::milliseconds()
{
    return m_services->milliseconds();
}

std::optional<QSize> ScriptEngine::viewportSize()
{
    return m_services->viewportSize();
}

Object* ScriptEngine::rootOf(Object* clip)
{
    if (clip && clip->kind() == ObjectKind::Clip) {
        if (display::DisplayObject* object = static_cast<ClipObject*>(clip)->displayObject())
            return objectFor(object->scriptRoot());
    }
    return level(0);
}

Object* ScriptEngine::level(int number)
{
    return objectFor(m_services->level(number));
}

bool ScriptEngine::isClip(Object* object) const
{
    // Buttons, text fields and videos have clip properties but are objects to typeof.
    if (!object || object->kind() != ObjectKind::Clip)
        return false;
    return static_cast<ClipObject*>(object)->isMovieClipObject();
}

QString ScriptEngine::targetPath(Object* clip, bool slashSyntax)
{
    if (!clip || clip->kind() != ObjectKind::Clip)
        return QString();
    // A clip that has left the stage names the clip now in its place, or nothing.
    display::DisplayObject* object = static_cast<ClipObject*>(clip)->reachedDisplayObject();
    if (!object)
        return QString();
    return slashSyntax ? object->slashPath() : object->dotPath();
}

namespace {

display::MovieClip* clipOf(Object* object)
{
    return object && object->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(object)->clip() : nullptr;
}

} // namespace

void ScriptEngine::timelineCommand(Object* clip, TimelineCommand command)
{
    display::MovieClip* movieClip = clipOf(clip);
    if (!movieClip)
        return;
    switch (command) {
    case TimelineCommand::Play: movieClip->play(); break;
    case TimelineCommand::Stop: movieClip->stop(); break;
    case TimelineCommand::NextFrame: movieClip->nextFrame(); break;
    case TimelineCommand::PreviousFrame: movieClip->prevFrame(); break;
    }
}

void ScriptEngine::gotoFrame(Object* clip, int frame, bool play)
{
    if (display::MovieClip* movieClip = clipOf(clip)) {
        m_services->keepAlive(movieClip->sharedFromThis());
        movieClip->gotoFrame(std::max(0, frame) + 1, !play);
    }
}

bool ScriptEngine::gotoLabel(Object* clip, const QString& label, bool play)
{
    display::MovieClip* movieClip = clipOf(clip);
    if (!movieClip)
        return false;
    m_services->keepAlive(movieClip->sharedFromThis());
    return movieClip->gotoLabel(label, !play);
}

int ScriptEngine::frameOf(Object* clip, const QString& frame)
{
    display::MovieClip* movieClip = clipOf(clip);
    if (!movieClip)
        return -1;
    bool isNumber = false;
    double number = frame.toDouble(&isNumber);
    // A timeline has at most 65535 frames; larger numbers must not overflow an int.
    if (isNumber && std::isfinite(number))
        return int(std::clamp(number, -1.0, 65536.0)) - 1;
    std::optional<int> labelled = movieClip->frameOfLabel(frame);
    return labelled ? *labelled - 1 : -1;
}

int ScriptEngine::framesLoaded(Object* clip)
{
    display::MovieClip* movieClip = clipOf(clip);
    return movieClip ? movieClip->framesLoaded() : 0;
}

void ScriptEngine::callFrame(Object* clip, int frame)
{
    display::MovieClip* movieClip = clipOf(clip);
    if (!movieClip || !movieClip->timeline() || frame < 0 || size_t(frame) >= movieClip->timeline()->frames.size())
        return;
    auto keep = movieClip->sharedFromThis();
    const swf::Frame& data = movieClip->timeline()->frames[size_t(frame)];
    for (const swf::ControlTag& tag : data.tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag))
            m_machine->runTopLevel(clip, action->actions, movieClip->swfVersion());
    }
}

void ScriptEngine::duplicateClip(Object* clip, const QString& name, int depth)
{
    if (display::MovieClip* movieClip = clipOf(clip))
        movieClip->duplicate(name, depth);
    else
        builtins::duplicateTextField(*m_machine, clip, name, depth);
}

void ScriptEngine::removeClip(Object* clip)
{
    if (display::MovieClip* movieClip = clipOf(clip)) {
        m_services->keepAlive(movieClip->sharedFromThis());
        movieClip->removeFromParent();
    }
}

void ScriptEngine::toggleQuality()
{
}

std::optional<QByteArray> ScriptEngine::readLocalFile(const QString& url)
{
    // A relative address starts from the first level's movie, as loadVariables' does.
    const display::DisplayObject* root = m_services->level(0);
    const QString baseUrl = root && root->library() ? root->library()->url() : QString();
    std::optional<QString> path = m_services->localPath(url, baseUrl);
    return path ? readLocalFileForScript(*path, readableCheck()) : std::nullopt;
}

std::function<bool(const QString&)> ScriptEngine::readableCheck() const
{
    return [services = m_services.get()](const QString& path) { return services->mayRead(path); };
}

void ScriptEngine::stopSounds()
{
}

} // namespace player::avm1
