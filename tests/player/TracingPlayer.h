#pragma once

#include "player/Player.h"
#include "player/ScriptEngineFactory.h"

#include <QStringList>

// The set-up most script tests share: a player runs scripts, and their trace lines are
// collected in order in a list that outlives the calls.
inline void runScriptsTracing(player::Player& engine, QStringList& traces, int scriptTimeCeiling = 0)
{
    engine.setScriptHost(player::makeScriptHost(engine, scriptTimeCeiling));
    engine.onTrace = [&traces](const QString& line) { traces.append(line); };
}

// The same as one object. The player is a member (its class is final); tests name both through
// references: `TracingPlayer run; player::Player& player = run.engine;`.
struct TracingPlayer {
    explicit TracingPlayer(int scriptTimeCeiling = 0) { runScriptsTracing(engine, traces, scriptTimeCeiling); }
    TracingPlayer(const TracingPlayer&) = delete;
    TracingPlayer& operator=(const TracingPlayer&) = delete;

    player::Player engine;
    QStringList traces;
};
