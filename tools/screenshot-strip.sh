#!/bin/bash
# Pictures of the running clock for the README: the strip alone, and the strip
# with its date tooltip. Runs the built program under a private X server.
#   tools/screenshot-strip.sh [path/to/zirvel]   (default build/dev/bin/zirvel)
set -euo pipefail
cd "$(dirname "$0")/.."
zirvel=$(realpath "${1:-build/dev/bin/zirvel}")
out=$(pwd)/docs
mkdir -p "$out"
tmp=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$tmp/display")"
export XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" HOME="$tmp"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --startup "touch $tmp/wm-ready" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$tmp/wm-ready" ] && break; sleep 0.1; done

"$zirvel" &
pids+=($!)
sleep 2
import -window root -crop 126x39+618+14 +repage "$out/strip.png"
xdotool mousemove 680 32 sleep 0.2 mousemove 682 33
sleep 2
import -window root -crop 520x80+560+10 +repage "$out/strip-tooltip.png"
echo "wrote $out/strip.png and $out/strip-tooltip.png"
