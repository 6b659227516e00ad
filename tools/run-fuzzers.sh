#!/bin/bash
# Runs every fuzz target of a fuzz build (cmake --preset fuzz) for a bounded
# time, starting from its committed inputs (tests/fuzz/<name>/), and fails on
# any crash, sanitizer report, hang or broken round trip. Prints, per target,
# the executions and the executions per second. A failing input is left in
# BUILD/fuzz-runs/<name>/ (commit it to tests/fuzz/<name>/ as a regression case).
#   tools/run-fuzzers.sh [BUILD] [SECONDS_EACH]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-30}
runs="$build/fuzz-runs"
mkdir -p "$runs"
# Settings files are written and replaced on every input: keep them in memory.
scratch=$(mktemp -d "$( [ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/zirvel-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

targets=()
for source in tests/fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    [ -d "tests/fuzz/$name" ] && targets+=("$name")
done

run_one() {
    local name=$1 options=()
    mkdir -p "$runs/$name/corpus"
    # QSettings keeps a cache of the files it read, which every input adds to:
    # a leak check after each input would cost two thirds of the run. Leaks are
    # still checked when the process ends.
    [ "$name" = settings ] && options+=(-detect_leaks=0)
    # The tokens of a target's input format, where it has a list of them.
    [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
    # Qt's warnings about broken input would fill the log at every run.
    TMPDIR="$scratch" LC_ALL=C.UTF-8 QT_LOGGING_RULES='*=false' "$build/bin/fuzz_$name" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$runs/$name/" "${options[@]}" \
        "$runs/$name/corpus" "tests/fuzz/$name" >"$runs/$name.log" 2>&1
}

# As many at once as there are processors.
jobs=$(nproc)
declare -A status
for ((i = 0; i < ${#targets[@]}; i += jobs)); do
    pids=()
    for name in "${targets[@]:i:jobs}"; do
        run_one "$name" &
        pids+=("$!:$name")
    done
    for entry in "${pids[@]}"; do
        if wait "${entry%%:*}"; then status[${entry#*:}]=0; else status[${entry#*:}]=$?; fi
    done
done

failed=0
printf '%-14s %12s %10s  %s\n' target executions "exec/s" result
for name in "${targets[@]}"; do
    log="$runs/$name.log"
    total=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    result=ok
    if [ "${status[$name]}" != 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|check failed' "$log"; then
        result="FAILED (exit ${status[$name]}), see $log"
        failed=1
    fi
    printf '%-14s %12s %10s  %s\n' "$name" "${total:-?}" "${rate:-?}" "$result"
done
if [ "$failed" = 1 ]; then
    for name in "${targets[@]}"; do
        [ "${status[$name]}" = 0 ] && continue
        echo "== $name"
        grep -E -A30 'ERROR:|runtime error:|check failed' "$runs/$name.log" | head -60
        for input in "$runs/$name"/{crash,leak,timeout,oom,slow-unit}-*; do
            [ -e "$input" ] && echo "input: $input"
        done
    done
    exit 1
fi
