#include "Player.h"

#include "ActionQueue.h"
#include "AssetImporter.h"
#include "FrameLifecycle.h"
#include "InputDispatcher.h"
#include "MovieLoader.h"
#include "display/ButtonInstance.h"
#include "display/EditTextInstance.h"
#include "display/GraphicInstances.h"
#include "display/VideoInstance.h"
#include "player/swf/MovieReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace player {

namespace {
// Characters nest (a sprite places a button that shows a sprite...); a malformed movie could
// make that endless, so instantiation stops at this depth.
constexpr int MaximumNesting = 64;

// A host frame (counted from 0) as a timeline frame (counted from 1). A movie has at most 65535
// frames, so anything beyond is the last one, and no number overflows on the way.
int hostFrameNumber(int frame)
{
    return std::clamp(frame, 0, 65534) + 1;
}
}

// Counts nested player calls; the outermost one, when it ends, lets go of what the inner calls
// kept alive.
class Player::CallScope {
public:
    explicit CallScope(Player& player) : m_player(player) { ++m_player.m_callDepth; }
    ~CallScope()
    {
        if (--m_player.m_callDepth == 0)
            m_player.releaseKeptAlive();
    }

private:
    Player& m_player;
};

Player::Player()
    : m_actions(std::make_unique<ActionQueue>()), m_lifecycle(std::make_unique<FrameLifecycle>(*m_actions)),
      m_input(std::make_unique<InputDispatcher>(m_stage, *m_actions)), m_loader(std::make_unique<MovieLoader>(*this))
{
}

Player::~Player()
{
    m_actions->clear();
    m_loader->clear();
    m_stage.clear();
    m_keptAlive.clear();
    m_removedPending.clear();
    m_setAside.clear();
    // The script engine goes last: display objects may hold bindings it made.
    m_scriptHost.reset();
}

void Player::setScriptHost(std::unique_ptr<display::ScriptHost> host)
{
    m_scriptHost = std::move(host);
}

void Player::releaseKeptAlive()
{
    std::vector<std::shared_ptr<display::DisplayObject>> removed;
    removed.swap(m_removedPending);
    if (m_scriptHost) {
        for (const auto& object : removed)
            m_scriptHost->objectRemoved(*object);
    }
    removed.clear();
    m_keptAlive.clear();
}

void Player::keepAlive(std::shared_ptr<display::DisplayObject> object)
{
    if (object)
        m_keptAlive.push_back(std::move(object));
}

std::shared_ptr<const display::MovieLibrary> Player::readMovieFile(const QString& url, QString* error) const
{
    QString path = url;
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(url).toLocalFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return nullptr;
    }
    if (file.size() > static_cast<qint64>(swf::MaximumMovieSize)) {
        if (error)
            *error = QStringLiteral("%1 is too large to be a movie").arg(path);
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    swf::MovieReadResult result = swf::readMovie(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size()));
    if (!result.movie) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromStdString(result.error));
        return nullptr;
    }
    return prepareLibrary(std::move(result.movie), url);
}

std::shared_ptr<const display::MovieLibrary> Player::prepareLibrary(std::shared_ptr<const swf::Movie> movie,
                                                                    const QString& url,
                                                                    const QString& importBaseUrl) const
{
    auto library = std::make_shared<display::MovieLibrary>(std::move(movie), url);
    if (!library->movie().imports.empty())
        AssetImporter(m_readableFolders).resolve(*library, importBaseUrl.isEmpty() ? url : importBaseUrl);
    return library;
}

std::optional<QString> Player::loadMovie(int level, const QString& url)
{
    CallScope scope(*this);
    if (url.trimmed() == QLatin1String("-1")) {
        unloadLevel(level);
        return std::nullopt;
    }
    // The root movie's folder is its own to read; a movie loaded by a script never widens that.
    if (level == 0) {
        m_readableFolders.setMovieLocation(url);
        // A new root movie starts with a clean slate: the old one's objects are going.
        m_stopReason.reset();
        m_liveObjects.clear();
    }
    QString error;
    std::shared_ptr<const display::MovieLibrary> library = readMovieFile(url, &error);
    if (!library) {
        unloadLevel(level);
        return error;
    }
    installLevel(level, std::move(library));
    return std::nullopt;
}

