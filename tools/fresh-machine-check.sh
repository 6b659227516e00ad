#!/bin/bash
# Tries the README's commands the way a new user meets them, on a newly made
# minimal Debian system (debootstrap --variant=minbase, from the Debian mirror
# this machine's apt uses):
#   - a clean clone of the committed tree goes into the new root;
#   - the run command, ./tools/build-and-run.sh: it builds, and the strip must
#     appear on an X server (Xvfb) and end cleanly on SIGTERM;
#   - the test command, ./tools/build-and-test.sh;
#   - the Install section: ./tools/build-package.sh makes the .deb, which is
#     installed with apt-get into a second, untouched minimal root and started
#     there.
# Each step prints one summary line. It takes a long time and needs root: run it
# by hand before a release (not part of CI).
#
#   tools/fresh-machine-check.sh [--dir DIR] [--keep] SUITE
#
# SUITE is bookworm (Debian 12) or trixie (Debian 13). The roots are made in a
# new folder under DIR (default /var/tmp), removed at the end unless --keep;
# the step logs stay there.
set -euo pipefail

usage() {
    echo "usage: $0 [--dir DIR] [--keep] bookworm|trixie" >&2
    exit 2
}

args=("$@") suite="" dir=/var/tmp keep=0
while [ $# -gt 0 ]; do
    case $1 in
    --dir) [ $# -ge 2 ] || usage; dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    bookworm | trixie) [ -z "$suite" ] || usage; suite=$1; shift ;;
    *) usage ;;
    esac
done
[ -n "$suite" ] || usage
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap, mount and chroot need it)" >&2; exit 1; }

# Every mount below is made in a private mount namespace, so none of them can
# reach the host's own mounts and all of them go away with the check.
if [ -z "${ZIRVEL_FRESH_CHECK_NS:-}" ]; then
    exec env ZIRVEL_FRESH_CHECK_NS=1 unshare --mount --propagation private "$0" "${args[@]}"
fi

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
# The X server for the clock comes from the test desktop's harness.
source "$repo/tests/support/desktop-harness.sh"
commit=$(git -C "$repo" rev-parse HEAD)
mirror=$( (grep -rhE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null || true) |
    grep -v -- '-security' | grep -i debian | head -n1 | sed -E 's/^URIs: *//; s/^deb +(\[[^]]*\] +)?//; s/ .*//')
[ -n "$mirror" ] || { echo "no Debian mirror found in the apt sources" >&2; exit 1; }

# What the check itself needs on this machine.
need=()
command -v debootstrap >/dev/null || need+=(debootstrap)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xwininfo >/dev/null || need+=(x11-utils)
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

mkdir -p "$dir"
work=$(mktemp -d "$(realpath "$dir")/zirvel-fresh-$suite.XXXXXX")
build_root=$work/build-root   # the clone, the two commands and the package build
package_root=$work/package-root # only the package is installed here

# Processes still running inside one of our roots (left by a failed step).
processes_in() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$1" ] && echo "${p#/proc/}"
    done
    return 0
}

unmount_root() {
    local m
    for m in dev/shm dev/pts dev sys proc; do
        mountpoint -q "$1/$m" 2>/dev/null && umount -l "$1/$m"
    done
    return 0
}

cleanup() {
    local root pids
    for root in "$build_root" "$package_root"; do
        [ -d "$root" ] || continue
        pids=$(processes_in "$root")
        # shellcheck disable=SC2086
        [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
        unmount_root "$root"
        [ "$keep" -eq 1 ] || rm -rf --one-file-system "$root"
    done
    stop_desktop
    if [ "$keep" -eq 1 ]; then
        echo "roots and logs kept in $work"
    else
        echo "logs in $work"
    fi
}
trap cleanup EXIT

mount_root() {
    mount -t proc proc "$1/proc"
    mount -t sysfs sysfs "$1/sys"
    mount --bind /dev "$1/dev"
    mount --bind /dev/pts "$1/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$1/dev/shm"
}

# A clean environment with a UTF-8 locale, as root has after logging in.
root_env=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    HOME=/root USER=root LOGNAME=root SHELL=/bin/bash LANG=C.UTF-8)
# in_root ROOT [VAR=value...] COMMAND...: runs COMMAND in ROOT.
in_root() {
    local root=$1
    shift
    chroot "$root" "${root_env[@]}" "$@"
}

steps=() detail=""
# step NAME FUNCTION: runs FUNCTION with its output in a log, then prints one
# line: PASS or FAIL, the time it took, the name and what FUNCTION put in
# $detail. A failed step shows the end of its log and ends the check.
step() {
    local name=$1 fn=$2 log start line
    log=$work/$(echo "$name" | tr -c 'a-zA-Z0-9\n' '-').log
    start=$SECONDS
    detail=""
    if "$fn" >"$log" 2>&1; then
        line=$(printf 'PASS %5ss  %s: %s' $((SECONDS - start)) "$name" "$detail")
        steps+=("$line")
        echo "$line"
    else
        printf 'FAIL %5ss  %s: %s (log: %s)\n' $((SECONDS - start)) "$name" "$detail" "$log"
        echo "---- last lines of $log"
        tail -n 40 "$log"
        exit 1
    fi
}

