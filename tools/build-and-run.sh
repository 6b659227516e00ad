#!/bin/bash
# Installs what the clock needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $RUN_PACKAGES
cmake --preset dev -DZIRVEL_WARNINGS_AS_ERRORS=OFF >/dev/null
cmake --build --preset dev
exec build/dev/bin/zirvel
