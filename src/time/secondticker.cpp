#include "time/secondticker.h"

#include "platform/clock.h"

namespace {
// Fire this long after the boundary, so a timer that is a little early still
// lands in the new second.
constexpr int Margin = 20;
} // namespace

SecondTicker::SecondTicker(IClock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SecondTicker::fire);
}

int SecondTicker::delayToNextSecond(const QTime &now)
{
    return 1000 - now.msec() + Margin;
}

void SecondTicker::start()
{
    m_running = true;
    m_lastDate = {};
    m_timer.start(0); // the current second, once the caller has returned
}

void SecondTicker::stop()
{
    m_running = false;
    m_timer.stop();
}

void SecondTicker::fire()
{
    // One reading of the clock per tick, for the next arming and the tick.
    const QDateTime now = m_clock.now();
    const QDate date = now.date();
    const QTime time = now.time();
    // Armed before the tick goes out: whatever its receivers do, the next
    // second comes.
    if (m_running)
        m_timer.start(delayToNextSecond(time));
    // The wall-clock second, compared without a conversion to UTC: two
    // ticks a second apart never meet the same wall time twice, not even
    // where daylight saving ends.
    const int second = time.msecsSinceStartOfDay() / 1000;
    if (date != m_lastDate || second != m_lastSecond) {
        m_lastDate = date;
        m_lastSecond = second;
        emit secondPassed(now);
    }
}
