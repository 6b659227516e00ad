#!/bin/bash
# The icon and its menu on a desktop whose panel shows StatusNotifierItems:
# a mock watcher and host on the private session bus stand in for the panel.
# The program is driven by real input on the strip (xdotool) and by the
# host's D-Bus calls on the icon, the way a panel passes on clicks.
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

log "退出 from the item's menu"
host click "$ITEM" 退出 || fail "the click on 退出 failed"
expect_exit
wait_for "the item to go" 10 grep -qxF "unregistered $ITEM" "$HOST/items"

log "PASS in $SECONDS s"
