#!/bin/bash
# Screenshots of the About window and the two pop-ups under a private Xvfb
# with openbox, into docs/:
#   tools/screenshot-popups.sh [BUILD_DIR]   (default: build/dev, the dev preset's)
# Needs xvfb, openbox, imagemagick, xdotool. Each picture is the window alone;
# docs/sound-missing.png is the message of a pop-up whose sound is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/dev}
show=$build/bin/zirvel_show_dialog
out=$here/docs
[ -x "$show" ] || { echo "build first: $show missing" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# shot NAME FILE [ARGS...]: open the dialog, picture its window, close it.
shot() {
    local name=$1 file=$2
    shift 2
    "$show" "$name" "$@" > "$work/out" 2>/dev/null &
    local pid=$!
    local id=
    for _ in $(seq 100); do
        id=$(sed -n 's/^window //p' "$work/out")
        [ -n "$id" ] && break
        sleep 0.05
    done
    [ -n "$id" ] || { echo "$name did not open" >&2; kill $pid; return 1; }
    sleep 0.3
    import -window "$id" "$out/$file"
    kill $pid
    wait $pid 2>/dev/null || true
    echo "$out/$file"
}

shot frmAbout about.png
shot frmIntTime chime.png
shot frmTimer alarm.png --prompt "该去开会了：下午两点在三楼会议室讨论新版本的发布计划，记得带上笔记本和上周的测试报告。"

# The missing-sound message comes before the pop-up: picture the screen.
"$show" frmIntTime --no-sound > /dev/null 2>&1 &
pid=$!
sleep 1.5
import -window root "$work/root.png"
kill $pid
wait $pid 2>/dev/null || true
convert "$work/root.png" -trim +repage "$out/sound-missing.png"
echo "$out/sound-missing.png"
