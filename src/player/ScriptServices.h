#pragma once

#include "avm1/EngineServices.h"

namespace player {

class Player;

// The player as its script engine sees it: traces, commands and calls go to the player's
// outlets, loads to its movie loader, and the mouse and keyboard are its input dispatcher's.
class ScriptServices final : public avm1::EngineServices {
public:
    explicit ScriptServices(Player& player) : m_player(player) {}

    void trace(const QString& line) override;
    void fsCommand(const QString& command, const QString& arguments) override;
    void flashCall(const QString& request) override;
    display::MovieClip* level(int number) override;
    void unloadLevel(int number) override;
    void requestLoad(display::LoadRequest request) override;
    std::optional<QString> localPath(const QString& url, const QString& baseUrl) override;
    bool mayRead(const QString& path) override;
    void limitReached(const QString& reason) override;
    bool isMovieStopped() override;
    double milliseconds() override;
    std::optional<QSize> viewportSize() override;
    void keepAlive(std::shared_ptr<display::DisplayObject> object) override;
    avm1::InputPort& input() override;

private:
    Player& m_player;
};

} // namespace player
