#!/bin/bash
# The scheduler in the real program under a real X server, with a private
# system bus and a mock logind: an alarm set a few seconds ahead opens its
# pop-up at that second; the scheduled shutdown shows the topmost warning
# before its second,
# whose "取消" sends nothing; with "不提示直接关机" the request goes out at
# once, exactly PowerOff(false).
#   scheduler_x11.sh ZIRVEL MOCK_LOGIND
set -u
zirvel=$1
source "$(dirname "$0")/../support/desktop-harness.sh"
# The pop-ups play their sounds on the null sink; a system bus of our own
# with the mock logind: the machine's real one is never reached.
start_desktop --sound --logind "$2"
calls=$LOGIND_LOG

settings="$XDG_CONFIG_HOME/Zirvel/Zirvel.conf"
mkdir -p "$(dirname "$settings")"
clock_text() { date -d "@$1" +%-H:%M:%S; }

pid=""
start_zirvel() {
    "$zirvel" 2>>"$WORK/zirvel.log" &
    pid=$!
    track_pid $pid
    wait_for "the program's first window" 30 find_window
}
stop_zirvel() {
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null
}

# 1. Alarm at A, scheduled shutdown with the warning at S (daily, so it stays
# switched on for part 2).
A=$(($(date +%s) + 6))
S=$((A + 20))
cat >"$settings" <<INI
[Settings]
chkyntimer=0
itimer=$(clock_text $A)
prompt=integration
chkopenclose=1
timer=$(clock_text $S)
chkclosetime=1
chkImedClose=0
INI
start_zirvel
[ "$(date +%s)" -lt "$A" ] || fail "the program took too long to start"
# Set less than a minute ahead, the warning is up from the start, counting
# down to the stated second.
wait_for "the warning" 10 find_window title=定时关机
warning=$(find_window title=定时关机)
[ "$(date +%s)" -lt "$S" ] || fail "the warning only at the stated second"
find_window size=$POPUP_SIZE not="$warning" && fail "a pop-up before its time"
wait_for "the alarm pop-up" 10 find_window size=$POPUP_SIZE not="$warning"
seen=$(date +%s)
[ "$seen" -ge "$A" ] && [ "$seen" -le $((A + 1)) ] || fail "alarm pop-up at $seen, due at $A"
echo "ok - the alarm pop-up opens at its second"

wait_for "the warning above other windows" 30 sh -c "xprop -id $warning _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
echo "ok - the scheduled shutdown shows a topmost warning first"
click_in "$warning" "$WARNING_CANCEL"
wait_for "取消 to close the warning" 30 not is_viewable "$warning"
sleep 1.5
[ ! -s "$calls" ] || fail "power request after 取消: $(cat "$calls")"
echo "ok - 取消 skips the shutdown"
stop_zirvel

# 2. Without asking: the request at its second, once.
S=$(($(date +%s) + 5))
sed -i -e "s/^timer=.*/timer=$(clock_text $S)/" -e 's/^chkImedClose=.*/chkImedClose=1/' \
    -e 's/^chkyntimer=.*/chkyntimer=1/' "$settings"
start_zirvel
wait_for "the power request" 30 test -s "$calls"
[ "$(date +%s)" -ge "$S" ] || fail "power request before its time"
sleep 1.5
[ "$(cat "$calls")" = "PowerOff(false)" ] || fail "requests: $(cat "$calls")"
kill -0 "$pid" || fail "the program ended"
echo "ok - without asking, exactly one PowerOff(false) at the second"
stop_zirvel
echo "4 passed, 0 failed"
