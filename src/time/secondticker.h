#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class IClock;

/// Fires once per wall-clock second, just after the second begins, so the
/// display never skips or repeats a second and the program wakes about once
/// a second. The first tick comes as soon as the event loop runs after
/// start(), so the second the ticker starts in counts too.
///
/// Nothing that runs inside the tick may block: receivers decide and return,
/// and start anything that may wait (a message box, a pop-up's load, a power
/// request) after the tick has returned. The ticker arms itself for the next
/// second before it emits, so even a receiver that breaks this rule and runs
/// an event loop does not stop the seconds.
class SecondTicker : public QObject {
    Q_OBJECT
public:
    explicit SecondTicker(IClock &clock, QObject *parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_running; }

    /// Milliseconds from a time to shortly after the next second boundary.
    static int delayToNextSecond(const QTime &now);

signals:
    void secondPassed(const QDateTime &now);

private:
    void fire();

    IClock &m_clock;
    QTimer m_timer;
    QDate m_lastDate; ///< with m_lastSecond: the wall-clock second of the last tick
    int m_lastSecond = -1;
    bool m_running = false;
};
