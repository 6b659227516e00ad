#!/bin/bash
# The icon and its menu on a desktop whose panel shows StatusNotifierItems:
# a mock watcher and host on the private session bus stand in for the panel.
# The program is driven by real input on the strip (xdotool) and by the
# host's D-Bus calls on the icon, the way a panel passes on clicks. The panel
# may end and start again while the clock runs, or start only after it: the
# item follows it, and hiding is refused while there is none.
# Usage: e2e_sni.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND PATH_TO_MOCK_SNI_HOST [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
MOCK_SNI_HOST=$3
SHOT_DIR=${4:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"

# The panel: owns the watcher and keeps the item's menu in $HOST/menu.
start_sni_host "$MOCK_SNI_HOST"
HOST=$SNI_HOST_DIR
host() { "$MOCK_SNI_HOST" "$DBUS_SESSION_BUS_ADDRESS" "$@"; }

start_clock "$ZIRVEL"
clock_shown() { is_viewable "$CLOCK"; }
clock_hidden() { ! is_viewable "$CLOCK"; }

log "no item before the first right click"
sleep 1
[[ ! -s $HOST/items ]] || fail "an item before the first right click: $(cat "$HOST/items")"

log "right click on an end cap: the clock's menu and the item"
clock_menu
wait_for "the item to register" 10 grep -q '^registered ' "$HOST/items"
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
ITEM=$(awk '$1 == "registered" {print $2}' "$HOST/items")
log "item $ITEM"
tray_icon && fail "an XEmbed icon besides the item"

PROPS=$(host props "$ITEM") || fail "cannot read the item's properties"
for line in Id=Zirvel Status=Active Menu=/MenuBar; do
    grep -qxF "$line" <<<"$PROPS" || fail "item properties lack $line: $PROPS"
done
grep -qE '^IconPixmap=.*[0-9]+x[0-9]+|^IconName=.+' <<<"$PROPS" || fail "the item has no icon: $PROPS"

# The menu as the host shows it, kept from the menu's update signals, and as
# a fresh GetLayout reads it: both must be EXPECTED ("1" enabled, "0" not).
menu_is() {
    local fresh
    fresh=$(host menu "$ITEM") && [[ $fresh == "$1" ]] && [[ $(cat "$HOST/menu") == "$1" ]]
}
check_menu() {
    local expected
    expected=$(printf '%s\n' "$@")
    wait_for "the menu $(tr '\n\t' ' :' <<<"$expected")" 10 menu_is "$expected"
}
check_menu "1	关闭计算机" "1	重新启动计算机" "1	转换到主窗口" "1	定时设置..." \
    "1	选项设置..." "1	关机设置..." "1	关于..." "1	退出"

hide_from_strip() {
    clock_menu
    choose 8
    wait_for "the clock to hide" 10 clock_hidden
}

log "隐藏到任务栏: the settings items of the item's menu are disabled"
hide_from_strip
check_menu "1	关闭计算机" "1	重新启动计算机" "1	转换到主窗口" "0	定时设置..." \
    "0	选项设置..." "0	关机设置..." "1	关于..." "1	退出"
shot sni-hidden

log "a disabled item does nothing when the host clicks it"
host click "$ITEM" 定时设置... || fail "the click on 定时设置... failed"
sleep 1
find_window title=闹钟 && fail "a disabled item opened the alarm settings"

log "转换到主窗口 from the item's menu brings the clock back"
host click "$ITEM" 转换到主窗口 || fail "the click on 转换到主窗口 failed"
wait_for "the clock to show" 10 clock_shown
check_menu "1	关闭计算机" "1	重新启动计算机" "0	转换到主窗口" "1	定时设置..." \
    "1	选项设置..." "1	关机设置..." "1	关于..." "1	退出"

log "the middle button does nothing; a left click brings the clock back"
hide_from_strip
host secondary "$ITEM" || fail "SecondaryActivate failed"
sleep 1
clock_hidden || fail "the middle button showed the clock"
host activate "$ITEM" || fail "Activate failed"
wait_for "the clock to show" 10 clock_shown
find_window title=关于 && fail "a single click opened About"
# The settings items stay disabled after the icon brought the clock back.
check_menu "1	关闭计算机" "1	重新启动计算机" "0	转换到主窗口" "0	定时设置..." \
    "0	选项设置..." "0	关机设置..." "1	关于..." "1	退出"

log "two quick activations with the clock shown are the double-click: About"
sleep 1 # well apart from the click before, which was a single click
host activate "$ITEM" 2 || fail "Activate failed"
wait_for "the About window" 10 find_window title=关于
shot sni-about

log "a host without menus asks for ours with ContextMenu"
ABOUT=$(find_window title=关于)
click_in "$ABOUT" "$ABOUT_CLOSE_MARK"
wait_for "About to close" 10 not is_viewable "$ABOUT"
host context "$ITEM" || fail "ContextMenu failed"
wait_for "the tray menu" 10 menu_open
shot sni-context-menu
xdotool key Escape
wait_for "the menu to close" 10 menu_closed

# No XEmbed tray from here on: only the panel's item can hold the clock.
stop_tray_host
registrations() { grep -c '^registered ' "$HOST/items"; }
# registered_times N: waits until the host has seen N registrations in all;
# says what it saw if it does not.
registered_times() {
    local deadline=$((SECONDS + 10))
    until (($(registrations) == $1)); do
        ((SECONDS < deadline)) || fail "the host saw $(registrations) registrations, not $1: $(tr '\n' ';' <"$HOST/items")"
        sleep 0.1
    done
}
last_item() { awk '$1 == "registered" {item = $2} END {print item}' "$HOST/items"; }

log "the panel ends while the clock is hidden: the clock comes back where it was"
xdotool windowmove --sync "$CLOCK" 300 200
wait_for "the clock to move" 10 test "$(corner_of "$CLOCK")" = "300 200"
hide_from_strip
stop_sni_host
wait_for "the hidden clock to come back" 10 clock_shown
[[ $(corner_of "$CLOCK") == "300 200" ]] || fail "the clock came back at $(corner_of "$CLOCK"), not at 300 200"
wait_for "--hide to be refused" 10 hide_refused "$ZIRVEL"
clock_menu
shot sni-menu-panel-gone
# Eight steps down skip the disabled "隐藏到任务栏" and land on "关于...".
choose 8
wait_for "the About window" 10 find_window title=关于
clock_shown || fail "the clock was hidden after the panel went away"
ABOUT=$(find_window title=关于)
click_in "$ABOUT" "$ABOUT_CLOSE_MARK"
wait_for "About to close" 10 not is_viewable "$ABOUT"

log "the panel starts again: the item comes back and hiding works"
start_sni_host "$MOCK_SNI_HOST"
registered_times 2
ITEM=$(last_item)
check_menu "1	关闭计算机" "1	重新启动计算机" "0	转换到主窗口" "1	定时设置..." \
    "1	选项设置..." "1	关机设置..." "1	关于..." "1	退出"
clock_command "$ZIRVEL" --hide
((STATUS == 0)) || fail "--hide ended with $STATUS: $ERR"
wait_for "the clock to hide" 10 clock_hidden
host activate "$ITEM" || fail "Activate failed"
wait_for "the clock to show" 10 clock_shown

log "退出 from the item's menu"
host click "$ITEM" 退出 || fail "the click on 退出 failed"
expect_exit
wait_for "the item to go" 10 grep -qxF "unregistered $ITEM" "$HOST/items"

log "no panel when the clock starts: 不能创建图标!, then the panel starts"
stop_sni_host
start_clock "$ZIRVEL"
message_box() { find_window title=Zirvel not=$CLOCK; }
click_strip "$STRIP_LEFT_CAP" 3
wait_for "the message" 10 message_box
BOX=$(message_box)
xdotool windowfocus --sync "$BOX" key Return
wait_for "the message to close" 10 not is_viewable "$BOX"
wait_for "the clock's menu" 10 menu_open
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "--hide to be refused" 10 hide_refused "$ZIRVEL"
start_sni_host "$MOCK_SNI_HOST"
registered_times 3
ITEM=$(last_item)
check_menu "1	关闭计算机" "1	重新启动计算机" "1	转换到主窗口" "1	定时设置..." \
    "1	选项设置..." "1	关机设置..." "1	关于..." "1	退出"
hide_from_strip
host activate "$ITEM" || fail "Activate failed"
wait_for "the clock to show" 10 clock_shown
sleep 1
message_box && fail "不能创建图标! a second time"
host click "$ITEM" 退出 || fail "the click on 退出 failed"
expect_exit

log "PASS in $SECONDS s"
