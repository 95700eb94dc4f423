#include "ExecutionLimits.h"

#include <algorithm>

namespace player::avm1 {

void ExecutionLimits::configure(int maximumDepth, int timeoutSeconds)
{
    m_maximumDepth = std::clamp(maximumDepth, 1, 256);
    // A zero timeout in a ScriptLimits tag would stop every script at once; Flash treats the
    // tag's values as a request, so keep at least one second.
    m_requestedMilliseconds = qint64(std::clamp(timeoutSeconds, 1, 65535)) * 1000;
    applyTimeout();
}

void ExecutionLimits::setTimeCeiling(int milliseconds)
{
    m_ceilingMilliseconds = std::max(0, milliseconds);
    applyTimeout();
}

void ExecutionLimits::applyTimeout()
{
    m_timeoutMilliseconds =
        m_ceilingMilliseconds > 0 ? std::min(m_requestedMilliseconds, m_ceilingMilliseconds) : m_requestedMilliseconds;
}

bool ExecutionLimits::check()
{
    if (m_expired) {
        m_actionsSinceCheck = checkInterval;
        return true;
    }
    m_actionsCounted += m_actionsSinceCheck;
    m_actionsSinceCheck = 0;
    if ((m_actionBudget > 0 && m_actionsCounted >= m_actionBudget) || (m_timer.isValid() && m_timer.elapsed() > m_timeoutMilliseconds)
        || (stopRequested && stopRequested()))
        expire();
    return m_expired;
}

void ExecutionLimits::start()
{
    if (m_queueRunDepth > 0)
        return;
    m_actionsSinceCheck = m_expired ? checkInterval : 0;
    if (!m_expired)
        m_timer.start();
}

void ExecutionLimits::beginQueueRun()
{
    if (m_queueRunDepth++ > 0)
        return;
    m_actionsSinceCheck = m_expired ? checkInterval : 0;
    if (!m_expired)
        m_timer.start();
}

void ExecutionLimits::endQueueRun()
{
    if (m_queueRunDepth > 0)
        --m_queueRunDepth;
}

bool ExecutionLimits::queueRunSpent()
{
    if (m_expired)
        return true;
    if ((m_actionBudget > 0 && m_actionsCounted + m_actionsSinceCheck >= m_actionBudget)
        || (m_timer.isValid() && m_timer.elapsed() > m_timeoutMilliseconds))
        expire();
    return m_expired;
}

} // namespace player::avm1
