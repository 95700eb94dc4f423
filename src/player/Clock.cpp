#include "Clock.h"

namespace player {

Clock::Clock()
{
    m_wallTimer.start();
}

void Clock::setReal(bool real)
{
    m_real = real;
}

double Clock::now() const
{
    return m_real ? static_cast<double>(m_wallTimer.elapsed()) : m_virtualMilliseconds;
}

double Clock::frameEnd(double frameRate) const
{
    if (m_real || frameRate <= 0)
        return now();
    return m_virtualMilliseconds + 1000.0 / frameRate;
}

void Clock::frameAdvanced(double frameRate)
{
    if (frameRate > 0)
        m_virtualMilliseconds += 1000.0 / frameRate;
}

} // namespace player
