#pragma once

#include "display/ScriptHost.h"

#include <memory>

namespace player {

class Player;

// The script engine for a player, or null when this build has none (movies then play without
// scripts). The widget and skrv-play both get their engine here. A time ceiling (in
// milliseconds, none when 0) caps how long one frame's scripts may run, whatever the movie asks.
std::unique_ptr<display::ScriptHost> makeScriptHost(Player& player, int scriptTimeCeiling = 0);

} // namespace player
