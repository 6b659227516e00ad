#!/bin/bash
# The command line as a user or a script meets it, in a private desktop with
# a tray host and the mock logind, judged by the screen, the mock logind, the
# settings file and what the commands print:
#  1. with no clock running, a command writes the settings file and exits
#     without a window; bad input stores nothing and exits 2;
#  2. two commands at once, from two shells, both take effect and the file
#     stays whole (with no clock, and with one);
#  3. against a running clock: a shutdown set and cancelled before its time
#     never comes; an alarm set from the terminal rings at its minute with
#     its message; a shutdown with the warning is cancelled while the warning
#     counts down; "--shutdown-in 1 --no-prompt" reaches logind a minute
#     later, to the second; --hide, --show and --quit act.
# Usage: e2e_cli.sh PATH_TO_ZIRVEL PATH_TO_MOCK_LOGIND PATH_TO_ZIRVEL_SHOW_DIALOG [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
SHOW=$3
SHOT_DIR=${4:-}
start_desktop --logind "$2" --tray --sound
log "desktop on $DISPLAY"
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf

stored() { sed -n "s/^$1=//p" "$CONF"; }
power_requests() { grep -c 'PowerOff' "$LOGIND_LOG" || true; }
# cli ARGS...: runs a command; its exit status in $STATUS, its output in
# $OUT and $ERR.
cli() {
    STATUS=0
    "$ZIRVEL" "$@" >"$WORK/cli.out" 2>"$WORK/cli.err" || STATUS=$?
    OUT=$(cat "$WORK/cli.out")
    ERR=$(grep -v '^This plugin does not support' "$WORK/cli.err" || true)
    log "zirvel $* -> $STATUS"
}
# status_of KEY: the value of one --status line.
status_of() { "$ZIRVEL" --status | sed -n "s/^$1\t//p"; }
clock_text() { date -d "@$1" +%-H:%M:%S; }
past() { (($(date +%s) >= $1)); }
# A message box: a visible dialog window of the program titled "Zirvel".
message_box() { find_window dialog title=Zirvel; }
# open_dialog N TITLE: the clock menu's N-th item (1 关机设置..., 2 定时设置...),
# a dialog titled TITLE, in $DIALOG.
open_dialog() {
    clock_menu
    choose "$1"
    wait_for "the window $2" 10 find_window title="$2"
    DIALOG=$(find_window title="$2")
}
# A pop-up's message, as pixels: the box under "提示信息：".
message_pixels() { import -window "$1" -crop 273x49+32+120 rgb:- 2>/dev/null | md5sum; }

log "1. no clock: the settings file alone, no window"
cli --alarm 07:30
((STATUS == 0)) || fail "--alarm 07:30 ended with $STATUS: $ERR"
[[ $(stored itimer) == 7:30:00 && $(stored chkyntimer) == 0 && $(stored hour) == 07 ]] ||
    fail "stored: $(cat "$CONF")"
find_window && fail "a window came up"
[[ $(status_of running) == no && $(status_of alarm) == 07:30 ]] || fail "status: $("$ZIRVEL" --status)"
before=$(md5sum <"$CONF")
for bad in "--alarm 24:00" "--shutdown-in 1.5" "--shutdown-in 1441" "--chime yes" "--message x"; do
    # shellcheck disable=SC2086
    cli $bad
    ((STATUS == 2)) || fail "$bad ended with $STATUS"
    [[ -z $OUT && $(wc -l <<<"$ERR") == 1 && $ERR == *"${bad%% *}"* ]] || fail "$bad printed: $OUT / $ERR"
done
[[ $(md5sum <"$CONF") == "$before" ]] || fail "bad input changed the settings"
log "bad input: $ERR"

