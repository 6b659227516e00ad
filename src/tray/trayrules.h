#pragma once

#include "platform/trayactivation.h"

/// The enabled states of the tray menu items that change. Every other item
/// of both menus is always enabled.
struct TrayMenuState {
    /// mnuMainChang "转换到主窗口". Also the "clock is in the tray" flag the
    /// icon's left button reads; it starts out set although the clock shows.
    bool switchToClock = true;
    /// mnuMainTimeSet, mnuMainOption and mnuMainCloseWindows, always together.
    bool settingsItems = true;

    friend bool operator==(const TrayMenuState &, const TrayMenuState &) = default;
};

enum class TrayMenuEvent {
    HideClock,       ///< "隐藏到任务栏"
    SwitchToClock,   ///< "转换到主窗口"
    ShowClockWindow, ///< the clock brought back by a left press on the icon
    ClockClosed,     ///< the clock window unloaded (double-click on the strip)
};

/// The states after an event.
TrayMenuState nextTrayMenuState(TrayMenuState state, TrayMenuEvent event);

enum class TrayAction {
    Nothing,
    ShowClock, ///< ShowClockWindow
    ShowAbout,
    PopupMenu, ///< the tray menu at the mouse position
};

/// What a notification of the icon does, given the "clock is in the tray" flag.
TrayAction trayActionFor(TrayActivation activation, bool clockInTray);
