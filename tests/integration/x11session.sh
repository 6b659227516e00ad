# Sourced by the integration tests: a private X server with a window manager,
# private XDG folders, and clean-up of everything on exit.
#   start_x11_session      sets DISPLAY, HOME, XDG_* and starts Xvfb + openbox
#   wait_for CMD...         retries CMD for up to 30 s (a loaded machine starts slowly)
set -u

_session_pids=()
_session_tmp=$(mktemp -d)
cleanup_session() {
    for pid in "${_session_pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$_session_tmp"
}
trap cleanup_session EXIT

start_x11_session() {
    local fd_file="$_session_tmp/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    _session_pids+=($!)
    wait_for test -s "$fd_file" || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$(head -n1 "$fd_file")"
    export HOME="$_session_tmp/home" XDG_CONFIG_HOME="$_session_tmp/config"
    export XDG_RUNTIME_DIR="$_session_tmp/runtime" XDG_DATA_HOME="$_session_tmp/data"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    # Never the session bus of whoever runs the tests: a scheduled shutdown
    # asks the desktop's session manager there. With the variable unset and
    # XDG_RUNTIME_DIR private, the program finds no session bus at all.
    unset DBUS_SESSION_BUS_ADDRESS
    # openbox drops map requests that arrive while it starts up; --startup
    # runs once it is ready.
    openbox --startup "touch $_session_tmp/wm-ready" >/dev/null 2>&1 &
    _session_pids+=($!)
    wait_for test -e "$_session_tmp/wm-ready" || { echo "openbox did not start"; exit 1; }
}

# Remember a background process so it is killed on exit.
track_pid() { _session_pids+=("$1"); }

wait_for() {
    for _ in $(seq 300); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

fail() { echo "FAIL: $*"; exit 1; }

# A private PulseAudio server with one null sink, the default for everything
# started after this; PULSE_SERVER points at it.
start_null_sink() {
    local socket="$XDG_RUNTIME_DIR/pulse-native"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=error \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
        -L "module-null-sink sink_name=zirvel_test rate=44100" \
        >/dev/null 2>&1 &
    _session_pids+=($!)
    export PULSE_SERVER="unix:$socket"
    wait_for pactl info || { echo "PulseAudio did not start"; exit 1; }
    pactl set-default-sink zirvel_test
}
