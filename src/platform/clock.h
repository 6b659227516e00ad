#pragma once

#include "platform/localzone.h"

#include <QDateTime>

/// The current local date and time. Everything that asks "what time is it?"
/// goes through this, so tests can run on a clock they control.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime now() const = 0;
};

/// The system's local wall clock. The local time zone is read once and read
/// again when it changes (LocalZone), so asking the time costs no file look-up.
class SystemClock final : public IClock {
public:
    QDateTime now() const override;

private:
    LocalZone m_zone;
};
