#!/bin/bash
# Runs one test program inside the private desktop of desktop-harness.sh, for
# CTest (see zirvel_add_desktop_test) and by hand:
#   harness-run.sh [--logind PROGRAM] [--tray] [--sound] -- PROGRAM [ARGUMENTS...]
# Exits with the program's status; the desktop goes with it.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/desktop-harness.sh"

usage() {
    echo "usage: harness-run.sh [--logind PROGRAM] [--tray] [--sound] -- PROGRAM [ARGUMENTS...]" >&2
    exit 2
}

start_desktop
while (($# > 0)); do
    case $1 in
    --logind)
        (($# >= 2)) || usage
        start_logind "$2"
        shift 2
        ;;
    --tray) start_tray_host && shift ;;
    --sound) start_null_sink && shift ;;
    --)
        shift
        break
        ;;
    *) usage ;;
    esac
done
(($# > 0)) || usage

# In the background, so that a signal to this script ends the program too.
"$@" &
program=$!
track_pid $program
wait $program
