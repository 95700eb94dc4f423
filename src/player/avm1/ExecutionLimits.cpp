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
    m_actionsSinceCheck = 0;
    if (!m_expired)
        m_timer.start();
}

} // namespace player::avm1
