#!/bin/bash
# The clock can always be brought back, driven by real input only: after a
# double-click on an end cap closed it, a left click on the icon and
# "转换到主窗口" show it again, whatever came before; the icon's menu stays
# open however soon after hiding the clock it is opened; with no tray at all,
# "隐藏到任务栏" is disabled, so the clock cannot be hidden for good. The tray
# host may come and go while the clock runs: when it ends, a hidden clock
# comes back and hiding is refused; when one starts, the icon comes back and
# hiding works again; "不能创建图标!" shows at most once.
# Usage: e2e_clock_back.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"
clock_shown() { find_window size=$STRIP_SIZE; }
clock_gone() { ! find_window size=$STRIP_SIZE; }

close_by_double_click() {
    click_strip "$STRIP_LEFT_CAP" --repeat 2 --delay 100 1
    wait_for "the clock to close" 10 clock_gone
}

start_clock "$ZIRVEL"
clock_menu
wait_for "the tray icon" 10 tray_icon
xdotool key Escape
wait_for "the menu to close" 10 menu_closed

log "left click on the icon with the clock shown, then a double-click closes the clock"
click_icon 1
sleep 0.5
clock_shown >/dev/null || fail "the clock went away on a left click"
close_by_double_click
log "a left click on the icon brings it back"
click_icon 1
wait_for "the clock to come back" 10 clock_shown
read -r CX CY < <(centre_of "$(clock_shown)")
[[ "$CX $CY" == "681 33" ]] || fail "clock back at centre $CX,$CY, not at 638,24"

log "the icon's menu stays open when opened just as the hidden clock lets go of the keyboard"
# About 0.1 s after the window holding the keyboard goes away, Qt counts the
# program inactive and closes its pop-ups. A right click on the icon whose
# menu opened just before that moment got a menu that closed at once. The
# delays (from the key that hides the clock to the click) sweep the moment.
read -r IX IY < <(centre_of "$(tray_icon)")
for delay in $(seq 0.062 0.002 0.100); do
    # The clock holds the keyboard, as after a click on it.
    xdotool windowactivate --sync "$(clock_shown)"
    clock_menu
    xdotool key Down Down Down Down Down Down Down Down Return # 隐藏到任务栏
    sleep "$delay"
    xdotool mousemove "$IX" "$IY" click 3
    wait_for "the tray menu (right click ${delay} s after hiding)" 10 menu_open
    sleep 0.3
    menu_open >/dev/null || fail "the tray menu opened ${delay} s after hiding closed by itself"
    xdotool key Escape
    wait_for "the menu to close" 10 menu_closed
    click_icon 1
    wait_for "the clock to come back" 10 clock_shown
done

log "closed again: 转换到主窗口 from the icon's menu brings it back"
close_by_double_click
click_icon 3
wait_for "the tray menu" 10 menu_open
shot menu-tray-closed
choose 3
wait_for "the clock to come back" 10 clock_shown
find_window title=闹钟 && fail "the alarm settings opened instead"

# About is open; its close mark shuts it.
close_about() {
    local about
    about=$(find_window title=关于) || fail "no About window"
    click_in "$about" "$ABOUT_CLOSE_MARK"
    wait_for "About to close" 10 not is_viewable "$about"
}

log "the tray host ends while the clock is hidden: the clock comes back where it was"
CLOCK=$(clock_shown)
xdotool windowmove --sync "$CLOCK" 300 200
wait_for "the clock to move" 10 test "$(corner_of "$CLOCK")" = "300 200"
clock_menu
choose 8 # 隐藏到任务栏
wait_for "the clock to hide" 10 clock_gone
stop_tray_host
wait_for "the hidden clock to come back" 10 clock_shown
[[ $(clock_shown) == "$CLOCK" ]] || fail "another clock window came up"
[[ $(corner_of "$CLOCK") == "300 200" ]] || fail "the clock came back at $(corner_of "$CLOCK"), not at 300 200"
wait_for "--hide to be refused" 10 hide_refused "$ZIRVEL"
clock_menu
shot menu-clock-tray-gone
# Eight steps down skip the disabled "隐藏到任务栏" and land on "关于...".
choose 8
wait_for "the About window" 10 find_window title=关于
is_viewable "$CLOCK" || fail "the clock was hidden after its tray went away"
close_about

log "a new tray host: the icon comes back and hiding works again"
start_tray_host
wait_for "the icon in the new tray" 10 tray_icon
clock_command "$ZIRVEL" --hide
((STATUS == 0)) || fail "--hide ended with $STATUS: $ERR"
wait_for "the clock to hide" 10 clock_gone
click_icon 1
wait_for "the clock to come back" 10 clock_shown

log "退出 from the tray menu"
click_icon 3
wait_for "the tray menu" 10 menu_open
quit_from_menu

log "no tray at all: 不能创建图标! and 隐藏到任务栏 disabled"
stop_tray_host
start_clock "$ZIRVEL"
# The message box: titled like the clock, but neither the strip nor the icon.
message_box() {
    local icon
    icon=$(tray_icon) || icon=none
    find_window title=Zirvel not="$CLOCK" not="$icon"
}
click_strip "$STRIP_LEFT_CAP" 3
wait_for "the message" 10 message_box
BOX=$(message_box)
shot no-tray-message
xdotool windowfocus --sync "$BOX" key Return
wait_for "the message to close" 10 not is_viewable "$BOX"
wait_for "the clock's menu" 10 menu_open
shot menu-clock-no-tray
# Eight steps down skip the disabled "隐藏到任务栏" and land on "关于...".
choose 8
wait_for "the About window" 10 find_window title=关于
is_viewable "$CLOCK" || fail "the clock was hidden with no icon to bring it back"
wait_for "--hide to be refused" 10 hide_refused "$ZIRVEL"
close_about

log "the tray host starts after the clock: the icon appears and 隐藏到任务栏 works"
start_tray_host
wait_for "the icon" 10 tray_icon
clock_menu
choose 8 # 隐藏到任务栏, enabled again
wait_for "the clock to hide" 10 not is_viewable "$CLOCK"
click_icon 1
wait_for "the clock to come back" 10 is_viewable "$CLOCK"

log "the host goes and comes again: no second 不能创建图标!"
stop_tray_host
wait_for "--hide to be refused" 10 hide_refused "$ZIRVEL"
start_tray_host
wait_for "the icon" 10 tray_icon
sleep 1
message_box && fail "不能创建图标! a second time"
clock_command "$ZIRVEL" --hide
((STATUS == 0)) || fail "--hide ended with $STATUS: $ERR"
wait_for "the clock to hide" 10 not is_viewable "$CLOCK"
click_icon 1
wait_for "the clock to come back" 10 is_viewable "$CLOCK"
clock_menu
quit_from_menu

log "PASS in $SECONDS s"
