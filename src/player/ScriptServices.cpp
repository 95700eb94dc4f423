#include "ScriptServices.h"

#include "InputDispatcher.h"
#include "LocalUrl.h"
#include "MovieLoader.h"
#include "Player.h"

namespace player {

void ScriptServices::trace(const QString& line)
{
    m_player.trace(line);
}

void ScriptServices::fsCommand(const QString& command, const QString& arguments)
{
    m_player.fsCommand(command, arguments);
}

void ScriptServices::flashCall(const QString& request)
{
    m_player.flashCall(request);
}

display::MovieClip* ScriptServices::level(int number)
{
    return m_player.stage().level(number);
}

void ScriptServices::unloadLevel(int number)
{
    // Like a load, a script's unload of a level waits for the end of the frame: until then the
    // level is still there for the scripts that follow.
    display::LoadRequest request;
    request.level = number;
    m_player.movieLoader().request(std::move(request));
}

void ScriptServices::requestLoad(display::LoadRequest request)
{
    m_player.movieLoader().request(std::move(request));
}

std::optional<QString> ScriptServices::localPath(const QString& url, const QString& baseUrl)
{
    return local_url::resolve(url, baseUrl);
}

bool ScriptServices::mayRead(const QString& path)
{
    return m_player.readableFolders().mayRead(path);
}

void ScriptServices::limitReached(const QString& reason)
{
    m_player.limitReached(reason, false);
}

bool ScriptServices::isMovieStopped()
{
    return m_player.isStopped();
}

double ScriptServices::milliseconds()
{
    return m_player.clock().now();
}

std::optional<QSize> ScriptServices::viewportSize()
{
    return m_player.viewportSize();
}

void ScriptServices::keepAlive(std::shared_ptr<display::DisplayObject> object)
{
    m_player.keepAlive(std::move(object));
}

avm1::InputPort& ScriptServices::input()
{
    return m_player.input();
}

} // namespace player
