#include "clock/duecheck.h"
#include "savesettings.h"
#include "settings/shutdownsettings.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QDate Day0(2026, 3, 2);

/// A wall-clock time of the test days. UTC has no daylight saving, so the
/// tables read as plain clock times (and run without time-zone lookups).
QDateTime at(int day, const char *time, int ms = 20)
{
    return QDateTime(Day0.addDays(day), QTime::fromString(QString::fromLatin1(time), "HH:mm:ss"),
                     QTimeZone::utc())
        .addMSecs(ms);
}

/// Ticks a little after each second boundary, from `from` to `to` inclusive;
/// a run of ticks is one segment, so a test reads as its gaps and jumps.
using Ticks = QList<std::pair<QDateTime, QDateTime>>;

Ticks everySecond(const QDateTime &from, const QDateTime &to)
{
    return {{from, to}};
}

Ticks once(const QDateTime &t)
{
    return {{t, t}};
}

Ticks wholeDays(int days)
{
    return everySecond(at(0, "00:00:00"), at(days - 1, "23:59:59"));
}

} // namespace

class tst_DueCheck : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;

    void setUp(const QStringList &settings)
    {
        QFile::remove(dir.filePath("Zirvel.conf"));
        store = std::make_unique<SettingsStore>(dir.filePath("Zirvel.conf"));
        saveSettings(*store, settings);
    }

    /// What fires on each tick, as "d<day> HH:mm:ss action": the day (from
    /// `first`) and time of the tick that fired it. A one-off shutdown is
    /// switched off as the scheduler does it.
    QStringList simulate(const Ticks &ticks, QDate first = Day0)
    {
        DueCheck check(*store);
        QStringList fired;
        for (const auto &[from, to] : ticks) {
            for (QDateTime now = from; now <= to; now = now.addSecs(1)) {
                const DueActions due = check.check(now);
                record(fired, now, due, first);
                if (due.disarmShutdown)
                    ShutdownSettings(*store).setOn(false);
            }
        }
        return fired;
    }

    static void record(QStringList &fired, const QDateTime &now, const DueActions &due, QDate first)
    {
        if (!due.any())
            return;
        const QString when = QStringLiteral("d%1 %2 ")
                                 .arg(first.daysTo(now.date()))
                                 .arg(now.time().toString("HH:mm:ss"));
        if (due.warningSeconds)
            fired << when + QStringLiteral("warning(%1)").arg(*due.warningSeconds);
        if (due.shutdown)
            fired << when + QStringLiteral("shutdown(%1)").arg(int(due.noPrompt));
        if (due.chime)
            fired << when + "chime";
        if (due.alarm)
            fired << when + "alarm";
        if (due.disarmShutdown)
            fired << when + "disarm";
    }

    static QStringList hourlyChimes()
    {
        QStringList chimes;
        for (int h = 0; h < 24; ++h)
            chimes << QStringLiteral("d0 %1:00:00 chime").arg(h, 2, 10, QLatin1Char('0'));
        return chimes;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void firesAtTheStoredSeconds_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<Ticks>("ticks");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty store: nothing, all day")
            << QStringList() << wholeDays(1) << QStringList();
        QTest::newRow("alarm armed: 7:05:00 every day")
            << QStringList{"chkyntimer=0", "itimer=7:05:00"}
            << everySecond(at(0, "06:00:00"), at(0, "08:00:00")) +
                   everySecond(at(1, "07:00:00"), at(1, "07:10:00"))
            << QStringList{"d0 07:05:00 alarm", "d1 07:05:00 alarm"};
        const Ticks around705 = everySecond(at(0, "07:04:00"), at(0, "07:06:00"));
        QTest::newRow("alarm armed by default (no chkyntimer)")
            << QStringList{"itimer=07:05:00"} << around705 << QStringList{"d0 07:05:00 alarm"};
        QTest::newRow("alarm off: never")
            << QStringList{"chkyntimer=1", "itimer=7:05:00"} << around705 << QStringList();
        QTest::newRow("alarm on without a time: not even at midnight")
            << QStringList{"chkyntimer=0", "itimer="}
            << everySecond(at(0, "23:59:00"), at(1, "00:01:00")) << QStringList();
        QTest::newRow("alarm time that is not a time: never")
            << QStringList{"chkyntimer=0", "itimer=7:5"} << around705 << QStringList();
        QTest::newRow("chime: each full hour only")
            << QStringList{"chkinttime=1"} << wholeDays(1) << hourlyChimes();
        QTest::newRow("shutdown armed: 22:30:00 only")
            << QStringList{"chkopenclose=1", "chkclosetime=1", "timer=22:30:00", "chkImedClose=1"}
            << everySecond(at(0, "21:30:00"), at(0, "23:30:00"))
            << QStringList{"d0 22:30:00 shutdown(1)"};
        QTest::newRow("shutdown hands on the no-prompt flag")
            << QStringList{"chkopenclose=1", "chkclosetime=1", "timer=22:30:00"}
            << everySecond(at(0, "22:29:58"), at(0, "22:30:02"))
            << QStringList{"d0 22:29:58 warning(2)", "d0 22:30:00 shutdown(0)"};
        QTest::newRow("shutdown not armed: never")
            << QStringList{"chkopenclose=0", "timer=22:30:00"}
            << everySecond(at(0, "22:29:00"), at(0, "22:31:00")) << QStringList();
        QTest::newRow("daily shutdown: every day")
            << QStringList{"chkopenclose=1", "chkclosetime=1", "timer=22:30:00",
                           "timerdate=2026-03-02"}
            << everySecond(at(0, "22:29:00"), at(0, "22:31:00")) +
                   everySecond(at(1, "22:29:00"), at(1, "22:31:00"))
            << QStringList{"d0 22:29:00 warning(60)", "d0 22:30:00 shutdown(0)",
                           "d1 22:29:00 warning(60)", "d1 22:30:00 shutdown(0)"};
        QTest::newRow("alarm and chime together at 8:00:00")
            << QStringList{"chkinttime=1", "itimer=8:00:00"}
            << everySecond(at(0, "07:59:58"), at(0, "08:00:02"))
            << QStringList{"d0 08:00:00 chime", "d0 08:00:00 alarm"};
        QTest::newRow("all three in one second")
            << QStringList{"chkinttime=1", "itimer=8:00:00", "chkopenclose=1", "chkclosetime=1",
                           "timer=8:00:00"}
            << everySecond(at(0, "07:59:59"), at(0, "08:00:01"))
            << QStringList{"d0 07:59:59 warning(1)", "d0 08:00:00 shutdown(0)", "d0 08:00:00 chime",
                           "d0 08:00:00 alarm"};
    }
    void firesAtTheStoredSeconds()
    {
        QFETCH(QStringList, settings);
        QFETCH(Ticks, ticks);
        QFETCH(QStringList, expected);
        setUp(settings);
        QCOMPARE(simulate(ticks), expected);
    }

    // A shutdown that is not daily fires once, on its day, and is then
    // switched off; one whose day has gone by is switched off unfired.
    void oneOffShutdown_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<Ticks>("ticks");
        QTest::addColumn<QStringList>("expected");
        const QStringList oneOff{"chkopenclose=1", "chkclosetime=0", "timer=22:30:00"};
        const Ticks twoEvenings = everySecond(at(0, "22:29:00"), at(0, "22:31:00")) +
                                  everySecond(at(1, "22:29:00"), at(1, "22:31:00"));

        QTest::newRow("set for today: today only")
            << oneOff + QStringList{"timerdate=2026-03-02"} << twoEvenings
            << QStringList{"d0 22:29:00 warning(60)", "d0 22:30:00 shutdown(0)",
                           "d0 22:30:00 disarm"};
        QTest::newRow("set for tomorrow: not today")
            << oneOff + QStringList{"timerdate=2026-03-03"} << twoEvenings
            << QStringList{"d1 22:29:00 warning(60)", "d1 22:30:00 shutdown(0)",
                           "d1 22:30:00 disarm"};
        QTest::newRow("its day gone by: switched off at the first tick")
            << oneOff + QStringList{"timerdate=2026-03-01"} << twoEvenings
            << QStringList{"d0 22:29:00 disarm"};
        QTest::newRow("its time gone by today: switched off at the first tick")
            << oneOff + QStringList{"timerdate=2026-03-02"}
            << everySecond(at(0, "22:30:01"), at(0, "22:31:00")) +
                   everySecond(at(1, "22:29:00"), at(1, "22:31:00"))
            << QStringList{"d0 22:30:01 disarm"};
        QTest::newRow("caught up after a late tick")
            << oneOff + QStringList{"timerdate=2026-03-02"}
            << once(at(0, "22:29:58")) + once(at(0, "22:30:02"))
            << QStringList{"d0 22:29:58 warning(2)", "d0 22:30:02 shutdown(0)",
                           "d0 22:30:02 disarm"};
        QTest::newRow("no day stored: its next time, then off")
            << oneOff << twoEvenings
            << QStringList{"d0 22:29:00 warning(60)", "d0 22:30:00 shutdown(0)",
                           "d0 22:30:00 disarm"};
        QTest::newRow("a day that is not a date: as if none was stored")
            << oneOff + QStringList{"timerdate=soon"} << twoEvenings
            << QStringList{"d0 22:29:00 warning(60)", "d0 22:30:00 shutdown(0)",
                           "d0 22:30:00 disarm"};
        QTest::newRow("switched off: nothing, not even a disarm")
            << QStringList{"chkopenclose=0", "chkclosetime=0", "timer=22:30:00",
                           "timerdate=2026-03-01"}
            << twoEvenings << QStringList();
        QTest::newRow("no time: nothing")
            << QStringList{"chkopenclose=1", "chkclosetime=0", "timer=", "timerdate=2026-03-02"}
            << twoEvenings << QStringList();
    }
    void oneOffShutdown()
    {
        QFETCH(QStringList, settings);
        QFETCH(Ticks, ticks);
        QFETCH(QStringList, expected);
        setUp(settings);
        QCOMPARE(simulate(ticks), expected);
    }

    // The power request goes out at the stated second: the warning opens a
    // minute before it and counts down to it; set later than that, the
    // warning opens at once with the seconds left.
    void warningCountsDownToTheStatedSecond_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<Ticks>("ticks");
        QTest::addColumn<QStringList>("expected");
        const QStringList daily{"chkopenclose=1", "chkclosetime=1", "timer=0:00:30"};

        QTest::newRow("a minute before, across midnight")
            << daily << everySecond(at(0, "23:58:00"), at(1, "00:01:00"))
            << QStringList{"d0 23:59:30 warning(60)", "d1 00:00:30 shutdown(0)"};
        QTest::newRow("started within the minute: the seconds left")
            << daily << everySecond(at(1, "00:00:10"), at(1, "00:00:40"))
            << QStringList{"d1 00:00:10 warning(20)", "d1 00:00:30 shutdown(0)"};
        QTest::newRow("started on the second itself: at once, 0 left")
            << daily << everySecond(at(1, "00:00:30"), at(1, "00:00:40"))
            << QStringList{"d1 00:00:30 warning(0)", "d1 00:00:30 shutdown(0)"};
        QTest::newRow("without asking: no warning, the request at the second")
            << daily + QStringList{"chkImedClose=1"}
            << everySecond(at(0, "23:58:00"), at(1, "00:01:00"))
            << QStringList{"d1 00:00:30 shutdown(1)"};
        QTest::newRow("a one-off for tomorrow: no warning today")
            << QStringList{"chkopenclose=1", "chkclosetime=0", "timer=0:00:30",
                           "timerdate=2026-03-04"}
            << everySecond(at(1, "00:00:00"), at(1, "00:01:00")) << QStringList();
        QTest::newRow("the clock set back inside the minute: one warning")
            << daily
            << everySecond(at(1, "00:00:00"), at(1, "00:00:10")) +
                   everySecond(at(0, "23:59:50"), at(1, "00:00:40"))
            << QStringList{"d1 00:00:00 warning(30)", "d1 00:00:30 shutdown(0)"};
    }
    void warningCountsDownToTheStatedSecond()
    {
        QFETCH(QStringList, settings);
        QFETCH(Ticks, ticks);
        QFETCH(QStringList, expected);
        setUp(settings);
        QCOMPARE(simulate(ticks), expected);
    }

    void irregularTicks_data()
    {
        QTest::addColumn<Ticks>("ticks");
        QTest::addColumn<QStringList>("expected");
        const Ticks before = everySecond(at(0, "07:04:55"), at(0, "07:04:58"));

        QTest::newRow("a tick 1.5 s late still fires")
            << before + once(at(0, "07:04:59")) + once(at(0, "07:05:01", 520)) +
                   everySecond(at(0, "07:05:02"), at(0, "07:05:05"))
            << QStringList{"d0 07:05:01 alarm"};
        QTest::newRow("four seconds skipped: caught up")
            << before + once(at(0, "07:05:03", 900)) << QStringList{"d0 07:05:03 alarm"};
        QTest::newRow("five seconds skipped: caught up")
            << before + once(at(0, "07:05:04", 900)) << QStringList{"d0 07:05:04 alarm"};
        QTest::newRow("six seconds skipped: not caught up")
            << before + once(at(0, "07:05:05")) << QStringList();
        QTest::newRow("a suspend over the alarm: nothing after the resume")
            << everySecond(at(0, "06:00:00"), at(0, "06:00:10")) +
                   everySecond(at(0, "07:30:00"), at(0, "07:30:10"))
            << QStringList();
        QTest::newRow("a resume that lands on the second: it fires")
            << before + everySecond(at(0, "07:05:00", 400), at(0, "07:05:03", 400))
            << QStringList{"d0 07:05:00 alarm"};
        QTest::newRow("the first tick only looks at its own second")
            << everySecond(at(0, "07:05:01"), at(0, "07:05:05")) << QStringList();
        QTest::newRow("the same second twice fires once")
            << once(at(0, "07:05:00", 20)) + once(at(0, "07:05:00", 900)) + once(at(0, "07:05:01"))
            << QStringList{"d0 07:05:00 alarm"};
        QTest::newRow("clock set back an hour: no second alarm")
            << everySecond(at(0, "07:04:58"), at(0, "07:06:00")) +
                   everySecond(at(0, "06:04:58"), at(0, "07:06:00"))
            << QStringList{"d0 07:05:00 alarm"};
        QTest::newRow("clock set back two seconds: no second alarm")
            << before + everySecond(at(0, "07:04:59"), at(0, "07:05:01")) +
                   everySecond(at(0, "07:04:59", 600), at(0, "07:05:03", 600))
            << QStringList{"d0 07:05:00 alarm"};
        QTest::newRow("set back by a day: the next day still rings")
            << everySecond(at(1, "07:04:58"), at(1, "07:05:02")) +
                   everySecond(at(0, "07:04:58"), at(0, "07:05:02"))
            << QStringList{"d1 07:05:00 alarm", "d0 07:05:00 alarm"};
    }
    void irregularTicks()
    {
        QFETCH(Ticks, ticks);
        QFETCH(QStringList, expected);
        setUp({"chkyntimer=0", "itimer=7:05:00"});
        QCOMPARE(simulate(ticks), expected);
    }

    void endOfDaylightSavingRingsEachTimeOnce()
    {
        // Berlin, 25 October 2026: 03:00 summer time becomes 02:00 again, so
        // 02:00:00 to 02:59:59 happen twice on the same day.
        setUp({"chkinttime=1", "itimer=2:30:00"});
        const QTimeZone berlin("Europe/Berlin");
        QVERIFY(berlin.isValid());
        const QDateTime start(QDate(2026, 10, 25), QTime(1, 59, 50, 20), berlin);
        const QDateTime end = start.addSecs(2 * 3600 + 20);
        QCOMPARE(end.time(), QTime(3, 0, 10, 20));
        QCOMPARE(simulate(everySecond(start, end), start.date()),
                 (QStringList{"d0 02:00:00 chime", "d0 02:30:00 alarm", "d0 03:00:00 chime"}));
    }

    void aSavedChangeCountsFromTheNextTick()
    {
        setUp({});
        DueCheck check(*store);
        QVERIFY(!check.check(at(0, "07:04:59")).any());
        store->save("Settings", "itimer", "7:05:00");
        QVERIFY(check.check(at(0, "07:05:00")).alarm);
        store->save("settings", "CHKYNTIMER", "1");
        QVERIFY(!check.check(at(1, "07:05:00")).any());
    }
};

QTEST_GUILESS_MAIN(tst_DueCheck)
#include "tst_duecheck.moc"
