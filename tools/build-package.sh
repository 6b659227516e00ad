#!/bin/bash
# Installs what building the Debian package needs, builds the program and
# makes the package: build/dev/zirvel_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $RUN_PACKAGES $PACKAGING_PACKAGES
cmake --preset dev >/dev/null
cmake --build --preset dev
(cd build/dev && cpack -G DEB)
