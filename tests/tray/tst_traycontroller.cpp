#include "alarm/alarmdialog.h"
#include "clock/clockstrip.h"
#include "controlof.h"
#include "menudriver.h"
#include "options/optionsdialog.h"
#include "settings/settingskeys.h"
#include "shutdown/shutdowndialog.h"
#include "testenvironment.h"
#include "time/secondticker.h"
#include "tray/exitsequence.h"
#include "tray/traycontroller.h"
#include "ui/aboutdialog.h"
#include "ui/timelabel.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>

namespace {
const QPoint EndCap(4, 9);

QStringList enabledItems(TrayController *menu)
{
    QStringList names;
    for (QAction *action : controlOf<QMenu>(menu, "mnuMain")->actions()) {
        if (action->isEnabled())
            names << action->objectName();
    }
    return names;
}

const QStringList AllTrayItems{"mnuMainClose",   "mnuMainRestar", "mnuMainChang",
                               "mnuMainTimeSet", "mnuMainOption", "mnuMainCloseWindows",
                               "mnuMainAbout",   "mnuMainQuit"};
const QStringList HiddenTrayItems{"mnuMainClose", "mnuMainRestar", "mnuMainChang", "mnuMainAbout",
                                  "mnuMainQuit"};
const QStringList ShownByIconTrayItems{"mnuMainClose", "mnuMainRestar", "mnuMainAbout",
                                       "mnuMainQuit"};
const QStringList ShownByMenuTrayItems{"mnuMainClose",  "mnuMainRestar",       "mnuMainTimeSet",
                                       "mnuMainOption", "mnuMainCloseWindows", "mnuMainAbout",
                                       "mnuMainQuit"};
} // namespace

class TestFrmMenu : public QObject {
    Q_OBJECT
private slots:
    void menus_data();
    void menus();
    void firstRightClickOnClockCreatesIcon();
    void noNotificationArea();
    void trayHostComesAndGoes_data();
    void trayHostComesAndGoes();
    void dialogs_data();
    void dialogs();
    void cdDoor_data();
    void cdDoor();
    void power_data();
    void power();
    void hideAndComeBack();
    void iconDoubleClick();
    void busyWhileTrayMenuOpen();
    void busyWhilePublishedMenuCommandRuns();
    void backAfterDoubleClickClose_data();
    void backAfterDoubleClickClose();
    void exitSequences_data();
    void exitSequences();
    void exitWithNothingLoaded();
};

void TestFrmMenu::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("clock")
        << "mnuMainPG"
        << "主程序菜单" << QStringList{"mnuMainPGCloseWD", "mnuMainPGTS",  "mnuMainPGSet",
                                       "mnuOpenCd",        "mnuCloseCd",   "mnuMainPGCloseWindows",
                                       "mnuMainPGReStart", "mnuMainPGMin", "mnuMainPGAbout",
                                       "mnuMainPGExit"}
        << QStringList{"关机设置...", "定时设置...",    "选项设置...",  "弹出光驱", "关闭光驱",
                       "关闭计算机",  "重新启动计算机", "隐藏到任务栏", "关于...",  "退出"};
    QTest::newRow("tray") << "mnuMain"
                          << "任务栏菜单" << AllTrayItems
                          << QStringList{
                                 "关闭计算机",  "重新启动计算机", "转换到主窗口", "定时设置...",
                                 "选项设置...", "关机设置...",    "关于...",      "退出"};
}

