#!/bin/bash
# Runs one test program inside the private desktop of desktop-harness.sh, for
# CTest (see zirvel_add_desktop_test) and by hand:
#   harness-run.sh [--logind PROGRAM] [--tray] [--sound] -- PROGRAM [ARGUMENTS...]
# Exits with the program's status; the desktop goes with it.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/desktop-harness.sh"

options=()
while (($# > 0)) && [[ $1 != -- ]]; do
    options+=("$1")
    shift
done
if (($# < 2)); then
    echo "usage: harness-run.sh [--logind PROGRAM] [--tray] [--sound] -- PROGRAM [ARGUMENTS...]" >&2
    exit 2
fi
shift
start_desktop "${options[@]}"

# In the background, so that a signal to this script ends the program too.
"$@" &
program=$!
track_pid $program
wait $program
