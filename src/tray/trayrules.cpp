#include "tray/trayrules.h"

TrayMenuState nextTrayMenuState(TrayMenuState state, TrayMenuEvent event)
{
    switch (event) {
    case TrayMenuEvent::HideClock:
        state.switchToClock = true;
        state.settingsItems = false;
        break;
    case TrayMenuEvent::SwitchToClock:
        state.settingsItems = true;
        state.switchToClock = false;
        break;
    case TrayMenuEvent::ShowClockWindow:
        // Leaves the settings items as they are: only the menu command
        // re-enables them.
        state.switchToClock = false;
        break;
    case TrayMenuEvent::ClockClosed:
        // Off the screen: the switch and the icon's left button bring it
        // back. The settings items stay as they are.
        state.switchToClock = true;
        break;
    }
    return state;
}

TrayAction trayActionFor(TrayActivation activation, bool clockInTray)
{
    switch (activation) {
    case TrayActivation::LeftPress:
        return clockInTray ? TrayAction::ShowClock : TrayAction::Nothing;
    case TrayActivation::LeftDoubleClick:
        return clockInTray ? TrayAction::Nothing : TrayAction::ShowAbout;
    case TrayActivation::RightRelease:
        return TrayAction::PopupMenu;
    }
    return TrayAction::Nothing;
}
