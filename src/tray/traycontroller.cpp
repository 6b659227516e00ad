#include "tray/traycontroller.h"

#include "alarm/alarmdialog.h"
#include "clock/clockstrip.h"
#include "options/optionsdialog.h"
#include "platform/cddrive.h"
#include "platform/messageboxes.h"
#include "platform/trayicon.h"
#include "shutdown/poweractions.h"
#include "shutdown/shutdowndialog.h"
#include "tray/cddoortext.h"
#include "tray/exitsequence.h"
#include "ui/aboutdialog.h"
#include "ui/windowtable.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace {

/// Waits, at most a quarter of a second, while the window that last held the
/// keyboard is hidden: a moment after it went away Qt counts the program
/// inactive and closes every pop-up, so a menu opened before then would
/// close at once. Only input waits meanwhile: timers, so the clock's ticks,
/// go on.
void waitForFocusToSettle()
{
    const QWindow *focus = QGuiApplication::focusWindow();
    if (!focus || focus->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(250, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

/// The application icon; a plain drawn clock if the pictures are missing.
QIcon applicationIcon()
{
    QIcon icon;
    for (const char *path : {":/icons/zirvel-16.png", ":/icons/zirvel-32.png"}) {
        const QPixmap picture(QString::fromLatin1(path));
        if (!picture.isNull())
            icon.addPixmap(picture);
    }
    if (!icon.isNull())
        return icon;
    QPixmap drawn(32, 32);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(255, 255, 224));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 16));
    p.end();
    icon.addPixmap(drawn);
    return icon;
}

} // namespace

TrayController::TrayController(WindowTable &table)
    : ManagedWindow(table), imgIocn(applicationIcon()),
      m_presence({[this] { return putIconInTray(); }, [this] { services().tray->remove(); },
                  [this] { services().messages->show(QStringLiteral("不能创建图标!")); }})
{
    setWindowTitle(QStringLiteral("菜单"));

    mnuMainPG =
        buildMenu(MenuOf::Clock, "mnuMainPG", "主程序菜单",
                  {
                      {"mnuMainPGCloseWD", "关机设置...", &TrayController::showShutdownSettings},
                      {"mnuMainPGTS", "定时设置...", &TrayController::showAlarmSettings},
                      {"mnuMainPGSet", "选项设置...", &TrayController::showOptions},
                      {"mnuOpenCd", "弹出光驱", &TrayController::openCdDoor},
                      {"mnuCloseCd", "关闭光驱", &TrayController::closeCdDoor},
                      {"mnuMainPGCloseWindows", "关闭计算机", &TrayController::shutDown},
                      {"mnuMainPGReStart", "重新启动计算机", &TrayController::restart},
                      {"mnuMainPGMin", "隐藏到任务栏", &TrayController::hideClock},
                      {"mnuMainPGAbout", "关于...", &TrayController::showAbout},
                      {"mnuMainPGExit", "退出", &TrayController::exitLong},
                  });
    mnuMain =
        buildMenu(MenuOf::Icon, "mnuMain", "任务栏菜单",
                  {
                      {"mnuMainClose", "关闭计算机", &TrayController::shutDown},
                      {"mnuMainRestar", "重新启动计算机", &TrayController::restart},
                      {"mnuMainChang", "转换到主窗口", &TrayController::switchToClock},
                      {"mnuMainTimeSet", "定时设置...", &TrayController::showAlarmSettings},
                      {"mnuMainOption", "选项设置...", &TrayController::showOptions},
                      {"mnuMainCloseWindows", "关机设置...", &TrayController::showShutdownSettings},
                      {"mnuMainAbout", "关于...", &TrayController::showAbout},
                      {"mnuMainQuit", "退出", &TrayController::exitShort},
                  });
    mnuMainChang = item(QStringLiteral("mnuMainChang"));
    mnuMainTimeSet = item(QStringLiteral("mnuMainTimeSet"));
    mnuMainOption = item(QStringLiteral("mnuMainOption"));
    mnuMainCloseWindows = item(QStringLiteral("mnuMainCloseWindows"));
    mnuMainPGMin = item(QStringLiteral("mnuMainPGMin"));

    // However the clock leaves the screen, the icon can bring it back.
    connect(&table, &WindowTable::windowUnloaded, this, [this](const QString &name) {
        if (name == QLatin1String(ClockStrip::WindowName))
            applyMenuEvent(TrayMenuEvent::ClockClosed);
    });
    connect(&m_presence, &TrayPresence::iconShownChanged, this,
            &TrayController::trayPresenceChanged);
}

TrayController::~TrayController()
{
    // Destroyed without unloading when the program ends: the icon's
    // handlers must not outlive the window.
    RemoveTrayIcon();
}

void TrayController::installClockMenu(WindowTable &table)
{
    table.popupClockMenu = [&table](QPoint globalPos) {
        // Popped up from the event loop once the clock's mouse handler has
        // returned: a command may close the clock.
        QTimer::singleShot(0, &table, [&table, globalPos] {
            if (TrayController *menu = table.window<TrayController>())
                menu->popupClockMenu(globalPos);
        });
    };
}

QMenu *TrayController::buildMenu(MenuOf owner, const char *name, const char *title,
                                 std::initializer_list<Item> items)
{
    auto *menu = new QMenu(QString::fromUtf8(title), this);
    menu->setObjectName(QString::fromLatin1(name));
    for (const Item &entry : items) {
        QAction *action = menu->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
        const Command command = entry.command;
        if (owner == MenuOf::Icon)
            connect(action, &QAction::triggered, this,
                    [this, command] { runTrayCommand(command); });
        else
            connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    }
    return menu;
}

