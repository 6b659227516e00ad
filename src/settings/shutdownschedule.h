#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

class SettingsStore;

/// How a scheduled shutdown is written to the store, by the shutdown
/// settings dialog and by the command line alike, so the scheduler reads
/// both the same way. Neither switches the shutdown on (chkopenclose) nor
/// touches chkImedClose: the callers store those. Each returns true when
/// every value reached the disk.
namespace ShutdownSchedule {

/// Once, at that moment: a time of day that is not daily, or the end of a
/// countdown. The day goes into timerdate, so it never repeats.
bool storeOnce(SettingsStore &store, const QDateTime &at);

/// Every day at `time`; the hour and minute as typed are kept for the
/// dialog's boxes ("07" comes back as "07").
bool storeDaily(SettingsStore &store, const QString &hour, const QString &minute, QTime time);

} // namespace ShutdownSchedule
