#!/bin/sh
# shellcheck disable=SC2086  # $WORK, $FINAL, $SOX, $tone and $parts are word lists on purpose
# Make Zirvel's two sounds with SoX, from nothing but synthesised tones:
#   resources/sounds/ohmy.wav    the alarm: 3 s of a bright four-beep pattern
#   resources/sounds/tolvek.wav  the hourly chime: two bell tones, "ding-dong"
# Both: 16-bit PCM, 44.1 kHz, mono, normalised to -3 dBFS peak, 0.2 s of
# silence at the end. The output depends only on this script and SoX.
#
# Usage: tools/make-sounds.sh [REPO_ROOT]     (normally via tools/make-resources.sh)
# Needs: sox.
set -eu

ROOT=${1:-$(cd "$(dirname "$0")/.." && pwd)}
OUT=$ROOT/resources/sounds
mkdir -p "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Work in 32-bit float, write 16-bit PCM at the end. "-D": no dither, so two
# runs give the same bytes. Every level below is kept under full scale, so SoX
# has no clipping to warn about (-V2 shows its warnings; the script checks).
WORK="-r 44100 -c 1 -e floating-point -b 32"
FINAL="-r 44100 -c 1 -e signed-integer -b 16"
SOX="sox -D -V2"
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# ---------------------------------------------------------------- ohmy.wav --
# One beep: 75 ms of a tone with a softer octave and a touch of the twelfth,
# 4 ms rise and 12 ms fall so it never clicks.
beep() { # $1 output, $2 pitch in Hz
    $SOX -n $WORK "$TMP/p1.wav" synth 0.075 sine "$2" vol 0.50
    $SOX -n $WORK "$TMP/p2.wav" synth 0.075 sine "$(calc "$2 * 2")" vol 0.11
    $SOX -n $WORK "$TMP/p3.wav" synth 0.075 sine "$(calc "$2 * 3")" vol 0.04
    $SOX -m -v 1 "$TMP/p1.wav" -v 1 "$TMP/p2.wav" -v 1 "$TMP/p3.wav" $WORK "$1" \
        fade q 0.004 -0 0.012
}
beep "$TMP/hi.wav" 1760       # A6
beep "$TMP/lo.wav" 1568       # G6
$SOX -n $WORK "$TMP/gap.wav" trim 0 0.055      # between the beeps of a group
$SOX -n $WORK "$TMP/rest.wav" trim 0 0.31      # between groups

# One group: four beeps, the last one a step lower ("bi-bi-bi-bu"), 0.465 s,
# then a rest: one group every 0.775 s. Four groups make the 3 s alarm.
$SOX "$TMP/hi.wav" "$TMP/gap.wav" "$TMP/hi.wav" "$TMP/gap.wav" "$TMP/hi.wav" "$TMP/gap.wav" \
    "$TMP/lo.wav" $WORK "$TMP/group.wav"
$SOX "$TMP/group.wav" "$TMP/rest.wav" "$TMP/group.wav" "$TMP/rest.wav" "$TMP/group.wav" \
    "$TMP/rest.wav" "$TMP/group.wav" $WORK "$TMP/ohmy-raw.wav"
$SOX "$TMP/ohmy-raw.wav" $FINAL "$OUT/ohmy.wav" gain -n -3 pad 0 0.2

# -------------------------------------------------------------- tolvek.wav --
# A bell: the partials of a struck bell (hum, prime, tierce, quint, nominal
# and two upper ones), each dying away exponentially ("fade l"), the higher
# ones sooner; a 3 ms onset keeps the strike from clicking.
bell() { # $1 output, $2 strike pitch in Hz, $3 length in s
    out=$1 f=$2 len=$3 i=0 parts=""
    #           ratio  level  share of the length it rings
    for tone in "0.5   0.25   1.0" \
                "1.0   0.25   0.9" \
                "1.19  0.11   0.6" \
                "1.5   0.07   0.5" \
                "2.0   0.14   0.45" \
                "2.74  0.055  0.3" \
                "3.76  0.03   0.2"; do
        set -- $tone
        i=$((i + 1))
        dur=$(calc "$len * $3")
        $SOX -n $WORK "$TMP/b$i.wav" synth "$dur" sine "$(calc "$f * $1")" vol "$2" \
            fade q 0.003 fade l 0 -0 "$dur" pad 0 "$(calc "$len - $dur")"
        parts="$parts -v 1 $TMP/b$i.wav"
    done
    $SOX -m $parts $WORK "$out"
}
# "Ding" on E6, then "dong" on C6 0.35 s later, ringing out together.
bell "$TMP/ding.wav" 1318.51 0.9
bell "$TMP/dong.wav" 1046.50 0.95
$SOX "$TMP/dong.wav" $WORK "$TMP/dong-late.wav" pad 0.35 0
$SOX -m -v 1 "$TMP/ding.wav" -v 1 "$TMP/dong-late.wav" $WORK "$TMP/tolvek-raw.wav"
$SOX "$TMP/tolvek-raw.wav" $FINAL "$OUT/tolvek.wav" gain -n -3 pad 0 0.2

for f in "$OUT/ohmy.wav" "$OUT/tolvek.wav"; do
    if sox "$f" -n stat 2>&1 | grep -qi clip; then echo "$f: clipped" >&2; exit 1; fi
    printf '%s: %s s, peak ' "${f#"$ROOT"/}" "$(soxi -D "$f")"
    sox "$f" -n stats 2>&1 | awk '/Pk lev dB/ { printf "%s dBFS\n", $4 }'
done