QAction *TrayController::item(const QString &name) const
{
    for (QMenu *menu : {mnuMainPG, mnuMain}) {
        if (!menu)
            continue;
        for (QAction *action : menu->actions()) {
            if (action->objectName() == name)
                return action;
        }
    }
    return nullptr;
}

void TrayController::load()
{
    AddTrayIcon();
}

void TrayController::unloading()
{
    RemoveTrayIcon();
}

void TrayController::AddTrayIcon()
{
    // The icon follows the notification area as it comes and goes.
    QPointer<TrayController> self(this);
    services().tray->watchAvailability([self](bool available) {
        if (self)
            self->m_presence.hostChanged(available);
    });
    // Without an icon nothing could bring a hidden clock back.
    mnuMainPGMin->setEnabled(false);
    m_presence.start();
    mnuMainPGMin->setEnabled(m_presence.iconShown());
}

bool TrayController::putIconInTray()
{
    QPointer<TrayController> self(this);
    return services().tray->add(imgIocn, mnuMain, [self](TrayActivation activation) {
        if (self)
            self->trayActivated(activation);
    });
}

void TrayController::RemoveTrayIcon()
{
    if (!m_presence.isRunning())
        return;
    services().tray->watchAvailability(nullptr);
    m_presence.stop();
}

void TrayController::trayPresenceChanged(bool iconShown)
{
    mnuMainPGMin->setEnabled(iconShown);
    if (iconShown)
        return;
    // A clock hidden in the tray would have no way back: it comes back where
    // it was, with the icon's menu as after "转换到主窗口".
    ClockStrip *clock = table().loaded<ClockStrip>();
    if (clock && !clock->isVisible())
        switchToClock();
}

void TrayController::popupClockMenu(const QPoint &globalPos)
{
    mnuMainPG->exec(globalPos);
}

void TrayController::trayActivated(TrayActivation activation)
{
    // A menu runs its own event loop, in which more notifications arrive:
    // they are ignored until the menu and its command are over.
    if (m_busy)
        return;
    m_busy = true;
    QPointer<TrayController> self(this);
    switch (trayActionFor(activation, mnuMainChang->isEnabled())) {
    case TrayAction::ShowClock:
        ShowClockWindow();
        break;
    case TrayAction::ShowAbout:
        showAbout();
        break;
    case TrayAction::PopupMenu:
        waitForFocusToSettle();
        if (!self)
            return;
        m_trayMenuShown = true;
        mnuMain->exec(QCursor::pos());
        if (self)
            m_trayMenuShown = false;
        break;
    case TrayAction::Nothing:
        break;
    }
    if (self) // the exit commands destroy this window
        m_busy = false;
}

void TrayController::runTrayCommand(Command command)
{
    // Chosen from our own pop-up: part of the notification that opened it,
    // which holds the busy flag until the command is over.
    if (m_trayMenuShown) {
        (this->*command)();
        return;
    }
    // Chosen from the menu the desktop shows for the icon: a notification
    // of its own, ignored while another one is being handled.
    if (m_busy)
        return;
    m_busy = true;
    QPointer<TrayController> self(this);
    (this->*command)();
    if (self)
        m_busy = false;
}

TrayMenuState TrayController::menuState() const
{
    return {mnuMainChang->isEnabled(), mnuMainTimeSet->isEnabled()};
}

void TrayController::applyMenuEvent(TrayMenuEvent event)
{
    const TrayMenuState state = nextTrayMenuState(menuState(), event);
    mnuMainChang->setEnabled(state.switchToClock);
    for (QAction *action : {mnuMainTimeSet, mnuMainOption, mnuMainCloseWindows})
        action->setEnabled(state.settingsItems);
}

void TrayController::ShowClockWindow()
{
    applyMenuEvent(TrayMenuEvent::ShowClockWindow);
    table().show<ClockStrip>();
}

void TrayController::hideClock()
{
    if (!m_presence.iconShown())
        return;
    ClockStrip *clock = table().show<ClockStrip>();
    applyMenuEvent(TrayMenuEvent::HideClock);
    // Its timers keep running: alarms, the chime and shutdowns still happen.
    if (clock)
        clock->hide();
}

bool TrayController::hideToTray()
{
    if (!hasTrayIcon() || !mnuMainPGMin->isEnabled())
        return false;
    hideClock();
    return true;
}

bool TrayController::switchBackToClock()
{
    if (!mnuMainChang->isEnabled())
        return false;
    switchToClock();
    return true;
}

void TrayController::switchToClock()
{
    applyMenuEvent(TrayMenuEvent::SwitchToClock);
    ShowClockWindow();
}

void TrayController::showShutdownSettings()
{
    table().show<ShutdownDialog>();
}

void TrayController::showAlarmSettings()
{
    table().show<AlarmDialog>();
}

void TrayController::showOptions()
{
    table().show<OptionsDialog>();
}

void TrayController::showAbout()
{
    table().show<AboutDialog>();
}

void TrayController::openCdDoor()
{
    const CdDoorResult result = services().cdDrive->openDoor();
    if (!result.ok())
        services().messages->show(
            cdDoorFailureText(CdDoorCommand::Open, result.device, result.error));
}

void TrayController::closeCdDoor()
{
    const CdDoorResult result = services().cdDrive->closeDoor();
    if (!result.ok())
        services().messages->show(
            cdDoorFailureText(CdDoorCommand::Close, result.device, result.error));
}

void TrayController::shutDown()
{
    PowerActions(services()).ShutDown(false);
}

void TrayController::restart()
{
    PowerActions(services()).Restart();
}

void TrayController::exitLong()
{
    exitProgram(table(), ExitKind::Long);
}

void TrayController::exitShort()
{
    exitProgram(table(), ExitKind::Short);
}
