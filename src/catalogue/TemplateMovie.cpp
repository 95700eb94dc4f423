#include "catalogue/TemplateMovie.h"

#include "player/Player.h"
#include "player/ScriptServices.h"
#include "player/avm1/Machine.h"
#include "player/avm1/ScriptEngine.h"

namespace catalogue {

TemplateMovie::TemplateMovie()
    : m_player(std::make_unique<player::Player>())
{
    auto engine = std::make_unique<player::avm1::ScriptEngine>(std::make_unique<player::ScriptServices>(*m_player));
    m_limits = &engine->machine().limits();
    m_limits->setTimeCeiling(ScriptTimeLimit);
    m_player->setScriptHost(std::move(engine));
    m_player->onFsCommand = [this](const QString& command, const QString& args) {
        if (onCommand)
            onCommand(command, args);
    };
}

TemplateMovie::~TemplateMovie() = default;

bool TemplateMovie::load(const QString& path)
{
    m_player->loadMovie(0, QStringLiteral("-1"));
    return !m_player->loadMovie(0, path).has_value();
}

void TemplateMovie::gotoFrame(int frame)
{
    m_player->gotoFrame(frame);
}

std::optional<QString> TemplateMovie::variable(const QString& name)
{
    return m_player->variable(name);
}

bool TemplateMovie::isBroken() const
{
    return m_limits->stops() > 0 || m_limits->expired() || m_player->isStopped();
}

} // namespace catalogue
