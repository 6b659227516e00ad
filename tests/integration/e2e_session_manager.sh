#!/bin/bash
# "关闭计算机" and "重新启动计算机" from the tray menu in a desktop whose
# session bus has a GNOME session manager: the requests go to it, the way
# the desktop's own menu ends the session, and never to logind.
# Usage: e2e_session_manager.sh ZIRVEL MOCK_LOGIND MOCK_SESSION_MANAGER

source "$(dirname "$0")/desktop.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
MOCK_SESSION_MANAGER=$3
start_desktop
log "desktop on $DISPLAY"

MANAGER_LOG=$WORK/session-manager.log
: >"$MANAGER_LOG"
"$MOCK_SESSION_MANAGER" "$DBUS_SESSION_BUS_ADDRESS" gnome "$MANAGER_LOG" >"$WORK/session-manager.out" 2>&1 &
PIDS+=($!)
wait_for "the mock session manager" 10 grep -q '^ready' "$WORK/session-manager.out"

"$ZIRVEL" >"$WORK/zirvel.log" 2>&1 &
ZPID=$!
PIDS+=($ZPID)
wait_for "the clock" 30 shown_window 86x19
END_CAP="642 33"

log "a right click on the clock puts the icon in the tray"
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "the tray icon" 10 tray_icon
read -r IX IY < <(centre_of "$(tray_icon)")

log "关闭计算机"
xdotool mousemove "$IX" "$IY" click 3
wait_for "the tray menu" 10 menu_open
shot menu-tray
choose 1
wait_for "Shutdown() at the session manager" 10 grep -qx 'org.gnome.SessionManager.Shutdown()' "$MANAGER_LOG"

log "重新启动计算机"
sleep 0.6 # not a double click on the icon
xdotool mousemove "$IX" "$IY" click 3
wait_for "the tray menu" 10 menu_open
choose 2
wait_for "Reboot() at the session manager" 10 grep -qx 'org.gnome.SessionManager.Reboot()' "$MANAGER_LOG"

sleep 1
[[ $(wc -l <"$MANAGER_LOG") == 2 ]] || fail "calls at the session manager: $(tr '\n' ' ' <"$MANAGER_LOG")"
[[ ! -s $LOGIND_LOG ]] || fail "logind was asked too: $(tr '\n' ' ' <"$LOGIND_LOG")"
message_box && fail "a message box came up"
kill -0 "$ZPID" || fail "the program ended"
log "PASS in $SECONDS s"
