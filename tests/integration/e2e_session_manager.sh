#!/bin/bash
# "关闭计算机" and "重新启动计算机" from the tray menu in a desktop whose
# session bus has a GNOME session manager: the requests go to it, the way
# the desktop's own menu ends the session, and never to logind.
# Usage: e2e_session_manager.sh ZIRVEL MOCK_LOGIND MOCK_SESSION_MANAGER

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
MOCK_SESSION_MANAGER=$3
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"

start_session_manager "$MOCK_SESSION_MANAGER" gnome

start_clock "$ZIRVEL"

log "a right click on the clock puts the icon in the tray"
clock_menu
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "the tray icon" 10 tray_icon

log "关闭计算机"
click_icon 3
wait_for "the tray menu" 10 menu_open
shot menu-tray
choose 1
wait_for "Shutdown() at the session manager" 10 grep -qx 'org.gnome.SessionManager.Shutdown()' "$MANAGER_LOG"

log "重新启动计算机"
click_icon 3
wait_for "the tray menu" 10 menu_open
choose 2
wait_for "Reboot() at the session manager" 10 grep -qx 'org.gnome.SessionManager.Reboot()' "$MANAGER_LOG"

sleep 1
[[ $(wc -l <"$MANAGER_LOG") == 2 ]] || fail "calls at the session manager: $(tr '\n' ' ' <"$MANAGER_LOG")"
[[ ! -s $LOGIND_LOG ]] || fail "logind was asked too: $(tr '\n' ' ' <"$LOGIND_LOG")"
find_window dialog && fail "a message box came up"
kill -0 "$ZPID" || fail "the program ended"
log "PASS in $SECONDS s"
