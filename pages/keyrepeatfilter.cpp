#include "keyrepeatfilter.h"

#include <chrono>

KeyRepeatFilter::KeyRepeatFilter()
    : m_clock(&KeyRepeatFilter::steadyMilliseconds)
{
}

void KeyRepeatFilter::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(&KeyRepeatFilter::steadyMilliseconds);
}

bool KeyRepeatFilter::accepts(const QString &code) const
{
    return !m_recorded || code != m_lastCode || m_clock() - m_lastTime > Window;
}

void KeyRepeatFilter::record(const QString &code)
{
    m_lastCode = code;
    m_lastTime = m_clock();
    m_recorded = true;
}

qint64 KeyRepeatFilter::steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