std::optional<QString> Player::loadMovieData(int level, const QByteArray& bytes, const QString& url)
{
    CallScope scope(*this);
    swf::MovieReadResult result = swf::readMovie(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size()));
    if (!result.movie) {
        unloadLevel(level);
        return QString::fromStdString(result.error);
    }
    if (level == 0) {
        m_readableFolders.setMovieLocation(url);
        // A new root movie starts with a clean slate: the old one's objects are going.
        m_stopReason.reset();
        m_liveObjects.clear();
    }
    installLevel(level, prepareLibrary(std::move(result.movie), url));
    return std::nullopt;
}

void Player::loadMovieLibrary(int level, std::shared_ptr<const display::MovieLibrary> library)
{
    CallScope scope(*this);
    if (library)
        installLevel(level, std::move(library));
    else
        unloadLevel(level);
}

void Player::unloadLevel(int level)
{
    CallScope scope(*this);
    if (std::shared_ptr<display::MovieClip> previous = m_stage.removeLevel(level)) {
        previous->markUnloaded();
        m_removedPending.push_back(previous);
    }
}

void Player::installLevel(int level, std::shared_ptr<const display::MovieLibrary> library)
{
    if (level == 0) {
        m_quit = false;
        m_frameRate = library->frameRate();
    }
    replaceLevel(level, std::move(library));
    if (level == 0 && m_frameCount == 0)
        m_frameCount = 1;
    // The movie's first frame ends like every other: its scripts, then the timers due and the
    // loads it started (a file an XML object asked for arrives within the frame).
    finishFrame();
}

void Player::finishFrame()
{
    runQueuedActions();
    if (m_scriptHost) {
        // The timers due before the next frame: what each call queued (a clip's onLoad) runs
        // before the next call.
        m_scriptHost->runTimers(m_clock.frameEnd(frameRate()), [this] { runQueuedActions(); });
        runQueuedActions();
    }
    m_loader->processPending();
}

display::MovieClip* Player::placeLoadedLevel(int level, std::shared_ptr<const display::MovieLibrary> library)
{
    CallScope scope(*this);
    return replaceLevel(level, std::move(library));
}

display::MovieClip* Player::replaceLevel(int level, std::shared_ptr<const display::MovieLibrary> library)
{
    auto root = std::make_shared<display::MovieClip>(*this, std::move(library), nullptr, 0);
    if (std::shared_ptr<display::MovieClip> previous = m_stage.setLevel(level, root)) {
        // The replaced level may be the one whose script asked for this: it stays alive (and
        // readable) until the outermost call returns.
        previous->markUnloaded();
        m_removedPending.push_back(previous);
    }
    objectPlaced(*root);
    root->runFirstFrame();
    return root.get();
}

void Player::limitReached(const QString& reason, bool stopMovie)
{
    if (m_stopReason)
        return;
    if (stopMovie)
        m_stopReason = reason;
    if (onLimitReached)
        onLimitReached(reason);
}

void Player::advanceFrame()
{
    if (m_stopReason || m_quit)
        return;
    CallScope scope(*this);
    finishSetAsideRemovals();
    if (m_scriptHost)
        m_scriptHost->frameStarted();
    m_clock.frameAdvanced(frameRate());
    m_lifecycle->advance(m_scriptHost != nullptr);
    finishFrame();
    ++m_frameCount;
}

void Player::runQueuedActions()
{
    if (m_scriptHost && !m_stopReason) {
        switch (m_actions->run(*m_scriptHost)) {
        case ActionQueue::RunResult::Finished:
            break;
        case ActionQueue::RunResult::OutOfTime:
            // Like a single script out of time: the rest of the frame's scripts are lost, and
            // the next frame starts afresh.
            limitReached(QStringLiteral("the movie's queued scripts ran out of time; the rest of them were dropped"),
                         false);
            break;
        case ActionQueue::RunResult::TooManyEntries:
            limitReached(QStringLiteral("the movie's scripts ran more than %1 action lists without end")
                             .arg(ActionQueue::MaximumEntriesPerRun),
                         true);
            break;
        }
    } else {
        m_actions->clear();
    }
}

