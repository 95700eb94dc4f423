#include "ScriptEngineFactory.h"

#include "Player.h"

#if __has_include("player/avm1/ScriptEngine.h")
#include "ScriptServices.h"
#include "player/avm1/ScriptEngine.h"
#define SKRV_HAS_SCRIPT_ENGINE 1
#endif

namespace player {

std::unique_ptr<display::ScriptHost> makeScriptHost([[maybe_unused]] Player& player)
{
#ifdef SKRV_HAS_SCRIPT_ENGINE
    return avm1::createScriptHost(std::make_unique<ScriptServices>(player));
#else
    return nullptr;
#endif
}

} // namespace player
