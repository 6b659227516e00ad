#pragma once

#include "settings/settingsowner.h"
#include "time/timeentry.h"

#include <QObject>
#include <QString>
#include <QTime>

#include <optional>

/// The daily alarm: its time (itimer), its message (prompt) and its switch
/// (chkyntimer, stored inverted: 0 means on). Every reader and writer of the
/// alarm goes through here; each change is one write of the file.
///
/// The hour and minute as typed (hour, minute) are kept for the boxes of the
/// next opening; the daily shutdown keeps its typed time in the same keys.
class AlarmSettings : public SettingsOwner {
    Q_OBJECT
public:
    struct State {
        std::optional<QTime> time; ///< none: no time is set and it never rings
        QString message;
        bool on = true;
        friend bool operator==(const State &, const State &) = default;
    };

    explicit AlarmSettings(SettingsStore &store, QObject *parent = nullptr);

    static State read(const SettingsStore &store);
    State state() const { return read(m_store); }

    /// What the hour and minute boxes show: the stored time as it was typed
    /// when the boxes accept that text, else its plain numbers; empty texts
    /// without a time.
    TimeEntry::BoxTexts boxTexts() const;

    /// A time as typed in the boxes (each a whole number in range, else
    /// nothing is written and false comes back), with its message (left as
    /// it is when none is given), switched on or off.
    bool set(const TimeEntry::BoxTexts &typed, const std::optional<QString> &message, bool on);
    /// No time (it cannot ring); the typed time and the message stay for the
    /// next opening.
    bool clearTime(bool on);
    bool setOn(bool on);

    /// The stored switch for `on`.
    static SettingsStore::Change switchChange(bool on);
};
