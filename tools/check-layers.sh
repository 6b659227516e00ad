#!/bin/bash
# Checks that the folders under src/ include each other one way only: every
# #include "folder/file.h" must name the including file's own folder or a
# folder on a lower layer. Prints each include that points up (or sideways
# without leave) as "file:line: include" and fails if there is any.
#
# Layers, top to bottom:
#   app                        process start-up: main, display check, single instance, signals
#   tray                       the menus, their commands and the exit sequences
#   clock                      the strip, the scheduler and what is due
#   options alarm shutdown     the feature windows; they never include each other
#   ui                         window table, dialog building blocks, the time boxes
#   settings time autostart    the store, time rules and texts, the log-on entry
#   platform lunar             operating-system services; the lunar calendar
# The one sideways include allowed: settings reads and writes time texts
# (settings -> time).
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A level=(
    [app]=0
    [tray]=1
    [clock]=2
    [options]=3 [alarm]=3 [shutdown]=3
    [ui]=4
    [settings]=5 [time]=5 [autostart]=5
    [platform]=6 [lunar]=6
)
declare -A sideways=([settings:time]=1)

status=0
complain()
{
    echo "$1" >&2
    status=1
}

while IFS= read -r -d '' file; do
    from=${file#src/}
    from=${from%%/*}
    if [[ -z ${level[$from]+set} ]]; then
        complain "$file: folder src/$from/ has no layer in tools/check-layers.sh"
        continue
    fi
    while IFS=: read -r line include; do
        # Only "folder/file" includes cross folders; "file.h" is the same folder.
        [[ $include == */* ]] || continue
        to=${include%%/*}
        [[ $to == "$from" ]] && continue
        if [[ -z ${level[$to]+set} ]]; then
            complain "$file:$line: \"$include\": no layer for src/$to/"
        elif ((level[$to] < level[$from])); then
            complain "$file:$line: \"$include\": $from includes $to, a layer above it"
        elif ((level[$to] == level[$from])) && [[ -z ${sideways[$from:$to]+set} ]]; then
            complain "$file:$line: \"$include\": $from includes $to, on its own layer"
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
        sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if ((status == 0)); then
    echo "layers ok: no include under src/ points up or sideways"
fi
exit "$status"