void TestFrmMenu::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, names);
    QFETCH(QStringList, captions);

    TestEnvironment env;
    TrayController *w = env.table->window<TrayController>();
    QVERIFY(w);
    QCOMPARE(w->objectName(), QStringLiteral("frmMenu"));
    QCOMPARE(w->windowTitle(), QStringLiteral("菜单"));
    QVERIFY(!w->isVisible());

    QMenu *m =
        menu == u"mnuMainPG" ? controlOf<QMenu>(w, "mnuMainPG") : controlOf<QMenu>(w, "mnuMain");
    QCOMPARE(m->objectName(), menu);
    QCOMPARE(m->title(), title);
    QStringList shownNames, shownCaptions;
    for (QAction *action : m->actions()) {
        QVERIFY(!action->isSeparator());
        QVERIFY(!action->isCheckable());
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->menu());
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        shownNames << action->objectName();
        shownCaptions << action->text();
    }
    QCOMPARE(shownNames, names);
    QCOMPARE(shownCaptions, captions);
}

void TestFrmMenu::firstRightClickOnClockCreatesIcon()
{
    TestEnvironment env;
    TrayController::installClockMenu(*env.table);
    ClockStrip *clock = env.table->window<ClockStrip>();
    QVERIFY(!env.table->isLoaded<TrayController>());
    QCOMPARE(env.tray.adds, 0);

    // Over the time label: neither menu nor icon.
    QTest::mouseClick(controlOf<TimeLabel>(clock, "Label1"), Qt::RightButton, Qt::NoModifier,
                      QPoint(5, 5));
    QTest::qWait(20);
    QVERIFY(!env.table->isLoaded<TrayController>());

    QString opened;
    whenMenuOpens([&](QMenu *menu) {
        opened = menu->objectName();
        QVERIFY(env.tray.shown); // the icon is there while the menu shows
        dismiss(menu);
    });
    QTest::mouseClick(clock, Qt::RightButton, Qt::NoModifier, EndCap);
    QTRY_COMPARE(opened, QStringLiteral("mnuMainPG"));
    QVERIFY(env.table->isLoaded<TrayController>());
    QCOMPARE(env.tray.adds, 1);
    QVERIFY(!env.tray.shownIcon.isNull());
    QVERIFY(!env.table->loaded<TrayController>()->isVisible());
    // The icon's menu goes with it, for desktops that show it themselves.
    QCOMPARE(env.tray.menu.data(),
             controlOf<QMenu>(env.table->loaded<TrayController>(), "mnuMain"));

    // The second right click reuses the window and its icon.
    opened.clear();
    whenMenuOpens([&](QMenu *menu) {
        opened = menu->objectName();
        dismiss(menu);
    });
    QTest::mouseClick(clock, Qt::RightButton, Qt::NoModifier, EndCap);
    QTRY_COMPARE(opened, QStringLiteral("mnuMainPG"));
    QCOMPARE(env.tray.adds, 1);
    QVERIFY(env.messages.texts.isEmpty());
}

void TestFrmMenu::noNotificationArea()
{
    TestEnvironment env;
    env.tray.available = false;
    TrayController::installClockMenu(*env.table);
    ClockStrip *clock = env.table->window<ClockStrip>();

    for (int i = 0; i < 2; ++i) {
        whenMenuOpens([](QMenu *menu) { clickItem(menu, QStringLiteral("mnuMainPGTS")); });
        QTest::mouseClick(clock, Qt::RightButton, Qt::NoModifier, EndCap);
        QTRY_VERIFY(env.table->isLoaded<AlarmDialog>() &&
                    env.table->loaded<AlarmDialog>()->isVisible());
        env.table->unload(env.table->loaded<AlarmDialog>());
    }
    QCOMPARE(env.messages.texts, QStringList{QStringLiteral("不能创建图标!")});
    QCOMPARE(env.messages.captions, QStringList{QStringLiteral("Zirvel")});
    QCOMPARE(env.tray.adds, 1);
    QVERIFY(!env.table->loaded<TrayController>()->hasTrayIcon());

    // Nothing could bring a hidden clock back: "隐藏到任务栏" is disabled and
    // clicking it does nothing; every other item of the clock's menu works.
    TrayController *menu = env.table->loaded<TrayController>();
    for (QAction *action : controlOf<QMenu>(menu, "mnuMainPG")->actions())
        QCOMPARE(action->isEnabled(), action->objectName() != u"mnuMainPGMin");
    bool clicked = false, stillOpen = false;
    whenMenuOpens([&](QMenu *open) {
        clickItem(open, QStringLiteral("mnuMainPGMin"));
        clicked = true;
        stillOpen = open->isVisible();
        dismiss(open);
    });
    QTest::mouseClick(clock, Qt::RightButton, Qt::NoModifier, EndCap);
    QTRY_VERIFY(clicked);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(stillOpen);
    menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
    QVERIFY(clock->isVisible());

    // Exiting does not try to remove an icon that never was.
    menu->item(QStringLiteral("mnuMainPGExit"))->trigger();
    QCOMPARE(env.tray.removes, 0);
    QCOMPARE(env.program.quits, 1);
}

