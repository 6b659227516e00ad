#!/bin/bash
# The clock's window states as a user meets them, driven only by real input
# (xdotool) in a private desktop: the options dialog opens showing whether
# the clock is on top, so OK with nothing touched keeps it there; whenever
# the clock comes back (icon click, "转换到主窗口", a second start) after its
# on-top state was changed in place, the window that is mapped is frameless,
# on top, off the taskbar and the pager, and its end cap drags it; a message
# box hands the keyboard back to the dialog that raised it.
# Usage: e2e_windows.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

source "$(dirname "$0")/desktop.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop
log "desktop on $DISPLAY"
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf

"$ZIRVEL" >"$WORK/zirvel.log" 2>&1 &
ZPID=$!
PIDS+=($ZPID)
wait_for "the clock" 30 shown_window 86x19

# The top-left corner of a window in root coordinates: "X Y".
corner_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}
# A right click on the clock's left end cap opens its menu.
clock_menu() {
    local x y
    read -r x y < <(corner_of "$(shown_window 86x19)")
    xdotool mousemove $((x + 4)) $((y + 9)) click 3
    wait_for "the clock's menu" 10 menu_open
}
clock_states_are() {
    local id state
    id=$(shown_window 86x19) || return 1
    state=$(xprop -id "$id" _NET_WM_STATE)
    for s in _NET_WM_STATE_ABOVE _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER; do
        grep -q "$s" <<<"$state" || return 1
    done
    xprop -id "$id" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0'
}
clock_is_above() { xprop -id "$(shown_window 86x19)" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
clock_not_above() { ! clock_is_above; }
clock_hidden() { ! shown_window 86x19; }
# A mapped message box of the program.
message_box() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        if is_viewable "$id" && xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# Options dialog: its check box "最上层显示" and its OK button.
OPTIONS_TOP="296 116"
OPTIONS_OK="268 284"
open_options() {
    clock_menu
    choose 3
    wait_for "the options dialog" 10 window_at 484x316
    OPTIONS=$(window_at 484x316)
}
close_options() {
    click_in "$OPTIONS" $OPTIONS_OK
    wait_for "the options dialog to close" 10 sh -c "! xwininfo -id $OPTIONS 2>/dev/null | grep -q IsViewable"
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

# Clicks on the icon at a person's pace (a second press within the
# double-click time would be a double-click).
click_icon() {
    sleep 0.6
    read -r IX IY < <(centre_of "$(tray_icon)")
    xdotool mousemove "$IX" "$IY" click "$1"
}
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
    click_in "$OPTIONS" $OPTIONS_TOP
    wait_for "the clock off the top" 10 clock_not_above
    click_in "$OPTIONS" $OPTIONS_TOP
    wait_for "the clock on top again" 10 clock_is_above
    close_options

    clock_menu
    choose 8 # 隐藏到任务栏
    wait_for "the clock to hide" 10 clock_hidden
    "show_by_$way"
    wait_for "the clock to show" 10 shown_window 86x19
    sleep 0.5
    clock_states_are || fail "after $way: $(xprop -id "$(shown_window 86x19)" _NET_WM_STATE _NET_FRAME_EXTENTS)"
    shot "clock-after-$way"

    CLOCK=$(shown_window 86x19)
    read -r X Y < <(corner_of "$CLOCK")
    xdotool mousemove $((X + 4)) $((Y + 9)) mousedown 1
    for step in 1 2 3 4 5; do
        xdotool mousemove $((X + 4 + step * 12)) $((Y + 9 + step * 20))
        sleep 0.05
    done
    xdotool mouseup 1
    wait_for "the drag to move the clock" 10 sh -c "[ \"\$(xwininfo -id $CLOCK | awk '/Absolute upper-left Y/ {print \$4}')\" = $((Y + 100)) ]"
    [[ $(corner_of "$CLOCK") == "$((X + 60)) $((Y + 100))" ]] ||
        fail "after $way the drag left the clock at $(corner_of "$CLOCK"), not $((X + 60)) $((Y + 100))"
done
kill -0 "$ZPID" || fail "the program ended"

log "a message box gives the keyboard back to the dialog that raised it"
clock_menu
choose 2 # 定时设置...
wait_for "the alarm settings" 10 window_at 485x316
DIALOG=$(window_at 485x316)
click_in "$DIALOG" 148 116
xdotool type a
wait_for "the message box" 10 message_box
shot message-box
xdotool key Return
sleep 0.5
xdotool type 7
click_in "$DIALOG" 268 116
xdotool type 5
click_in "$DIALOG" 248 284
wait_for "the alarm settings to close" 10 sh -c "! xwininfo -id $DIALOG 2>/dev/null | grep -q IsViewable"
grep -qx hour=7 "$CONF" || fail "the digit typed after the message was lost: $(tr "\n" " " <"$CONF")"

log "PASS in $SECONDS s"
