#pragma once

#include "settings/settingsstore.h"
#include "time/timeentry.h"

#include <QList>
#include <QTime>

#include <optional>

/// The hour and minute as last typed in the alarm or the daily shutdown
/// (keys hour and minute), kept only so their boxes open with the time as
/// the user wrote it ("07"). The time itself lives in each feature's own key.
namespace TypedTime {

/// The boxes' texts for `time`: the typed texts when they are that time and
/// the boxes accept them as they stand, else the time's plain numbers ("7",
/// "0"); empty texts when there is no time.
TimeEntry::BoxTexts boxTexts(const SettingsStore &store, std::optional<QTime> time);

/// The changes that keep `typed` (each a whole number in range), in a form
/// the boxes accept: "00" is kept as "0".
QList<SettingsStore::Change> changes(const TimeEntry::BoxTexts &typed);

} // namespace TypedTime
