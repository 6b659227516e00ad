#pragma once

#include "settings/settingsowner.h"
#include "time/timeentry.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTime>

#include <optional>

/// The scheduled shutdown: its switch (chkopenclose), its time (timer),
/// whether it is daily (chkclosetime) or for one day (timerdate), and
/// whether it shuts down without the warning (chkImedClose). Every reader
/// and writer of the schedule goes through here; each change is one write
/// of the file.
class ShutdownSettings : public SettingsOwner {
    Q_OBJECT
public:
    struct State {
        bool on = false;
        std::optional<QTime> time; ///< none: no time is set
        bool daily = false;
        /// Not daily: the day it is for. An older store without the day has
        /// it shut down at its next time.
        std::optional<QDate> day;
        bool noPrompt = false;
        friend bool operator==(const State &, const State &) = default;
    };

    /// A countdown is 0 to this many minutes, from the dialog's slider (up to
    /// 180) or the command line alike.
    static constexpr int LongestCountdown = 1440;

    explicit ShutdownSettings(SettingsStore &store, QObject *parent = nullptr);

    static State read(const SettingsStore &store);
    State state() const { return read(m_store); }

    /// What the hour and minute boxes show: the daily time (as the alarm's
    /// boxes do); empty texts when the shutdown is not daily.
    TimeEntry::BoxTexts boxTexts() const;

    /// Every day at the time typed (each a whole number in range, else
    /// nothing is written and false comes back).
    bool setDaily(const TimeEntry::BoxTexts &typed, bool noPrompt, bool on);
    /// Once, at that moment (its whole second).
    bool setOnce(const QDateTime &at, bool noPrompt, bool on);
    /// No time; the other settings as given.
    bool clearTime(bool noPrompt, bool on);
    bool setOn(bool on);

    /// The stored switch for `on`.
    static SettingsStore::Change switchChange(bool on);

    /// The end of a countdown of `minutes` (0 to LongestCountdown) started at
    /// `now`: that many minutes later, at the first whole second not before
    /// that moment. 0 minutes is now.
    static QDateTime countdownEnd(const QDateTime &now, int minutes);
    /// The moment a shutdown at `time` set now is for: today while that time
    /// is ahead, else tomorrow.
    static QDateTime nextAt(const QDateTime &now, QTime time);
};
