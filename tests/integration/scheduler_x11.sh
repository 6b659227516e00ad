#!/bin/bash
# The scheduler in the real program under a real X server, with a private
# system bus and a mock logind: an alarm set a few seconds ahead opens its
# pop-up at that second; the scheduled shutdown shows the topmost warning,
# whose "取消" sends nothing; with "不提示直接关机" the request goes out at
# once, exactly PowerOff(false).
#   scheduler_x11.sh ZIRVEL MOCK_LOGIND
zirvel=$1
mock_logind=$2
. "$(dirname "$0")/x11session.sh"
start_x11_session
start_null_sink # the pop-ups play their sounds here

# A system bus of our own: the machine's real one is never reached.
cat >"$_session_tmp/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$_session_tmp/system_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$_session_tmp/bus.conf" --nofork --print-address=1 \
    >"$_session_tmp/bus_address" 2>/dev/null &
track_pid $!
wait_for test -s "$_session_tmp/bus_address" || fail "no private bus"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$_session_tmp/bus_address")
calls="$_session_tmp/logind_calls"
: >"$calls"
"$mock_logind" "$calls" >"$_session_tmp/logind_out" &
track_pid $!
wait_for grep -q ready "$_session_tmp/logind_out" || fail "mock logind did not start"

settings="$XDG_CONFIG_HOME/Zirvel/Zirvel.conf"
mkdir -p "$(dirname "$settings")"
clock_text() { date -d "@$1" +%-H:%M:%S; }

pid=""
start_zirvel() {
    "$zirvel" 2>>"$_session_tmp/stderr" &
    pid=$!
    track_pid $pid
    wait_for sh -c "xdotool search --pid $pid >/dev/null" || fail "the program shows no window"
}
stop_zirvel() {
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null
}
# Visible top-level windows of the program with the given size.
windows_of_size() {
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        info=$(xwininfo -id "$w" 2>/dev/null)
        grep -q IsViewable <<<"$info" || continue
        size=$(awk '/Width/{w=$2} /Height/{h=$2} END{print w"x"h}' <<<"$info")
        [ "$size" = "$1" ] && echo "$w"
    done
}
# The visible window of the program with that title (xdotool's --name does
# not match Chinese titles reliably).
window_titled() {
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q IsViewable || continue
        [ "$(xprop -id "$w" _NET_WM_NAME)" = "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ] && echo "$w"
    done
}
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }

# 1. Alarm at A, scheduled shutdown with the warning at S (daily, so it stays
# switched on for part 2).
A=$(($(date +%s) + 6))
S=$((A + 4))
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
[ -z "$(windows_of_size 339x221)" ] || fail "a pop-up before its time"
for _ in $(seq 100); do
    [ -n "$(windows_of_size 339x221)" ] && break
    sleep 0.05
done
seen=$(date +%s)
[ -n "$(windows_of_size 339x221)" ] || fail "no alarm pop-up"
[ "$seen" -ge "$A" ] && [ "$seen" -le $((A + 1)) ] || fail "alarm pop-up at $seen, due at $A"
echo "ok - the alarm pop-up opens at its second"

for _ in $(seq 200); do
    warning=$(window_titled 定时关机 | head -n1)
    [ -n "$warning" ] && break
    sleep 0.05
done
[ -n "$warning" ] || fail "no warning"
[ "$(date +%s)" -ge "$S" ] || fail "warning before its time"
wait_for sh -c "xprop -id $warning _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
    fail "the warning is not above other windows: $(xprop -id "$warning" _NET_WM_STATE)"
echo "ok - the scheduled shutdown shows a topmost warning first"
read -r x y < <(origin "$warning")
xdotool mousemove $((x + 226)) $((y + 172)) click 1 # 取消
wait_for sh -c "! xwininfo -id $warning 2>/dev/null | grep -q IsViewable" || fail "取消 left the warning open"
sleep 1.5
[ ! -s "$calls" ] || fail "power request after 取消: $(cat "$calls")"
echo "ok - 取消 skips the shutdown"
stop_zirvel

# 2. Without asking: the request at its second, once.
S=$(($(date +%s) + 5))
sed -i -e "s/^timer=.*/timer=$(clock_text $S)/" -e 's/^chkImedClose=.*/chkImedClose=1/' \
    -e 's/^chkyntimer=.*/chkyntimer=1/' "$settings"
start_zirvel
wait_for test -s "$calls" || fail "no power request"
[ "$(date +%s)" -ge "$S" ] || fail "power request before its time"
sleep 1.5
[ "$(cat "$calls")" = "PowerOff(false)" ] || fail "requests: $(cat "$calls")"
kill -0 "$pid" || fail "the program ended"
echo "ok - without asking, exactly one PowerOff(false) at the second"
stop_zirvel
echo "4 passed, 0 failed"
