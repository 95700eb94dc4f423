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

void ExecutionLimits::start()
{
    if (m_queueRunDepth > 0)
        return;
    m_actionsSinceCheck = 0;
    if (!m_expired)
        m_timer.start();
}

void ExecutionLimits::beginQueueRun()
{
    if (m_queueRunDepth++ > 0)
        return;
    m_actionsSinceCheck = 0;
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
    if (!m_expired && m_actionBudget > 0 && m_actionsCounted + m_actionsSinceCheck >= m_actionBudget)
        m_expired = true;
    if (!m_expired && m_timer.isValid() && m_timer.elapsed() > m_timeoutMilliseconds)
        m_expired = true;
    return m_expired;
}

} // namespace player::avm1