void TestFrmMenu::trayHostComesAndGoes_data()
{
    QTest::addColumn<bool>("hostAtStart");
    QTest::newRow("host there at start, then gone and back") << true;
    QTest::newRow("no host at start, one appears later") << false;
}

void TestFrmMenu::trayHostComesAndGoes()
{
    // The desktop's notification area comes and goes while the program runs
    // (a panel that starts after the clock, crashes, or loses its tray
    // applet). The icon follows it; while there is none, "隐藏到任务栏" is
    // disabled and a hidden clock comes back where it was.
    QFETCH(bool, hostAtStart);

    TestEnvironment env;
    env.tray.available = hostAtStart;
    ClockStrip *clock = env.table->show<ClockStrip>();
    clock->move(100, 300);
    TrayController *menu = env.table->window<TrayController>();
    QAction *hide = menu->item(QStringLiteral("mnuMainPGMin"));
    const QStringList messages =
        hostAtStart ? QStringList() : QStringList{QStringLiteral("不能创建图标!")};
    QCOMPARE(env.messages.texts, messages);
    QCOMPARE(hide->isEnabled(), hostAtStart);
    QCOMPARE(menu->hasTrayIcon(), hostAtStart);
    env.tray.setAvailable(true);

    for (int round = 1; round <= 2; ++round) {
        QTRY_VERIFY2(env.tray.shown, qPrintable(QStringLiteral("round %1").arg(round)));
        QVERIFY(menu->hasTrayIcon());
        QVERIFY(hide->isEnabled());
        QCOMPARE(env.tray.menu.data(), controlOf<QMenu>(menu, "mnuMain"));
        hide->trigger();
        QVERIFY(!clock->isVisible());

        env.tray.setAvailable(false);
        QTRY_VERIFY2(clock->isVisible(), qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(env.table->loaded<ClockStrip>(), clock);
        QCOMPARE(clock->pos(), QPoint(100, 300));
        QVERIFY(clock->findChild<SecondTicker *>()->isActive());
        QVERIFY(!hide->isEnabled());
        QVERIFY(!menu->hasTrayIcon());
        // As after "转换到主窗口": should the icon come back, its menu fits
        // a clock on the screen.
        QCOMPARE(enabledItems(menu), ShownByMenuTrayItems);
        hide->trigger();
        QVERIFY(clock->isVisible());

        env.tray.setAvailable(true);
    }
    QTRY_VERIFY(env.tray.shown);
    QVERIFY(hide->isEnabled());
    // "不能创建图标!" at most once a run, however often the host comes and goes.
    QCOMPARE(env.messages.texts, messages);
    QCOMPARE(env.tray.adds, hostAtStart ? 3 : 4);
    QCOMPARE(env.tray.removes, 2);

    // A clock on the screen stays as it is when the host goes.
    clock->move(200, 100);
    env.tray.setAvailable(false);
    QTRY_VERIFY(!hide->isEnabled());
    QVERIFY(clock->isVisible());
    QCOMPARE(clock->pos(), QPoint(200, 100));
}

void TestFrmMenu::dialogs_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::newRow("clock: shutdown") << "mnuMainPGCloseWD"
                                     << "frmCloseWindows";
    QTest::newRow("clock: alarm") << "mnuMainPGTS"
                                  << "frmSetTime";
    QTest::newRow("clock: options") << "mnuMainPGSet"
                                    << "frmOption";
    QTest::newRow("clock: about") << "mnuMainPGAbout"
                                  << "frmAbout";
    QTest::newRow("tray: alarm") << "mnuMainTimeSet"
                                 << "frmSetTime";
    QTest::newRow("tray: options") << "mnuMainOption"
                                   << "frmOption";
    QTest::newRow("tray: shutdown") << "mnuMainCloseWindows"
                                    << "frmCloseWindows";
    QTest::newRow("tray: about") << "mnuMainAbout"
                                 << "frmAbout";
}

