#!/bin/bash
# Pictures of the alarm dialog, the shutdown dialog in both modes and the
# shutdown warning, for docs/. Each is shown by zirvel_show_dialog in the
# private test desktop and photographed with a margin.
#   tools/screenshot-dialogs.sh [BUILD_DIR]   (default build/dev)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/dev}
source "$ROOT/tests/support/desktop-harness.sh"
start_desktop

# shoot NAME FILE: the window and a 10-pixel margin around it.
shoot() {
    show_window "$BUILD/bin/zirvel_show_dialog" "$1"
    wait_for "$1 to be painted" 10 settled "$SHOWN"
    read -r x y < <(corner_of "$SHOWN")
    read -r w h < <(xwininfo -id "$SHOWN" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
    import -window root -crop "$((w + 20))x$((h + 20))+$((x - 10))+$((y - 10))" +repage "$ROOT/docs/$2"
    close_window
    echo "docs/$2"
}

shoot frmSetTime alarm-dialog.png
shoot frmCloseWindows shutdown-dialog.png
shoot frmCloseWindows-countdown shutdown-dialog-countdown.png
shoot frmShutdownWarning shutdown-warning.png
