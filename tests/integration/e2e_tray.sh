#!/bin/bash
# The program as a user meets it: started in a private desktop, driven only
# by real input events (xdotool), judged by what shows on the screen, what
# the mock logind records and what the settings file holds.
# Usage: e2e_tray.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf
mkdir -p "$(dirname "$CONF")"
# The alarm starts switched off, so ticking "开启闹钟" switches it on.
printf '[Settings]\nchkyntimer=1\n' >"$CONF"

start_clock "$ZIRVEL"
read -r CX CY < <(centre_of "$CLOCK")
[[ "$CX $CY" == "681 33" ]] || fail "clock at centre $CX,$CY, not at 638,24"

log "no icon before the first right click"
sleep 1
tray_icon && fail "an icon before the first right click"

log "right click on an end cap: the clock's menu and the icon"
clock_menu
wait_for "the tray icon" 10 tray_icon
shot menu-clock
xdotool key Escape
wait_for "the menu to close" 10 menu_closed

log "an alarm for the next minute and a one-minute countdown shutdown"
T=$(next_minute_after 50)
SETTINGS_FROM=$(date +%s)
HOUR=$(date -d "@$T" +%-H)
MINUTE=$(date -d "@$T" +%-M)
MESSAGE=该起床了
parecord --latency-msec=20 -d @DEFAULT_MONITOR@ --file-format=wav "$WORK/sound.wav" &
RECORDER=$!
track_pid $RECORDER

clock_menu
choose 2
wait_for "the alarm settings" 10 find_window title=闹钟
DIALOG=$(find_window title=闹钟)
click_in "$DIALOG" "$ALARM_HOUR"
xdotool type "$HOUR"
click_in "$DIALOG" "$ALARM_MINUTE"
xdotool type "$MINUTE"
click_in "$DIALOG" "$ALARM_MESSAGE"
type_text "$MESSAGE"
click_in "$DIALOG" "$ALARM_SWITCH"
shot alarm-settings
click_in "$DIALOG" "$ALARM_OK"
wait_for "the alarm settings to close" 10 not is_viewable "$DIALOG"
grep -qx chkyntimer=0 "$CONF" || fail "the alarm was not switched on: $(tr "\n" " " <"$CONF")"

clock_menu
choose 1
wait_for "the shutdown settings" 10 find_window title=定时关机
DIALOG=$(find_window title=定时关机)
click_in "$DIALOG" "$SHUTDOWN_COUNTDOWN"
click_in "$DIALOG" "$SHUTDOWN_SLIDER"
xdotool key Home Right
click_in "$DIALOG" "$SHUTDOWN_NO_PROMPT"
click_in "$DIALOG" "$SHUTDOWN_SWITCH"
shot shutdown-settings
OK_AT=$(date +%s)
click_in "$DIALOG" "$SHUTDOWN_OK"
wait_for "the shutdown settings to close" 10 not is_viewable "$DIALOG"
(($(date +%s) < T)) || fail "the settings took $(($(date +%s) - SETTINGS_FROM)) s, past the minute"
# The countdown ends a minute after OK, to the second (OK took effect
# between the click and the dialog's close).
OK_DONE=$(date +%s)
SHUTDOWN_TEXT=$(sed -n 's/^timer=//p' "$CONF")
S=""
for ((s = OK_AT + 60; s <= OK_DONE + 61; s++)); do
    [[ $(date -d "@$s" +%-H:%M:%S) == "$SHUTDOWN_TEXT" ]] && S=$s
done
[[ -n $S ]] || fail "countdown ends at $SHUTDOWN_TEXT, OK was at $(date -d "@$OK_AT" +%T)"

log "waiting for $(date -d "@$T" +%T)"
wait_for "the alarm pop-up" $((T - $(date +%s) + 15)) find_window size=$POPUP_SIZE
ALARM_AT=$(date +%s)
ALARM=$(find_window size=$POPUP_SIZE)
((ALARM_AT >= T && ALARM_AT <= T + 2)) || fail "the alarm rang at $(date -d "@$ALARM_AT" +%T)"
shot alarm
wait_for "PowerOff(false)" $((S - $(date +%s) + 10)) grep -q 'PowerOff(false)' "$LOGIND_LOG"
POWER_AT=$(date +%s)
((POWER_AT >= S && POWER_AT <= S + 2)) || fail "the scheduled shutdown came at $(date -d "@$POWER_AT" +%T)"
sleep 2
kill "$RECORDER"
wait "$RECORDER" 2>/dev/null || true
RMS=$(sox "$WORK/sound.wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
awk -v r="$RMS" 'BEGIN {exit !(r > 0.001)}' || fail "no sound recorded (RMS $RMS)"
log "alarm at $(date -d "@$T" +%T), shutdown at $SHUTDOWN_TEXT, sound RMS $RMS"
click_in "$ALARM" "$POPUP_OK"
wait_for "the alarm pop-up to close" 10 not is_viewable "$ALARM"

log "隐藏到任务栏"
clock_menu
choose 8
wait_for "the clock to hide" 10 not is_viewable "$CLOCK"


shot tray
log "tray menu with the clock hidden: the settings items are disabled"
click_icon 3
wait_for "the tray menu" 10 menu_open
shot menu-tray
# Four steps down skip the three disabled items and land on "关于...".
choose 4
wait_for "the About window" 10 find_window title=关于
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
[[ $(grep -c -e PowerOff -e Reboot "$LOGIND_LOG") == 3 ]] || fail "more power requests than chosen"

log "退出 from the tray menu"
click_icon 3
wait_for "the tray menu" 10 menu_open
quit_from_menu
tray_icon && fail "the icon outlived the program"
stored_position() { grep -qE '^MainLeft=[0-9]+$' "$CONF" && grep -qE '^MainTop=[0-9]+$' "$CONF"; }
stored_position || fail "clock position not stored: $(tr "\n" " " <"$CONF" 2>&1)"
ALARM_TEXT=$(date -d "@$T" +%-H:%M:%S)
# The countdown is a one-off: switched off once it has fired.
for line in "itimer=$ALARM_TEXT" "timer=$SHUTDOWN_TEXT" "hour=$HOUR" "minute=$MINUTE" \
    "prompt=$MESSAGE" chkyntimer=0 chkopenclose=0 chkImedClose=1 chkclosetime=0; do
    grep -qxF "$line" "$CONF" || fail "settings lack $line: $(tr "\n" " " <"$CONF")"
done

log "退出 from the clock's menu, with About open"
start_clock "$ZIRVEL"
clock_menu
choose 9
wait_for "the About window" 10 find_window title=关于
wait_for "the tray icon" 10 tray_icon
rm -f "$CONF"
clock_menu
quit_from_menu
tray_icon && fail "the icon outlived the program"
stored_position || fail "clock position not stored: $(tr "\n" " " <"$CONF" 2>&1)"

log "SIGTERM (log-out) ends the program the same way"
start_clock "$ZIRVEL"
clock_menu
xdotool key Escape
wait_for "the menu to close" 10 menu_closed
wait_for "the tray icon" 10 tray_icon
rm -f "$CONF"
kill -TERM "$ZPID"
expect_exit
tray_icon && fail "the icon outlived the program"
stored_position || fail "clock position not stored on SIGTERM: $(tr "\n" " " <"$CONF" 2>&1)"

log "PASS in $SECONDS s"