# whole_schedule: the shutdown keys are wholly one of the two commands' below.
whole_schedule() {
    if [[ $(stored chkclosetime) == 1 ]]; then
        [[ $(stored timer) == 22:00:00 && -z $(stored timerdate) && $(stored chkImedClose) == 1 ]]
    else
        [[ $(stored timer) != 22:00:00 && -n $(stored timerdate) && $(stored chkImedClose) == 0 ]]
    fi
}
# at_once ROUND: two shutdown commands on the same keys, and two on others,
# from four shells at the same moment.
at_once() {
    local chime=$(($1 % 2 ? 1 : 0)) message="并发$1" pids=()
    "$ZIRVEL" --shutdown-at 22:00 --daily --no-prompt >/dev/null 2>&1 & pids+=($!)
    "$ZIRVEL" --shutdown-in 30 >/dev/null 2>&1 & pids+=($!)
    "$ZIRVEL" --chime "$( ((chime)) && echo on || echo off)" >/dev/null 2>&1 & pids+=($!)
    "$ZIRVEL" --alarm 08:15 --message "$message" >/dev/null 2>&1 & pids+=($!)
    local pid
    for pid in "${pids[@]}"; do
        wait "$pid" || fail "a command run at the same time as others failed"
    done
    whole_schedule || fail "round $1: the shutdown is half one command, half the other: $(cat "$CONF")"
    [[ $(stored chkinttime) == "$chime" && $(stored prompt) == "$message" &&
        $(stored itimer) == 8:15:00 && $(stored chkopenclose) == 1 ]] ||
        fail "round $1: a command was lost: $(cat "$CONF")"
}
log "2. two commands at once, no clock"
for round in 1 2 3 4 5; do at_once $round; done

log "3. a running clock"
start_clock "$ZIRVEL"
[[ $(status_of running) == yes ]] || fail "--status does not see the clock"
log "two commands at once, to the running clock"
for round in 6 7 8; do at_once $round; done
cli --cancel
cli --chime off
[[ $(status_of shutdown) == off && $(status_of chime) == off ]] || fail "status: $("$ZIRVEL" --status)"

log "a full hour from the terminal: both dialogs open without a complaint and keep it"
# Activating the clock loads the alarm settings, hidden.
click_strip "$STRIP_LEFT_CAP" 1
cli --alarm 7:00
sleep 0.5
message_box && fail "a message box over the clock after --alarm 7:00"
open_dialog 2 "闹钟"
message_box && fail "the alarm settings opened with a message box"
click_in "$DIALOG" "$ALARM_OK"
wait_for "the alarm settings to take OK" 5 not is_viewable "$DIALOG"
[[ $(status_of alarm) == 07:00 ]] || fail "status: $("$ZIRVEL" --status)"
cli --shutdown-at 00:00 --daily
open_dialog 1 "定时关机"
message_box && fail "the shutdown settings opened with a message box"
click_in "$DIALOG" "$SHUTDOWN_OK"
wait_for "the shutdown settings to take OK" 5 not is_viewable "$DIALOG"
[[ $(status_of shutdown) == "00:00:00 daily" ]] || fail "status: $("$ZIRVEL" --status)"
cli --cancel

log "a dialog loaded before a terminal change shows it, and OK keeps it"
click_strip "$STRIP_LEFT_CAP" 1
cli --alarm 9:15 --message 九点
open_dialog 2 "闹钟"
click_in "$DIALOG" "$ALARM_OK"
wait_for "the alarm settings to take OK" 5 not is_viewable "$DIALOG"
[[ $(status_of alarm) == 09:15 && $(status_of alarm-message) == 九点 ]] ||
    fail "OK undid the terminal's change: $("$ZIRVEL" --status)"

log "a shutdown set and cancelled before its time"
cli --shutdown-in 1 --no-prompt
A=$(date +%s)
((STATUS == 0)) || fail "--shutdown-in ended with $STATUS: $ERR"
[[ $(status_of shutdown) =~ ^[0-9]+:[0-9]{2}:[0-9]{2}\ once\ [0-9-]{10}\ no-prompt$ ]] ||
    fail "status: $("$ZIRVEL" --status)"
cli --cancel
[[ $(status_of shutdown) == off && $(stored chkopenclose) == 0 ]] || fail "not cancelled: $("$ZIRVEL" --status)"

