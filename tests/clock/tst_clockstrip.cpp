#include "alarm/alarmdialog.h"
#include "alarm/alarmpopup.h"
#include "clock/clockstrip.h"
#include "controlof.h"
#include "savesettings.h"
#include "testenvironment.h"
#include "time/secondticker.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_ClockStrip : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    ClockStrip *load() { return env->table->window<ClockStrip>(); }
    static QPoint leftCap() { return QPoint(4, 9); }
    static QPoint rightCap() { return QPoint(82, 9); }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void placedAtStartOnEveryLoad()
    {
        for (int round = 0; round < 2; ++round) {
            ClockStrip *w = load();
            QVERIFY(w->isVisible());
            QCOMPARE(w->pos(), QPoint(638, 24));
            QCOMPARE(w->size(), QSize(86, 19));
            QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
            QVERIFY(!env->windows.topmostCalls.isEmpty());
            QVERIFY(env->windows.topmostCalls.last().on);
            w->move(100, 300); // a drag; the next load ignores it
            w->unload();
            QVERIFY(!env->table->isLoaded<ClockStrip>());
        }
        QCOMPARE(env->store->get(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QStringLiteral("1500"));
    }

    // A monitor goes away (or the layout changes) while the strip is on it:
    // whatever notice the screens send, the strip comes back into view on
    // the screen that is left (800 × 800 here); a strip in view stays put.
    void backInViewWhenTheScreensChange_data()
    {
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QPoint>("before");
        QTest::addColumn<QPoint>("after");
        for (const char *notice :
             {"screen removed", "screen added", "geometry changed", "available area changed"}) {
            QTest::addRow("%s, strip off every screen", notice)
                << notice << QPoint(2000, 300) << QPoint(714, 300);
            QTest::addRow("%s, strip in view", notice)
                << notice << QPoint(100, 300) << QPoint(100, 300);
        }
    }
    void backInViewWhenTheScreensChange()
    {
        QFETCH(QString, notice);
        QFETCH(QPoint, before);
        QFETCH(QPoint, after);

        ClockStrip *w = load();
        QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry(), QRect(0, 0, 800, 800));
        w->move(before);
        QCOMPARE(w->pos(), before);
        if (notice == QLatin1String("screen removed"))
            emit qGuiApp->screenRemoved(screen);
        else if (notice == QLatin1String("screen added"))
            emit qGuiApp->screenAdded(screen);
        else if (notice == QLatin1String("geometry changed"))
            emit screen->geometryChanged(screen->geometry());
        else
            emit screen->availableGeometryChanged(screen->availableGeometry());
        QTRY_COMPARE(w->pos(), after);
        QTest::qWait(20);
        QCOMPARE(w->pos(), after);
    }

    void labelShowsTheSecond_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("last second") << QTime(23, 59, 59) << "23:59:59";
        QTest::newRow("midnight") << QTime(0, 0, 0) << "00:00:00";
        QTest::newRow("morning") << QTime(7, 5, 9) << "07:05:09";
    }
    void labelShowsTheSecond()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        ClockStrip *w = load();
        env->clock.set(QDateTime(QDate(2026, 12, 9), time.addMSecs(20)));
        w->findChild<SecondTicker *>()->secondPassed(env->clock.now());
        QCOMPARE(controlOf<TimeLabel>(w, "Label1")->text(), text);
        QVERIFY(controlOf<TimeLabel>(w, "Label1")->geometry().right() <
                86 - 10); // the right cap stays free
    }

    void tickerFiresOncePerSecondJustAfterTheBoundary_data()
    {
        QTest::addColumn<int>("msec");
        QTest::addColumn<int>("delay");
        QTest::newRow("on the boundary") << 0 << 1020;
        QTest::newRow("just after a tick") << 21 << 999;
        QTest::newRow("late in the second") << 990 << 30;
    }
    void tickerFiresOncePerSecondJustAfterTheBoundary()
    {
        QFETCH(int, msec);
        QFETCH(int, delay);
        QCOMPARE(SecondTicker::delayToNextSecond(QTime(10, 0, 0, msec)), delay);
    }

    // The second the clock starts in counts: started 0.4 s into an alarm's
    // second, the alarm rings, without waiting for the next second.
    void theSecondItStartsInCounts()
    {
        saveSettings(*env->store, {"chkyntimer=0", "itimer=7:05:00"});
        env->clock.set(QDateTime(QDate(2026, 12, 9), QTime(7, 5, 0, 400)));
        load();
        for (int i = 0; i < 5 && !env->table->isLoaded<AlarmPopup>(); ++i)
            QCoreApplication::processEvents();
        QVERIFY(env->table->isLoaded<AlarmPopup>());
    }

    // Whatever a tick's receiver does, even wait in an event loop of its own,
    // the next seconds still come: the ticker is armed again before it emits.
    void theTickerRunsOnWhileATickWaits()
    {
        env->clock.run();
        SecondTicker ticker(env->clock);
        int ticks = 0;
        int whileWaiting = 0;
        bool waiting = false;
        QEventLoop wait;
        connect(&ticker, &SecondTicker::secondPassed, this, [&] {
            ++ticks;
            if (waiting) {
                if (++whileWaiting == 2)
                    wait.quit();
                return;
            }
            waiting = true;
            QTimer::singleShot(6000, &wait, &QEventLoop::quit);
            wait.exec();
            waiting = false;
        });
        ticker.start();
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 15000);
        QCOMPARE(whileWaiting, 2);
    }

    void endCapsReactButTheLabelDoesNot()
    {
        ClockStrip *w = load();
        QTest::mouseDClick(controlOf<TimeLabel>(w, "Label1"), Qt::LeftButton, {}, QPoint(10, 8));
        QVERIFY(env->table->isLoaded<ClockStrip>());

        QPoint menuAt;
        env->table->popupClockMenu = [&](QPoint p) { menuAt = p; };
        QTest::mouseRelease(controlOf<TimeLabel>(w, "Label1"), Qt::RightButton, {}, QPoint(10, 8));
        QCOMPARE(menuAt, QPoint());
        QTest::mouseRelease(w, Qt::RightButton, {}, rightCap());
        QCOMPARE(menuAt, w->mapToGlobal(rightCap()));

        QTest::mouseDClick(w, Qt::LeftButton, {}, leftCap());
        QVERIFY(!env->table->isLoaded<ClockStrip>());
    }

    void doubleClickCloseStopsTheTimersOnly()
    {
        ClockStrip *w = load();
        env->table->window<AlarmDialog>();
        QSignalSpy ticks(w, &ClockStrip::secondShown);
        QVERIFY(w->findChild<SecondTicker *>()->isActive());
        QTest::mouseDClick(w, Qt::LeftButton, {}, rightCap());
        QVERIFY(!env->table->isLoaded<ClockStrip>());
        QVERIFY(env->table->isLoaded<AlarmDialog>());
        QVERIFY(!env->table->loaded<AlarmDialog>()->isVisible());
    }

    void dragOnAnEndCapMovesTheWindow()
    {
        ClockStrip *w = load();
        QTest::mousePress(w, Qt::LeftButton, {}, leftCap());
        QMouseEvent move(QEvent::MouseMove, QPointF(leftCap() + QPoint(30, 40)),
                         QPointF(w->mapToGlobal(leftCap() + QPoint(30, 40))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, leftCap() + QPoint(30, 40));
        QCOMPARE(env->windows.systemMoves, 1);
        QCOMPARE(w->pos(), QPoint(638 + 30, 24 + 40));
    }

    void unloadSavesPositionInTwipsUnlessMinimised()
    {
        load()->unload();
        auto reread = env->reopenStore();
        QCOMPARE(reread->get(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QStringLiteral("9570"));
        QCOMPARE(reread->get(QStringLiteral("Settings"), QStringLiteral("MainTop")),
                 QStringLiteral("360"));

        ClockStrip *w = load();
        w->move(10, 10);
        w->setWindowState(Qt::WindowMinimized);
        w->unload();
        QCOMPARE(env->reopenStore()->get(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QStringLiteral("9570"));
    }

    void activationLoadsTheAlarmDialogHiddenOnce()
    {
        ClockStrip *w = load();
        QVERIFY(!env->table->isLoaded<AlarmDialog>());
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
        AlarmDialog *first = env->table->loaded<AlarmDialog>();
        QVERIFY(first);
        QVERIFY(!first->isVisible());
        QApplication::sendEvent(w, &activate);
        QCOMPARE(env->table->loaded<AlarmDialog>(), first);
    }
};

QTEST_MAIN(tst_ClockStrip)
#include "tst_clockstrip.moc"
