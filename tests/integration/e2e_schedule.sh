#!/bin/bash
# The scheduler as a user meets it, in a private desktop, driven by real
# input (xdotool) and judged by the screen, the mock logind and the settings
# file:
#  1. an alarm whose sound cannot start shows its message box and the box
#     waits for the user; meanwhile the strip keeps showing the seconds and
#     a one-minute countdown shutdown, due ten seconds after the alarm, still
#     comes; the countdown ends a minute after OK, to the second;
#  2. a shutdown that is not daily fires once, also when the program was
#     restarted in between, and the dialog then shows it switched off;
#  3. one whose day went by while the program was not running never fires;
#     one stored without its day (older stores) fires at its next time, once.
# Usage: e2e_schedule.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
MOCK_LOGIND=$2
SHOT_DIR=${3:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"
# A program folder of its own, without the two sound files: every pop-up
# says its sound is missing.
mkdir -p "$WORK/bin"
cp "$1" "$WORK/bin/zirvel"
ZIRVEL=$WORK/bin/zirvel
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf
mkdir -p "$(dirname "$CONF")"

# A message box: a visible dialog window of the program titled "Zirvel".
message_box() { find_window dialog title=Zirvel; }
clock_text() { date -d "@$1" +%-H:%M:%S; }
power_requests() { grep -c 'PowerOff' "$LOGIND_LOG" || true; }
at_least_requests() { (($(power_requests) >= $1)); }
stored() { sed -n "s/^$1=//p" "$CONF"; }
wait_until() { while (($(date +%s) < $1)); do sleep 0.05; done; }

quit_clock() {
    clock_menu
    quit_from_menu
}
open_shutdown_dialog() {
    clock_menu
    choose 1
    wait_for "the shutdown settings" 10 find_window title=定时关机
    DIALOG=$(find_window title=定时关机)
}
press_ok() {
    click_in "$DIALOG" "$SHUTDOWN_OK"
    wait_for "the shutdown settings to close" 10 not is_viewable "$DIALOG"
}
# The strip's pixels, without the file's own metadata.
strip_pixels() { import -window "$CLOCK" rgb:- 2>/dev/null | md5sum; }

log "1. an alarm with a message box up, and a countdown due ten seconds later"
A=$(($(date +%s) + 75))
printf '[Settings]\nchkyntimer=0\nitimer=%s\nprompt=e2e\n' "$(clock_text $A)" >"$CONF"
start_clock "$ZIRVEL"
open_shutdown_dialog
click_in "$DIALOG" "$SHUTDOWN_COUNTDOWN"  # 倒计时开始
click_in "$DIALOG" "$SHUTDOWN_SLIDER"  # the slider
xdotool key Home Right     # 1 minute
click_in "$DIALOG" "$SHUTDOWN_NO_PROMPT"  # 不提示直接关机
click_in "$DIALOG" "$SHUTDOWN_SWITCH" # 开启定时关机
shot countdown-settings
K=$((A - 50))
(($(date +%s) < K)) || fail "the settings took too long"
wait_until $K
press_ok
OK_DONE=$(date +%s)
S=""
for ((s = K + 60; s <= OK_DONE + 61; s++)); do
    [[ $(stored timer) == "$(clock_text $s)" ]] && S=$s
done
[[ -n $S ]] || fail "countdown ends at $(stored timer), not a minute after OK at $(clock_text $K)"
[[ $(stored timerdate) == "$(date -d "@$S" +%F)" ]] || fail "countdown for day $(stored timerdate)"
log "countdown ends at $(clock_text $S); alarm at $(clock_text $A)"

wait_for "the alarm's message box" $((A - $(date +%s) + 10)) message_box
BOX=$(message_box)
BOX_AT=$(date +%s)
((BOX_AT >= A && BOX_AT <= A + 2)) || fail "the alarm rang at $(clock_text $BOX_AT)"
shot message-box
before=$(strip_pixels)
sleep 1.5
[[ $(strip_pixels) != "$before" ]] || fail "the strip stood still while the box was up"
wait_for "PowerOff(false)" $((S - $(date +%s) + 10)) grep -q 'PowerOff(false)' "$LOGIND_LOG"
POWER_AT=$(date +%s)
((POWER_AT >= S && POWER_AT <= S + 2)) || fail "the shutdown came at $(clock_text $POWER_AT)"
is_viewable "$BOX" || fail "the message box went away by itself"
[[ $(stored chkopenclose) == 0 ]] || fail "the countdown is still switched on"
log "the shutdown came at $(clock_text $POWER_AT) with the box still up"

xdotool windowactivate --sync "$BOX" key Return
wait_for "the message box to close" 10 not is_viewable "$BOX"
wait_for "the alarm pop-up" 10 find_window size=$POPUP_SIZE
click_in "$(find_window size=$POPUP_SIZE)" "$POPUP_OK"
wait_for "the alarm pop-up to close" 10 not find_window size=$POPUP_SIZE

log "the dialog shows the countdown switched off: OK keeps it off"
open_shutdown_dialog
shot shutdown-disarmed
press_ok
[[ $(stored chkopenclose) == 0 ]] || fail "the dialog showed the countdown switched on"
message_box && fail "a message after OK"
(($(power_requests) == 1)) || fail "more than one power request"

log "2. a one-off time of day, set before a restart, fires once"
M=$(next_minute_after 50)
RESTART_FROM=$(date +%s)
open_shutdown_dialog
click_in "$DIALOG" "$SHUTDOWN_HOUR"
xdotool type "$(date -d "@$M" +%-H)"
click_in "$DIALOG" "$SHUTDOWN_MINUTE"
xdotool type "$(date -d "@$M" +%-M)"
click_in "$DIALOG" "$SHUTDOWN_SWITCH" # 开启定时关机 (不提示直接关机 is still ticked)
shot one-off-settings
press_ok
[[ $(stored timer) == "$(clock_text $M)" ]] || fail "stored time $(stored timer)"
[[ $(stored timerdate) == "$(date -d "@$M" +%F)" ]] || fail "stored day $(stored timerdate)"
[[ $(stored chkclosetime) == 0 && $(stored chkopenclose) == 1 ]] ||
    fail "not a switched-on one-off: $(tr "\n" " " <"$CONF")"
quit_clock
start_clock "$ZIRVEL"
(($(date +%s) < M)) || fail "the settings and the restart took $(($(date +%s) - RESTART_FROM)) s, past the minute"
wait_for "the second PowerOff(false)" $((M - $(date +%s) + 10)) at_least_requests 2
POWER_AT=$(date +%s)
((POWER_AT >= M && POWER_AT <= M + 2)) || fail "the one-off came at $(clock_text $POWER_AT)"
[[ $(stored chkopenclose) == 0 ]] || fail "the one-off is still switched on"
kill -0 "$ZPID" || fail "the program ended"
quit_clock

log "3. a one-off whose day went by, and one stored without its day"
T=$(($(date +%s) + 6))
YESTERDAY=$(date -d "@$((T - 86400))" +%F)
printf '[Settings]\nchkopenclose=1\nchkclosetime=0\nchkImedClose=1\ntimer=%s\ntimerdate=%s\n' \
    "$(clock_text $T)" "$YESTERDAY" >"$CONF"
start_clock "$ZIRVEL"
wait_until $((T + 3))
(($(power_requests) == 2)) || fail "a one-off fired a day late"
[[ $(stored chkopenclose) == 0 ]] || fail "the stale one-off is still switched on"
quit_clock

T=$(($(date +%s) + 6))
printf '[Settings]\nchkopenclose=1\nchkclosetime=0\nchkImedClose=1\ntimer=%s\n' "$(clock_text $T)" >"$CONF"
start_clock "$ZIRVEL"
wait_for "the third PowerOff(false)" 15 at_least_requests 3
POWER_AT=$(date +%s)
((POWER_AT >= T && POWER_AT <= T + 2)) || fail "the one-off without a day came at $(clock_text $POWER_AT)"
[[ $(stored chkopenclose) == 0 ]] || fail "the one-off without a day is still switched on"
quit_clock

log "PASS in $SECONDS s"