void TestFrmMenu::dialogs()
{
    QFETCH(QString, item);
    QFETCH(QString, window);

    TestEnvironment env;
    TrayController *menu = env.table->window<TrayController>();
    QSignalSpy unloads(env.table.get(), &WindowTable::windowUnloaded);

    menu->item(item)->trigger();
    auto *shown = qobject_cast<ManagedWindow *>([&]() -> QWidget * {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == window && w->isVisible())
                return w;
        }
        return nullptr;
    }());
    QVERIFY(shown);
    QVERIFY(!shown->isModal());

    // Chosen again while open: the same window, not a second one.
    shown->lower();
    menu->item(item)->trigger();
    int open = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        open += w->objectName() == window && w->isVisible();
    QCOMPARE(open, 1);
    QVERIFY(shown->isVisible());
    QCOMPARE(unloads.count(), 0);
    QVERIFY(env.power.calls.isEmpty());
}

void TestFrmMenu::cdDoor_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("open") << "mnuOpenCd"
                          << "open" << 0 << QString();
    QTest::newRow("close") << "mnuCloseCd"
                           << "close" << 0 << QString();
    QTest::newRow("open, no drive")
        << "mnuOpenCd"
        << "open" << int(ENOENT) << "无法弹出光驱：/dev/sr0\r原因：找不到光驱设备";
    QTest::newRow("close, no permission")
        << "mnuCloseCd"
        << "close" << int(EACCES) << "无法关闭光驱：/dev/sr0\r原因：没有访问该设备的权限";
}

