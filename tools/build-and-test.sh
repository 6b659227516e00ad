#!/bin/bash
# Installs what the tests need, builds the program twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer), each with the compiler's
# warnings as errors and, in the optimised build, every layer library linked
# alone (see src/CMakeLists.txt), and runs every test on both,
# fuzzes every parser for a bounded time (FUZZ_SECONDS each, 30 by default),
# then checks the formatting. Before building, it checks that the folders
# under src/ include each other one way only.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $RUN_PACKAGES $TEST_PACKAGES

echo "== layers"
tools/check-layers.sh

jobs=$(nproc)
for preset in dev asan; do
    echo "== $preset build"
    cmake --preset "$preset" -DZIRVEL_WARNINGS_AS_ERRORS=ON >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$jobs"
done

echo "== fuzz build"
cmake --preset fuzz -DZIRVEL_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
echo "== fuzzing, ${FUZZ_SECONDS:-30} s a target"
tools/run-fuzzers.sh build/fuzz "${FUZZ_SECONDS:-30}"

echo "== formatting, with $(clang-format --version)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "formatting ok"
