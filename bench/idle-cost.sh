#!/bin/bash
# The running clock's idle cost, measured over a window of idle time under a
# private X server and window manager. Prints figures; asserts nothing.
#   bench/idle-cost.sh [path/to/zirvel] [seconds]   (defaults: build/dev/bin/zirvel, 60)
# Wake-ups are the voluntary context switches of all the program's threads
# (each sleep that ends, by a timer or a poll returning); CPU time is user +
# system time from /proc; memory is VmRSS and the proportional set size.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
zirvel=$(realpath "${1:-$ROOT/build/dev/bin/zirvel}")
seconds=${2:-60}
source "$ROOT/tests/support/desktop-harness.sh"
start_desktop
tmp=$WORK

mapped() { xwininfo -root -tree 2>/dev/null | grep -q '86x19+638+24'; }
start=$(date +%s%N)
"$zirvel" &
pid=$!
track_pid $pid
until mapped; do sleep 0.005; done
mapped_ms=$(( ($(date +%s%N) - start) / 1000000 ))

sleep 3 # let start-up settle
switches() { cat /proc/$pid/task/*/status | awk '/^voluntary_ctxt_switches/{s+=$2} END{print s}'; }
per_thread() { for t in /proc/$pid/task/*; do echo "$(cat "$t/comm") $(awk '/^voluntary_ctxt_switches/{print $2}' "$t/status")"; done; }
cpu_ns() { cat /proc/$pid/task/*/schedstat | awk '{s+=$1} END{print s}'; }
s0=$(switches); c0=$(cpu_ns); per_thread >"$tmp/threads0"
sleep "$seconds"
s1=$(switches); c1=$(cpu_ns); per_thread >"$tmp/threads1"
rss=$(awk '/^VmRSS/{print $2}' /proc/$pid/status)
pss=$(awk '/^Pss:/{print $2}' /proc/$pid/smaps_rollup)
threads=$(ls /proc/$pid/task | wc -l)

awk -v s="$((s1 - s0))" -v t="$seconds" -v c="$((c1 - c0))" \
    -v rss="$rss" -v pss="$pss" -v m="$mapped_ms" -v th="$threads" 'BEGIN {
    printf "start to strip mapped:   %d ms (target <= 150)\n", m
    printf "wake-ups per second:     %.2f over %d s, %d threads (target <= 1.2 from our timers)\n", s / t, t, th
    printf "CPU per idle minute:     %.2f ms (target < 10)\n", c / 1e6 * 60 / t
    printf "resident memory:         %.1f MB (target <= 40)\n", rss / 1024
    printf "proportional memory:     %.1f MB\n", pss / 1024
}'
echo "wake-ups per thread over the window:"
join <(sort "$tmp/threads0") <(sort "$tmp/threads1") | awk '{printf "  %-16s %.2f/s\n", $1, ($3 - $2) / '"$seconds"'}'
