#!/bin/bash
# The real clock strip under a real X server and window manager: undecorated,
# at 638,24, above other windows, off the taskbar; a pointer drag on an end
# cap moves it and a double-click on an end cap closes it while the process
# lives on.
#   strip_x11.sh ZIRVEL
set -u
zirvel=$1
source "$(dirname "$0")/../support/desktop-harness.sh"
start_desktop

"$zirvel" 2>"$WORK/zirvel.log" &
pid=$!
track_pid $pid
wait_for "the strip" 30 find_window size=$STRIP_SIZE
win=$(find_window size=$STRIP_SIZE)
wait_for "the strip off the taskbar" 30 sh -c "xprop -id $win _NET_WM_STATE | grep -q SKIP_TASKBAR"

geometry() { xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x","y" "w"x"h}'; }
[ "$(geometry)" = "638,24 86x19" ] || fail "strip at $(geometry)"
state=$(xprop -id "$win" _NET_WM_STATE)
for s in _NET_WM_STATE_ABOVE _NET_WM_STATE_SKIP_TASKBAR; do
    grep -q "$s" <<<"$state" || fail "missing $s: $state"
done
extents=$(xprop -id "$win" _NET_FRAME_EXTENTS)
grep -q "= 0, 0, 0, 0" <<<"$extents" || fail "decorated: $extents"
echo "ok - undecorated strip at 638,24 with ABOVE and SKIP_TASKBAR"

# Drag by the left end cap.
drag_window "$win" "$STRIP_LEFT_CAP" "100 200"
[ "$(geometry)" = "738,224 86x19" ] || fail "after the drag the strip is at $(geometry)"
echo "ok - a pointer drag on the end cap moves the strip"

# A double-click on the time label does nothing; on the right end cap it closes the strip.
sleep 0.6 # not a triple click with the drag's release
click_in "$win" "$STRIP_TIME_LABEL" --repeat 2 --delay 80 1
sleep 0.5
find_window >/dev/null || fail "a double-click on the label closed the strip"
click_in "$win" "$STRIP_RIGHT_CAP" --repeat 2 --delay 80 1
wait_for "a double-click on the end cap to close the strip" 5 not find_window
kill -0 $pid 2>/dev/null || fail "the process ended with the strip"
echo "ok - a double-click on the end cap closes the strip; the process lives on"

# SIGTERM ends it cleanly, having saved the position of the closed strip earlier.
kill -TERM $pid
wait $pid
code=$?
[ $code -eq 0 ] || fail "exit code $code after SIGTERM"
grep -q "MainLeft=11070" "$XDG_CONFIG_HOME/Zirvel/Zirvel.conf" || fail "position not saved: $(cat "$XDG_CONFIG_HOME/Zirvel/Zirvel.conf")"
echo "ok - SIGTERM ends the program cleanly"
echo "4 passed, 0 failed"