void TestFrmMenu::cdDoor()
{
    QFETCH(QString, item);
    QFETCH(QString, call);
    QFETCH(int, error);
    QFETCH(QString, message);

    TestEnvironment env;
    env.cdDrive.result.error = error;
    env.table->window<TrayController>()->item(item)->trigger();
    QCOMPARE(env.cdDrive.calls, QStringList{call});
    QCOMPARE(env.messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestFrmMenu::power_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("call");
    QTest::newRow("clock: shut down") << "mnuMainPGCloseWindows"
                                      << "PowerOff";
    QTest::newRow("clock: restart") << "mnuMainPGReStart"
                                    << "Reboot";
    QTest::newRow("tray: shut down") << "mnuMainClose"
                                     << "PowerOff";
    QTest::newRow("tray: restart") << "mnuMainRestar"
                                   << "Reboot";
}

void TestFrmMenu::power()
{
    QFETCH(QString, item);
    QFETCH(QString, call);

    TestEnvironment env;
    env.table->window<ClockStrip>();
    env.table->window<TrayController>()->item(item)->trigger();
    // At once: no question first, and the program keeps running.
    QCOMPARE(env.power.calls, QStringList{call});
    QVERIFY(env.messages.texts.isEmpty());
    QCOMPARE(env.program.quits, 0);
    QVERIFY(env.table->isLoaded<ClockStrip>());
}

void TestFrmMenu::hideAndComeBack()
{
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    TrayController *menu = env.table->window<TrayController>();
    QCOMPARE(enabledItems(menu), AllTrayItems);

    menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
    QVERIFY(!clock->isVisible());
    QVERIFY(clock->findChild<SecondTicker *>()->isActive());
    QCOMPARE(enabledItems(menu), HiddenTrayItems);
    for (QAction *action : controlOf<QMenu>(menu, "mnuMainPG")->actions())
        QVERIFY(action->isEnabled());

    // A left press on the icon brings it back; the settings items stay off.
    QVERIFY(env.tray.activate(TrayActivation::LeftPress));
    QVERIFY(clock->isVisible());
    QCOMPARE(env.table->loaded<ClockStrip>(), clock);
    QCOMPARE(enabledItems(menu), ShownByIconTrayItems);
    QVERIFY(!env.table->isLoaded<AboutDialog>());

    // Hidden again, and back through the tray menu: everything on again
    // except the switch itself.
    menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
    QVERIFY(!clock->isVisible());
    menu->item(QStringLiteral("mnuMainChang"))->trigger();
    QVERIFY(clock->isVisible());
    QCOMPARE(clock->pos(), ClockStrip::StartPosition);
    QCOMPARE(enabledItems(menu), ShownByMenuTrayItems);

    // With the clock shown, a left press does nothing.
    clock->hide();
    QVERIFY(env.tray.activate(TrayActivation::LeftPress));
    QVERIFY(!clock->isVisible());
}

void TestFrmMenu::iconDoubleClick()
{
    // Fresh window: the switch starts enabled although the clock shows, so
    // the press of a double-click "brings the clock back" and the
    // double-click that follows opens About.
    {
        TestEnvironment env;
        ClockStrip *clock = env.table->window<ClockStrip>();
        TrayController *menu = env.table->window<TrayController>();
        env.tray.activate(TrayActivation::LeftPress);
        QVERIFY(!menu->item(QStringLiteral("mnuMainChang"))->isEnabled());
        QVERIFY(clock->isVisible());
        QVERIFY(!env.table->isLoaded<AboutDialog>());
        env.tray.activate(TrayActivation::LeftDoubleClick);
        QVERIFY(env.table->isLoaded<AboutDialog>());
        QVERIFY(env.table->loaded<AboutDialog>()->isVisible());
    }
    // Clock in the tray: one double-click shows the clock and opens About.
    {
        TestEnvironment env;
        ClockStrip *clock = env.table->window<ClockStrip>();
        TrayController *menu = env.table->window<TrayController>();
        menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
        env.tray.activate(TrayActivation::LeftPress);
        env.tray.activate(TrayActivation::LeftDoubleClick);
        QVERIFY(clock->isVisible());
        QVERIFY(env.table->isLoaded<AboutDialog>());
        QVERIFY(!menu->isBusy());
    }
}

void TestFrmMenu::busyWhileTrayMenuOpen()
{
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    TrayController *menu = env.table->window<TrayController>();
    menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
    QSignalSpy shows(controlOf<QMenu>(menu, "mnuMain"), &QMenu::aboutToShow);

    bool busyInside = false;
    whenMenuOpens([&](QMenu *open) {
        busyInside = menu->isBusy();
        // Further notifications while the menu is open are ignored: no
        // second menu, and a left press does not show the clock.
        env.tray.activate(TrayActivation::RightRelease);
        env.tray.activate(TrayActivation::LeftPress);
        env.tray.activate(TrayActivation::LeftDoubleClick);
        dismiss(open);
    });
    env.tray.activate(TrayActivation::RightRelease);
    QVERIFY(busyInside);
    QCOMPARE(shows.count(), 1);
    QVERIFY(!clock->isVisible());
    QVERIFY(!env.table->isLoaded<AboutDialog>());
    QVERIFY(!menu->isBusy());

    // The same command chosen from the menu runs while the flag is still set.
    bool busyDuringCommand = false;
    connect(menu->item(QStringLiteral("mnuMainChang")), &QAction::triggered, this,
            [&] { busyDuringCommand = menu->isBusy(); });
    whenMenuOpens([](QMenu *open) { clickItem(open, QStringLiteral("mnuMainChang")); });
    env.tray.activate(TrayActivation::RightRelease);
    QVERIFY(busyDuringCommand);
    QVERIFY(clock->isVisible());
    QVERIFY(!menu->isBusy());
}

void TestFrmMenu::busyWhilePublishedMenuCommandRuns()
{
    // A desktop that shows the icon's menu itself runs the chosen command
    // from the event loop, with no pop-up of ours open: the command is a
    // notification of its own and holds the busy flag while it runs.
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    TrayController *menu = env.table->window<TrayController>();
    QCOMPARE(env.tray.menu.data(), controlOf<QMenu>(menu, "mnuMain"));
    menu->item(QStringLiteral("mnuMainPGMin"))->trigger();
    QSignalSpy shows(controlOf<QMenu>(menu, "mnuMain"), &QMenu::aboutToShow);
    // Should our menu open all the same, it closes again at once.
    connect(controlOf<QMenu>(menu, "mnuMain"), &QMenu::aboutToShow,
            controlOf<QMenu>(menu, "mnuMain"), &QMenu::close, Qt::QueuedConnection);

    struct OnShow : QObject {
        std::function<void()> act;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Show && act)
                act();
            return false;
        }
    } onShow;
    bool busyInside = false;
    onShow.act = [&] {
        busyInside = menu->isBusy();
        // The clock is shown by now, so a double-click would open About and
        // a right click our own menu, were they not ignored.
        env.tray.activate(TrayActivation::LeftDoubleClick);
        env.tray.activate(TrayActivation::RightRelease);
    };
    clock->installEventFilter(&onShow);
    menu->item(QStringLiteral("mnuMainChang"))->trigger();
    clock->removeEventFilter(&onShow);

    QVERIFY(clock->isVisible());
    QVERIFY(busyInside);
    QVERIFY(!env.table->isLoaded<AboutDialog>());
    QCOMPARE(shows.count(), 0);
    QVERIFY(!menu->isBusy());
    QCOMPARE(enabledItems(menu), ShownByMenuTrayItems);
}

