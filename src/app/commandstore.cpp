#include "app/commandstore.h"

#include "clock/schedulertick.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "settings/shutdownschedule.h"
#include "time/timeentry.h"
#include "time/timetext.h"

namespace CommandStore {

namespace {

using CommandLine::Command;
using CommandLine::Reply;
using Kind = Command::Kind;

QString notWritten(const SettingsStore &store)
{
    QString reason = store.problem();
    if (reason.isEmpty())
        reason = QStringLiteral("无法写入设置文件 %1").arg(store.filePath());
    return QStringLiteral("zirvel：") + reason.split(QLatin1Char('\r')).join(QStringLiteral("；"));
}

QString shutdownLine(const QDateTime &at, bool daily, bool noPrompt)
{
    const QString when =
        daily ? QStringLiteral("每天 %1").arg(TimeText::format(at.time()))
              : QStringLiteral("%1 %2，一次")
                    .arg(at.date().toString(Qt::ISODate), TimeText::format(at.time()));
    return QStringLiteral("定时关机：%1，%2\n")
        .arg(when,
             noPrompt ? QStringLiteral("不提示直接关机") : QStringLiteral("关机前提示 60 秒"));
}

} // namespace

Reply apply(const Command &command, SettingsStore &store, const QDateTime &now)
{
    bool ok = true;
    QString line;
    switch (command.kind) {
    case Kind::Alarm: {
        const QTime time = *TimeEntry::timeOfDay(command.hour, command.minute);
        ok = store.save(Keys::Hour, command.hour);
        ok = store.save(Keys::Minute, command.minute) && ok;
        if (command.message)
            ok = store.save(Keys::Prompt, *command.message) && ok;
        ok = store.save(Keys::ITimer, TimeText::format(time)) && ok;
        ok = store.setAlarmOn(true) && ok;
        line =
            QStringLiteral("闹钟：每天 %1，已开启\n").arg(time.toString(QStringLiteral("HH:mm")));
        break;
    }
    case Kind::AlarmOff:
        ok = store.setAlarmOn(false);
        line = QStringLiteral("闹钟：已关闭\n");
        break;
    case Kind::Chime:
        ok = store.setFlag(Keys::ChkIntTime, command.on ? 1 : 0);
        line = command.on ? QStringLiteral("整点报时：已开启\n")
                          : QStringLiteral("整点报时：已关闭\n");
        break;
    case Kind::ShutdownAt:
    case Kind::ShutdownIn: {
        QDateTime at;
        if (command.kind == Kind::ShutdownIn) {
            at = TimeEntry::minutesLater(now, command.minutes);
            ok = ShutdownSchedule::storeOnce(store, at);
        } else {
            const QTime time = *TimeEntry::timeOfDay(command.hour, command.minute);
            at = QDateTime(TimeEntry::dayOfNext(now, time), time);
            ok = command.daily
                     ? ShutdownSchedule::storeDaily(store, command.hour, command.minute, time)
                     : ShutdownSchedule::storeOnce(store, at);
        }
        ok = store.setFlag(Keys::ChkImedClose, command.noPrompt ? 1 : 0) && ok;
        ok = store.setFlag(Keys::ChkOpenClose, 1) && ok;
        line = shutdownLine(at, command.daily, command.noPrompt);
        break;
    }
    case Kind::Cancel:
        ok = store.setFlag(Keys::ChkOpenClose, 0);
        line = QStringLiteral("定时关机：已取消\n");
        break;
    default:
        return {};
    }
    if (!ok)
        return Reply::failure(CommandLine::Failure, notWritten(store));
    return Reply{CommandLine::Success, line, QString()};
}

QString status(const SettingsStore &store, bool running, const QDateTime &now)
{
    const Schedule schedule = Schedule::read(store);
    const QString alarm = schedule.alarmAt ? schedule.alarmAt->toString(QStringLiteral("HH:mm"))
                                           : QStringLiteral("off");
    QString shutdown = QStringLiteral("off");
    if (schedule.shutdownAt && !schedule.shutdownGoneBy(now.date(), now.time())) {
        shutdown = TimeText::format(*schedule.shutdownAt);
        if (!schedule.shutdownOnce)
            shutdown += QStringLiteral(" daily");
        else if (schedule.shutdownDay)
            shutdown += QStringLiteral(" once ") + schedule.shutdownDay->toString(Qt::ISODate);
        else
            shutdown += QStringLiteral(" once");
        if (schedule.noPrompt == 1)
            shutdown += QStringLiteral(" no-prompt");
    }
    QString text;
    const auto add = [&text](const char *key, const QString &value) {
        text += QLatin1String(key) + QLatin1Char('\t') + value + QLatin1Char('\n');
    };
    add("alarm", alarm);
    add("alarm-message", CommandLine::escaped(store.text(Keys::Prompt)));
    add("chime", schedule.hourlyChime ? QStringLiteral("on") : QStringLiteral("off"));
    add("shutdown", shutdown);
    add("running", running ? QStringLiteral("yes") : QStringLiteral("no"));
    return text;
}

} // namespace CommandStore
