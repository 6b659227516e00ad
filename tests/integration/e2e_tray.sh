#!/bin/bash
# The program as a user meets it: started in a private desktop, driven only
# by real input events (xdotool), judged by what shows on the screen, what
# the mock logind records and what the settings file holds.
# Usage: e2e_tray.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

source "$(dirname "$0")/desktop.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop
log "desktop on $DISPLAY"

"$ZIRVEL" >"$WORK/zirvel.log" 2>&1 &
ZPID=$!
PIDS+=($ZPID)
wait_for "the clock" 30 shown_window 86x19
CLOCK=$(shown_window 86x19)
read -r CX CY < <(centre_of "$CLOCK")
[[ "$CX $CY" == "681 33" ]] || fail "clock at centre $CX,$CY, not at 638,24"
END_CAP="642 33"

log "no icon before the first right click"
sleep 1
tray_icon && fail "an icon before the first right click"

log "right click on an end cap: the clock's menu and the icon"
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
wait_for "the tray icon" 10 tray_icon
shot menu-clock
xdotool key Escape
wait_for "the menu to close" 10 menu_closed

log "隐藏到任务栏"
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
choose 8
wait_for "the clock to hide" 10 sh -c "! xwininfo -id $CLOCK | grep -q IsViewable"

# Clicks on the icon at a person's pace: two presses within the double-click
# time make the second one a double-click, which a right button ignores.
LAST_ICON_CLICK=0
click_icon() {
    local now
    now=$(date +%s%N)
    local wait_ns=$((LAST_ICON_CLICK + 600000000 - now))
    ((wait_ns <= 0)) || sleep "0.$(printf '%09d' "$wait_ns")"
    xdotool mousemove "$IX" "$IY" click "$1"
    LAST_ICON_CLICK=$(date +%s%N)
}

shot tray
log "tray menu with the clock hidden: the settings items are disabled"
read -r IX IY < <(centre_of "$(tray_icon)")
click_icon 3
wait_for "the tray menu" 10 menu_open
shot menu-tray
# Four steps down skip the three disabled items and land on "关于...".
choose 4
wait_for "the About window" 10 sh -c "xdotool search --onlyvisible --name '^关于' >/dev/null"
xwininfo -id "$CLOCK" | grep -q IsViewable && fail "the clock showed up"

log "left click on the icon brings the clock back"
click_icon 1
wait_for "the clock to show" 10 is_viewable "$CLOCK"
xprop -id "$CLOCK" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "clock not on top"

log "关闭计算机 and 重新启动计算机 from the tray menu"
click_icon 3
wait_for "the tray menu" 10 menu_open
choose 1
wait_for "PowerOff(false)" 10 grep -q 'PowerOff(false)' "$LOGIND_LOG"
click_icon 3
wait_for "the tray menu" 10 menu_open
choose 2
wait_for "Reboot(false)" 10 grep -q 'Reboot(false)' "$LOGIND_LOG"
[[ $(grep -c -e PowerOff -e Reboot "$LOGIND_LOG") == 2 ]] || fail "more power requests than chosen"

log "退出 from the tray menu"
click_icon 3
wait_for "the tray menu" 10 menu_open
xdotool key Up Return
wait_for "the program to end" 15 sh -c "! kill -0 $ZPID"
wait "$ZPID" || fail "the program ended with status $?"
tray_icon && fail "the icon outlived the program"
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf
stored_position() { grep -qE '^MainLeft=[0-9]+$' "$CONF" && grep -qE '^MainTop=[0-9]+$' "$CONF"; }
stored_position || fail "clock position not stored: $(tr "\n" " " <"$CONF" 2>&1)"

log "退出 from the clock's menu, with About open"
"$ZIRVEL" >"$WORK/zirvel2.log" 2>&1 &
ZPID=$!
PIDS+=($ZPID)
wait_for "the clock" 30 shown_window 86x19
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
choose 9
wait_for "the About window" 10 sh -c "xdotool search --onlyvisible --name '^关于' >/dev/null"
wait_for "the tray icon" 10 tray_icon
rm -f "$CONF"
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
xdotool key Up Return
wait_for "the program to end" 15 sh -c "! kill -0 $ZPID"
wait "$ZPID" || fail "the program ended with status $?"
tray_icon && fail "the icon outlived the program"
stored_position || fail "clock position not stored: $(tr "\n" " " <"$CONF" 2>&1)"

log "SIGTERM (log-out) ends the program the same way"
"$ZIRVEL" >"$WORK/zirvel3.log" 2>&1 &
ZPID=$!
PIDS+=($ZPID)
wait_for "the clock" 30 shown_window 86x19
xdotool mousemove $END_CAP click 3
wait_for "the clock's menu" 10 menu_open
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "the tray icon" 10 tray_icon
rm -f "$CONF"
kill -TERM "$ZPID"
wait_for "the program to end" 15 sh -c "! kill -0 $ZPID"
wait "$ZPID" || fail "the program ended with status $? on SIGTERM"
tray_icon && fail "the icon outlived the program"
stored_position || fail "clock position not stored on SIGTERM: $(tr "\n" " " <"$CONF" 2>&1)"

log "PASS in $SECONDS s"
