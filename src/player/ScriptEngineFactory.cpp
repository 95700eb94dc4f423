#include "ScriptEngineFactory.h"

#include "Player.h"

#if __has_include("player/avm1/ScriptEngine.h")
#include "ScriptServices.h"
#include "player/avm1/Machine.h"
#include "player/avm1/ScriptEngine.h"
#define SKRV_HAS_SCRIPT_ENGINE 1
#endif

namespace player {

std::unique_ptr<display::ScriptHost> makeScriptHost([[maybe_unused]] Player& player, [[maybe_unused]] int scriptTimeCeiling)
{
#ifdef SKRV_HAS_SCRIPT_ENGINE
    auto engine = std::make_unique<avm1::ScriptEngine>(std::make_unique<ScriptServices>(player));
    engine->machine().limits().setTimeCeiling(scriptTimeCeiling);
    return engine;
#else
    return nullptr;
#endif
}

} // namespace player
