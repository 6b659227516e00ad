#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

#include <optional>

class SettingsStore;

/// What became due in the seconds one check covered.
struct DueActions {
    /// The shutdown's moment came. Without the warning (`noPrompt`) the
    /// power request goes out now; with it, the warning makes it.
    bool shutdown = false;
    bool noPrompt = false; ///< as read by the check that found the shutdown due
    /// The warning opens, counting down this many seconds to the shutdown's
    /// moment: 60 (a minute before it), or fewer when it was set later.
    std::optional<int> warningSeconds;
    QDateTime warningFor; ///< with warningSeconds: the moment it counts down to
    bool chime = false;
    bool alarm = false;
    bool disarmShutdown = false; ///< the one-off shutdown fired, or its moment went by

    bool any() const { return shutdown || warningSeconds || chime || alarm || disarmShutdown; }
    friend bool operator==(const DueActions &, const DueActions &) = default;
};

/// The schedule as the store holds it right now.
struct Schedule {
    std::optional<QTime> shutdownAt; ///< set only while the scheduled shutdown is armed
    /// Not daily: the shutdown fires once, on `shutdownDay`, and is then
    /// switched off. A store without the day (an older one, or one edited by
    /// hand) has it fire at its next time.
    bool shutdownOnce = false;
    std::optional<QDate> shutdownDay;
    bool noPrompt = false;
    bool hourlyChime = false;
    std::optional<QTime> alarmAt; ///< set only while the alarm is armed

    static Schedule read(const SettingsStore &store);
    /// What the schedule makes due in one second of one day.
    DueActions dueAt(QDate date, QTime second) const;
    /// True when a one-off shutdown's moment lies before that second.
    bool shutdownGoneBy(QDate date, QTime second) const;
    /// The first moment of the armed shutdown at or after `second` (a whole
    /// second); nothing when none is armed or a one-off's has gone by.
    std::optional<QDateTime> nextShutdown(const QDateTime &second) const;
};

/// Decides what is due: which of the scheduled shutdown, the hourly chime and
/// the alarm came due since the last check, from the schedule the feature
/// settings hold.
///
/// A check evaluates each whole second since the previous check, so a timer
/// that fires a little late (up to MaxSkippedSeconds) loses nothing; after a
/// longer gap (a suspend, the
/// clock set forward) only the current second counts, so nothing stale fires.
/// An action fires at most once for a given date and time of day, so setting
/// the clock back (end of daylight saving, a manual change) never repeats it.
/// A one-off shutdown that fires, or whose moment has gone by unfired (the
/// program was not running, the machine slept), is reported for switching off.
///
/// check() only reads the store and decides; it never blocks. The schedule is
/// read again whenever the store has changed since the last check.
class DueCheck {
public:
    /// How long before the shutdown's moment the warning opens.
    static constexpr int WarningSeconds = 60;

    explicit DueCheck(const SettingsStore &store);

    /// Evaluates the seconds up to `now` that were not evaluated yet.
    DueActions check(const QDateTime &now);

private:
    enum class Action { Warning, Shutdown, Chime, Alarm };
    struct Fired {
        Action action;
        QDate date;
        QTime time;
        friend bool operator==(const Fired &, const Fired &) = default;
    };

    /// True the first time an action fires for this date and time of day.
    bool claim(Action action, QDate date, QTime time);

    const SettingsStore &m_store;
    Schedule m_schedule;
    std::optional<quint64> m_scheduleRevision; ///< the store's revision m_schedule was read at
    std::optional<qint64> m_last; ///< the last second evaluated, in seconds since the epoch
    QList<Fired> m_fired;
};
