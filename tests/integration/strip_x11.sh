#!/bin/bash
# The real clock strip under a real X server and window manager: undecorated,
# at 638,24, above other windows, off the taskbar; a pointer drag on an end
# cap moves it and a double-click on an end cap closes it while the process
# lives on.
zirvel=$1
. "$(dirname "$0")/x11session.sh"
start_x11_session

"$zirvel" 2>"$_session_tmp/stderr" &
pid=$!
track_pid $pid
# The program's mapped top-level windows (xdotool's --onlyvisible misses them
# when combined with --pid).
visible_windows() {
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && echo "$w"
    done
}
has_window() { [ -n "$(visible_windows)" ]; }
wait_for has_window || fail "no window appeared: $(cat "$_session_tmp/stderr"; for w in $(xdotool search --pid $pid); do xwininfo -id $w; done; xprop -root)"
win=$(visible_windows | head -n1)
wait_for sh -c "xprop -id $win _NET_WM_STATE | grep -q SKIP_TASKBAR"

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
xdotool mousemove 642 33 mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do xdotool mousemove $((642 + step * 10)) $((33 + step * 20)); sleep 0.05; done
xdotool mouseup 1
wait_for sh -c "[ \"\$(xwininfo -id $win | awk '/Absolute upper-left X/{print \$4}')\" = 738 ]" ||
    fail "drag left the strip at $(geometry)"
[ "$(geometry)" = "738,224 86x19" ] || fail "after the drag the strip is at $(geometry)"
echo "ok - a pointer drag on the end cap moves the strip"

# A double-click on the time label does nothing; on the right end cap it closes the strip.
sleep 0.6
xdotool mousemove 770 233 click --repeat 2 --delay 80 1
sleep 0.5
[ -n "$(visible_windows)" ] || fail "a double-click on the label closed the strip"
xdotool mousemove 818 233 click --repeat 2 --delay 80 1
for _ in $(seq 50); do [ -z "$(visible_windows)" ] && break; sleep 0.1; done
[ -z "$(visible_windows)" ] || fail "double-click did not close the strip"
kill -0 $pid 2>/dev/null || fail "the process ended with the strip"
echo "ok - a double-click on the end cap closes the strip; the process lives on"

# SIGTERM ends it cleanly, having saved the position of the closed strip earlier.
kill -TERM $pid
wait $pid; code=$?
[ $code -eq 0 ] || fail "exit code $code after SIGTERM"
grep -q "MainLeft=11070" "$XDG_CONFIG_HOME/Zirvel/Zirvel.conf" || fail "position not saved: $(cat "$XDG_CONFIG_HOME/Zirvel/Zirvel.conf")"
echo "ok - SIGTERM ends the program cleanly"
echo "4 passed, 0 failed"