void TestFrmMenu::backAfterDoubleClickClose_data()
{
    // What happened before the double-click on the strip closed the clock,
    // and how it is brought back. Whatever came before, the clock is off the
    // screen, so the icon's left button and "转换到主窗口" bring it back.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("byIcon");
    const QList<QPair<const char *, QStringList>> befores{
        {"nothing", {}},
        {"icon press", {"icon"}},
        {"switch", {"mnuMainChang"}},
        {"hidden, icon press", {"mnuMainPGMin", "icon"}},
        {"hidden, switch", {"mnuMainPGMin", "mnuMainChang"}},
    };
    for (const auto &[name, steps] : befores) {
        QTest::addRow("%s; back by the icon", name) << steps << true;
        QTest::addRow("%s; back by the switch", name) << steps << false;
    }
}

void TestFrmMenu::backAfterDoubleClickClose()
{
    QFETCH(QStringList, before);
    QFETCH(bool, byIcon);

    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    AlarmDialog *alarm = env.table->window<AlarmDialog>();
    TrayController *menu = env.table->window<TrayController>();
    QAction *switchItem = menu->item(QStringLiteral("mnuMainChang"));
    for (const QString &step : before) {
        if (step == u"icon")
            QVERIFY(env.tray.activate(TrayActivation::LeftPress));
        else
            menu->item(step)->trigger();
    }
    QVERIFY(clock->isVisible());

    clock->move(100, 300);
    QTest::mouseDClick(clock, Qt::LeftButton, Qt::NoModifier, EndCap);
    QTRY_VERIFY(!env.table->isLoaded<ClockStrip>());
    QCOMPARE(env.table->loaded<AlarmDialog>(), alarm);
    QVERIFY(switchItem->isEnabled());

    env.clock.advance((qint64(3) * 24 * 3600 + 7) * 1000);
    if (byIcon)
        QVERIFY(env.tray.activate(TrayActivation::LeftPress));
    else
        switchItem->trigger();
    QVERIFY(!switchItem->isEnabled());
    QVERIFY(!menu->isBusy());
    ClockStrip *again = env.table->loaded<ClockStrip>();
    QVERIFY(again);
    QVERIFY(again->isVisible());
    QCOMPARE(again->pos(), ClockStrip::StartPosition);
    QCOMPARE(controlOf<TimeLabel>(again, "Label1")->text(),
             env.clock.now().time().toString(QStringLiteral("hh:mm:ss")));
    QVERIFY(again->findChild<SecondTicker *>()->isActive());
    QCOMPARE(env.table->loaded<AlarmDialog>(), alarm);
    QVERIFY(!alarm->isVisible());
}

