#include "fakeclock.h"

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}

QDateTime FakeClock::now() const
{
    return m_running.isValid() ? m_now.addMSecs(m_running.elapsed()) : m_now;
}

void FakeClock::set(const QDateTime &t)
{
    m_now = t;
    m_running.invalidate();
}

void FakeClock::advance(qint64 ms)
{
    set(now().addMSecs(ms));
}

void FakeClock::run()
{
    m_now = now();
    m_running.start();
}
