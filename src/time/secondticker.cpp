#include "time/secondticker.h"

#include "platform/clock.h"
#include "time/wholesecond.h"

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
    m_lastSecond = {};
    m_timer.start(0); // the current second, once the caller has returned
}

void SecondTicker::stop()
{
    m_running = false;
    m_timer.stop();
}

void SecondTicker::arm()
{
    m_timer.start(delayToNextSecond(m_clock.now().time()));
}

void SecondTicker::fire()
{
    const QDateTime now = m_clock.now();
    // Armed before the tick goes out: whatever its receivers do, the next
    // second comes.
    if (m_running)
        arm();
    const QDateTime second = wholeSecond(now);
    if (second != m_lastSecond) {
        m_lastSecond = second;
        emit tick(now);
    }
}
