#include "settings/typedtime.h"

#include "settings/settingskeys.h"

namespace TypedTime {

using Field = TimeEntry::Field;

TimeEntry::BoxTexts boxTexts(const SettingsStore &store, std::optional<QTime> time)
{
    return TimeEntry::boxTexts(time, store.text(Keys::Hour), store.text(Keys::Minute));
}

QList<SettingsStore::Change> changes(const TimeEntry::BoxTexts &typed)
{
    const int hour = TimeEntry::wholeValue(Field::Hour, typed.hour).value_or(0);
    const int minute = TimeEntry::wholeValue(Field::Minute, typed.minute).value_or(0);
    return {{Keys::Hour, TimeEntry::shownText(Field::Hour, typed.hour, hour)},
            {Keys::Minute, TimeEntry::shownText(Field::Minute, typed.minute, minute)}};
}

} // namespace TypedTime
