#!/bin/bash
# The pop-ups on a real X server with a window manager: undecorated, of the
# design size, above other windows and off the taskbar; a left drag on the
# title moves one, a right drag does not; OK and the close mark close them.
#   popup-window.sh PATH/TO/zirvel_show_dialog
set -euo pipefail
show=$1
source "$(dirname "$0")/../support/desktop-harness.sh"
start_desktop

# open NAME: start the window, set $pid and $id once the window manager
# has taken it in.
open() {
    show_window "$show" "$1" --prompt "测试"
    pid=$SHOWN_PID id=$SHOWN
    wait_for "$1 to be off the taskbar" 20 sh -c "xprop -id $id _NET_WM_STATE | grep -q SKIP_TASKBAR"
}
closed() { ! kill -0 "$pid" 2>/dev/null; }

open frmTimer
state=$(xprop -id "$id" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* ]] || fail "frmTimer not above: $state"
extents=$(xprop -id "$id" _NET_FRAME_EXTENTS)
[[ $extents == *"0, 0, 0, 0"* ]] || fail "frmTimer is decorated: $extents"
window_is "$id" size=$POPUP_SIZE || fail "frmTimer is $(xwininfo -id "$id" | awk '/Width/ {w=$2} /Height/ {h=$2} END {print w "x" h}')"

read -r x y < <(corner_of "$id")
drag_in "$id" "$POPUP_TITLE" 3 "80 50"
sleep 0.5 # time for a wrong move to show
[ "$(corner_of "$id")" = "$x $y" ] || fail "a right drag moved the window"
drag_window "$id" "$POPUP_TITLE" "80 50"
[ "$(corner_of "$id")" = "$((x + 80)) $((y + 50))" ] ||
    fail "a left drag on the title left the window at $(corner_of "$id"), not $((x + 80)) $((y + 50))"

click_in "$id" "$POPUP_OK"
wait_for "OK to close frmTimer" 10 closed

open frmIntTime
click_in "$id" "$CHIME_CLOSE_MARK"
wait_for "the close mark to close frmIntTime" 10 closed
echo "popup-window: 1 passed, 0 failed"
