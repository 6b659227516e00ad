# shellcheck shell=bash disable=SC2034
# Debian 12 and 13 packages, sourced by the set-up scripts.
# To build and run the clock:
RUN_PACKAGES="cmake g++ ninja-build pkgconf qt6-base-dev libcanberra-dev libcanberra-pulse libxcb1-dev
  libdbus-1-dev fonts-wqy-microhei"
# Additionally, to run every test (private X server, window manager, tray host,
# sound server and D-Bus), to run the idle benchmark (it measures xclock beside
# the clock), to fuzz (clang with libFuzzer and the sanitizer runtimes) and to
# check the formatting:
TEST_PACKAGES="xvfb xauth openbox trayer xdotool x11-utils x11-apps imagemagick pulseaudio pulseaudio-utils
  sox dbus-daemon dbus-bin desktop-file-utils clang-format util-linux setpriv libglib2.0-bin git
  clang libclang-rt-dev"
# Additionally, to make the Debian package (cpack reads the binaries' library
# dependencies with dpkg-shlibdeps and needs file to find the binaries):
PACKAGING_PACKAGES="dpkg-dev file"

# Commands that some releases ship as a package of their own and others as part
# of another package, as COMMAND:OTHER-PACKAGE: setpriv (the tests run a child
# as another user with it) comes with util-linux in Debian 12, and may be split
# out of it in later releases.
MOVED_PACKAGES="setpriv:util-linux"

# The package that held COMMAND before it became a package of its own; fails
# for a package that never moved.
older_package() {
    local entry
    for entry in $MOVED_PACKAGES; do
        [ "${entry%%:*}" = "$1" ] && { echo "${entry#*:}"; return 0; }
    done
    return 1
}

# The name to ask apt for: the package itself where apt knows it, else the
# package its command came with.
package_here() {
    if ! apt-cache show "$1" >/dev/null 2>&1 && older_package "$1" >/dev/null; then
        older_package "$1"
    else
        echo "$1"
    fi
}

# True when every given package is installed; a moved one also counts when its
# command is there (it came with the older package).
packages_installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" && continue
        older_package "$p" >/dev/null && command -v "$p" >/dev/null && continue
        return 1
    done
}

# Installs the given packages with apt-get, through sudo unless we are root.
install_packages() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    packages_installed "$@" && return 0 # all there already
    $sudo apt-get update -qq
    local p names=()
    for p in "$@"; do
        names+=("$(package_here "$p")")
    done
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${names[@]}"
}
