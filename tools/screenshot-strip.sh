#!/bin/bash
# Pictures of the running clock for the README: the strip alone, and the strip
# with its date tooltip. Runs the built program in the private test desktop.
#   tools/screenshot-strip.sh [path/to/zirvel]   (default build/dev/bin/zirvel)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ZIRVEL=$(realpath "${1:-$ROOT/build/dev/bin/zirvel}")
source "$ROOT/tests/support/desktop-harness.sh"
start_desktop

"$ZIRVEL" >"$WORK/zirvel.log" 2>&1 &
track_pid $!
wait_for "the strip" 30 find_window size=$STRIP_SIZE
STRIP=$(find_window size=$STRIP_SIZE)
wait_for "the strip to be painted" 10 settled "$STRIP"
import -window root -crop 126x39+618+14 +repage "$ROOT/docs/strip.png"
# The tooltip follows a pointer that comes to rest on the strip.
read -r x y < <(corner_of "$STRIP")
xdotool mousemove $((x + 42)) $((y + 8)) sleep 0.2 mousemove $((x + 44)) $((y + 9))
wait_for "the tooltip" 10 find_window not=$STRIP
wait_for "the tooltip to be painted" 10 settled "$(find_window not=$STRIP)"
import -window root -crop 520x80+560+10 +repage "$ROOT/docs/strip-tooltip.png"
echo "docs/strip.png docs/strip-tooltip.png"
