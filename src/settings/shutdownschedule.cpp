#include "settings/shutdownschedule.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "time/timetext.h"

namespace ShutdownSchedule {

bool storeOnce(SettingsStore &store, const QDateTime &at)
{
    bool ok = store.setFlag(Keys::ChkCloseTime, 0);
    ok = store.save(Keys::TimerDate, at.date().toString(Qt::ISODate)) && ok;
    return store.save(Keys::Timer, TimeText::format(at.time())) && ok;
}

bool storeDaily(SettingsStore &store, const QString &hour, const QString &minute, QTime time)
{
    bool ok = store.save(Keys::Hour, hour);
    ok = store.save(Keys::Minute, minute) && ok;
    ok = store.setFlag(Keys::ChkCloseTime, 1) && ok;
    ok = store.save(Keys::TimerDate, QString()) && ok;
    return store.save(Keys::Timer, TimeText::format(time)) && ok;
}

} // namespace ShutdownSchedule
