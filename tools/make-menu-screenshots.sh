#!/bin/bash
# Pictures of the clock's menu, the tray menu and the tray icon for docs/,
# taken by the end-to-end test in its private X desktop.
# Usage: tools/make-menu-screenshots.sh [BUILD_DIR]   (default build/dev)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/dev}
SHOTS=$(mktemp -d)
trap 'rm -rf "$SHOTS"' EXIT

bash "$ROOT/tests/integration/e2e_tray.sh" "$BUILD/bin/zirvel" "$BUILD/bin/mock_logind" "$SHOTS"

# The X server's root window is black: paint a desktop colour behind the
# windows (the background is one connected area, reached from a corner).
crop() {
    convert "$SHOTS/$1.png" -fill '#4a7db5' -draw 'color 0,799 floodfill' \
        -crop "$2" +repage "$ROOT/docs/$3"
    echo "docs/$3"
}
crop menu-clock 380x275+600+0 menu-clock.png
crop menu-tray 440x230+840+0 menu-tray.png
crop tray 300x60+980+0 tray.png
