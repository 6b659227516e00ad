#include "settings/shutdownsettings.h"

#include "settings/settingskeys.h"
#include "settings/typedtime.h"
#include "time/timetext.h"

#include <algorithm>

namespace {

QString flagText(bool set)
{
    return set ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ShutdownSettings::ShutdownSettings(SettingsStore &store, QObject *parent)
    : SettingsOwner(store,
                    {Keys::ChkOpenClose, Keys::Timer, Keys::ChkCloseTime, Keys::TimerDate,
                     Keys::ChkImedClose, Keys::Hour, Keys::Minute},
                    parent)
{
}

ShutdownSettings::State ShutdownSettings::read(const SettingsStore &store)
{
    State s;
    s.on = store.flag(Keys::ChkOpenClose) == 1;
    s.time = store.time(Keys::Timer);
    s.daily = store.flag(Keys::ChkCloseTime) == 1;
    if (!s.daily)
        s.day = store.date(Keys::TimerDate);
    s.noPrompt = store.flag(Keys::ChkImedClose) == 1;
    return s;
}

TimeEntry::BoxTexts ShutdownSettings::boxTexts() const
{
    const State s = state();
    return s.daily ? TypedTime::boxTexts(m_store, s.time) : TimeEntry::BoxTexts{};
}

SettingsStore::Change ShutdownSettings::switchChange(bool on)
{
    return {Keys::ChkOpenClose, flagText(on)};
}

bool ShutdownSettings::setDaily(const TimeEntry::BoxTexts &typed, bool noPrompt, bool on)
{
    const std::optional<QTime> time = TimeEntry::timeOfDay(typed.hour, typed.minute);
    if (!time)
        return false;
    QList<SettingsStore::Change> changes = TypedTime::changes(typed);
    changes << SettingsStore::Change{Keys::ChkCloseTime, flagText(true)}
            << SettingsStore::Change{Keys::TimerDate, QString()}
            << SettingsStore::Change{Keys::Timer, TimeText::format(*time)}
            << SettingsStore::Change{Keys::ChkImedClose, flagText(noPrompt)} << switchChange(on);
    return m_store.save(changes);
}

bool ShutdownSettings::setOnce(const QDateTime &at, bool noPrompt, bool on)
{
    return m_store.save({{Keys::ChkCloseTime, flagText(false)},
                         {Keys::TimerDate, at.date().toString(Qt::ISODate)},
                         {Keys::Timer, TimeText::format(at.time())},
                         {Keys::ChkImedClose, flagText(noPrompt)},
                         switchChange(on)});
}

bool ShutdownSettings::clearTime(bool noPrompt, bool on)
{
    return m_store.save(
        {{Keys::Timer, QString()}, {Keys::ChkImedClose, flagText(noPrompt)}, switchChange(on)});
}

bool ShutdownSettings::setOn(bool on)
{
    return m_store.save({switchChange(on)});
}

QDateTime ShutdownSettings::countdownEnd(const QDateTime &now, int minutes)
{
    return TimeEntry::minutesLater(now, std::clamp(minutes, 0, LongestCountdown));
}

QDateTime ShutdownSettings::nextAt(const QDateTime &now, QTime time)
{
    return QDateTime(TimeEntry::dayOfNext(now, time), time);
}
