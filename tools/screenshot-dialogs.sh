#!/bin/bash
# Pictures of the alarm dialog, the shutdown dialog in both modes and the
# shutdown warning, for docs/. Each is shown by dialog_showcase under a
# private X server with a window manager and photographed with a margin.
#   tools/screenshot-dialogs.sh [build/bin folder]   (default build/dev/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/dev/bin}")
out=$(pwd)/docs
mkdir -p "$out"
. tests/integration/x11session.sh
start_x11_session

shoot() { # name, file
    "$bin/dialog_showcase" "$1" &
    local pid=$!
    local win=""
    for _ in $(seq 100); do
        for w in $(xdotool search --pid "$pid" 2>/dev/null); do
            xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && win=$w
        done
        [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "no window for $1"; kill "$pid"; exit 1; }
    sleep 1 # let it paint
    read -r x y w h < <(xwininfo -id "$win" |
        awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}')
    import -window root -crop "$((w + 20))x$((h + 20))+$((x - 10))+$((y - 10))" +repage "$out/$2"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "wrote docs/$2"
}

shoot frmSetTime alarm-dialog.png
shoot frmCloseWindows shutdown-dialog.png
shoot frmCloseWindows-countdown shutdown-dialog-countdown.png
shoot frmShutdownWarning shutdown-warning.png
