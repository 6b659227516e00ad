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
  sox dbus-daemon dbus-bin desktop-file-utils clang-format util-linux libglib2.0-bin git
  clang libclang-rt-dev"
# Additionally, to make the Debian package (cpack reads the binaries' library
# dependencies with dpkg-shlibdeps and needs file to find the binaries):
PACKAGING_PACKAGES="dpkg-dev file"

# Installs the given packages with apt-get, through sudo unless we are root.
install_packages() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    local installed
    installed=$(dpkg-query -W -f='${Status}\n' "$@" 2>/dev/null | grep -c "install ok installed" || true)
    [ "$installed" -eq "$#" ] && return 0 # all there already
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}