void TestFrmMenu::exitSequences_data()
{
    QTest::addColumn<bool>("fromClock");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("clock menu: long")
        << true << QStringList{"RemoveTrayIcon", "frmMenu",         "frmclockMain",
                               "frmAbout",       "frmCloseWindows", "quit"};
    QTest::newRow("tray menu: short")
        << false << QStringList{"RemoveTrayIcon", "frmMenu", "frmclockMain", "quit"};
}

void TestFrmMenu::exitSequences()
{
    QFETCH(bool, fromClock);
    QFETCH(QStringList, expected);

    TestEnvironment env;
    QStringList journal;
    env.tray.journal = &journal;
    env.program.journal = &journal;
    connect(env.table.get(), &WindowTable::windowUnloaded, this,
            [&](const QString &name) { journal << name; });
    TrayController::installClockMenu(*env.table);

    ClockStrip *clock = env.table->window<ClockStrip>();
    clock->move(100, 200);
    env.table->show<AlarmDialog>();
    env.table->show<OptionsDialog>();
    env.table->show<AboutDialog>();
    env.table->show<ShutdownDialog>();
    QPointer<TrayController> menu = env.table->window<TrayController>();
    journal.clear();

    // Chosen from the open menu, as a user does: the menu's window goes
    // away while its menu is still running.
    whenMenuOpens([fromClock](QMenu *open) {
        clickItem(open,
                  fromClock ? QStringLiteral("mnuMainPGExit") : QStringLiteral("mnuMainQuit"));
    });
    if (fromClock)
        QTest::mouseClick(clock, Qt::RightButton, Qt::NoModifier, EndCap);
    else
        env.tray.activate(TrayActivation::RightRelease);
    QTRY_VERIFY(journal.contains(QStringLiteral("quit")));
    QCOMPARE(journal, expected);
    QVERIFY(!env.tray.shown);

    // The clock stored where it was; the alarm and options dialogs were left
    // alone, to be destroyed with the program.
    auto store = env.reopenStore();
    QCOMPARE(store->get(Keys::Section, Keys::MainLeft), QStringLiteral("1500"));
    QCOMPARE(store->get(Keys::Section, Keys::MainTop), QStringLiteral("3000"));
    QVERIFY(env.table->isLoaded<AlarmDialog>());
    QVERIFY(env.table->isLoaded<OptionsDialog>());
    QCOMPARE(env.table->isLoaded<AboutDialog>(), !fromClock);
    QTRY_VERIFY(menu.isNull());
}

void TestFrmMenu::exitWithNothingLoaded()
{
    // The termination signal's path: no menu window yet, clock closed by a
    // double-click. Nothing is loaded just to be unloaded.
    TestEnvironment env;
    QSignalSpy unloads(env.table.get(), &WindowTable::windowUnloaded);
    exitProgram(*env.table, ExitKind::Short);
    QCOMPARE(unloads.count(), 0);
    QCOMPARE(env.tray.removes, 0);
    QCOMPARE(env.program.quits, 1);
    QVERIFY(!env.reopenStore()->get(Keys::Section, Keys::MainLeft).size());
}

QTEST_MAIN(TestFrmMenu)
#include "tst_traycontroller.moc"
