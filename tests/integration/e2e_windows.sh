#!/bin/bash
# The clock's window states as a user meets them, driven only by real input
# (xdotool) in a private desktop: the options dialog opens showing whether
# the clock is on top, so OK with nothing touched keeps it there; whenever
# the clock comes back (icon click, "转换到主窗口", a second start) after its
# on-top state was changed in place, the window that is mapped is frameless,
# on top, off the taskbar and the pager, and its end cap drags it; a message
# box hands the keyboard back to the dialog that raised it.
# Usage: e2e_windows.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf

start_clock "$ZIRVEL"

clock_states_are() {
    local id state
    id=$(find_window size=$STRIP_SIZE) || return 1
    state=$(xprop -id "$id" _NET_WM_STATE)
    for s in _NET_WM_STATE_ABOVE _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER; do
        grep -q "$s" <<<"$state" || return 1
    done
    xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0'
}
clock_is_above() { xprop -id "$(find_window size=$STRIP_SIZE)" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
clock_not_above() { ! clock_is_above; }
clock_hidden() { ! find_window size=$STRIP_SIZE; }

open_options() {
    clock_menu
    choose 3
    wait_for "the options dialog" 10 find_window size=$OPTIONS_SIZE
    OPTIONS=$(find_window size=$OPTIONS_SIZE)
}
close_options() {
    click_in "$OPTIONS" "$OPTIONS_OK"
    wait_for "the options dialog to close" 10 not is_viewable "$OPTIONS"
}

wait_for "the clock on top" 10 clock_states_are
clock_menu
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "the tray icon" 10 tray_icon

log "options: OK with nothing touched leaves the clock on top"
open_options
shot options
close_options
sleep 0.5
clock_is_above || fail "options OK took the clock off the top"

# The three ways the clock comes back after 隐藏到任务栏.
show_by_icon_click() { click_icon 1; }
show_by_switch_item() {
    click_icon 3
    wait_for "the tray menu" 10 menu_open
    choose 3 # 转换到主窗口
}
show_by_second_start() { "$ZIRVEL" >>"$WORK/second.log" 2>&1; }

for way in icon_click switch_item second_start; do
    log "on-top state changed in place, hidden, shown again by $way"
    open_options
    click_in "$OPTIONS" "$OPTIONS_ON_TOP"
    wait_for "the clock off the top" 10 clock_not_above
    click_in "$OPTIONS" "$OPTIONS_ON_TOP"
    wait_for "the clock on top again" 10 clock_is_above
    close_options

    clock_menu
    choose 8 # 隐藏到任务栏
    wait_for "the clock to hide" 10 clock_hidden
    "show_by_$way"
    wait_for "the clock to show" 10 find_window size=$STRIP_SIZE
    sleep 0.5
    clock_states_are || fail "after $way: $(xprop -id "$(find_window size=$STRIP_SIZE)" _NET_WM_STATE _NET_FRAME_EXTENTS)"
    shot "clock-after-$way"

    CLOCK=$(find_window size=$STRIP_SIZE)
    read -r X Y < <(corner_of "$CLOCK")
    drag_window "$CLOCK" "$STRIP_LEFT_CAP" "60 100"
    [[ $(corner_of "$CLOCK") == "$((X + 60)) $((Y + 100))" ]] ||
        fail "after $way the drag left the clock at $(corner_of "$CLOCK"), not $((X + 60)) $((Y + 100))"
done
kill -0 "$ZPID" || fail "the program ended"

log "a message box gives the keyboard back to the dialog that raised it"
clock_menu
choose 2 # 定时设置...
wait_for "the alarm settings" 10 find_window size=$ALARM_DIALOG_SIZE
DIALOG=$(find_window size=$ALARM_DIALOG_SIZE)
click_in "$DIALOG" "$ALARM_HOUR"
xdotool type a
wait_for "the message box" 10 find_window dialog
shot message-box
xdotool key Return
sleep 0.5
xdotool type 7
click_in "$DIALOG" "$ALARM_MINUTE"
xdotool type 5
click_in "$DIALOG" "$ALARM_OK"
wait_for "the alarm settings to close" 10 not is_viewable "$DIALOG"
grep -qx hour=7 "$CONF" || fail "the digit typed after the message was lost: $(tr "\n" " " <"$CONF")"

log "PASS in $SECONDS s"
