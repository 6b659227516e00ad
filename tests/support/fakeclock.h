#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>

/// A clock that stands still until the test moves it, or, after run(), goes
/// on at the speed of real time from where it stands.
class FakeClock final : public IClock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    QDateTime now() const override;
    void set(const QDateTime &t);
    void advance(qint64 ms);
    /// From now on the clock runs with real time (until set() or advance()).
    void run();

private:
    QDateTime m_now;
    QElapsedTimer m_running;
};
