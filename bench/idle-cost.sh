#!/bin/bash
# The running clock's idle cost beside two others on one private X server and
# window manager, over the same window of idle time, so whatever else loads the
# machine loads all three: `xclock -update 1`, the plainest X clock, and
# zirvel-qtlabel-clock, the plainest Qt Widgets clock (one label set once a
# second), which shows what Qt itself costs. Prints figures and the ratios to
# xclock; asserts nothing.
#   bench/idle-cost.sh [path/to/zirvel] [seconds] [starts]
#   (defaults: build/dev/bin/zirvel, 60, 5; zirvel-qtlabel-clock is taken from
#   zirvel's folder)
# Start to mapped: from the start of the process until the first window mapped
# on the root window after it (as xev reports it); the median of STARTS starts
# of each program, taken one after the other, before the idle window.
# Wake-ups are the voluntary context switches of all the program's threads
# (each sleep that ends, by a timer or a poll returning); CPU time is the run
# time of all its threads from /proc/PID/task/*/schedstat; memory is from
# smaps_rollup: private dirty pages (the program's own: heap, stacks, written
# data), resident and proportional set size.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
zirvel=$(realpath "${1:-$ROOT/build/dev/bin/zirvel}")
seconds=${2:-60}
starts=${3:-5}
qtlabel=$(dirname "$zirvel")/zirvel-qtlabel-clock
command -v xclock >/dev/null || {
    echo "xclock is missing (package x11-apps)" >&2
    exit 1
}
[[ -x $qtlabel ]] || {
    echo "$qtlabel is missing: build the target zirvel-qtlabel-clock" >&2
    exit 1
}
# A desktop session's runtime folder (/run/user/UID) is in memory; the work
# folder that holds the private one goes in memory too, or the clock's lock
# file there would cost a disk write at every start.
[[ -n ${TMPDIR:-} || ! -w /dev/shm ]] || export TMPDIR=/dev/shm
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

names=(zirvel xclock qtlabel)
declare -A class=([zirvel]=zirvel [xclock]=XClock [qtlabel]=zirvel-qtlabel-clock)
declare -A program=([zirvel]="$zirvel" [xclock]="xclock -update 1" [qtlabel]="$qtlabel")
declare -A pid startups

shown() { xdotool search --onlyvisible --class "^${class[$1]}\$" >/dev/null 2>&1; }

# start NAME: starts the program and waits until its window is viewable; sets
# pid[NAME] and mapped: the milliseconds from the start to the first window
# mapped on the root after it.
start() {
    local name=$1 t0 seen
    seen=$(wc -l <"$tmp/maps")
    t0=$(date +%s%N)
    ${program[$name]} >>"$tmp/$name.log" 2>&1 &
    pid[$name]=$!
    track_pid "${pid[$name]}"
    until shown "$name"; do
        kill -0 "${pid[$name]}" 2>/dev/null || fail "$name ended at start"
        sleep 0.02
    done
    sleep 0.2
    mapped=$((($(sed -n "$((seen + 1))p" "$tmp/maps") - t0) / 1000000))
}
stop() {
    kill "${pid[$1]}"
    wait "${pid[$1]}" 2>/dev/null || true
    while shown "$1"; do sleep 0.02; done
    sleep 0.2
}

for ((i = 0; i < starts; i++)); do
    for name in "${names[@]}"; do
        start "$name"
        startups[$name]+="$mapped "
        stop "$name"
    done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

for name in "${names[@]}"; do start "$name"; done

switches() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/{s+=$2} END{print s}'; }
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{s+=$1} END{print s}'; }
per_thread() { for t in /proc/${pid[zirvel]}/task/*; do echo "$(cat "$t/comm" | tr ' ' _) $(awk '/^voluntary_ctxt_switches/{print $2}' "$t/status")"; done; }
rollup() { awk -v k="$2:" '$1 == k {print $2}' /proc/"$1"/smaps_rollup; }

sleep 3 # let start-up settle
load0=$(cut -d' ' -f1-3 /proc/loadavg)
declare -A s0 c0 figures
for name in "${names[@]}"; do
    s0[$name]=$(switches "${pid[$name]}")
    c0[$name]=$(cpu_ns "${pid[$name]}")
done
per_thread >"$tmp/threads0"
sleep "$seconds"
for name in "${names[@]}"; do
    p=${pid[$name]}
    figures[$name]="$(($(cpu_ns "$p") - c0[$name])) $(($(switches "$p") - s0[$name]))"
    figures[$name]+=" $(rollup "$p" Private_Dirty) $(rollup "$p" Rss) $(rollup "$p" Pss)"
    figures[$name]+=" $(median "${startups[$name]}") $(ls /proc/"$p"/task | wc -l)"
done
per_thread >"$tmp/threads1"
load1=$(cut -d' ' -f1-3 /proc/loadavg)

echo "idle window: $seconds s; load average before: $load0, after: $load1"
for name in "${names[@]}"; do echo "$name start to mapped, ms: ${startups[$name]}"; done
printf '%s\n' "${figures[zirvel]}" "${figures[xclock]}" "${figures[qtlabel]}" | awk -v t="$seconds" '
    { cpu[NR] = $1 / 1e6 * 60 / t; wake[NR] = $2 / t; dirty[NR] = $3 / 1024; rss[NR] = $4 / 1024
      pss[NR] = $5 / 1024; mapped[NR] = $6; threads[NR] = $7 }
    function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
    function row(name, v, unit, fmt, goal,    z, x, q) {
        z = sprintf(fmt, v[1]) unit; x = sprintf(fmt, v[2]) unit; q = sprintf(fmt, v[3]) unit
        printf "%-24s %10s %10s %10s %8s %8s   %s\n", name, z, x, q,
            ratio(v[1], v[2]), ratio(v[3], v[2]), goal
    }
    END {
        printf "%-24s %10s %10s %10s %8s %8s   %s\n", "", "zirvel", "xclock", "Qt label", "zirvel/", "Qt label/", "goal"
        printf "%-24s %10s %10s %10s %8s %8s\n", "", "", "", "", "xclock", "xclock"
        row("CPU per idle minute", cpu, " ms", "%.1f", "zirvel/xclock <= 1.0")
        row("wake-ups per second", wake, "", "%.2f", "zirvel <= 1.05")
        row("private dirty memory", dirty, " MB", "%.2f", "zirvel <= 2.5 MB")
        row("resident memory", rss, " MB", "%.1f", "")
        row("proportional memory", pss, " MB", "%.1f", "")
        row("start to window mapped", mapped, " ms", "%d", "zirvel/xclock <= 1.5")
        row("threads", threads, "", "%d", "")
    }'
echo "zirvel's wake-ups per thread over the window:"
join <(sort "$tmp/threads0") <(sort "$tmp/threads1") | awk '{printf "  %-16s %.2f/s\n", $1, ($3 - $2) / '"$seconds"'}'
