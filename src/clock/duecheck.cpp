#include "clock/duecheck.h"

#include "settings/alarmsettings.h"
#include "settings/chimesettings.h"
#include "settings/shutdownsettings.h"
#include "time/wholesecond.h"

#include <QTimeZone>

Schedule Schedule::read(const SettingsStore &store)
{
    Schedule s;
    s.hourlyChime = ChimeSettings::read(store);
    const ShutdownSettings::State shutdown = ShutdownSettings::read(store);
    s.noPrompt = shutdown.noPrompt;
    if (shutdown.on) {
        s.shutdownAt = shutdown.time;
        s.shutdownOnce = !shutdown.daily;
        s.shutdownDay = shutdown.day;
    }
    if (const AlarmSettings::State alarm = AlarmSettings::read(store); alarm.on)
        s.alarmAt = alarm.time;
    return s;
}

DueActions Schedule::dueAt(QDate date, QTime second) const
{
    DueActions due;
    if (shutdownAt && *shutdownAt == second && (!shutdownDay || *shutdownDay == date)) {
        due.shutdown = true;
        due.noPrompt = noPrompt;
    }
    due.chime = hourlyChime && second.minute() == 0 && second.second() == 0;
    due.alarm = alarmAt && *alarmAt == second;
    return due;
}

bool Schedule::shutdownGoneBy(QDate date, QTime second) const
{
    if (!shutdownOnce || !shutdownDay || !shutdownAt)
        return false;
    return *shutdownDay < date || (*shutdownDay == date && *shutdownAt < second);
}

std::optional<QDateTime> Schedule::nextShutdown(const QDateTime &second) const
{
    if (!shutdownAt)
        return std::nullopt;
    if (shutdownDay) {
        const QDateTime moment(*shutdownDay, *shutdownAt, second.timeZone());
        return moment >= second ? std::optional(moment) : std::nullopt;
    }
    const QDateTime today(second.date(), *shutdownAt, second.timeZone());
    return today >= second ? today
                           : QDateTime(second.date().addDays(1), *shutdownAt, second.timeZone());
}

DueCheck::DueCheck(const SettingsStore &store) : m_store(store) {}

DueActions DueCheck::check(const QDateTime &now)
{
    const qint64 current = now.toMSecsSinceEpoch() / 1000;
    if (m_last == current)
        return {}; // this second was evaluated already

    // Late by a few seconds: evaluate the skipped ones too. A first tick, a
    // long gap or a clock set back: only the current second.
    const qint64 skipped = m_last ? current - *m_last - 1 : -1;
    const qint64 first = (skipped >= 0 && skipped <= MaxSkippedSeconds) ? *m_last + 1 : current;
    m_last = current;

    const QDate yesterday = now.date().addDays(-1);
    m_fired.removeIf([yesterday](const Fired &f) { return f.date < yesterday; });

    if (m_scheduleRevision != m_store.revision()) {
        m_schedule = Schedule::read(m_store);
        m_scheduleRevision = m_store.revision();
    }
    const Schedule &schedule = m_schedule;
    DueActions result;
    for (qint64 s = first; s <= current; ++s) {
        const QDateTime at = s == current ? now : now.addSecs(s - current);
        const QDate date = at.date();
        const QTime time = wholeSecond(at.time());
        // The warning counts down to the moment itself: it opens a minute
        // before, or at once with the seconds left when there are fewer.
        if (schedule.shutdownAt && !schedule.noPrompt) {
            const QDateTime second(date, time, at.timeZone());
            if (const std::optional<QDateTime> moment = schedule.nextShutdown(second)) {
                const qint64 left = second.secsTo(*moment);
                if (left <= WarningSeconds &&
                    claim(Action::Warning, moment->date(), moment->time())) {
                    result.warningSeconds = int(left);
                    result.warningFor = *moment;
                }
            }
        }
        if (s == first && schedule.shutdownGoneBy(date, time))
            result.disarmShutdown = true;
        const DueActions due = schedule.dueAt(date, time);
        if (due.shutdown && claim(Action::Shutdown, date, time)) {
            result.shutdown = true;
            result.noPrompt = due.noPrompt;
            result.disarmShutdown = schedule.shutdownOnce;
        }
        if (due.chime && claim(Action::Chime, date, time))
            result.chime = true;
        if (due.alarm && claim(Action::Alarm, date, time))
            result.alarm = true;
    }
    return result;
}

bool DueCheck::claim(Action action, QDate date, QTime time)
{
    const Fired fired{action, date, time};
    if (m_fired.contains(fired))
        return false;
    m_fired.append(fired);
    return true;
}
