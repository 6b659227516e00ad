// The command line: what each form of the arguments asks for and how bad
// input is answered; what the commands write to the settings and print; and
// what they do to the windows of a running clock.

#include "app/commandline.h"
#include "app/commandrunner.h"
#include "app/commandstore.h"
#include "clock/clockstrip.h"
#include "savesettings.h"
#include "settings/featuresettings.h"
#include "settings/settingskeys.h"
#include "shutdown/shutdownwarning.h"
#include "testenvironment.h"
#include "tray/traycontroller.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using CommandLine::Command;
using CommandLine::Reply;
using Kind = Command::Kind;

Q_DECLARE_METATYPE(Kind)

namespace {

const QDate Today(2026, 12, 10);

/// The stored "key=value" texts of the given keys, "key=" for a key never saved.
QStringList stored(const SettingsStore &store, const QStringList &keys)
{
    QStringList entries;
    for (const QString &key : keys)
        entries << key + QLatin1Char('=') + store.text(key);
    return entries;
}

const QStringList AlarmKeys{QStringLiteral("hour"), QStringLiteral("minute"),
                            QStringLiteral("prompt"), QStringLiteral("itimer"),
                            QStringLiteral("chkyntimer")};
const QStringList ShutdownKeys{QStringLiteral("timer"),        QStringLiteral("timerdate"),
                               QStringLiteral("chkclosetime"), QStringLiteral("chkImedClose"),
                               QStringLiteral("chkopenclose"), QStringLiteral("hour"),
                               QStringLiteral("minute")};

} // namespace

class tst_CommandLine : public QObject {
    Q_OBJECT

private slots:
    void goodForms_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("time"); ///< hour and minute as typed, "h|m"
        QTest::addColumn<QVariant>("message");
        QTest::addColumn<QString>("flags"); ///< on, daily, no-prompt, minutes=N

