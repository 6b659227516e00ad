#!/bin/sh
# Regenerate every picture and sound of Zirvel, the resource list and the
# contact sheet, from the scripts beside this one. The outputs are committed;
# run this after changing a script and commit what changed.
#
#   resources/clockface.png, skin-*.png (+ @2x), icons/zirvel-*.png, zirvel.svg,
#   dialog-icon.svg/.png (+ @2x), logo.svg/.png (+ @2x), resources.qrc
#   resources/sounds/ohmy.wav, tolvek.wav
#   docs/artwork.png
#
# Dev-time tools (Debian 12), not build dependencies:
#   apt-get install -y --no-install-recommends python3-pil librsvg2-bin sox \
#       fonts-dejavu-core fonts-wqy-microhei
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)

for tool in /usr/bin/python3 rsvg-convert sox soxi awk; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-resources: $tool is missing (see the header of $0)" >&2; exit 1; }
done
# Debian's python3 with python3-pil, whatever python3 comes first on PATH.
/usr/bin/python3 -c 'import PIL' 2>/dev/null || { echo "make-resources: python3-pil is missing" >&2; exit 1; }

/usr/bin/python3 "$ROOT/tools/make-art.py" "$ROOT"
sh "$ROOT/tools/make-sounds.sh" "$ROOT"
/usr/bin/python3 "$ROOT/tools/make-contact-sheet.py" "$ROOT"
