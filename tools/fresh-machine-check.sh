#!/bin/bash
# Installs a built package into a minimal, freshly made Debian 12 root and
# checks that it works there: zirvel-lunar prints a date, and zirvel starts and
# maps its strip under Xvfb. Run by hand as root (not part of CI):
#   tools/fresh-machine-check.sh build/dev/zirvel_*.deb
# The Debian mirror is the first one this machine's apt uses.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot need it)"; exit 1; }
deb=$(realpath "$1")
mirror=$( (grep -rhE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null || true) |
    grep -v -- '-security' | grep -i debian | head -n1 | sed -E 's/^URIs: *//; s/^deb +(\[[^]]*\] +)?//; s/ .*//')
[ -n "$mirror" ] || { echo "no Debian mirror found in the apt sources"; exit 1; }

root=$(mktemp -d /var/tmp/zirvel-fresh.XXXXXX)
cleanup() {
    chroot "$root" pkill -x Xvfb 2>/dev/null || true
    for m in dev/pts dev proc; do umount -l "$root/$m" 2>/dev/null || true; done
    rm -rf "$root"
}
trap cleanup EXIT

echo "== debootstrap bookworm (minbase) from $mirror"
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
    { tail -20 "$root.log"; exit 1; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$(basename "$deb") >/tmp/install.log 2>&1" ||
    { tail -20 "$root/tmp/install.log"; exit 1; }
in_root dpkg -s zirvel | grep -E '^(Status|Version|Depends):'

echo "== zirvel-lunar 2026-12-09"
in_root zirvel-lunar 2026-12-09

echo "== zirvel under Xvfb"
in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb x11-utils >/dev/null 2>&1"
in_root sh -c '
    mkdir -m 700 -p /tmp/runtime
    Xvfb :7 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    sleep 2
    DISPLAY=:7 XDG_RUNTIME_DIR=/tmp/runtime zirvel >/tmp/zirvel.log 2>&1 &
    pid=$!
    for i in $(seq 50); do
        if DISPLAY=:7 xwininfo -root -tree | grep -q "86x19+638+24"; then
            echo "strip mapped: $(DISPLAY=:7 xwininfo -root -tree | grep "86x19+638+24" | sed "s/^ *//")"
            kill -TERM $pid; wait $pid; echo "zirvel exited with $? after SIGTERM"
            exit 0
        fi
        sleep 0.2
    done
    echo "the strip did not appear"; cat /tmp/zirvel.log; exit 1'
echo "fresh-machine check passed"
