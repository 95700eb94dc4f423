#pragma once

#include "display/ScriptHost.h"

#include <memory>

namespace player {

class Player;

// The script engine for a player, or null when this build has none (movies then play without
// scripts). The widget and skrv-play both get their engine here.
std::unique_ptr<display::ScriptHost> makeScriptHost(Player& player);

} // namespace player
