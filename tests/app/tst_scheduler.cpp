#include "alarm/frminttime.h"
#include "alarm/frmtimer.h"
#include "app/frmclockmain.h"
#include "app/secondticker.h"
#include "shutdown/frmshutdownwarning.h"
#include "testenvironment.h"
#include "ui/labelbutton.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_Scheduler : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    frmclockMain *clock = nullptr;

    void arm(const QStringList &settings)
    {
        for (const QString &entry : settings) {
            const qsizetype eq = entry.indexOf('=');
            env->store->save("Settings", entry.left(eq), entry.mid(eq + 1));
        }
    }
    /// The clock's once-a-second tick at that time of the test day.
    void tickAt(QTime time)
    {
        env->clock.set(QDateTime(QDate(2026, 3, 2), time.addMSecs(20)));
        emit clock->schedulerTick(env->clock.now());
    }
    /// The warning's own second ticker, `seconds` later.
    void warningTick(frmShutdownWarning *w, int seconds)
    {
        env->clock.advance(seconds * 1000);
        emit w->findChild<SecondTicker *>()->tick(env->clock.now());
    }
    frmShutdownWarning *warning() const { return env->table->loaded<frmShutdownWarning>(); }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        clock = env->table->window<frmclockMain>();
    }
    void cleanup() { env.reset(); }

    void popupsOpenAtTheirSecond()
    {
        arm({"chkinttime=1", "chkyntimer=0", "itimer=8:00:00"});
        tickAt(QTime(7, 59, 59));
        QVERIFY(!env->table->isLoaded<frmTimer>());
        QVERIFY(!env->table->isLoaded<frmIntTime>());
        tickAt(QTime(8, 0, 0));
        QVERIFY(env->table->isLoaded<frmTimer>());
        QVERIFY(env->table->loaded<frmTimer>()->isVisible());
        QVERIFY(env->table->isLoaded<frmIntTime>());
        QVERIFY(env->table->loaded<frmIntTime>()->isVisible());
        QVERIFY(env->power.calls.isEmpty());
    }

    void anOpenPopupIsLeftAlone()
    {
        arm({"chkyntimer=0", "itimer=7:05:00"});
        frmTimer *open = env->table->show<frmTimer>();
        open->move(10, 20);
        open->hide(); // e.g. behind other windows; still loaded
        tickAt(QTime(7, 5, 0));
        QCOMPARE(env->table->loaded<frmTimer>(), open);
        QCOMPARE(open->pos(), QPoint(10, 20));
        QVERIFY(!open->isVisible());
    }

    void aClosedPopupStaysClosedForTheRestOfItsSecond()
    {
        arm({"chkyntimer=0", "itimer=7:05:00"});
        tickAt(QTime(7, 5, 0));
        env->table->loaded<frmTimer>()->unload();
        QTest::qWait(0);
        emit clock->schedulerTick(env->clock.now().addMSecs(500));
        tickAt(QTime(7, 5, 1));
        QVERIFY(!env->table->isLoaded<frmTimer>());
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
        tickAt(QTime(22, 30, 0));
        QCOMPARE(env->power.calls, atOnce ? QStringList{"PowerOff"} : QStringList());
        QCOMPARE(env->table->isLoaded<frmShutdownWarning>(), !atOnce);
        if (atOnce)
            return;
        frmShutdownWarning *w = warning();
        QVERIFY(w->isVisible());
        QVERIFY(!env->windows.topmostCalls.isEmpty());
        QCOMPARE(env->windows.topmostCalls.last().window.data(), w);
        QVERIFY(env->windows.topmostCalls.last().on);
        QCOMPARE(w->lblCountdown->text(), QString("将在 60 秒后关闭计算机"));
        QCOMPARE(w->focusWidget(), w->cmdCancel);
    }

    void warningCountsDownAMinuteThenShutsDown()
    {
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 30, 0));
        frmShutdownWarning *w = warning();
        for (int left = 59; left >= 1; --left) {
            warningTick(w, 1);
            QCOMPARE(w->lblCountdown->text(), QString("将在 %1 秒后关闭计算机").arg(left));
        }
        QVERIFY(env->power.calls.isEmpty());
        warningTick(w, 1);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QVERIFY(!env->table->isLoaded<frmShutdownWarning>());
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
        tickAt(QTime(22, 30, 0));
        frmShutdownWarning *w = warning();
        warningTick(w, 1);
        QWidget *target = w->findChild<QWidget *>(control);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(env->power.calls, calls);
        QVERIFY(!env->table->isLoaded<frmShutdownWarning>());

        // Skipped for today: the rest of the minute and a clock set back
        // over the time do not bring it back.
        tickAt(QTime(22, 30, 1));
        tickAt(QTime(22, 29, 59));
        tickAt(QTime(22, 30, 0));
        QVERIFY(!env->table->isLoaded<frmShutdownWarning>());
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
        tickAt(QTime(22, 30, 0));
        if (frmShutdownWarning *w = warning())
            QTest::mouseClick(w->cmdShutDownNow, Qt::LeftButton);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        // The message comes from the event loop, after the tick returned.
        QVERIFY(env->messages.texts.isEmpty());
        QTRY_COMPARE(env->messages.texts.size(), 1);
        QCOMPARE(env->messages.texts.first(),
                 QString("无法关闭计算机。\r系统总线在 5 秒内没有应答。"));
        for (int s = 0; s <= 10; ++s) {
            emit clock->schedulerTick(env->clock.now().addMSecs(300));
            tickAt(QTime(22, 30, s));
        }
        QTest::qWait(20);
        QCOMPARE(env->power.calls, QStringList{"PowerOff"});
        QCOMPARE(env->messages.texts.size(), 1);
        QVERIFY(!env->table->isLoaded<frmShutdownWarning>());
    }

    void aSuspendPausesTheWarning()
    {
        arm({"chkopenclose=1", "timer=22:30:00"});
        tickAt(QTime(22, 30, 0));
        frmShutdownWarning *w = warning();
        for (int i = 0; i < 10; ++i)
            warningTick(w, 1);
        warningTick(w, 3 * 3600); // suspended for three hours
        QVERIFY(env->power.calls.isEmpty());
        QCOMPARE(w->secondsLeft(), 50);
        warningTick(w, 1);
        QCOMPARE(w->secondsLeft(), 49);
        env->clock.advance(-3600 * 1000); // clock set back
        emit w->findChild<SecondTicker *>()->tick(env->clock.now());
        QCOMPARE(w->secondsLeft(), 49);
    }
};

QTEST_MAIN(tst_Scheduler)
#include "tst_scheduler.moc"
