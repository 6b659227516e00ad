# A private desktop for one test: an X server on a free display, openbox,
# a tray host (trayer), a system bus with a mock logind and a PulseAudio
# null sink. Source it, then call start_desktop; everything it starts is
# stopped by the EXIT trap. HOME and the XDG folders point into $WORK so the
# user's settings are never touched. MOCK_LOGIND names the mock's program.

set -euo pipefail

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zirvel-e2e.XXXXXX")
PIDS=()
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

stop_desktop() {
    local pid
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        pid=${PIDS[i]}
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n ${PULSE_STARTED:-} ]]; then
        pulseaudio --kill 2>/dev/null || true
    fi
    if [[ -n ${KEEP_WORK:-} ]]; then
        echo "work folder kept: $WORK"
    else
        rm -rf "$WORK"
    fi
}
trap stop_desktop EXIT

log() { printf '[%s] %s\n' "$(date +%T)" "$*"; }
fail() {
    [[ -n ${KEEP_WORK:-} ]] && tail -n 5 "$WORK"/*.log >&2
    log "FAIL: $*"
    shot "failure" || true
    exit 1
}

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_for() {
    local what=$1 secs=$2
    shift 2
    local deadline=$((SECONDS + secs))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep 0.1
    done
}

shot() {
    import -display "$DISPLAY" -window root "$WORK/$1.png" 2>/dev/null
    if [[ -n ${SHOT_DIR:-} ]]; then
        cp "$WORK/$1.png" "$SHOT_DIR/$1.png"
    fi
}

start_desktop() {
    export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
    export LC_ALL=C.UTF-8 NO_AT_BRIDGE=1

    # X server on the first free display it finds.
    exec 5> >(cat >"$WORK/display")
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    PIDS+=($!)
    exec 5>&-
    wait_for "the X server" 10 test -s "$WORK/display"
    export DISPLAY=:$(head -n1 "$WORK/display")
    wait_for "the X server to answer" 10 xdpyinfo

    # openbox drops map requests that arrive while it starts; --startup runs
    # once it is ready.
    openbox --sm-disable --startup "touch $WORK/wm-ready" >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    wait_for "the window manager" 30 test -e "$WORK/wm-ready"

    # Session bus for Qt's own use (no StatusNotifier host on it, so the icon
    # goes to trayer over XEmbed) and a private system bus with the mock logind.
    for bus in session system; do
        cat >"$WORK/$bus-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$WORK/$bus-bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
        dbus-daemon --config-file="$WORK/$bus-bus.conf" --nofork >"$WORK/$bus-bus.log" 2>&1 &
        PIDS+=($!)
        wait_for "the $bus bus" 10 test -S "$WORK/$bus-bus"
    done
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/session-bus
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$WORK/system-bus

    LOGIND_LOG=$WORK/logind.log
    : >"$LOGIND_LOG"
    "$MOCK_LOGIND" "$LOGIND_LOG" >"$WORK/mocklogind.out" 2>&1 &
    PIDS+=($!)
    wait_for "the mock logind" 10 grep -q '^ready' "$WORK/mocklogind.out"

    trayer --edge top --align right --widthtype pixel --width 100 --height 24 \
        --SetDockType true --transparent false >"$WORK/trayer.log" 2>&1 &
    TRAYER_PID=$!
    PIDS+=($TRAYER_PID)
    wait_for "the tray host" 10 xdotool search --classname trayer

    # Sound goes to a null sink whose monitor the test can record.
    pulseaudio --daemonize=no --exit-idle-time=-1 -n \
        --load="module-native-protocol-unix" \
        --load="module-null-sink sink_name=test_null" >"$WORK/pulse.log" 2>&1 &
    PIDS+=($!)
    PULSE_STARTED=1
    wait_for "the sound server" 15 pactl info
    pactl set-default-sink test_null
}

# The program's top-level windows of a given size ("86x19"), mapped or not.
windows_sized() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        if xwininfo -id "$id" 2>/dev/null | grep -q -- "-geometry $1+"; then
            echo "$id"
        fi
    done
}
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
# The first mapped window of the program with that title (xdotool's --name
# does not match Chinese titles reliably).
window_titled() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        is_viewable "$id" || continue
        if [[ $(xprop -id "$id" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# The first mapped window of the program of that size.
shown_window() {
    local id
    for id in $(windows_sized "$1"); do
        if is_viewable "$id"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# The program's icon: its window embedded in the tray host.
tray_icon() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        if is_viewable "$id" &&
            xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            ! xwininfo -id "$id" -children 2>/dev/null | grep -q 'Parent window id: .*(the root window)'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# The centre of a window in root coordinates: "X Y".
centre_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x + int(w / 2), y + int(h / 2)}'
}

# A pop-up menu of the program is open.
menu_open() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        # Menus are the program's override-redirect windows straight on the
        # root window (the icon is one too, but inside the tray host).
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            is_viewable "$id" &&
            xwininfo -id "$id" -children 2>/dev/null | grep -q 'Parent window id: .*(the root window)'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
menu_closed() { ! menu_open; }

# Chooses an item of the open menu with the keyboard: DOWN presses of the
# arrow key (disabled items are skipped, as for a user), then Return.
choose() {
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
    wait_for "the menu to close" 10 menu_closed
}

# Clicks at a point given relative to a window's top-left corner.
click_in() {
    local x y
    read -r x y < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
    xdotool mousemove $((x + $2)) $((y + $3)) click "${4:-1}"
}

# A mapped window of the program at a given position and size ("484x316+195+165"),
# or of a size only ("339x221").
window_at() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        if is_viewable "$id" && xwininfo -id "$id" 2>/dev/null | grep -q -- "-geometry $1"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# A message box of the program on the screen: a mapped dialog window.
message_box() {
    local id
    for id in $(xdotool search --classname '^zirvel$' 2>/dev/null); do
        if is_viewable "$id" && xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# Types text the way a person with an input method would see it arrive: every
# character as a key press. Characters the keyboard lacks are first bound to
# spare keycodes for good (xdotool's own remap-per-character is undone so fast
# that a busy program reads the old keymap and drops the character).
type_text() {
    local text=$1 km=$WORK/keymap.xkb extra="" ch sym code i
    xkbcomp -xkb "$DISPLAY" "$km" 2>/dev/null
    local free
    free=$(awk '/^ *<I[0-9]+> = [0-9]+;/ {gsub(/[<>]/, "", $1); named[$1] = 1}
        /^ *key <I[0-9]+>/ {k = $2; gsub(/[<>]/, "", k); used[k] = 1}
        END {for (n in named) if (!(n in used)) print n}' "$km" | sort -V)
    local -a spare=($free)
    local n=0
    declare -A seen=()
    for ((i = 0; i < ${#text}; i++)); do
        ch=${text:i:1}
        [[ $ch == [[:print:]] && $(printf '%d' "'$ch") -lt 128 ]] && continue
        [[ -n ${seen[$ch]:-} ]] && continue
        seen[$ch]=1
        sym=$(printf 'U%04X' "'$ch")
        code=${spare[n]}
        n=$((n + 1))
        extra+="    key <$code> { [ $sym ] };"$'\n'
    done
    if [[ -n $extra ]]; then
        # Insert the new keys at the end of the xkb_symbols section.
        awk -v extra="$extra" '/^xkb_symbols/ {insym = 1}
            insym && /^};/ {printf "%s", extra; insym = 0} {print}' "$km" >"$km.new"
        xkbcomp "$km.new" "$DISPLAY" 2>/dev/null
        sleep 0.5 # the program reloads its keymap once
    fi
    for ((i = 0; i < ${#text}; i++)); do
        ch=${text:i:1}
        if [[ $(printf '%d' "'$ch") -lt 128 ]]; then
            xdotool type "$ch"
        else
            xdotool key "$(printf 'U%04X' "'$ch")"
        fi
    done
}
