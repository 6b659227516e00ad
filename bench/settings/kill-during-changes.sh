#!/bin/bash
# Kills the command line with SIGKILL at a random moment while it writes a
# change, ROUNDS times (300 by default), and counts the settings files left
# mixed (part of one change, part of another) or unreadable. Prints figures;
# not a test.
#   bench/settings/kill-during-changes.sh ZIRVEL [ROUNDS]
set -euo pipefail
ZIRVEL=$1
ROUNDS=${2:-300}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/run HOME=$WORK
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
CONF=$XDG_CONFIG_HOME/Zirvel/Zirvel.conf
stored() { sed -n "s/^$1=//p" "$CONF"; }

# The two changes: every key of each names the same time.
"$ZIRVEL" --alarm 7:05 --message a0705 >/dev/null
mixed=0 unreadable=0 killed=0 whole=0
for ((round = 1; round <= ROUNDS; round++)); do
    if ((round % 2)); then args=(--alarm 8:10 --message b0810); else args=(--alarm 7:05 --message a0705); fi
    "$ZIRVEL" "${args[@]}" >/dev/null 2>&1 &
    pid=$!
    sleep "0.0$((RANDOM % 60))"
    kill -KILL $pid 2>/dev/null && killed=$((killed + 1))
    wait $pid 2>/dev/null || true
    status=$("$ZIRVEL" --status 2>/dev/null) || { unreadable=$((unreadable + 1)); continue; }
    alarm=$(sed -n 's/^alarm\t//p' <<<"$status")
    message=$(sed -n 's/^alarm-message\t//p' <<<"$status")
    case "$alarm $message $(stored hour):$(stored minute) $(stored itimer)" in
    "07:05 a0705 7:05 7:05:00" | "08:10 b0810 8:10 8:10:00") whole=$((whole + 1)) ;;
    *) mixed=$((mixed + 1)); echo "round $round mixed: $alarm $message $(tr '\n' ' ' <"$CONF")" ;;
    esac
    ls "$(dirname "$CONF")" | grep -q broken && { unreadable=$((unreadable + 1)); rm -f "$(dirname "$CONF")"/*.broken*; }
done
echo "rounds $ROUNDS, killed while running $killed, whole $whole, mixed $mixed, unreadable $unreadable"
