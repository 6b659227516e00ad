#include "tray/trayrules.h"

#include <QTest>

Q_DECLARE_METATYPE(TrayActivation)
Q_DECLARE_METATYPE(TrayAction)

class TestTrayRules : public QObject {
    Q_OBJECT
private slots:
    void menuStates_data();
    void menuStates();
    void activation_data();
    void activation();
};

void TestTrayRules::menuStates_data()
{
    // Events: H = "隐藏到任务栏", S = "转换到主窗口", P = left press on the icon
    // while the clock is in the tray (ShowClockWindow alone), C = the clock
    // closed by a double-click on the strip.
    QTest::addColumn<QString>("events");
    QTest::addColumn<bool>("switchToClock");
    QTest::addColumn<bool>("settingsItems");

    QTest::newRow("at creation") << "" << true << true;
    QTest::newRow("hidden") << "H" << true << false;
    QTest::newRow("hidden twice") << "HH" << true << false;
    QTest::newRow("back through the menu") << "HS" << false << true;
    QTest::newRow("back through the icon") << "HP" << false << false;
    QTest::newRow("icon, then menu") << "HPS" << false << true;
    QTest::newRow("icon, then hidden again") << "HPH" << true << false;
    QTest::newRow("menu before any hide") << "S" << false << true;
    QTest::newRow("icon before any hide") << "P" << false << true;
    QTest::newRow("menu, hide, icon") << "SHP" << false << false;
    QTest::newRow("closed at creation") << "C" << true << true;
    QTest::newRow("closed after the icon") << "PC" << true << true;
    QTest::newRow("closed after the menu") << "SC" << true << true;
    QTest::newRow("closed after hide and icon") << "HPC" << true << false;
    QTest::newRow("closed, back through the icon") << "PCP" << false << true;
    QTest::newRow("closed, back through the menu") << "HPCS" << false << true;
}

void TestTrayRules::menuStates()
{
    QFETCH(QString, events);
    QFETCH(bool, switchToClock);
    QFETCH(bool, settingsItems);

    TrayMenuState state;
    for (const QChar c : events) {
        const TrayMenuEvent event = c == u'H'   ? TrayMenuEvent::HideClock
                                    : c == u'S' ? TrayMenuEvent::SwitchToClock
                                    : c == u'C' ? TrayMenuEvent::ClockClosed
                                                : TrayMenuEvent::ShowClockWindow;
        state = nextTrayMenuState(state, event);
    }
    QCOMPARE(state.switchToClock, switchToClock);
    QCOMPARE(state.settingsItems, settingsItems);
}

void TestTrayRules::activation_data()
{
    QTest::addColumn<TrayActivation>("activation");
    QTest::addColumn<bool>("clockInTray");
    QTest::addColumn<TrayAction>("action");

    QTest::newRow("press, in tray") << TrayActivation::LeftPress << true << TrayAction::ShowClock;
    QTest::newRow("press, shown") << TrayActivation::LeftPress << false << TrayAction::Nothing;
    QTest::newRow("double-click, in tray")
        << TrayActivation::LeftDoubleClick << true << TrayAction::Nothing;
    QTest::newRow("double-click, shown")
        << TrayActivation::LeftDoubleClick << false << TrayAction::ShowAbout;
    QTest::newRow("right, in tray")
        << TrayActivation::RightRelease << true << TrayAction::PopupMenu;
    QTest::newRow("right, shown") << TrayActivation::RightRelease << false << TrayAction::PopupMenu;
}

void TestTrayRules::activation()
{
    QFETCH(TrayActivation, activation);
    QFETCH(bool, clockInTray);
    QFETCH(TrayAction, action);
    QCOMPARE(trayActionFor(activation, clockInTray), action);
}

QTEST_APPLESS_MAIN(TestTrayRules)
#include "tst_trayrules.moc"
