#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

namespace player::avm1 {

// The limits Flash puts on one action list run by the player: call depth and running time
// (the movie's ScriptLimits tag, 256 levels and 15 seconds unless it says otherwise). The
// interpreter counts where a script can come back to code it has run, by the bytes of actions
// that may have run since: a range it enters counts its length, a jump back the distance it goes
// back. As every action takes at least a byte, the count is never below the actions run. Actions
// run through their handlers count one more each. Time is looked at every few thousand counted,
// as reading the clock costs more than an action.
class ExecutionLimits {
public:
    void configure(int maximumDepth, int timeoutSeconds);
    int maximumDepth() const { return m_maximumDepth; }

    // A ceiling the host puts on the running time, whatever the movie asks for: a host that
    // reads movies without showing them (the template catalogue) cannot wait seconds for a
    // script that never ends. Zero or less removes it.
    void setTimeCeiling(int milliseconds);
    qint64 timeoutMilliseconds() const { return m_timeoutMilliseconds; }

    // A budget of counted actions for the scripts of one frame, in units of a few thousand; once
    // spent, the frame's scripts stop as if their time were up. Unlike the clock it gives the
    // same result on every run, which a fuzzer needs. Zero or less removes it.
    void setActionBudget(int actions) { m_actionBudget = actions; }

    // How many times a limit (time, depth, length) has stopped the running scripts, and what
    // hears of each stop.
    int stops() const { return m_stops; }
    void countStop(const QString& reason)
    {
        ++m_stops;
        if (onStop)
            onStop(reason);
    }
    std::function<void(const QString& reason)> onStop;
    // Asked along with the clock: true ends the running scripts as if their time were up (the
    // player stopped the movie).
    std::function<bool()> stopRequested;

    // Called when the outermost action list starts; an expired limit stays expired until
    // resetExpiry. Inside a queue run the run's clock and action count go on instead.
    void start();

    // The player runs the action lists it queued in one go, and lists may queue more lists
    // without end, each well within the limits. The lists of one run therefore share one clock
    // and one action count: the run as a whole gets the time and the budget one list would.
    // Runs may nest (a script's event runs the queue); the outermost one counts.
    void beginQueueRun();
    void endQueueRun();
    // Asked between two lists of a queue run: reads the clock now, as a short list may never
    // reach a check of its own. True once the run's time or action budget is spent.
    bool queueRunSpent();
    // Counts count actions (one when not told); true once the time is up. Cheap enough to call
    // often: one sum and one test, the clock being read once every few thousand actions counted.
    // Once a limit has expired the count stays at the interval, so that every call answers from
    // the slow path.
    bool tick(int count = 1)
    {
        m_actionsSinceCheck += count;
        if (m_actionsSinceCheck < checkInterval) [[likely]]
            return false;
        return check();
    }
    bool expired() const { return m_expired; }
    // The time limit stops the rest of a frame's scripts; the next frame starts afresh.
    void resetExpiry()
    {
        m_expired = false;
        m_actionsCounted = 0;
        m_actionsSinceCheck = 0;
    }

private:
    static constexpr int checkInterval = 4096;
    void applyTimeout();
    bool check();
    void expire()
    {
        m_expired = true;
        m_actionsSinceCheck = checkInterval;
    }

    int m_maximumDepth = 256;
    qint64 m_requestedMilliseconds = 15000;
    qint64 m_ceilingMilliseconds = 0;
    qint64 m_timeoutMilliseconds = 15000;
    int m_stops = 0;
    int m_actionsSinceCheck = 0;
    qint64 m_actionsCounted = 0;
    int m_actionBudget = 0;
    bool m_expired = false;
    int m_queueRunDepth = 0;
    QElapsedTimer m_timer;
};

} // namespace player::avm1
