#!/bin/bash
# A scheduled shutdown while a message bus is stuck: a socket that accepts
# connections and never answers stands in for the system bus, then for the
# session bus. The strip keeps ticking every second, the failure comes up as
# a message box once the bus has had its few seconds, nothing falls back to
# logind behind a silent session bus, and SIGTERM still ends the program.
# Usage: stuck_bus_x11.sh ZIRVEL MOCK_LOGIND STUCK_BUS [SCREENSHOT_DIR]

set -euo pipefail
source "$(dirname "$0")/../support/desktop-harness.sh"
ZIRVEL=$1
MOCK_LOGIND=$2
STUCK_BUS=$3
SHOT_DIR=${4:-}
start_desktop --logind "$MOCK_LOGIND" --tray --sound
log "desktop on $DISPLAY"

STUCK=$WORK/stuck-bus
"$STUCK_BUS" "$STUCK" >"$WORK/stuck-bus.out" 2>&1 &
track_pid $!
wait_for "the stuck bus" 10 grep -q '^ready' "$WORK/stuck-bus.out"

CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf
mkdir -p "$(dirname "$CONF")"

strip_picture() { import -window "$1" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }

# run_case NAME SECONDS_AHEAD VARIABLE=VALUE...: starts the program with the
# variables set and a shutdown "without asking" SECONDS_AHEAD from now.
run_case() {
    local name=$1 ahead=$2
    shift 2
    local due=$(($(date +%s) + ahead))
    printf '[Settings]\nchkopenclose=1\nchkImedClose=1\ntimer=%s\n' "$(date -d "@$due" +%-H:%M:%S)" >"$CONF"
    start_clock "$ZIRVEL" "$@"
    local clock=$CLOCK
    (($(date +%s) < due)) || fail "$name: the clock came up after the shutdown time"

    # One picture of the strip a second, from before the shutdown time until
    # two seconds after the message: each differs from the one before.
    local previous now shown_at="" deadline=$((due + 20))
    previous=$(strip_picture "$clock")
    while :; do
        sleep 1
        now=$(strip_picture "$clock")
        [[ $now != "$previous" ]] || fail "$name: the strip stood still at $(date +%T)"
        previous=$now
        if [[ -z $shown_at ]] && find_window dialog >/dev/null; then
            shown_at=$(date +%s)
            shot "stuck-$name"
        fi
        [[ -n $shown_at ]] && (($(date +%s) >= shown_at + 2)) && break
        (($(date +%s) < deadline)) || fail "$name: no message by $(date +%T) (shutdown due $(date -d "@$due" +%T))"
    done
    ((shown_at >= due)) || fail "$name: a message before the shutdown time"
    log "$name: message $((shown_at - due)) s after the shutdown time, the strip ticking throughout"

    kill -TERM "$ZPID"
    wait_for "the program to end on SIGTERM" 5 not kill -0 "$ZPID"
    wait "$ZPID" || fail "$name: the program ended with status $?"
}

log "the system bus is stuck"
run_case system 5 DBUS_SYSTEM_BUS_ADDRESS="unix:path=$STUCK"

log "the session bus is stuck"
run_case session 12 DBUS_SESSION_BUS_ADDRESS="unix:path=$STUCK"
[[ ! -s $LOGIND_LOG ]] || fail "logind was asked behind the silent session bus: $(tr '\n' ' ' <"$LOGIND_LOG")"

log "PASS in $SECONDS s"
