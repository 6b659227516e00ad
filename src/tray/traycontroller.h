#pragma once

#include "platform/trayactivation.h"
#include "tray/traypresence.h"
#include "tray/trayrules.h"
#include "ui/managedwindow.h"

#include <QIcon>

class QAction;
class QMenu;

/// The hidden window that owns the notification-area icon and the program's
/// two pop-up menus: mnuMainPG on the clock, mnuMain on the icon. It is never
/// shown. It is created the first time the clock's menu is wanted and lives
/// until one of the exit commands ends the program.
class TrayController : public ManagedWindow {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmMenu";

    explicit TrayController(WindowTable &table);
    ~TrayController() override;

    /// Lets the clock open its menu: the first right click on the clock
    /// creates this window, and with it the icon.
    static void installClockMenu(WindowTable &table);

    void load() override;

    /// A menu item by its name, in either menu; null for an unknown name.
    QAction *item(const QString &name) const;

    /// Pops up the clock's menu at a global position and returns once it has
    /// closed and the chosen command has run.
    void popupClockMenu(const QPoint &globalPos);
    /// The icon's notification handler.
    void trayActivated(TrayActivation activation);
    /// Brings the clock back from the notification area, loading it again if
    /// it was closed.
    void ShowClockWindow();

    /// As "隐藏到任务栏" chosen from the clock's menu. False, and nothing
    /// happens, while no icon is in a notification area to bring it back from.
    bool hideToTray();
    /// As "转换到主窗口" chosen from the icon's menu. False, and nothing
    /// happens, unless the clock was hidden to the notification area.
    bool switchBackToClock();

    bool isBusy() const { return m_busy; }
    /// Whether the icon is in a notification area now, so that a hidden
    /// clock can be brought back.
    bool hasTrayIcon() const { return m_presence.iconShown(); }

protected:
    void unloading() override;

private:
    using Command = void (TrayController::*)();
    struct Item {
        const char *name;
        const char *caption;
        Command command;
    };
    enum class MenuOf { Clock, Icon };
    QMenu *buildMenu(MenuOf owner, const char *name, const char *title,
                     std::initializer_list<Item> items);
    void runTrayCommand(Command command);

    void AddTrayIcon();
    void RemoveTrayIcon();
    bool putIconInTray();
    void trayPresenceChanged(bool iconShown);
    TrayMenuState menuState() const;
    void applyMenuEvent(TrayMenuEvent event);

    void showShutdownSettings();
    void showAlarmSettings();
    void showOptions();
    void showAbout();
    void openCdDoor();
    void closeCdDoor();
    void shutDown();
    void restart();
    void hideClock();
    void switchToClock();
    void exitLong();
    void exitShort();

    QMenu *mnuMainPG = nullptr;
    QMenu *mnuMain = nullptr;
    QAction *mnuMainChang = nullptr;
    QAction *mnuMainTimeSet = nullptr;
    QAction *mnuMainOption = nullptr;
    QAction *mnuMainCloseWindows = nullptr;
    QAction *mnuMainPGMin = nullptr;
    QIcon imgIocn;
    bool m_busy = false;
    bool m_trayMenuShown = false; ///< our own pop-up of mnuMain is open
    TrayPresence m_presence;
};
