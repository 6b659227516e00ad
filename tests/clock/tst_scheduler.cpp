#include "alarm/alarmpopup.h"
#include "alarm/chimepopup.h"
#include "clock/clockstrip.h"
#include "controlof.h"
#include "savesettings.h"
#include "settings/settingsstore.h"
#include "shutdown/shutdowndialog.h"
#include "shutdown/shutdownwarning.h"
#include "testenvironment.h"
#include "time/secondticker.h"
#include "time/wholesecond.h"
#include "ui/labelbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTest>

namespace {
// The seconds the warning shows the user.
int shownSeconds(const ShutdownWarning *warning)
{
    const QString text = controlOf<QLabel>(warning, "lblCountdown")->text();
    static const QRegularExpression number(QStringLiteral("(\\d+)"));
    return number.match(text).captured(1).toInt();
}

const QDate Day0(2026, 3, 2);
} // namespace

class tst_Scheduler : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    ClockStrip *clock = nullptr;

    void arm(const QStringList &settings) { saveSettings(*env->store, settings); }
    /// The clock's once-a-second tick at that time, then what it left to do
    /// after it returned.
    void tickAt(const QDateTime &at)
    {
        env->clock.set(at);
        emit clock->secondShown(env->clock.now());
        settle();
    }
    /// The same at that time of the test day.
    void tickAt(QTime time) { tickAt(QDateTime(Day0, time.addMSecs(20))); }
    /// The warning's own second ticker, `seconds` later.
    void warningTick(ShutdownWarning *w, int seconds)
    {
        env->clock.advance(seconds * 1000);
        emit w->findChild<SecondTicker *>()->secondPassed(env->clock.now());
        settle();
    }
    /// Runs what was posted to the event loop (calls deferred by a tick).
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    /// The program ends and starts again on the same settings file.
    void restart()
    {
        env->scheduler.reset();
        env->table.reset();
        env->store = env->reopenStore();
        env->table = std::make_unique<WindowTable>(env->services, *env->store);
        env->scheduler = std::make_unique<Scheduler>(*env->table);
        clock = env->table->window<ClockStrip>();
        settle();
    }
    /// The shutdown dialog, filled in and confirmed as a user does it:
    /// `minutes` < 0 means the time-of-day mode with `time`.
    void setShutdown(QTime time, int minutes, bool daily)
    {
        ShutdownDialog *w = env->table->show<ShutdownDialog>();
        if (minutes < 0) {
            controlOf<QLineEdit>(w, "txtHour")->setText(QString::number(time.hour()));
            controlOf<QLineEdit>(w, "txtMinute")->setText(QString::number(time.minute()));
            controlOf<QCheckBox>(w, "chkCloseTime")->setChecked(daily);
        } else {
            controlOf<QRadioButton>(w, "OptCountDownStart")->click();
            controlOf<QSlider>(w, "SliderLg")->setValue(minutes);
        }
        controlOf<QCheckBox>(w, "chkImedClose")->setChecked(true);
        controlOf<QCheckBox>(w, "chkOpenClose")->setChecked(true);
        controlOf<QPushButton>(w, "cmdOk")->click();
        QVERIFY(!env->table->isLoaded<ShutdownDialog>());
    }
    /// Whether the shutdown dialog shows the scheduled shutdown switched on.
    bool dialogShowsArmed()
    {
        ShutdownDialog *w = env->table->window<ShutdownDialog>();
        const bool armed = controlOf<QCheckBox>(w, "chkOpenClose")->isChecked();
        w->unload();
        return armed;
    }
    ShutdownWarning *warning() const { return env->table->loaded<ShutdownWarning>(); }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        clock = env->table->window<ClockStrip>();
    }
    void cleanup() { env.reset(); }

    void popupsOpenAtTheirSecond()
    {
        arm({"chkinttime=1", "chkyntimer=0", "itimer=8:00:00"});
        tickAt(QTime(7, 59, 59));
        QVERIFY(!env->table->isLoaded<AlarmPopup>());
        QVERIFY(!env->table->isLoaded<ChimePopup>());
        tickAt(QTime(8, 0, 0));
        QVERIFY(env->table->isLoaded<AlarmPopup>());
        QVERIFY(env->table->loaded<AlarmPopup>()->isVisible());
        QVERIFY(env->table->isLoaded<ChimePopup>());
        QVERIFY(env->table->loaded<ChimePopup>()->isVisible());
        QVERIFY(env->power.calls.isEmpty());
    }

    // The alarm and the chime in one second: neither pop-up hides the other,
    // and when one is closed the other has the keyboard, so Enter closes it.
    void twoPopupsInOneSecond()
    {
        arm({"chkinttime=1", "chkyntimer=0", "itimer=8:00:00"});
        tickAt(QTime(8, 0, 0));
        AlarmPopup *alarm = env->table->loaded<AlarmPopup>();
        ChimePopup *chime = env->table->loaded<ChimePopup>();
        QVERIFY(alarm && chime);
        QVERIFY(alarm->isVisible() && chime->isVisible());
        QVERIFY2(!alarm->frameGeometry().intersects(chime->frameGeometry()),
                 qPrintable(QStringLiteral("alarm at %1,%2, chime at %3,%4")
                                .arg(alarm->x())
                                .arg(alarm->y())
                                .arg(chime->x())
                                .arg(chime->y())));
        const QRect screen = alarm->screen()->availableGeometry();
        QVERIFY(screen.contains(alarm->frameGeometry()) && screen.contains(chime->frameGeometry()));

        QWidget *first = QApplication::activeWindow();
        QVERIFY(first == alarm || first == chime);
        QTest::keyClick(first->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!env->table->isLoaded<AlarmPopup>() || !env->table->isLoaded<ChimePopup>());
        QWidget *second = first == alarm ? static_cast<QWidget *>(chime) : alarm;
        QTRY_COMPARE(QApplication::activeWindow(), second);
        QTest::keyClick(second->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!env->table->isLoaded<AlarmPopup>() && !env->table->isLoaded<ChimePopup>());
    }

    void anOpenPopupIsLeftAlone()
    {
        arm({"chkyntimer=0", "itimer=7:05:00"});
        AlarmPopup *open = env->table->show<AlarmPopup>();
        open->move(10, 20);
        open->hide(); // e.g. behind other windows; still loaded
        tickAt(QTime(7, 5, 0));
        QCOMPARE(env->table->loaded<AlarmPopup>(), open);
        QCOMPARE(open->pos(), QPoint(10, 20));
        QVERIFY(!open->isVisible());
    }

    void aClosedPopupStaysClosedForTheRestOfItsSecond()
    {
        arm({"chkyntimer=0", "itimer=7:05:00"});
        tickAt(QTime(7, 5, 0));
        env->table->loaded<AlarmPopup>()->unload();
        QTest::qWait(0);
        tickAt(env->clock.now().addMSecs(500));
        tickAt(QTime(7, 5, 1));
        QVERIFY(!env->table->isLoaded<AlarmPopup>());
    }

    void scheduledShutdown_data()
    {
        QTest::addColumn<QString>("imedClose");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("without asking: at once") << "1" << true;
        QTest::newRow("asking: warning first") << "0" << false;
        QTest::newRow("flag never stored: warning first") << "" << false;
        QTest::newRow("flag not 0 or 1: warning first") << "2" << false;
    }
    void scheduledShutdown()
    {
        QFETCH(QString, imedClose);
        QFETCH(bool, atOnce);
        arm({"chkopenclose=1", "timer=22:30:00"});
        if (!imedClose.isEmpty())
            arm({"chkImedClose=" + imedClose});
        tickAt(QTime(22, 29, 0));
        QVERIFY(env->power.calls.isEmpty());
        QCOMPARE(env->table->isLoaded<ShutdownWarning>(), !atOnce);
        if (atOnce) {
            tickAt(QTime(22, 30, 0));
            QCOMPARE(env->power.calls, QStringList{"PowerOff"});
            return;
        }
        ShutdownWarning *w = warning();
        QVERIFY(w->isVisible());
        QVERIFY(!env->windows.topmostCalls.isEmpty());
        QCOMPARE(env->windows.topmostCalls.last().window.data(), w);
        QVERIFY(env->windows.topmostCalls.last().on);
        QCOMPARE(controlOf<QLabel>(w, "lblCountdown")->text(), QString("将在 60 秒后关闭计算机"));
        QCOMPARE(w->focusWidget(), controlOf<QPushButton>(w, "cmdCancel"));
    }

    void warningCountsDownAMinuteThenShutsDown()
    {
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 29, 0));
        ShutdownWarning *w = warning();
        for (int left = 59; left >= 1; --left) {
            warningTick(w, 1);
            QCOMPARE(controlOf<QLabel>(w, "lblCountdown")->text(),
                     QString("将在 %1 秒后关闭计算机").arg(left));
        }
        QVERIFY(env->power.calls.isEmpty());
        warningTick(w, 1);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QCOMPARE(env->clock.now().time().second(), 0);
        QVERIFY(!env->table->isLoaded<ShutdownWarning>());
        tickAt(QTime(22, 30, 0)); // the scheduler's own tick of that second adds nothing
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
    }

    // The power request goes out at the second the dialog or the command
    // stated, with or without the warning, whenever it was set.
    void powerRequestAtTheStatedSecond_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QTime>("from");
        QTest::addColumn<QTime>("stated");
        QTest::addColumn<QTime>("warningAt");
        const QStringList at759{"chkopenclose=1", "chkclosetime=1", "timer=7:59:00"};
        QTest::newRow("7:59 with the warning")
            << at759 << QTime(7, 57, 30) << QTime(7, 59, 0) << QTime(7, 58, 0);
        QTest::newRow("7:59 without asking") << at759 + QStringList{"chkImedClose=1"}
                                             << QTime(7, 57, 30) << QTime(7, 59, 0) << QTime();
        QTest::newRow("set 25 s before: the warning at once, 25 s")
            << at759 << QTime(7, 58, 35) << QTime(7, 59, 0) << QTime(7, 58, 35);
    }
    void powerRequestAtTheStatedSecond()
    {
        QFETCH(QStringList, settings);
        QFETCH(QTime, from);
        QFETCH(QTime, stated);
        QFETCH(QTime, warningAt);
        arm(settings);
        QTime warned;
        QTime powered;
        for (QTime t = from; t <= stated.addSecs(90); t = t.addSecs(1)) {
            env->clock.set(QDateTime(Day0, t.addMSecs(20)));
            if (ShutdownWarning *w = warning())
                emit w->findChild<SecondTicker *>()->secondPassed(env->clock.now());
            emit clock->secondShown(env->clock.now());
            settle();
            if (!warned.isValid() && warning())
                warned = t;
            if (!powered.isValid() && !env->power.calls.isEmpty())
                powered = t;
        }
        QCOMPARE(powered, stated);
        QCOMPARE(warned, warningAt);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
    }

    // A warning whose shutdown is switched off, moved or set to go without
    // asking while it counts closes without shutting down; a one-off that
    // switches itself off at its moment still goes.
    void warningFollowsTheSchedule_data()
    {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("schedulerFirst");
        QTest::newRow("switched off")
            << QStringList{"chkopenclose=0"} << true << QStringList() << false;
        QTest::newRow("moved later")
            << QStringList{"timer=23:00:00"} << true << QStringList() << false;
        QTest::newRow("without asking now")
            << QStringList{"chkImedClose=1"} << true << QStringList{"PowerOff"} << false;
        QTest::newRow("the chime changed, the warning's tick first")
            << QStringList{"chkinttime=1"} << false << QStringList{"PowerOff"} << false;
        QTest::newRow("the chime changed, the scheduler's tick first")
            << QStringList{"chkinttime=1"} << false << QStringList{"PowerOff"} << true;
    }
    void warningFollowsTheSchedule()
    {
        QFETCH(QStringList, change);
        QFETCH(bool, closes);
        QFETCH(bool, schedulerFirst);
        arm({"chkopenclose=1", "chkclosetime=0", "timer=22:30:00", "timerdate=2026-03-02"});
        tickAt(QTime(22, 29, 0));
        ShutdownWarning *w = warning();
        QVERIFY(w);
        for (int i = 0; i < 10; ++i)
            warningTick(w, 1);
        arm(change);
        settle();
        QCOMPARE(!warning(), closes);
        for (QTime t(22, 29, 11); t <= QTime(22, 30, 2); t = t.addSecs(1)) {
            env->clock.set(QDateTime(Day0, t.addMSecs(20)));
            // The two tickers of one second come in either order.
            if (schedulerFirst)
                emit clock->secondShown(env->clock.now());
            if (ShutdownWarning *open = warning())
                emit open->findChild<SecondTicker *>()->secondPassed(env->clock.now());
            if (!schedulerFirst)
                emit clock->secondShown(env->clock.now());
            settle();
        }
        QTEST(env->power.calls, "calls");
    }

    void warningButtons_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("立即关机") << "cmdShutDownNow" << QStringList{"PowerOff"};
        QTest::newRow("取消") << "cmdCancel" << QStringList();
        QTest::newRow("close mark") << "lblClose" << QStringList();
    }
    void warningButtons()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, calls);
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 29, 0));
        ShutdownWarning *w = warning();
        warningTick(w, 1);
        QWidget *target = w->findChild<QWidget *>(control);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(env->power.calls, calls);
        QVERIFY(!env->table->isLoaded<ShutdownWarning>());

        // Skipped for today: the rest of the minute, its stated second and a
        // clock set back over the time do not bring it back.
        tickAt(QTime(22, 29, 30));
        tickAt(QTime(22, 30, 0));
        tickAt(QTime(22, 28, 59));
        tickAt(QTime(22, 29, 0));
        QVERIFY(!env->table->isLoaded<ShutdownWarning>());
        QCOMPARE(env->power.calls, calls);
    }

    void aFailedShutdownIsShownOnceAndNotRetried_data()
    {
        QTest::addColumn<QString>("imedClose");
        QTest::newRow("without asking") << "1";
        QTest::newRow("after the warning") << "0";
    }
    void aFailedShutdownIsShownOnceAndNotRetried()
    {
        QFETCH(QString, imedClose);
        env->power.failure = PowerFailure{};
        env->power.failure->kind = PowerFailure::Kind::NoAnswer;
        env->power.failure->party = PowerParty::SystemBus;
        env->power.failure->timeoutSeconds = 5;
        arm({"chkopenclose=1", "timer=22:30:00", "chkImedClose=" + imedClose});
        env->clock.set(QDateTime(Day0, QTime(22, 30, 0, 20)));
        emit clock->secondShown(env->clock.now());
        // The request and its message come from the event loop, after the
        // tick returned.
        QVERIFY(env->power.calls.isEmpty());
        QVERIFY(env->messages.texts.isEmpty());
        // Started on the stated second, the warning has no seconds left and
        // makes the request at once.
        QTRY_COMPARE(env->power.calls, QStringList{"PowerOff"});
        QTRY_COMPARE(env->messages.texts.size(), 1);
        QCOMPARE(env->messages.texts.first(),
                 QString("无法关闭计算机。\r系统总线在 5 秒内没有应答。"));
        for (int s = 0; s <= 10; ++s) {
            emit clock->secondShown(env->clock.now().addMSecs(300));
            tickAt(QTime(22, 30, s));
        }
        QTest::qWait(20);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QCOMPARE(env->messages.texts.size(), 1);
        QVERIFY(!env->table->isLoaded<ShutdownWarning>());
    }

    void aSuspendPausesTheWarning()
    {
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 29, 0));
        ShutdownWarning *w = warning();
        for (int i = 0; i < 10; ++i)
            warningTick(w, 1);
        warningTick(w, 3 * 3600); // suspended for three hours
        QVERIFY(env->power.calls.isEmpty());
        QCOMPARE(shownSeconds(w), 50);
        warningTick(w, 1);
        QCOMPARE(shownSeconds(w), 49);
        env->clock.advance(-3600 * 1000); // clock set back
        emit w->findChild<SecondTicker *>()->secondPassed(env->clock.now());
        QCOMPARE(shownSeconds(w), 49);
    }

    // A warning tick that comes a few seconds late counts the seconds it
    // skipped, by the scheduler's own rule; after a longer gap none count.
    void aLateWarningTickCountsWhatItSkipped_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("left");
        QTest::newRow("on time") << 1 << 59;
        QTest::newRow("late, every skipped second counts")
            << 1 + MaxSkippedSeconds << 59 - MaxSkippedSeconds;
        QTest::newRow("a longer gap counts nothing") << 2 + MaxSkippedSeconds << 60;
    }
    void aLateWarningTickCountsWhatItSkipped()
    {
        QFETCH(int, step);
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 29, 0));
        ShutdownWarning *w = warning();
        QCOMPARE(shownSeconds(w), 60);
        warningTick(w, step);
        QTEST(shownSeconds(w), "left");
    }

    // The tick only decides: pop-ups, their messages and power requests run
    // after it has returned, so nothing they do can hold up the clock.
    void actionsRunAfterTheTickReturns_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("action");
        QTest::newRow("alarm whose sound fails")
            << QStringList{"chkyntimer=0", "itimer=8:00:00"} << QTime(8, 0, 0) << "frmTimer";
        QTest::newRow("chime whose sound fails")
            << QStringList{"chkyntimer=1", "chkinttime=1"} << QTime(9, 0, 0) << "frmIntTime";
        QTest::newRow("shutdown without asking")
            << QStringList{"chkopenclose=1", "chkclosetime=1", "timer=22:30:00", "chkImedClose=1"}
            << QTime(22, 30, 0) << "PowerOff";
        QTest::newRow("shutdown warning")
            << QStringList{"chkopenclose=1", "chkclosetime=1", "timer=22:30:00"} << QTime(22, 29, 0)
            << "frmShutdownWarning";
    }
    void actionsRunAfterTheTickReturns()
    {
        QFETCH(QStringList, settings);
        QFETCH(QTime, time);
        QFETCH(QString, action);
        arm(settings);
        env->sound.answer = SoundStart::fileUnreadable();
        bool inTick = false;
        QStringList ranInTick;
        env->sound.onPlay = [&] { ranInTick << (inTick ? "sound" : ""); };
        env->messages.onShow = [&] { ranInTick << (inTick ? "message" : ""); };
        env->power.onCall = [&] { ranInTick << (inTick ? "power" : ""); };
        auto happened = [&] {
            if (action == "PowerOff")
                return env->power.calls == QStringList{"PowerOff"};
            return (action == "frmTimer" && env->table->isLoaded<AlarmPopup>()) ||
                   (action == "frmIntTime" && env->table->isLoaded<ChimePopup>()) ||
                   (action == "frmShutdownWarning" && warning());
        };

        env->clock.set(QDateTime(Day0, time.addMSecs(20)));
        inTick = true;
        emit clock->secondShown(env->clock.now());
        inTick = false;
        QVERIFY(!happened());
        QVERIFY(env->messages.texts.isEmpty());
        settle();
        QVERIFY(happened());
        ranInTick.removeAll(QString());
        QCOMPARE(ranInTick, QStringList());
        if (action.startsWith("frm") && action != "frmShutdownWarning")
            QCOMPARE(env->messages.texts.size(), 1);
    }

    // A message box that waits for the user (a nested event loop) does not
    // stop the clock: the strip goes on showing the seconds, and a shutdown
    // due ten seconds after the alarm whose sound failed still comes.
    void secondsGoOnWhileAMessageIsUp()
    {
        arm({"chkyntimer=0", "itimer=7:05:00", "chkopenclose=1", "chkclosetime=1", "timer=7:05:10",
             "chkImedClose=1"});
        env->sound.answer = SoundStart::fileUnreadable();
        env->messages.modal = true;
        env->messages.modalLimitMs = 20000;
        QString stripAtShutdown;
        bool boxWasOpen = false;
        env->power.onCall = [&] {
            stripAtShutdown = controlOf<TimeLabel>(clock, "Label1")->text();
            boxWasOpen = env->messages.isOpen();
            env->messages.closeBox();
        };
        env->clock.set(QDateTime(Day0, QTime(7, 4, 59, 500)));
        env->clock.run();
        QTRY_VERIFY_WITH_TIMEOUT(!env->power.calls.isEmpty(), 30000);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QVERIFY(boxWasOpen);
        QCOMPARE(env->messages.texts.size(), 1);
        QCOMPARE(stripAtShutdown, QString("07:05:10"));
    }

    // A one-off shutdown (not daily) fires once, on the day it was set for,
    // also when the program was restarted in between; it is then shown
    // switched off. Its day gone by while the program was not running, it
    // never fires.
    void aOneOffShutdownFiresOnceOnItsDay_data()
    {
        QTest::addColumn<QTime>("restartAt");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("restarted before its time: fires that day")
            << QTime(12, 0) << QStringList{"PowerOff"};
        QTest::newRow("its time passed while the program was not running")
            << QTime(23, 0) << QStringList();
    }
    void aOneOffShutdownFiresOnceOnItsDay()
    {
        QFETCH(QTime, restartAt);
        QFETCH(QStringList, calls);
        env->clock.set(QDateTime(Day0, QTime(10, 0, 0, 300)));
        setShutdown(QTime(22, 30), -1, false);
        QVERIFY(dialogShowsArmed());

        const QDateTime restartedAt(Day0, restartAt);
        env->clock.set(restartedAt);
        restart();
        for (int day = 0; day < 3; ++day) {
            const QDateTime due(Day0.addDays(day), QTime(22, 30));
            if (due < restartedAt)
                continue;
            for (int s = -2; s <= 2; ++s)
                tickAt(due.addSecs(s).addMSecs(20));
        }
        QCOMPARE(env->power.calls, calls);
        QVERIFY(!dialogShowsArmed());
    }

    // A store written without the one-off's day (an older version, or by
    // hand): it fires at its next time, once, and is then switched off.
    void aOneOffWithoutItsDayFiresAtItsNextTime()
    {
        arm({"chkopenclose=1", "chkclosetime=0", "timer=22:30:00", "chkImedClose=1"});
        restart();
        for (int day = 0; day < 3; ++day)
            tickAt(QDateTime(Day0.addDays(day), QTime(22, 30, 0, 20)));
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QVERIFY(!dialogShowsArmed());
    }

    // A daily shutdown set in the dialog fires every day and stays on.
    void aDailyShutdownRepeats()
    {
        env->clock.set(QDateTime(Day0, QTime(10, 0)));
        setShutdown(QTime(22, 30), -1, true);
        restart();
        for (int day = 0; day < 3; ++day)
            tickAt(QDateTime(Day0.addDays(day), QTime(22, 30, 0, 20)));
        QCOMPARE(env->power.calls, (QStringList{"PowerOff", "PowerOff", "PowerOff"}));
        QVERIFY(dialogShowsArmed());
    }

    // A countdown ends N x 60 s after OK, at the first whole second not
    // before that moment; 0 minutes is the next second, never tomorrow.
    void countdownEndsToTheSecond_data()
    {
        QTest::addColumn<QDateTime>("okAt");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QDateTime>("firesAt");
        QTest::newRow("15 at 10:45:10")
            << QDateTime(Day0, QTime(10, 45, 10)) << 15 << QDateTime(Day0, QTime(11, 0, 10));
        QTest::newRow("15 at 10:45:10.600")
            << QDateTime(Day0, QTime(10, 45, 10, 600)) << 15 << QDateTime(Day0, QTime(11, 0, 11));
        QTest::newRow("30 at 23:50:40: past midnight")
            << QDateTime(Day0, QTime(23, 50, 40)) << 30
            << QDateTime(Day0.addDays(1), QTime(0, 20, 40));
        QTest::newRow("0 at 10:15:30.400: the next second")
            << QDateTime(Day0, QTime(10, 15, 30, 400)) << 0 << QDateTime(Day0, QTime(10, 15, 31));
        QTest::newRow("180 at 22:30")
            << QDateTime(Day0, QTime(22, 30)) << 180 << QDateTime(Day0.addDays(1), QTime(1, 30));
    }
    void countdownEndsToTheSecond()
    {
        QFETCH(QDateTime, okAt);
        QFETCH(int, minutes);
        QFETCH(QDateTime, firesAt);
        tickAt(okAt);
        setShutdown(QTime(), minutes, false);
        const QTime okTime = okAt.time();
        QDateTime second =
            QDateTime(okAt.date(), QTime(okTime.hour(), okTime.minute(), okTime.second()))
                .addSecs(1);
        second = std::max(second, firesAt.addSecs(-70));
        QDateTime firedAt;
        for (; second <= firesAt.addSecs(2); second = second.addSecs(1)) {
            tickAt(second.addMSecs(20));
            if (!firedAt.isValid() && !env->power.calls.isEmpty())
                firedAt = second;
        }
        QCOMPARE(firedAt, firesAt);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
    }
};

QTEST_MAIN(tst_Scheduler)
#include "tst_scheduler.moc"
