#include "settings/alarmsettings.h"

#include "settings/settingskeys.h"
#include "settings/typedtime.h"
#include "time/timetext.h"

AlarmSettings::AlarmSettings(SettingsStore &store, QObject *parent)
    : SettingsOwner(store, {Keys::ITimer, Keys::Prompt, Keys::ChkYnTimer, Keys::Hour, Keys::Minute},
                    parent)
{
}

AlarmSettings::State AlarmSettings::read(const SettingsStore &store)
{
    State s;
    s.time = store.time(Keys::ITimer);
    s.message = store.text(Keys::Prompt);
    s.on = store.flag(Keys::ChkYnTimer) == 0;
    return s;
}

TimeEntry::BoxTexts AlarmSettings::boxTexts() const
{
    return TypedTime::boxTexts(m_store, state().time);
}

SettingsStore::Change AlarmSettings::switchChange(bool on)
{
    return {Keys::ChkYnTimer, on ? QStringLiteral("0") : QStringLiteral("1")};
}

bool AlarmSettings::set(const TimeEntry::BoxTexts &typed, const std::optional<QString> &message,
                        bool on)
{
    const std::optional<QTime> time = TimeEntry::timeOfDay(typed.hour, typed.minute);
    if (!time)
        return false;
    QList<SettingsStore::Change> changes = TypedTime::changes(typed);
    if (message)
        changes << SettingsStore::Change{Keys::Prompt, *message};
    changes << SettingsStore::Change{Keys::ITimer, TimeText::format(*time)} << switchChange(on);
    return m_store.save(changes);
}

bool AlarmSettings::clearTime(bool on)
{
    return m_store.save({{Keys::ITimer, QString()}, switchChange(on)});
}

bool AlarmSettings::setOn(bool on)
{
    return m_store.save({switchChange(on)});
}