void Player::mouseMove(double x, double y)
{
    CallScope scope(*this);
    m_input->mouseMove(m_scriptHost.get(), QPointF(x * 20.0, y * 20.0));
    runQueuedActions();
}

void Player::mouseDown()
{
    CallScope scope(*this);
    m_input->mouseDown(m_scriptHost.get());
    runQueuedActions();
}

void Player::mouseUp()
{
    CallScope scope(*this);
    m_input->mouseUp(m_scriptHost.get());
    runQueuedActions();
}

void Player::mouseLeft()
{
    CallScope scope(*this);
    m_input->mouseLeft(m_scriptHost.get());
    runQueuedActions();
}

void Player::keyDown(int keyCode, int ascii)
{
    CallScope scope(*this);
    m_input->keyDown(m_scriptHost.get(), keyCode, ascii);
    runQueuedActions();
}

void Player::resizeViewport(const QSize& size)
{
    if (m_viewportSize == size)
        return;
    m_viewportSize = size;
    if (!m_scriptHost || !m_stage.level(0) || isStopped())
        return;
    CallScope scope(*this);
    m_scriptHost->viewportResized();
    runQueuedActions();
}

void Player::keyUp(int keyCode)
{
    CallScope scope(*this);
    m_input->keyUp(m_scriptHost.get(), keyCode);
    runQueuedActions();
}

void Player::gotoFrame(int frame)
{
    CallScope scope(*this);
    if (display::MovieClip* root = m_stage.level(0)) {
        root->gotoFrame(hostFrameNumber(frame), true);
        runQueuedActions();
        finishHostCall();
    }
}

bool Player::gotoFrameOf(const QString& target, int frame)
{
    CallScope scope(*this);
    display::DisplayObject* object = findTarget(target);
    display::MovieClip* clip = object ? object->asMovieClip() : nullptr;
    if (!clip)
        return false;
    keepAlive(clip->sharedFromThis());
    // A negative frame leaves the clip at its first frame.
    clip->gotoFrame(hostFrameNumber(frame), true);
    runQueuedActions();
    finishHostCall();
    return true;
}

void Player::finishHostCall()
{
    // A host's goto never ends a frame, so the loads and unloads its scripts asked for are
    // carried out when the host's outermost call is done with them.
    if (m_callDepth == 1)
        m_loader->processPending();
}

std::optional<int> Player::currentFrameOf(const QString& target)
{
    display::DisplayObject* object = findTarget(target);
    display::MovieClip* clip = object ? object->asMovieClip() : nullptr;
    if (!clip)
        return std::nullopt;
    return std::max(0, clip->currentFrame() - 1);
}

bool Player::setVariable(const QString& name, const QString& value)
{
    CallScope scope(*this);
    if (!m_scriptHost)
        return false;
    const bool done = m_scriptHost->setVariable(name, value);
    runQueuedActions();
    return done;
}

std::optional<QString> Player::variable(const QString& name)
{
    CallScope scope(*this);
    if (!m_scriptHost)
        return std::nullopt;
    return m_scriptHost->getVariable(name);
}

void Player::trace(const QString& line)
{
    if (onTrace)
        onTrace(line);
}

void Player::fsCommand(const QString& command, const QString& args)
{
    CallScope scope(*this);
    if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0)
        m_quit = true;
    if (onFsCommand)
        onFsCommand(command, args);
}

void Player::flashCall(const QString& request)
{
    CallScope scope(*this);
    if (onFlashCall)
        onFlashCall(request);
}

