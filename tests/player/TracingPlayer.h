#pragma once

#include "player/Player.h"
#include "player/ScriptEngineFactory.h"

#include <QStringList>

// The set-up most script tests share: a player with the script engine whose trace lines are
// collected in order. The player is a member (its class is final); tests name both through
// references: `TracingPlayer run; player::Player& player = run.engine;`.
struct TracingPlayer {
    explicit TracingPlayer(int scriptTimeCeiling = 0)
    {
        engine.setScriptHost(player::makeScriptHost(engine, scriptTimeCeiling));
        engine.onTrace = [this](const QString& line) { traces.append(line); };
    }
    TracingPlayer(const TracingPlayer&) = delete;
    TracingPlayer& operator=(const TracingPlayer&) = delete;

    player::Player engine;
    QStringList traces;
};
