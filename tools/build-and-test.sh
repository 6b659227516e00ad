#!/bin/bash
# Installs what the tests need, builds the program twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test on both,
# then checks the formatting.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $RUN_PACKAGES $TEST_PACKAGES

jobs=$(nproc)
for preset in dev asan; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$jobs"
done

echo "== formatting, with $(clang-format --version)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "formatting ok"