display::DisplayObject* Player::findTarget(const QString& path)
{
    if (m_scriptHost)
        return m_scriptHost->resolveTarget(path);
    QString rest = path.trimmed();
    display::DisplayObject* current = m_stage.level(0);
    if (rest.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
        int end = 6;
        while (end < rest.size() && rest[end].isDigit())
            ++end;
        current = m_stage.level(rest.mid(6, end - 6).toInt());
        rest = rest.mid(end);
    } else if (rest.startsWith(QLatin1String("_root"), Qt::CaseInsensitive)) {
        rest = rest.mid(5);
    }
    const QStringList parts = rest.split(QRegularExpression(QStringLiteral("[./]")), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        display::DisplayContainer* container = current ? current->asContainer() : nullptr;
        if (!container)
            return nullptr;
        current = container->childByName(part, current->swfVersion() >= 7);
    }
    return current;
}

std::shared_ptr<display::DisplayObject> Player::instantiate(const std::shared_ptr<const display::MovieLibrary>& library,
                                                            uint16_t characterId)
{
    if (!library || m_instantiationDepth >= MaximumNesting || m_stopReason)
        return nullptr;
    // An imported character is an instance of the exporting movie's character.
    if (std::shared_ptr<const display::MovieLibrary> exporter = library->importedFrom(characterId))
        return instantiate(exporter, library->source(characterId).id);
    std::shared_ptr<const swf::Character> character = library->character(characterId);
    if (!character)
        return nullptr;
    ++m_instantiationDepth;
    std::shared_ptr<display::DisplayObject> object;
    switch (character->index()) {
    case 0:
        object = std::make_shared<display::ShapeInstance>(library, character, characterId);
        break;
    case 1:
        object = std::make_shared<display::MorphShapeInstance>(library, character, characterId);
        break;
    case 2:
        object = std::make_shared<display::BitmapInstance>(library, character, characterId);
        break;
    case 3:
        object = std::make_shared<display::MovieClip>(*this, library, character, characterId);
        break;
    case 4: {
        object = std::make_shared<display::ButtonInstance>(*this, library, character, characterId);
        break;
    }
    case 6:
        object = std::make_shared<display::StaticTextInstance>(library, character, characterId);
        break;
    case 7:
        object = std::make_shared<display::EditTextInstance>(library, character, characterId);
        break;
    case 8:
        object = std::make_shared<display::VideoInstance>(library, character, characterId);
        break;
    default: // fonts are not placed
        break;
    }
    --m_instantiationDepth;
    return object;
}

void Player::objectPlaced(display::DisplayObject& object)
{
    if (m_liveObjects.add(object.sharedFromThis()) > MaximumDisplayObjects && m_liveObjects.count() > MaximumDisplayObjects)
        limitReached(QStringLiteral("the movie made more than %1 display objects").arg(MaximumDisplayObjects), true);
    if (object.isMovieClip())
        m_lifecycle->clipCreated(std::static_pointer_cast<display::MovieClip>(object.sharedFromThis()));
    if (m_scriptHost) {
        m_scriptHost->objectCreated(object);
        if (object.isMovieClip())
            m_actions->queueEvent(object.sharedFromThis(), swf::clip_event::Load, "onLoad");
    }
    // A button makes its up state once it has its own name, so that its clips are named after it.
    if (object.kind() == display::DisplayKind::Button)
        static_cast<display::ButtonInstance&>(object).setState(display::ButtonInstance::State::Up);
}

void Player::objectRemoved(display::DisplayObject& object)
{
    std::shared_ptr<display::DisplayObject> shared = object.sharedFromThis();
    // An object set aside had its unload events queued then.
    if (m_scriptHost && !object.isAwaitingRemoval())
        queueUnloadEvents(object);
    m_removedPending.push_back(std::move(shared));
}

void Player::removeObject(display::DisplayContainer& container, int depth)
{
    display::DisplayObject* object = container.childAtDepth(depth);
    if (!object)
        return;
    if (!m_scriptHost || !waitsForUnload(*object)) {
        display::TimelineServices::removeObject(container, depth);
        return;
    }
    // The unload events are queued now, as for any removal; the object stays on the list, out
    // of the way, until the next frame begins.
    queueUnloadEvents(*object);
    if (std::shared_ptr<display::DisplayObject> setAside = container.setAsideChild(depth))
        m_setAside.push_back(std::move(setAside));
}