        const QVariant none;
        QTest::newRow("nothing") << QStringList{} << Kind::Start << "|" << none << "";
        QTest::newRow("alarm") << QStringList{"--alarm", "07:30"} << Kind::Alarm << "07|30" << none
                               << "";
        QTest::newRow("alarm, message") << QStringList{"--alarm", "7:05", "--message", "会议"}
                                        << Kind::Alarm << "7|05" << QVariant("会议") << "";
        QTest::newRow("message first")
            << QStringList{"--message", "开会; \"报告\", 3 份", "--alarm", "23:59"} << Kind::Alarm
            << "23|59" << QVariant("开会; \"报告\", 3 份") << "";
        QTest::newRow("empty message") << QStringList{"--alarm", "0:0", "--message", ""}
                                       << Kind::Alarm << "0|0" << QVariant("") << "";
        QTest::newRow("message like an option")
            << QStringList{"--alarm", "8:00", "--message", "--quit"} << Kind::Alarm << "8|00"
            << QVariant("--quit") << "";
        QTest::newRow("value after =") << QStringList{"--alarm=6:45", "--message=a=b"}
                                       << Kind::Alarm << "6|45" << QVariant("a=b") << "";
        QTest::newRow("alarm off")
            << QStringList{"--alarm", "off"} << Kind::AlarmOff << "|" << none << "";
        QTest::newRow("alarm OFF")
            << QStringList{"--alarm", "OFF"} << Kind::AlarmOff << "|" << none << "";
        QTest::newRow("chime on") << QStringList{"--chime", "on"} << Kind::Chime << "|" << none
                                  << "on";
        QTest::newRow("chime off")
            << QStringList{"--chime", "off"} << Kind::Chime << "|" << none << "";
        QTest::newRow("shutdown at")
            << QStringList{"--shutdown-at", "22:30"} << Kind::ShutdownAt << "22|30" << none << "";
        QTest::newRow("shutdown at, daily, no prompt")
            << QStringList{"--no-prompt", "--shutdown-at", "7:5", "--daily"} << Kind::ShutdownAt
            << "7|5" << none << "daily no-prompt";
        QTest::newRow("shutdown in 1")
            << QStringList{"--shutdown-in", "1"} << Kind::ShutdownIn << "|" << none << "minutes=1";
        QTest::newRow("shutdown in 1440, no prompt")
            << QStringList{"--shutdown-in", "1440", "--no-prompt"} << Kind::ShutdownIn << "|"
            << none << "no-prompt minutes=1440";
        QTest::newRow("shutdown in 090")
            << QStringList{"--shutdown-in=090"} << Kind::ShutdownIn << "|" << none << "minutes=90";
        QTest::newRow("cancel") << QStringList{"--cancel"} << Kind::Cancel << "|" << none << "";
        QTest::newRow("status") << QStringList{"--status"} << Kind::Status << "|" << none << "";
        QTest::newRow("show") << QStringList{"--show"} << Kind::Show << "|" << none << "";
        QTest::newRow("hide") << QStringList{"--hide"} << Kind::Hide << "|" << none << "";
        QTest::newRow("quit") << QStringList{"--quit"} << Kind::Quit << "|" << none << "";
        QTest::newRow("help") << QStringList{"--help"} << Kind::Help << "|" << none << "";
        QTest::newRow("version") << QStringList{"--version"} << Kind::Version << "|" << none << "";
    }
    void goodForms()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Kind, kind);
        QFETCH(QString, time);
        QFETCH(QVariant, message);
        QFETCH(QString, flags);
        const Command c = CommandLine::parse(arguments);
        QCOMPARE(c.error, QString());
        QCOMPARE(c.kind, kind);
        QCOMPARE(c.hour + QLatin1Char('|') + c.minute, time);
        QCOMPARE(c.message.has_value(), message.isValid());
        if (message.isValid())
            QCOMPARE(*c.message, message.toString());
        QStringList got;
        if (c.on)
            got << QStringLiteral("on");
        if (c.daily)
            got << QStringLiteral("daily");
        if (c.noPrompt)
            got << QStringLiteral("no-prompt");
        if (c.minutes)
            got << QStringLiteral("minutes=%1").arg(c.minutes);
        QCOMPARE(got.join(QLatin1Char(' ')), flags);
    }

    void badForms_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");

        const QString alarmForm = QStringLiteral("HH:MM（时 0–23，分 0–59，整数）或 off");
        const auto badAlarm = [&](const char *value) {
            return QStringLiteral("zirvel：--alarm 的值 “%1” 不对，应为 %2")
                .arg(QString::fromUtf8(value).replace(QLatin1Char('\n'), QLatin1String("\\n")),
                     alarmForm);
        };
        for (const char *value : {"24:00", "7:60", "7", "7:5:0", "-1:00", "7.5:00", "７:００",
                                  " 7:00", "7:00\n", "on", "", "07h30"})
            QTest::addRow("alarm %s", value) << QStringList{"--alarm", value} << badAlarm(value);
        QTest::newRow("alarm, terminal controls")
            << QStringList{"--alarm", "\x1b[2J\x7f"}
            << QStringLiteral("zirvel：--alarm 的值 “\\x1b[2J\\x7f” 不对，应为 %1").arg(alarmForm);
        QTest::newRow("alarm, long value")
            << QStringList{"--alarm", QString(50, QLatin1Char('9'))}
            << QStringLiteral("zirvel：--alarm 的值 “%1...” 不对，应为 %2")
                   .arg(QString(40, QLatin1Char('9')), alarmForm);
        QTest::newRow("alarm, backslash and bidi override")
            << QStringList{"--alarm", QStringLiteral("7\\:00\u202e")}
            << QStringLiteral("zirvel：--alarm 的值 “7\\\\:00\\u202e” 不对，应为 %1")
                   .arg(alarmForm);
        QTest::newRow("alarm, long value of controls")
            << QStringList{"--alarm", QString(50, QChar(0x202e))}
            << QStringLiteral("zirvel：--alarm 的值 “%1...” 不对，应为 %2")
                   .arg(QStringLiteral("\\u202e").repeated(26), alarmForm);
        QTest::newRow("alarm without value")
            << QStringList{"--alarm"}
            << QStringLiteral("zirvel：--alarm 缺少值，应为 HH:MM 或 off");
        QTest::newRow("shutdown at 12")
            << QStringList{"--shutdown-at", "12"}
            << QStringLiteral(
                   "zirvel：--shutdown-at 的值 “12” 不对，应为 HH:MM（时 0–23，分 0–59，整数）");
        QTest::newRow("shutdown at off")
            << QStringList{"--shutdown-at=off"}
            << QStringLiteral(
                   "zirvel：--shutdown-at 的值 “off” 不对，应为 HH:MM（时 0–23，分 0–59，整数）");
        for (const char *value : {"1441", "1.5", "-5", "", "abc", "99999", "+5", "5 "})
            QTest::addRow("shutdown in %s", value)
                << QStringList{"--shutdown-in", value}
                << QStringLiteral("zirvel：--shutdown-in 的值 “%1” 不对，应为 0 到 1440 的整数分钟")
                       .arg(QString::fromUtf8(value));
        QTest::newRow("shutdown in without value")
            << QStringList{"--shutdown-in"}
            << QStringLiteral("zirvel：--shutdown-in 缺少值，应为 MINUTES");
        QTest::newRow("chime yes")
            << QStringList{"--chime", "yes"}
            << QStringLiteral("zirvel：--chime 的值 “yes” 不对，应为 on 或 off");
        QTest::newRow("message alone")
            << QStringList{"--message", "x"}
            << QStringLiteral("zirvel：--message 只能与 --alarm HH:MM 一起使用");
        QTest::newRow("message with alarm off")
            << QStringList{"--alarm", "off", "--message", "x"}
            << QStringLiteral("zirvel：--message 只能与 --alarm HH:MM 一起使用");
        QTest::newRow("daily with countdown")
            << QStringList{"--daily", "--shutdown-in", "5"}
            << QStringLiteral("zirvel：--daily 只能与 --shutdown-at HH:MM 一起使用");
        QTest::newRow("no prompt with alarm")
            << QStringList{"--alarm", "7:00", "--no-prompt"}
            << QStringLiteral("zirvel：--no-prompt 只能与 --shutdown-at HH:MM 或 --shutdown-in "
                              "MINUTES 一起使用");
        QTest::newRow("two commands")
            << QStringList{"--alarm", "7:00", "--chime", "on"}
            << QStringLiteral("zirvel：--alarm 和 --chime 不能同时使用，一次只给一个命令");
        QTest::newRow("cancel and quit")
            << QStringList{"--cancel", "--quit"}
            << QStringLiteral("zirvel：--cancel 和 --quit 不能同时使用，一次只给一个命令");
        QTest::newRow("twice") << QStringList{"--status", "--status"}
                               << QStringLiteral("zirvel：--status 只能给一次");
        QTest::newRow("value for a plain option")
            << QStringList{"--status=yes"} << QStringLiteral("zirvel：--status 不带值");
        QTest::newRow("unknown")
            << QStringList{"--frobnicate"}
            << QStringLiteral("zirvel：未知的选项 “--frobnicate”，可用的选项见 zirvel --help");
        QTest::newRow("short option")
            << QStringList{"-h"}
            << QStringLiteral("zirvel：未知的选项 “-h”，可用的选项见 zirvel --help");
        QTest::newRow("stray word")
            << QStringList{"--cancel", "now"}
            << QStringLiteral("zirvel：多余的参数 “now”，可用的选项见 zirvel --help");
    }
    void badForms()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        const Command c = CommandLine::parse(arguments);
        QCOMPARE(c.kind, Kind::Error);
        QCOMPARE(c.error, line);
        QVERIFY(!c.error.contains(QLatin1Char('\n')));
    }

    void helpAndVersion()
    {
        const QString help = CommandLine::helpText();
        QVERIFY(help.startsWith(QLatin1String("zirvel                                   start the "
                                              "clock (or raise the running one), as today\n")));
        QVERIFY(help.endsWith(QLatin1String("\nzirvel --help | --version\n")));
        QCOMPARE(help.count(QLatin1Char('\n')), 14);
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Zirvel " ZIRVEL_VERSION "\n"));
    }

    void channelTexts()
    {
        const QStringList args{"--alarm", "7:00", "--message", "第一行\n\"引号\"\t\\"};
        QCOMPARE(CommandLine::requestFromJson(CommandLine::requestJson(args)), args);
        QVERIFY(!CommandLine::requestJson(args).contains('\n'));
        QCOMPARE(CommandLine::requestFromJson(CommandLine::requestJson({})), QStringList());
        QVERIFY(!CommandLine::requestFromJson("{\"a\":1}"));
        QVERIFY(!CommandLine::requestFromJson("[1]"));
        const Reply reply{1, QStringLiteral("输出\n"), QStringLiteral("错误\n")};
        QCOMPARE(Reply::fromJson(reply.toJson()), reply);
        QVERIFY(!reply.toJson().contains('\n'));
        QVERIFY(!Reply::fromJson("garbage"));
    }

    // What each command stores: the keys the matching dialog writes, the
    // same way (the hour and minute as typed, the alarm switch inverted, a
    // one-off shutdown with its day), and nothing else.
    void stores_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("out");

        const QStringList old{"hour=9", "minute=15", "prompt=旧", "itimer=9:15:00", "chkyntimer=1"};
        QTest::newRow("alarm with message")
            << old << QStringList{"--alarm", "07:30", "--message", "会议"} << QTime(10, 0)
            << AlarmKeys
            << QStringList{"hour=07", "minute=30", "prompt=会议", "itimer=7:30:00", "chkyntimer=0"}
            << "闹钟：每天 07:30，已开启\n";
        QTest::newRow("alarm keeps the message")
            << old << QStringList{"--alarm", "7:5"} << QTime(10, 0) << AlarmKeys
            << QStringList{"hour=7", "minute=5", "prompt=旧", "itimer=7:05:00", "chkyntimer=0"}
            << "闹钟：每天 07:05，已开启\n";
        QTest::newRow("alarm on the hour")
            << old << QStringList{"--alarm", "7:00"} << QTime(10, 0) << AlarmKeys
            << QStringList{"hour=7", "minute=0", "prompt=旧", "itimer=7:00:00", "chkyntimer=0"}
            << "闹钟：每天 07:00，已开启\n";
        QTest::newRow("alarm off keeps time and message")
            << QStringList{"hour=9", "minute=15", "prompt=旧", "itimer=9:15:00", "chkyntimer=0"}
            << QStringList{"--alarm", "off"} << QTime(10, 0) << AlarmKeys
            << QStringList{"hour=9", "minute=15", "prompt=旧", "itimer=9:15:00", "chkyntimer=1"}
            << "闹钟：已关闭\n";
        QTest::newRow("chime on") << QStringList{} << QStringList{"--chime", "on"} << QTime(10, 0)
                                  << QStringList{"chkinttime"} << QStringList{"chkinttime=1"}
                                  << "整点报时：已开启\n";
        QTest::newRow("chime off")
            << QStringList{"chkinttime=1"} << QStringList{"--chime", "off"} << QTime(10, 0)
            << QStringList{"chkinttime"} << QStringList{"chkinttime=0"} << "整点报时：已关闭\n";

        const QStringList daily{"timer=6:00:00",  "chkclosetime=1", "chkImedClose=1",
                                "chkopenclose=0", "hour=06",        "minute=00"};
        QTest::newRow("shutdown at, later today")
            << daily << QStringList{"--shutdown-at", "22:30"} << QTime(10, 0) << ShutdownKeys
            << QStringList{"timer=22:30:00", "timerdate=2026-12-10", "chkclosetime=0",
                           "chkImedClose=0", "chkopenclose=1",       "hour=06",
                           "minute=00"}
            << "定时关机：2026-12-10 22:30:00，一次，关机前提示 60 秒\n";
        QTest::newRow("shutdown at, this minute gone: tomorrow")
            << QStringList{} << QStringList{"--shutdown-at", "10:15", "--no-prompt"}
            << QTime(10, 15, 30) << ShutdownKeys
            << QStringList{"timer=10:15:00", "timerdate=2026-12-11", "chkclosetime=0",
                           "chkImedClose=1", "chkopenclose=1",       "hour=",
                           "minute="}
            << "定时关机：2026-12-11 10:15:00，一次，不提示直接关机\n";
        QTest::newRow("shutdown at, daily")
            << QStringList{"timerdate=2026-12-09"}
            << QStringList{"--shutdown-at", "07:05", "--daily"} << QTime(10, 0) << ShutdownKeys
            << QStringList{"timer=7:05:00",  "timerdate=", "chkclosetime=1", "chkImedClose=0",
                           "chkopenclose=1", "hour=07",    "minute=05"}
            << "定时关机：每天 07:05:00，关机前提示 60 秒\n";
        // A full hour as people type it: the boxes of the next opening get
        // "0", which they accept, not "00", which they refuse.
        QTest::newRow("shutdown at a full hour, daily")
            << QStringList{} << QStringList{"--shutdown-at", "00:00", "--daily"} << QTime(10, 0)
            << ShutdownKeys
            << QStringList{"timer=0:00:00",  "timerdate=", "chkclosetime=1", "chkImedClose=0",
                           "chkopenclose=1", "hour=0",     "minute=0"}
            << "定时关机：每天 00:00:00，关机前提示 60 秒\n";
        QTest::newRow("shutdown in 1, to the second")
            << daily << QStringList{"--shutdown-in", "1", "--no-prompt"} << QTime(10, 0, 0, 250)
            << ShutdownKeys
            << QStringList{"timer=10:01:01", "timerdate=2026-12-10", "chkclosetime=0",
                           "chkImedClose=1", "chkopenclose=1",       "hour=06",
                           "minute=00"}
            << "定时关机：2026-12-10 10:01:01，一次，不提示直接关机\n";
        QTest::newRow("shutdown in 90, past midnight")
            << QStringList{} << QStringList{"--shutdown-in", "90"} << QTime(23, 0, 10)
            << ShutdownKeys
            << QStringList{"timer=0:30:10",  "timerdate=2026-12-11", "chkclosetime=0",
                           "chkImedClose=0", "chkopenclose=1",       "hour=",
                           "minute="}
            << "定时关机：2026-12-11 00:30:10，一次，关机前提示 60 秒\n";
        QTest::newRow("shutdown in 0: now")
            << QStringList{} << QStringList{"--shutdown-in", "0"} << QTime(9, 5, 3)
            << QStringList{"timer", "timerdate"}
            << QStringList{"timer=9:05:03", "timerdate=2026-12-10"}
            << "定时关机：2026-12-10 09:05:03，一次，关机前提示 60 秒\n";
        QTest::newRow("shutdown in 1440")
            << QStringList{} << QStringList{"--shutdown-in", "1440"} << QTime(23, 59, 59)
            << QStringList{"timer", "timerdate"}
            << QStringList{"timer=23:59:59", "timerdate=2026-12-11"}
            << "定时关机：2026-12-11 23:59:59，一次，关机前提示 60 秒\n";
        QTest::newRow("cancel keeps the time")
            << QStringList{"timer=22:30:00", "timerdate=2026-12-10", "chkopenclose=1"}
            << QStringList{"--cancel"} << QTime(10, 0)
            << QStringList{"timer", "timerdate", "chkopenclose"}
            << QStringList{"timer=22:30:00", "timerdate=2026-12-10", "chkopenclose=0"}
            << "定时关机：已取消\n";
    }
    void stores()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, arguments);
        QFETCH(QTime, now);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, after);
        QFETCH(QString, out);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zirvel.conf"));
        {
            SettingsStore store(path);
            saveSettings(store, before);
        }
        SettingsStore store(path);
        FeatureSettings settings(store);
        const Command command = CommandLine::parse(arguments);
        QVERIFY(command.changesSettings());
        const Reply reply = CommandStore::apply(command, settings, QDateTime(Today, now));
        QCOMPARE(reply, (Reply{0, out, QString()}));
        QCOMPARE(stored(store, keys), after);
        // On disk, as the next run reads it.
        QCOMPARE(stored(SettingsStore(path), keys), after);
    }

    void storeThatCannotBeWritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zirvel.conf"));
        SettingsStore store(path);
        FeatureSettings settings(store);
        QVERIFY(QDir().mkpath(path)); // a folder where the file should be
        const Reply reply = CommandStore::apply(CommandLine::parse({"--chime", "on"}), settings,
                                                QDateTime(Today, QTime(10, 0)));
        QCOMPARE(reply.exitCode, int(CommandLine::Failure));
        QCOMPARE(reply.out, QString());
        QVERIFY2(reply.err.startsWith(QStringLiteral("zirvel：无法写入设置文件 ") + path),
                 qPrintable(reply.err));
        QCOMPARE(reply.err.count(QLatin1Char('\n')), 1);
    }

    void status_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("text");

        QTest::newRow("nothing stored")
            << QStringList{} << false
            << "alarm\toff\nalarm-message\t\nchime\toff\nshutdown\toff\nrunning\tno\n";
        QTest::newRow("all armed, once")
            << QStringList{"itimer=7:30:00",       "chkyntimer=0",   "prompt=会议\t第二行\n\\",
                           "chkinttime=1",         "chkopenclose=1", "timer=22:30:00",
                           "timerdate=2026-12-10", "chkclosetime=0", "chkImedClose=1"}
            << true
            << "alarm\t07:30\nalarm-message\t会议\\t第二行\\n\\\\\nchime\ton\n"
               "shutdown\t22:30:00 once 2026-12-10 no-prompt\nrunning\tyes\n";
        QTest::newRow("daily, prompt; alarm switched off")
            << QStringList{"itimer=7:30:00", "chkyntimer=1",  "prompt=x",
                           "chkopenclose=1", "timer=6:00:00", "chkclosetime=1"}
            << true
            << "alarm\toff\nalarm-message\tx\nchime\toff\nshutdown\t06:00:00 daily\nrunning\tyes\n";
        QTest::newRow("once, its moment gone by")
            << QStringList{"chkopenclose=1", "timer=9:00:00", "timerdate=2026-12-10",
                           "chkclosetime=0"}
            << false << "alarm\toff\nalarm-message\t\nchime\toff\nshutdown\toff\nrunning\tno\n";
        QTest::newRow("switched off")
            << QStringList{"chkopenclose=0", "timer=22:00:00", "chkclosetime=1"} << false
            << "alarm\toff\nalarm-message\t\nchime\toff\nshutdown\toff\nrunning\tno\n";
    }
    void status()
    {
        QFETCH(QStringList, settings);
        QFETCH(bool, running);
        QFETCH(QString, text);
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("Zirvel.conf")));
        saveSettings(store, settings);
        QCOMPARE(CommandStore::status(store, running, QDateTime(Today, QTime(10, 0))), text);
    }

    // In the running clock.

    void cancelClosesTheWarning()
    {
        TestEnvironment env;
        saveSettings(*env.store, {"chkopenclose=1", "timer=12:00:30", "chkclosetime=1"});
        env.table->window<ShutdownWarning>()->showAndRaise();
        CommandRunner runner(*env.table);
        const Reply reply = runner.run({"--cancel"});
        QCOMPARE(reply, (Reply{0, QStringLiteral("定时关机：已取消\n"), QString()}));
        QVERIFY(!env.table->isLoaded<ShutdownWarning>());
        QCOMPARE(env.store->flag(Keys::ChkOpenClose), 0);
        QTest::qWait(50);
        QCOMPARE(env.power.calls, QStringList());
    }

    void statusOfTheRunningClock()
    {
        TestEnvironment env;
        CommandRunner runner(*env.table);
        QCOMPARE(runner.run({"--shutdown-in", "1"}).exitCode, 0);
        // The fake clock stands at 2006-01-13 12:00:00.
        QCOMPARE(runner.run({"--status"}).out,
                 QStringLiteral("alarm\toff\nalarm-message\t\nchime\toff\n"
                                "shutdown\t12:01:00 once 2006-01-13\nrunning\tyes\n"));
    }

    void hideShowQuit()
    {
        TestEnvironment env;
        ClockStrip *clock = env.table->show<ClockStrip>();
        CommandRunner runner(*env.table);
        QCOMPARE(runner.run({"--hide"}), Reply());
        QVERIFY(env.tray.shown);
        QVERIFY(!clock->isVisible());
        QCOMPARE(runner.run({"--show"}), Reply());
        QVERIFY(clock->isVisible());
        // The settings items of the icon's menu, off while hidden, are back.
        QVERIFY(env.table->loaded<TrayController>()
                    ->item(QStringLiteral("mnuMainTimeSet"))
                    ->isEnabled());
        QCOMPARE(runner.run({"--quit"}), Reply());
        QCOMPARE(env.program.quits, 0); // after the reply has gone
        QTRY_COMPARE(env.program.quits, 1);
        QVERIFY(!env.table->isLoaded<ClockStrip>());
        QCOMPARE(env.messages.texts, QStringList());
    }

    void hideWithoutTrayOpensNoBox()
    {
        TestEnvironment env;
        env.tray.available = false;
        ClockStrip *clock = env.table->show<ClockStrip>();
        CommandRunner runner(*env.table);
        const Reply reply = runner.run({"--hide"});
        QCOMPARE(reply.exitCode, 1);
        QCOMPARE(reply.err, QStringLiteral("zirvel：不能创建图标!\n"
                                           "zirvel：无法隐藏到任务栏：没有通知区域可放图标\n"));
        QVERIFY(clock->isVisible());
        QTest::qWait(50);
        QCOMPARE(env.messages.texts, QStringList());

        // A panel starts later: the icon appears and the clock can hide.
        env.tray.setAvailable(true);
        QTRY_VERIFY(env.tray.shown);
        QCOMPARE(runner.run({"--hide"}), Reply());
        QVERIFY(!clock->isVisible());
        QCOMPARE(env.messages.texts, QStringList());
    }

    void hideFollowsTheTrayHost()
    {
        // The panel goes away after the icon was there: the hidden clock
        // comes back, and --hide is refused until a panel is there again.
        TestEnvironment env;
        ClockStrip *clock = env.table->show<ClockStrip>();
        CommandRunner runner(*env.table);
        QCOMPARE(runner.run({"--hide"}), Reply());
        QVERIFY(!clock->isVisible());

        env.tray.setAvailable(false);
        QTRY_VERIFY(clock->isVisible());
        const Reply refused = runner.run({"--hide"});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err, QStringLiteral("zirvel：无法隐藏到任务栏：没有通知区域可放图标\n"));
        QVERIFY(clock->isVisible());

        env.tray.setAvailable(true);
        QTRY_VERIFY(env.tray.shown);
        QCOMPARE(runner.run({"--hide"}), Reply());
        QVERIFY(!clock->isVisible());
        QCOMPARE(env.messages.texts, QStringList());
    }

    void unwritableStoreOpensNoBox()
    {
        TestEnvironment env;
        CommandRunner runner(*env.table);
        QFile::remove(env.settingsPath());
        QVERIFY(QDir().mkpath(env.settingsPath()));
        const Reply reply = runner.run({"--alarm", "7:00"});
        QCOMPARE(reply.exitCode, 1);
        QVERIFY2(reply.err.contains(env.settingsPath()), qPrintable(reply.err));
        QTest::qWait(50);
        QCOMPARE(env.messages.texts, QStringList());
    }

    void badInputInTheRunningClock()
    {
        TestEnvironment env;
        CommandRunner runner(*env.table);
        const Reply reply = runner.run({"--shutdown-in", "1441"});
        QCOMPARE(reply.exitCode, 2);
        QCOMPARE(env.store->flag(Keys::ChkOpenClose), 0);
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
