#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace player {
class Player;
namespace avm1 {
class ExecutionLimits;
}
} // namespace player

namespace catalogue {

// A template movie played by the player's engine alone: nothing is drawn and no clock runs.
// The host loads it, moves it to frames and reads its variables; the commands the movie sends
// meanwhile reach onCommand at once. Scripts get a short time limit, so that a movie that
// never ends costs a fraction of a second; once any limit of the player has stopped a script
// the movie counts as broken.
class TemplateMovie {
public:
    // What one script may run before it is stopped, in milliseconds.
    static constexpr int ScriptTimeLimit = 100;

    TemplateMovie();
    ~TemplateMovie();
    TemplateMovie(const TemplateMovie&) = delete;
    TemplateMovie& operator=(const TemplateMovie&) = delete;

    // Empties the movie's layer, then loads the file into it and runs its first frame. False
    // when the file is no movie the player can read.
    bool load(const QString& path);
    // Moves the root timeline to a frame counted from 0 and runs its scripts.
    void gotoFrame(int frame);
    // A variable by name or path; nothing when the movie has no such variable.
    std::optional<QString> variable(const QString& name);

    // True once a limit of the player has stopped one of the movie's scripts.
    bool isBroken() const;

    std::function<void(const QString& command, const QString& args)> onCommand;

private:
    std::unique_ptr<player::Player> m_player;
    player::avm1::ExecutionLimits* m_limits = nullptr;
};

} // namespace catalogue
