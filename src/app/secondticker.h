#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class IClock;

/// Fires once per wall-clock second, just after the second begins, so the
/// display never skips or repeats a second and the program wakes about once
/// a second.
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
    void tick(const QDateTime &now);

private:
    void fire();
    void arm();

    IClock &m_clock;
    QTimer m_timer;
    QDateTime m_lastSecond;
    bool m_running = false;
};