void Player::placementFailed(int tagDepth)
{
    trace(QStringLiteral("Warning: Failed to place object at depth %1.").arg(tagDepth));
}

bool Player::waitsForUnload(display::DisplayObject& object)
{
    if (object.isAwaitingRemoval())
        return false;
    if (object.isMovieClip()
        && ((object.clipEventMask() & swf::clip_event::Unload) || m_scriptHost->hasHandler(object, "onUnload")))
        return true;
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (waitsForUnload(*child))
                return true;
        }
    }
    return false;
}

void Player::finishSetAsideRemovals()
{
    std::vector<std::shared_ptr<display::DisplayObject>> setAside;
    setAside.swap(m_setAside);
    for (const std::shared_ptr<display::DisplayObject>& object : setAside) {
        display::DisplayContainer* parent = object->parent();
        // Gone already with a container removed for good, or moved on by a script.
        if (object->isRemoved() || !parent || parent->childAtDepth(object->depth()) != object.get())
            continue;
        display::TimelineServices::removeObject(*parent, object->depth());
    }
}

void Player::queueUnloadEvents(display::DisplayObject& object)
{
    // Flash unloads the clips inside first, in depth order and each with its own clips before
    // it, and the clip that was removed last. Clips already set aside for their unload have
    // theirs queued.
    if (const display::DisplayContainer* container = object.asContainer()) {
        for (const auto& [depth, child] : container->children()) {
            if (!child->isAwaitingRemoval())
                queueUnloadEvents(*child);
        }
    }
    if (object.isMovieClip())
        m_actions->queueEvent(object.sharedFromThis(), swf::clip_event::Unload, "onUnload");
}

void Player::queueFrameActions(display::MovieClip& clip, const swf::ActionCode& code)
{
    if (m_scriptHost)
        m_actions->queueActions(std::static_pointer_cast<display::MovieClip>(clip.sharedFromThis()), code);
}

void Player::queueInitActions(display::MovieClip& clip, uint16_t spriteId, const swf::ActionCode& code)
{
    if (!m_scriptHost)
        return;
    if (!m_initActionsDone.insert({clip.library().get(), spriteId}).second)
        return;
    m_actions->queueInitActions(std::static_pointer_cast<display::MovieClip>(clip.sharedFromThis()), code);
}

void Player::queueConstruction(display::MovieClip& clip)
{
    if (m_scriptHost)
        m_actions->queueConstruction(std::static_pointer_cast<display::MovieClip>(clip.sharedFromThis()));
}

QString Player::nextInstanceName()
{
    return QStringLiteral("instance%1").arg(++m_instanceCount);
}

void Player::importsReached(display::MovieClip& clip, int frame)
{
    if (!m_scriptHost)
        return;
    const std::shared_ptr<const display::MovieLibrary>& library = clip.library();
    auto shared = std::static_pointer_cast<display::MovieClip>(clip.sharedFromThis());
    for (const swf::ImportedAsset& asset : library->movie().imports) {
        if (asset.frame != frame)
            continue;
        std::shared_ptr<const display::MovieLibrary> exporter = library->importedFrom(asset.characterId);
        if (!exporter)
            continue;
        // Importing runs the init actions of the exporting movie, all of them, those of sprites
        // not imported included, with the importing clip as their "this". Each runs once per
        // movie and sprite, however many movies import from the exporter.
        for (const swf::Frame& exporterFrame : exporter->movie().timeline.frames) {
            for (const swf::ControlTag& tag : exporterFrame.tags) {
                const auto* init = std::get_if<swf::DoInitAction>(&tag);
                if (init && m_initActionsDone.insert({exporter.get(), init->spriteId}).second)
                    m_actions->queueInitActions(shared, init->actions);
            }
        }
    }
}

} // namespace player