# Waits until a window of the strip's size is on the X server and returns its
# line from the window tree; fails when process $1 ends first or after $2 s.
wait_for_strip() {
    local pid=$1 limit=$2 start=$SECONDS line
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        line=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -m1 ' 86x19+' || true)
        if [ -n "$line" ]; then
            echo "$line" | grep -oE '[0-9]+x[0-9]+[+-][0-9]+[+-][0-9]+' | head -n1
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || { echo "the program ended before its strip appeared"; return 1; }
        sleep 1
    done
    echo "no strip after $limit s"
    return 1
}

# Sends SIGTERM to process $1, a started clock, and checks it ends with 0.
stop_clock() {
    local status=0
    [ "$(basename "$(readlink "/proc/$1/exe")")" = zirvel ] || { echo "process $1 is not the clock"; return 1; }
    kill -TERM "$1"
    wait "$1" || status=$?
    echo "exit status after SIGTERM: $status"
    [ "$status" -eq 0 ]
}

make_roots() {
    debootstrap --variant=minbase "$suite" "$build_root" "$mirror"
    cp -a "$build_root" "$package_root"
    mount_root "$build_root"
    mount_root "$package_root"
    mkdir -m 700 "$build_root/tmp/runtime" "$package_root/tmp/runtime"
    detail="two minimal roots of Debian $(cat "$build_root/etc/debian_version") from $mirror"
}

clone() {
    git clone --quiet "$repo" "$build_root/root/zirvel"
    git -C "$build_root/root/zirvel" checkout --quiet --detach "$commit"
    detail="commit ${commit:0:12} in /root/zirvel"
    if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
        detail+=" (uncommitted changes in $repo are not part of the check)"
    fi
}


run_command() {
    local pid strip
    # The clock in the root reaches this machine's Xvfb through its abstract
    # socket. Started as a plain command (no function, no subshell), so $! is
    # the clock once the script has built it and exec'd it.
    chroot "$build_root" "${root_env[@]}" DISPLAY="$display" XDG_RUNTIME_DIR=/tmp/runtime \
        bash -c 'cd /root/zirvel && exec ./tools/build-and-run.sh' &
    pid=$!
    strip=$(wait_for_strip "$pid" 7200) || { echo "$strip"; return 1; }
    echo "strip: $strip"
    stop_clock "$pid"
    detail="built; the strip mapped at $strip and ended with 0 on SIGTERM"
}

test_command() {
    local status=0 summary formatter
    in_root "$build_root" bash -c 'cd /root/zirvel && ./tools/build-and-test.sh' || status=$?
    summary=$(grep -E '^[0-9]+% tests passed' "$work/test-command.log" | paste -sd';' | sed 's/;/; /g')
    formatter=$(in_root "$build_root" clang-format --version 2>/dev/null | grep -oE 'version [0-9.]+' || true)
    detail="ctest dev then asan: ${summary:-no summary}; formatting checked with clang-format ${formatter#version }"
    [ "$status" -eq 0 ] && grep -q '^formatting ok' "$work/test-command.log"
}

build_package() {
    in_root "$build_root" bash -c 'cd /root/zirvel && ./tools/build-package.sh'
    local debs=("$build_root"/root/zirvel/build/dev/zirvel_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        echo "expected one package, found: ${debs[*]}"
        return 1
    fi
    deb=${debs[0]}
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    detail="$(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
    # The libraries come from dpkg-shlibdeps; the fonts alone would mean they were lost.
    echo "$depends" | grep -q 'libqt6widgets6' || { detail+="; no Qt in Depends"; return 1; }
}

install_package() {
    cp "$deb" "$package_root/tmp/"
    in_root "$package_root" apt-get update
    in_root "$package_root" DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$deb")"
    in_root "$package_root" dpkg -s zirvel
    local depends
    # shellcheck disable=SC2016
    depends=$(in_root "$package_root" dpkg-query -W -f='${Depends}' zirvel | sed -E 's/ \([^)]*\)//g')
    detail="apt-get install ./$(basename "$deb") into the untouched root: Depends: $depends"
}

start_package() {
    local lunar pid strip
    lunar=$(in_root "$package_root" zirvel-lunar 2026-12-09)
    echo "zirvel-lunar 2026-12-09: $lunar"
    [ "$lunar" = "星期三 公历：2026年12月09日 农历：丙午年(马)十一月初一" ] || { detail="zirvel-lunar printed '$lunar'"; return 1; }
    chroot "$package_root" "${root_env[@]}" DISPLAY="$display" XDG_RUNTIME_DIR=/tmp/runtime zirvel &
    pid=$!
    strip=$(wait_for_strip "$pid" 60) || { echo "$strip"; return 1; }
    echo "strip: $strip"
    stop_clock "$pid"
    detail="zirvel-lunar prints the date; /usr/bin/zirvel maps its strip at $strip and ends with 0 on SIGTERM"
}

echo "fresh-machine check: $suite, commit ${commit:0:12}, in $work"
step "make roots" make_roots
step "clean clone" clone
start_x_server
display=$DISPLAY
step "run command" run_command
step "test command" test_command
step "build package" build_package
step "install package" install_package
step "start package" start_package
echo "fresh-machine check of $suite passed, all ${#steps[@]} steps"
