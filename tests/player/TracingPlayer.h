#pragma once

#include "player/Player.h"
#include "player/ScriptEngineFactory.h"

#include <QStringList>

#include <optional>

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

    // Loads a movie on level 0 from its bytes, plays `frames` more frames and gives every line
    // traced so far; a movie the player refuses gives one line saying so and why.
    QStringList play(const QByteArray& bytes, int frames = 0, const QString& url = QStringLiteral("file:///test.swf"))
    {
        if (const std::optional<QString> error = engine.loadMovieData(0, bytes, url))
            return {QStringLiteral("<not loaded: %1>").arg(*error)};
        for (int frame = 0; frame < frames; ++frame)
            engine.advanceFrame();
        return traces;
    }

    // The same lines joined by '|', the form most tests compare.
    QString playJoined(const QByteArray& bytes, int frames = 0, const QString& url = QStringLiteral("file:///test.swf"))
    {
        return play(bytes, frames, url).join(u'|');
    }

    player::Player engine;
    QStringList traces;
};
