#pragma once

#include "platform/clock.h"

/// A clock that stands still until the test moves it.
class FakeClock final : public IClock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};
