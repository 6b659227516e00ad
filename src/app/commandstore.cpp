#include "app/commandstore.h"

#include "clock/duecheck.h"
#include "settings/featuresettings.h"
#include "time/timeentry.h"

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

// Every time the commands print is zero-padded, "01:05:40": one format for
// scripts to read (the store keeps its own).
QString shownTime(QTime time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString shutdownLine(const QDateTime &at, bool daily, bool noPrompt)
{
    const QString when = daily ? QStringLiteral("每天 %1").arg(shownTime(at.time()))
                               : QStringLiteral("%1 %2，一次")
                                     .arg(at.date().toString(Qt::ISODate), shownTime(at.time()));
    return QStringLiteral("定时关机：%1，%2\n")
        .arg(when,
             noPrompt ? QStringLiteral("不提示直接关机") : QStringLiteral("关机前提示 60 秒"));
}

} // namespace

Reply apply(const Command &command, FeatureSettings &settings, const QDateTime &now)
{
    bool ok = true;
    QString line;
    switch (command.kind) {
    case Kind::Alarm: {
        const QTime time = *TimeEntry::timeOfDay(command.hour, command.minute);
        ok = settings.alarm.set({command.hour, command.minute}, command.message, true);
        line =
            QStringLiteral("闹钟：每天 %1，已开启\n").arg(time.toString(QStringLiteral("HH:mm")));
        break;
    }
    case Kind::AlarmOff:
        ok = settings.alarm.setOn(false);
        line = QStringLiteral("闹钟：已关闭\n");
        break;
    case Kind::Chime:
        ok = settings.chime.setOn(command.on);
        line = command.on ? QStringLiteral("整点报时：已开启\n")
                          : QStringLiteral("整点报时：已关闭\n");
        break;
    case Kind::ShutdownAt:
    case Kind::ShutdownIn: {
        QDateTime at;
        if (command.kind == Kind::ShutdownIn) {
            at = ShutdownSettings::countdownEnd(now, command.minutes);
            ok = settings.shutdown.setOnce(at, command.noPrompt, true);
        } else {
            const QTime time = *TimeEntry::timeOfDay(command.hour, command.minute);
            at = ShutdownSettings::nextAt(now, time);
            ok = command.daily ? settings.shutdown.setDaily({command.hour, command.minute},
                                                            command.noPrompt, true)
                               : settings.shutdown.setOnce(at, command.noPrompt, true);
        }
        line = shutdownLine(at, command.daily, command.noPrompt);
        break;
    }
    case Kind::Cancel:
        ok = settings.shutdown.setOn(false);
        line = QStringLiteral("定时关机：已取消\n");
        break;
    default:
        return {};
    }
    if (!ok)
        return Reply::failure(CommandLine::Failure, notWritten(settings.store));
    return Reply{CommandLine::Success, line, QString()};
}

QString status(const SettingsStore &store, bool running, const QDateTime &now)
{
    const Schedule schedule = Schedule::read(store);
    const QString alarm = schedule.alarmAt ? schedule.alarmAt->toString(QStringLiteral("HH:mm"))
                                           : QStringLiteral("off");
    QString shutdown = QStringLiteral("off");
    if (schedule.shutdownAt && !schedule.shutdownGoneBy(now.date(), now.time())) {
        shutdown = shownTime(*schedule.shutdownAt);
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
    add("alarm-message", CommandLine::escaped(AlarmSettings::read(store).message));
    add("chime", schedule.hourlyChime ? QStringLiteral("on") : QStringLiteral("off"));
    add("shutdown", shutdown);
    add("running", running ? QStringLiteral("yes") : QStringLiteral("no"));
    return text;
}

} // namespace CommandStore
