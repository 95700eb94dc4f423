#pragma once

#include <QElapsedTimer>

namespace player::avm1 {

// The limits Flash puts on one action list run by the player: call depth and running time
// (the movie's ScriptLimits tag, 256 levels and 15 seconds unless it says otherwise). Time is
// looked at every few thousand actions, as reading the clock costs more than an action.
class ExecutionLimits {
public:
    void configure(int maximumDepth, int timeoutSeconds);
    int maximumDepth() const { return m_maximumDepth; }

    // Called when the outermost action list starts; an expired limit stays expired until
    // resetExpiry.
    void start();
    // True once the time is up; cheap enough to call on every action.
    bool tick()
    {
        if (++m_actionsSinceCheck < checkInterval)
            return m_expired;
        m_actionsSinceCheck = 0;
        if (!m_expired && m_timer.isValid() && m_timer.elapsed() > m_timeoutMilliseconds)
            m_expired = true;
        return m_expired;
    }
    bool expired() const { return m_expired; }
    // The time limit stops the rest of a frame's scripts; the next frame starts afresh.
    void resetExpiry() { m_expired = false; }

private:
    static constexpr int checkInterval = 4096;
    int m_maximumDepth = 256;
    qint64 m_timeoutMilliseconds = 15000;
    int m_actionsSinceCheck = 0;
    bool m_expired = false;
    QElapsedTimer m_timer;
};

} // namespace player::avm1
