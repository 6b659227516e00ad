#!/bin/bash
# The running clock's idle cost beside the plainest X clock's, `xclock -update 1`,
# both on one private X server and window manager over the same window of idle
# time, so whatever else loads the machine loads both. Prints figures and the
# ratios (zirvel / xclock); asserts nothing.
#   bench/idle-cost.sh [path/to/zirvel] [seconds]   (defaults: build/dev/bin/zirvel, 60)
# Start to mapped: from the start of the process until the first window mapped
# on the root window after it (as xev reports it); the two start one after the
# other.
# Wake-ups are the voluntary context switches of all the program's threads
# (each sleep that ends, by a timer or a poll returning); CPU time is the run
# time of all its threads from /proc/PID/task/*/schedstat; memory is from
# smaps_rollup: private dirty pages (the program's own: heap, stacks, written
# data), resident and proportional set size.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
zirvel=$(realpath "${1:-$ROOT/build/dev/bin/zirvel}")
seconds=${2:-60}
command -v xclock >/dev/null || {
    echo "xclock is missing (package x11-apps)" >&2
    exit 1
}
source "$ROOT/tests/support/desktop-harness.sh"
start_desktop
tmp=$WORK

# Every window mapped on the root (a top-level window, or the frame the
# window manager puts around one), one time stamp a line, as it happens.
stdbuf -oL xev -root -event substructure 2>/dev/null |
    while IFS= read -r line; do
        [[ $line == MapNotify* ]] && date +%s%N
    done >"$tmp/maps" &
track_pid $!
sleep 0.5

# start NAME CLASS PROGRAM ARGS...: starts a program and waits until a window
# of that class is viewable; sets NAME_pid, and NAME_mapped: the milliseconds
# from the start to the first window mapped on the root after it.
start() {
    local name=$1 class=$2 t0 pid seen
    shift 2
    seen=$(wc -l <"$tmp/maps")
    t0=$(date +%s%N)
    "$@" >"$tmp/$name.log" 2>&1 &
    pid=$!
    track_pid $pid
    until xdotool search --onlyvisible --class "^$class\$" >/dev/null 2>&1; do
        kill -0 $pid 2>/dev/null || fail "$name ended at start"
        sleep 0.05
    done
    sleep 0.2
    printf -v "${name}_mapped" %d $((($(sed -n "$((seen + 1))p" "$tmp/maps") - t0) / 1000000))
    printf -v "${name}_pid" %d "$pid"
}
start xclock XClock xclock -update 1
start zirvel zirvel "$zirvel"

switches() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/{s+=$2} END{print s}'; }
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{s+=$1} END{print s}'; }
per_thread() { for t in /proc/$zirvel_pid/task/*; do echo "$(cat "$t/comm" | tr ' ' _) $(awk '/^voluntary_ctxt_switches/{print $2}' "$t/status")"; done; }
rollup() { awk -v k="$2:" '$1 == k {print $2}' /proc/"$1"/smaps_rollup; }

sleep 3 # let start-up settle
load0=$(cut -d' ' -f1-3 /proc/loadavg)
for p in zirvel xclock; do
    pid=${p}_pid
    printf -v "${p}_s0" %d "$(switches "${!pid}")"
    printf -v "${p}_c0" %d "$(cpu_ns "${!pid}")"
done
per_thread >"$tmp/threads0"
sleep "$seconds"
for p in zirvel xclock; do
    pid=${p}_pid
    printf -v "${p}_s1" %d "$(switches "${!pid}")"
    printf -v "${p}_c1" %d "$(cpu_ns "${!pid}")"
    printf -v "${p}_dirty" %d "$(rollup "${!pid}" Private_Dirty)"
    printf -v "${p}_rss" %d "$(rollup "${!pid}" Rss)"
    printf -v "${p}_pss" %d "$(rollup "${!pid}" Pss)"
    printf -v "${p}_threads" %d "$(ls /proc/"${!pid}"/task | wc -l)"
done
per_thread >"$tmp/threads1"
load1=$(cut -d' ' -f1-3 /proc/loadavg)

echo "idle window: $seconds s; load average before: $load0, after: $load1"
awk -v t="$seconds" \
    -v zc="$((zirvel_c1 - zirvel_c0))" -v xc="$((xclock_c1 - xclock_c0))" \
    -v zs="$((zirvel_s1 - zirvel_s0))" -v xs="$((xclock_s1 - xclock_s0))" \
    -v zd="$zirvel_dirty" -v xd="$xclock_dirty" -v zr="$zirvel_rss" -v xr="$xclock_rss" \
    -v zp="$zirvel_pss" -v xp="$xclock_pss" -v zm="$zirvel_mapped" -v xm="$xclock_mapped" \
    -v zt="$zirvel_threads" -v xt="$xclock_threads" 'function row(name, z, x, unit, fmt, goal) {
        ratio = "-"
        if (x > 0)
            ratio = sprintf("%.2f", z / x)
        printf "%-24s %10s %10s %8s   %s\n", name, sprintf(fmt, z) unit, sprintf(fmt, x) unit, ratio, goal
    }
    BEGIN {
        printf "%-24s %10s %10s %8s   %s\n", "", "zirvel", "xclock", "ratio", "goal"
        row("CPU per idle minute", zc / 1e6 * 60 / t, xc / 1e6 * 60 / t, " ms", "%.1f", "ratio <= 1.0")
        row("wake-ups per second", zs / t, xs / t, "", "%.2f", "zirvel <= 1.05")
        row("private dirty memory", zd / 1024, xd / 1024, " MB", "%.2f", "zirvel <= 2.5 MB")
        row("resident memory", zr / 1024, xr / 1024, " MB", "%.1f", "")
        row("proportional memory", zp / 1024, xp / 1024, " MB", "%.1f", "")
        row("start to window mapped", zm, xm, " ms", "%d", "ratio <= 1.5")
        row("threads", zt, xt, "", "%d", "")
    }'
echo "zirvel's wake-ups per thread over the window:"
join <(sort "$tmp/threads0") <(sort "$tmp/threads1") | awk '{printf "  %-16s %.2f/s\n", $1, ($3 - $2) / '"$seconds"'}'
