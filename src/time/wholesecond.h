#pragma once

#include <QDateTime>
#include <QTime>

/// The whole second a moment falls in: its milliseconds dropped.
QTime wholeSecond(QTime time);
QDateTime wholeSecond(const QDateTime &moment);

/// How many whole seconds a late tick may have skipped and still have them
/// count as time that passed: a tick 5 s late counts the 5 seconds it
/// skipped. After a longer gap (a suspend, the clock set forward) they do
/// not count, so nothing stale fires and no countdown jumps to its end.
inline constexpr int MaxSkippedSeconds = 5;
