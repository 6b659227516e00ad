#!/bin/bash
# Screenshots of the About window and the two pop-ups in the private test
# desktop, into docs/:
#   tools/screenshot-popups.sh [BUILD_DIR]   (default: build/dev, the dev preset's)
# Each picture is the window alone; docs/sound-missing.png is the message of
# a pop-up whose sound is missing.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/dev}
SHOW=$BUILD/bin/zirvel_show_dialog
[ -x "$SHOW" ] || { echo "build first: $SHOW missing" >&2; exit 1; }
source "$ROOT/tests/support/desktop-harness.sh"
start_desktop

# shoot NAME FILE [ARGS...]: open the window, picture it, close it.
shoot() {
    local name=$1 file=$2
    shift 2
    show_window "$SHOW" "$name" "$@"
    wait_for "$name to be painted" 10 settled "$SHOWN"
    import -window "$SHOWN" "$ROOT/docs/$file"
    close_window
    echo "docs/$file"
}

shoot frmAbout about.png
shoot frmIntTime chime.png
shoot frmTimer alarm.png --prompt "该去开会了：下午两点在三楼会议室讨论新版本的发布计划，记得带上笔记本和上周的测试报告。"

# The missing-sound message comes before the pop-up: picture the screen once
# the message box is up and painted.
"$SHOW" frmIntTime --no-sound >/dev/null 2>"$WORK/no-sound.log" &
pid=$!
track_pid $pid
wait_for "the missing-sound message" 20 find_window dialog
wait_for "the message to be painted" 10 settled "$(find_window dialog)"
import -window root "$WORK/root.png"
kill $pid
wait $pid 2>/dev/null || true
convert "$WORK/root.png" -trim +repage "$ROOT/docs/sound-missing.png"
echo "docs/sound-missing.png"