log "an alarm from the terminal rings at its minute with its message"
while (($(date +%-S) > 40)); do sleep 0.5; done
M=$((($(date +%s) / 60 + 1) * 60))
cli --alarm "$(date -d "@$M" +%H:%M)" --message 会议
((STATUS == 0)) || fail "--alarm ended with $STATUS: $ERR"
wait_for "the alarm pop-up" $((M - $(date +%s) + 10)) find_window size=$POPUP_SIZE
RANG=$(date +%s)
((RANG >= M && RANG <= M + 2)) || fail "the alarm rang at $(clock_text $RANG), set for $(clock_text $M)"
POPUP=$(find_window size=$POPUP_SIZE)
wait_for "the pop-up to settle" 5 settled "$POPUP"
shot alarm
got=$(message_pixels "$POPUP")
show_window "$SHOW" frmTimer --prompt 会议
wait_for "the reference to settle" 5 settled "$SHOWN"
[[ $(message_pixels "$SHOWN") == "$got" ]] || fail "the pop-up does not show 会议"
close_window
show_window "$SHOW" frmTimer --prompt 别的
wait_for "the other reference to settle" 5 settled "$SHOWN"
[[ $(message_pixels "$SHOWN") != "$got" ]] || fail "the message area shows no text"
close_window
click_in "$POPUP" "$POPUP_OK"
wait_for "the alarm pop-up to close" 10 not find_window size=$POPUP_SIZE

wait_for "the cancelled shutdown's moment to pass" 90 past $((A + 63))
(($(power_requests) == 0)) || fail "a cancelled shutdown reached logind"
find_window title=定时关机 && fail "a cancelled shutdown warned"

log "a warning already counting down is cancelled from the terminal"
cli --shutdown-in 1
SET=$(date +%s)
# It counts down to the stated second: it opens a minute before it.
wait_for "the warning" 10 find_window title=定时关机
(($(date +%s) - SET <= 3)) || fail "the warning opened $(($(date +%s) - SET)) s after --shutdown-in 1"
WARNING=$(find_window title=定时关机)
shot warning
cli --status
[[ $OUT == *$'\nrunning\tyes' ]] || fail "status: $OUT"
cli --cancel
((STATUS == 0)) || fail "--cancel ended with $STATUS: $ERR"
wait_for "the warning to close" 5 not is_viewable "$WARNING"

log "--shutdown-in 1 --no-prompt: logind hears of it a minute later"
SET=$(($(date +%s%N) / 1000000))
cli --shutdown-in 1 --no-prompt
SET_END=$(($(date +%s%N) / 1000000))
cli --status
log "status: ${OUT//$'\n'/ | }"
[[ $OUT == *"shutdown"$'\t'*" once "*" no-prompt"* ]] || fail "status: $OUT"
# Due a minute after the moment the command read the clock (between SET and
# SET_END, however slowly it started), rounded up to the whole second; asked
# for on the tick of that second.
read -r DUE_TIME _ DUE_DATE _ <<<"$(status_of shutdown)"
DUE=$(($(date -d "$DUE_DATE $DUE_TIME" +%s) * 1000))
((DUE >= SET + 59000 && DUE <= SET_END + 61000)) ||
    fail "due $((DUE - SET)) ms after the command began, $((DUE - SET_END)) ms after it ended"
wait_for "PowerOff(false)" 70 grep -q 'PowerOff(false)' "$LOGIND_LOG"
HEARD=$(($(date +%s%N) / 1000000))
log "the shutdown request came $((HEARD - SET)) ms after the command, $((HEARD - DUE)) ms after its second"
((HEARD >= DUE && HEARD <= DUE + 1000)) || fail "came $((HEARD - DUE)) ms after its second $DUE_TIME, not within it"
(($(power_requests) == 1)) || fail "$(power_requests) power requests"
[[ $(status_of shutdown) == off ]] || fail "a one-off shutdown still armed"

log "--hide, --show, --quit"
cli --hide
((STATUS == 0)) || fail "--hide ended with $STATUS: $ERR"
wait_for "the clock to hide" 5 not is_viewable "$CLOCK"
tray_icon >/dev/null || fail "hidden without an icon to come back from"
cli --show
((STATUS == 0)) || fail "--show ended with $STATUS: $ERR"
wait_for "the clock to come back" 5 find_window size=$STRIP_SIZE
cli --quit
((STATUS == 0)) || fail "--quit ended with $STATUS: $ERR"
expect_exit
[[ $(status_of running) == no ]] || fail "still running after --quit"
log "all well"
