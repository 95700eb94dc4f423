#pragma once

#include <QElapsedTimer>

namespace player {

// The player's time (getTimer, intervals). By default virtual: it moves by one frame interval
// per frame, so runs repeat exactly; a real clock follows the wall time instead.
class Clock {
public:
    Clock();

    void setReal(bool real);
    bool isReal() const { return m_real; }

    // Milliseconds since the player started.
    double now() const;
    // A frame was played: the virtual clock moves on by one frame interval.
    void frameAdvanced(double frameRate);
    // When the frame that plays now ends and the next starts: one frame interval on for the
    // virtual clock, now for the real one.
    double frameEnd(double frameRate) const;

private:
    bool m_real = false;
    double m_virtualMilliseconds = 0.0;
    QElapsedTimer m_wallTimer;
};

} // namespace player
