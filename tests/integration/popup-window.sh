#!/bin/bash
# The pop-ups on a real X server with a window manager: undecorated, of the
# design size, above other windows and off the taskbar; a left drag on the
# title moves one, a right drag does not; OK and the close mark close them.
#   popup-window.sh PATH/TO/zirvel_show_dialog
set -euo pipefail
show=$1
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# wait_for SECONDS COMMAND...: poll until the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"

# open NAME: start the helper, set $pid and $id.
open() {
    "$show" "$1" --prompt "测试" > "$work/$1.out" 2>/dev/null &
    pid=$!
    pids+=($pid)
    wait_for 20 grep -q '^window ' "$work/$1.out" || fail "$1 did not open"
    id=$(sed -n 's/^window //p' "$work/$1.out")
    wait_for 20 sh -c "xprop -id $id _NET_WM_STATE | grep -q SKIP_TASKBAR" ||
        fail "$1 has no skip-taskbar state"
}
position() { xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
closed() { ! kill -0 "$pid" 2>/dev/null; }
# drag BUTTON: press on the title, move by 80,50 in steps, release.
drag() {
    read -r x y < <(position)
    xdotool mousemove $((x + 100)) $((y + 20)) sleep 0.2 mousedown "$1" sleep 0.2
    for step in 1 2 3 4; do
        xdotool mousemove $((x + 100 + 20 * step)) $((y + 20 + 12 * step + step / 2)) sleep 0.15
    done
    xdotool mouseup "$1"
}

open frmTimer
state=$(xprop -id "$id" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* ]] || fail "frmTimer not above: $state"
extents=$(xprop -id "$id" _NET_FRAME_EXTENTS)
[[ $extents == *"0, 0, 0, 0"* ]] || fail "frmTimer is decorated: $extents"
size=$(xwininfo -id "$id" | awk '/Width/ {w=$2} /Height/ {h=$2} END {print w "x" h}')
[ "$size" = 339x221 ] || fail "frmTimer is $size"

start=$(position)
drag 3
sleep 0.5
[ "$(position)" = "$start" ] || fail "a right drag moved the window"
drag 1
wait_for 10 sh -c "[ \"\$(xwininfo -id $id | awk '/Absolute upper-left X/ {print \$4}')\" != \"${start% *}\" ]" ||
    fail "a left drag on the title did not move the window"

read -r x y < <(position)
xdotool mousemove $((x + 164)) $((y + 196)) sleep 0.2 click 1
wait_for 10 closed || fail "OK did not close frmTimer"

open frmIntTime
read -r x y < <(position)
xdotool mousemove $((x + 300)) $((y + 12)) sleep 0.2 click 1
wait_for 10 closed || fail "the close mark did not close frmIntTime"
echo "popup-window: 1 passed, 0 failed"
