#!/bin/bash
# The message a user sees when the computer cannot be shut down, for docs/:
# taken by the stuck-bus integration test in its private X desktop.
# Usage: tools/screenshot-power-failure.sh [BUILD_DIR]   (default build/dev)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/dev}
SHOTS=$(mktemp -d)
trap 'rm -rf "$SHOTS"' EXIT

bash "$ROOT/tests/integration/stuck_bus_x11.sh" "$BUILD/bin/zirvel" "$BUILD/bin/mock_logind" \
    "$BUILD/bin/stuck_bus" "$SHOTS"
# The box sits in the middle of an otherwise black screen: cut it out.
convert "$SHOTS/stuck-system.png" -crop 640x400+320+200 +repage -trim +repage \
    "$ROOT/docs/power-failed.png"
echo "docs/power-failed.png"
