#include "settings/typedtime.h"

#include "settings/settingskeys.h"

namespace TypedTime {

namespace {

using Field = TimeEntry::Field;

// The text as the box shows it without a complaint: a box refuses "00"
// (it does not start with a number other than 0), so that becomes "0".
QString accepted(Field field, const QString &text, int value)
{
    const TimeEntry::ChangeCheck check = TimeEntry::checkChange(field, text);
    if (check.outcome == TimeEntry::ChangeCheck::Outcome::SpinnerValue && check.value == value)
        return text;
    return QString::number(value);
}

} // namespace

TimeEntry::BoxTexts boxTexts(const SettingsStore &store, std::optional<QTime> time)
{
    if (!time)
        return {};
    const QString hour = store.text(Keys::Hour);
    const QString minute = store.text(Keys::Minute);
    const bool typedIsTime = TimeEntry::wholeValue(Field::Hour, hour) == time->hour() &&
                             TimeEntry::wholeValue(Field::Minute, minute) == time->minute();
    if (!typedIsTime)
        return {QString::number(time->hour()), QString::number(time->minute())};
    return {accepted(Field::Hour, hour, time->hour()),
            accepted(Field::Minute, minute, time->minute())};
}

QList<SettingsStore::Change> changes(const TimeEntry::BoxTexts &typed)
{
    const int hour = TimeEntry::wholeValue(Field::Hour, typed.hour).value_or(0);
    const int minute = TimeEntry::wholeValue(Field::Minute, typed.minute).value_or(0);
    return {{Keys::Hour, accepted(Field::Hour, typed.hour, hour)},
            {Keys::Minute, accepted(Field::Minute, typed.minute, minute)}};
}

} // namespace TypedTime
