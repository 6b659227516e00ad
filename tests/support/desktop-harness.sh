# The private desktop that every test, screenshot script and benchmark needing
# X runs in. Source it, call start_desktop, then start whatever else the
# script needs; everything started is stopped, and the work folder removed,
# when the script exits.
#
#   start_desktop [OPTIONS]        X server on a free display, openbox, a private
#                                  session bus; HOME and the XDG folders in $WORK;
#                                  with --logind PROGRAM, --tray and --sound, what
#                                  start_logind, start_tray_host and start_null_sink start
#   start_x_server                 the X server alone (for scripts that bring
#                                  their own everything else)
#   start_system_bus               a private system bus
#   start_logind PROGRAM           the mock logind on it; calls recorded in $LOGIND_LOG
#   start_session_manager PROGRAM KIND
#                                  a mock session manager on the session bus;
#                                  calls recorded in $MANAGER_LOG
#   start_sni_host PROGRAM         a mock StatusNotifier watcher and host on the
#                                  session bus, keeping its records in $SNI_HOST_DIR;
#                                  $SNI_HOST_PID
#   stop_sni_host                  ends it, as a panel that crashes
#   start_tray_host                an XEmbed tray (trayer); $TRAYER_PID
#   stop_tray_host                 ends it, as a panel that crashes
#   start_null_sink                a sound server whose one sink is a null sink,
#                                  the default; record it from @DEFAULT_MONITOR@
#
# KEEP_WORK=1 keeps the work folder; SHOT_DIR, when set, gets a copy of every
# picture taken with `shot`. The library sets no shell options: each script
# chooses its own.

HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zirvel-desktop.XXXXXX")
PIDS=()
# The class names of the program's windows and of zirvel_show_dialog's.
APP_CLASS='zirvel|zirvel_show_dialog'

source "$HARNESS_DIR/controls.sh"

stop_desktop() {
    local i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill "${PIDS[i]}" 2>/dev/null || true
    done
    for i in "${PIDS[@]}"; do
        wait "$i" 2>/dev/null || true
    done
    if [[ -n ${KEEP_WORK:-} ]]; then
        echo "work folder kept: $WORK"
    else
        rm -rf "$WORK"
    fi
}
trap stop_desktop EXIT
# A signal ends the script through its EXIT trap, so nothing is left running.
trap 'exit 130' INT
trap 'exit 143' TERM HUP

log() { printf '[%s] %s\n' "$(date +%T)" "$*"; }

# fail MESSAGE: says what went wrong, with the last lines of every log in the
# work folder and a picture of the screen, and ends the script.
fail() {
    log "FAIL: $*" >&2
    local f
    for f in "$WORK"/*.log; do
        [[ -s $f ]] || continue
        echo "--- ${f##*/}" >&2
        tail -n 5 "$f" >&2
    done
    [[ -n ${DISPLAY:-} ]] && shot failure
    exit 1
}

# wait_for DESCRIPTION SECONDS COMMAND...: runs COMMAND until it succeeds;
# fails the script after SECONDS.
wait_for() {
    local what=$1 deadline=$((SECONDS + $2))
    shift 2
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep 0.1
    done
}

# next_minute_after SECONDS: waits until the next full minute is at least
# SECONDS away, then prints it (seconds since the epoch). Steps that must end
# before that minute get the whole margin even on a loaded machine.
next_minute_after() {
    while (($(date +%-S) > 60 - $1)); do sleep 0.5; done
    echo $((($(date +%s) / 60 + 1) * 60))
}

# not COMMAND...: succeeds when COMMAND fails (for wait_for).
not() { ! "$@"; }

# Stops PID with the rest when the script ends.
track_pid() { PIDS+=("$1"); }

# shot NAME: a picture of the whole screen, $WORK/NAME.png (and in SHOT_DIR).
shot() {
    import -display "$DISPLAY" -window root "$WORK/$1.png" 2>/dev/null || return 0
    if [[ -n ${SHOT_DIR:-} ]]; then
        cp "$WORK/$1.png" "$SHOT_DIR/$1.png"
    fi
}

# start_process NAME PROGRAM ARGS...: starts a helper in the background with
# its output in $WORK/NAME.log, stopped on exit; waits until it prints "ready".
# Sets STARTED_PID.
start_process() {
    local name=$1
    shift
    "$@" >"$WORK/$name.log" 2>&1 &
    STARTED_PID=$!
    track_pid $STARTED_PID
    wait_for "$name" 15 grep -q '^ready' "$WORK/$name.log"
}

# start_bus NAME VARIABLE: a private message bus on $WORK/NAME-bus, from the
# one bus configuration; exports its address in VARIABLE.
start_bus() {
    local socket=$WORK/$1-bus
    dbus-daemon --config-file="$HARNESS_DIR/bus.conf" --address="unix:path=$socket" \
        --nofork >"$WORK/$1-bus.log" 2>&1 &
    track_pid $!
    wait_for "the $1 bus" 10 test -S "$socket"
    export "$2=unix:path=$socket"
}

start_x_server() {
    # The X server takes the first free display and writes its number.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" \
        >"$WORK/xvfb.log" 2>&1 &
    track_pid $!
    wait_for "the X server" 20 grep -q '^[0-9]' "$WORK/display"
    export DISPLAY=:$(head -n1 "$WORK/display")
    wait_for "the X server to answer" 10 xdpyinfo
}

start_desktop() {
    export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
    export XDG_RUNTIME_DIR=$WORK/run
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER PULSE_SERVER
    export LC_ALL=C.UTF-8 NO_AT_BRIDGE=1

    start_x_server

    # openbox drops map requests that arrive while it starts; --startup runs
    # once it manages the screen.
    openbox --sm-disable --startup "touch $WORK/wm-ready" >"$WORK/openbox.log" 2>&1 &
    track_pid $!
    wait_for "the window manager" 30 test -e "$WORK/wm-ready"

    # Never the session bus of whoever runs the tests: a scheduled shutdown
    # asks the desktop's session manager there. This one has no StatusNotifier
    # watcher unless start_sni_host puts one there.
    start_bus session DBUS_SESSION_BUS_ADDRESS

    while (($# > 0)); do
        case $1 in
        --logind)
            start_logind "$2"
            shift 2
            ;;
        --tray)
            start_tray_host
            shift
            ;;
        --sound)
            start_null_sink
            shift
            ;;
        *) fail "start_desktop: unknown option $1" ;;
        esac
    done
}

start_system_bus() {
    [[ -n ${SYSTEM_BUS_STARTED:-} ]] && return 0
    start_bus system DBUS_SYSTEM_BUS_ADDRESS
    SYSTEM_BUS_STARTED=1
}

start_logind() {
    start_system_bus
    LOGIND_LOG=$WORK/logind-calls
    : >"$LOGIND_LOG"
    start_process mock-logind "$1" "$LOGIND_LOG"
}

start_session_manager() {
    MANAGER_LOG=$WORK/session-manager-calls
    : >"$MANAGER_LOG"
    start_process mock-session-manager "$1" "$DBUS_SESSION_BUS_ADDRESS" "$2" "$MANAGER_LOG"
}

start_sni_host() {
    SNI_HOST_DIR=$WORK/sni-host
    mkdir -p "$SNI_HOST_DIR"
    start_process mock-sni-host "$1" "$DBUS_SESSION_BUS_ADDRESS" watch "$SNI_HOST_DIR"
    SNI_HOST_PID=$STARTED_PID
}

stop_sni_host() {
    kill "$SNI_HOST_PID" 2>/dev/null || true
    wait "$SNI_HOST_PID" 2>/dev/null || true
}

start_tray_host() {
    trayer --edge top --align right --widthtype pixel --width 100 --height 24 \
        --SetDockType true --transparent false >"$WORK/trayer.log" 2>&1 &
    TRAYER_PID=$!
    track_pid $TRAYER_PID
    wait_for "the tray host" 10 xdotool search --classname trayer
}

stop_tray_host() {
    kill "$TRAYER_PID" 2>/dev/null || true
    wait "$TRAYER_PID" 2>/dev/null || true
    wait_for "the tray host to go" 10 not xdotool search --classname trayer
}

start_null_sink() {
    local socket=$XDG_RUNTIME_DIR/pulse-native
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=error \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
        -L "module-null-sink sink_name=zirvel_null rate=44100" >"$WORK/pulseaudio.log" 2>&1 &
    track_pid $!
    export PULSE_SERVER=unix:$socket
    wait_for "the sound server" 15 pactl info
    pactl set-default-sink zirvel_null
}

# The clock ------------------------------------------------------------------

# start_clock PROGRAM [VARIABLE=VALUE...]: starts the clock, with those
# variables set, its output added to $WORK/zirvel.log; sets ZPID, and CLOCK
# once its strip is on the screen.
start_clock() {
    local program=$1
    shift
    env "$@" "$program" >>"$WORK/zirvel.log" 2>&1 &
    ZPID=$!
    track_pid $ZPID
    wait_for "the clock" 30 find_window size=$STRIP_SIZE
    CLOCK=$(find_window size=$STRIP_SIZE)
}

# clock_menu: a right click on the strip's left end cap opens its menu.
clock_menu() {
    click_strip "$STRIP_LEFT_CAP" 3
    wait_for "the clock's menu" 10 menu_open
}

# clock_command PROGRAM ARGUMENTS...: the clock's command line, sent to the
# running clock; sets STATUS and ERR (its error output).
clock_command() {
    STATUS=0
    "$@" >"$WORK/command.out" 2>"$WORK/command-errors.log" || STATUS=$?
    ERR=$(grep -v '^This plugin does not support' "$WORK/command-errors.log" || true)
    log "${*:2} -> $STATUS"
}

# hide_refused PROGRAM: `PROGRAM --hide` is refused as with no tray to hide in
# (for wait_for: the clock hears of a tray host's end from the event loop).
hide_refused() {
    clock_command "$1" --hide
    ((STATUS == 1)) && grep -qxF "zirvel：无法隐藏到任务栏：没有通知区域可放图标" <<<"$ERR"
}

# expect_exit: the clock ends, with status 0.
expect_exit() {
    local status=0
    wait_for "the program to end" 15 not kill -0 "$ZPID"
    wait "$ZPID" || status=$?
    ((status == 0)) || fail "the program ended with status $status"
}

# quit_from_menu: 退出, the last item of the open menu, ends the clock.
quit_from_menu() {
    xdotool key Up Return
    expect_exit
}

# Finding windows -------------------------------------------------------------

is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# window_is ID CONDITION...: the window is mapped and meets every condition:
#   size=WxH  geometry=WxH+X+Y (or its start)  title=TEXT  dialog
#   menu (a pop-up menu: override-redirect, on the root window)
#   tray-icon (override-redirect, inside the tray host)  not=ID
window_is() {
    local id=$1 info condition
    shift
    info=$(xwininfo -id "$id" -stats -children 2>/dev/null) || return 1
    grep -q 'Map State: IsViewable' <<<"$info" || return 1
    for condition in "$@"; do
        case $condition in
        size=*)
            [[ $(awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}' <<<"$info") == "${condition#size=}" ]] ||
                return 1
            ;;
        geometry=*) grep -q -- "-geometry ${condition#geometry=}" <<<"$info" || return 1 ;;
        title=*)
            [[ $(xprop -id "$id" _NET_WM_NAME 2>/dev/null) == "_NET_WM_NAME(UTF8_STRING) = \"${condition#title=}\"" ]] ||
                return 1
            ;;
        dialog) xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG || return 1 ;;
        menu)
            grep -q 'Override Redirect State: yes' <<<"$info" &&
                grep -q 'Parent window id: .*(the root window)' <<<"$info" || return 1
            ;;
        tray-icon)
            grep -q 'Override Redirect State: yes' <<<"$info" &&
                ! grep -q 'Parent window id: .*(the root window)' <<<"$info" || return 1
            ;;
        not=*) [[ $id != "${condition#not=}" ]] || return 1 ;;
        *)
            echo "window_is: unknown condition $condition" >&2
            return 2
            ;;
        esac
    done
}

# find_window CONDITION...: prints the first of the program's mapped windows
# that meets every condition (see window_is); fails when there is none.
# (xdotool's --name does not match Chinese titles reliably, hence the loop.)
find_window() {
    local id
    for id in $(xdotool search --classname "^($APP_CLASS)\$" 2>/dev/null); do
        if window_is "$id" "$@"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

menu_open() { find_window menu; }
menu_closed() { not find_window menu; }
tray_icon() { find_window tray-icon; }

# The top-left corner of a window in root coordinates: "X Y".
corner_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}'
}
# The centre of a window in root coordinates: "X Y".
centre_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {print x + int(w / 2), y + int(h / 2)}'
}

# settled ID: the window looks the same twice, a fifth of a second apart:
# painted, and nothing moving in.
settled() {
    local before
    before=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
    sleep 0.2
    [[ $(import -window "$1" rgb:- 2>/dev/null | md5sum) == "$before" ]]
}

# show_window PROGRAM WINDOW [ARGUMENTS...]: opens one window with
# zirvel_show_dialog (PROGRAM), which prints the window's id once it is
# shown; sets SHOWN to that id and SHOWN_PID. close_window ends it.
show_window() {
    local program=$1 name=$2
    shift 2
    "$program" "$name" "$@" >"$WORK/$name.out" 2>"$WORK/$name.log" &
    SHOWN_PID=$!
    track_pid $SHOWN_PID
    wait_for "$name to open" 20 grep -q '^window ' "$WORK/$name.out"
    SHOWN=$(sed -n 's/^window //p' "$WORK/$name.out")
    wait_for "$name on the screen" 20 is_viewable "$SHOWN"
}
close_window() {
    kill "$SHOWN_PID" 2>/dev/null || true
    wait "$SHOWN_PID" 2>/dev/null || true
}

# Input -------------------------------------------------------------------------

# click_in WINDOW "X Y" [CLICK ARGUMENTS...]: moves the pointer to a control
# (a position from controls.sh, relative to the window's top-left corner) and
# clicks it; by default once with the left button.
click_in() {
    local x y dx dy
    read -r x y < <(corner_of "$1")
    read -r dx dy <<<"$2"
    shift 2
    (($# > 0)) || set -- 1
    xdotool mousemove $((x + dx)) $((y + dy)) click "$@"
}

# click_strip CONTROL [CLICK ARGUMENTS...]: click_in on the clock strip.
click_strip() {
    local strip
    strip=$(find_window size=$STRIP_SIZE) || fail "no clock strip on the screen"
    click_in "$strip" "$@"
}

# click_icon BUTTON: a click on the program's icon in the tray host, at a
# person's pace: two presses within the double-click time would make the
# second one a double-click.
LAST_ICON_CLICK=0
click_icon() {
    local icon x y now wait_ns
    icon=$(tray_icon) || fail "no icon in the tray"
    read -r x y < <(centre_of "$icon")
    now=$(date +%s%N)
    wait_ns=$((LAST_ICON_CLICK + 600000000 - now))
    ((wait_ns <= 0)) || sleep "0.$(printf '%09d' "$wait_ns")"
    xdotool mousemove "$x" "$y" click "$1"
    LAST_ICON_CLICK=$(date +%s%N)
}

# press_and_move WINDOW "X Y" BUTTON "DX DY": presses BUTTON on a control and
# moves the pointer by DX,DY in five steps, at a person's pace; the button
# stays down.
press_and_move() {
    local x y dx dy mx my step
    read -r x y < <(corner_of "$1")
    read -r dx dy <<<"$2"
    read -r mx my <<<"$4"
    x=$((x + dx)) y=$((y + dy))
    xdotool mousemove "$x" "$y" sleep 0.1 mousedown "$3" sleep 0.1
    for ((step = 1; step <= 5; step++)); do
        xdotool mousemove $((x + mx * step / 5)) $((y + my * step / 5))
        sleep 0.05
    done
}

# drag_in WINDOW "X Y" BUTTON "DX DY": presses, moves, lets go.
drag_in() {
    press_and_move "$@"
    xdotool mouseup "$3"
}

# drag_window WINDOW "X Y" "DX DY": drags a window by a control with the left
# button. The window manager moves the window once it has the program's move
# request, and follows only the pointer motion after that; on a busy machine
# the request comes after the last step. So the pointer goes on moving, a
# pixel aside and back, until the window has reached DX,DY from where it was
# (for at most 10 s: then the caller sees where it is), and only then lets go.
drag_window() {
    local x y px py mx my deadline=$((SECONDS + 10))
    read -r x y < <(corner_of "$1")
    read -r mx my <<<"$3"
    press_and_move "$1" "$2" 1 "$3"
    read -r px py < <(xdotool getmouselocation | sed 's/x:\([0-9-]*\) y:\([0-9-]*\).*/\1 \2/')
    until [[ $(corner_of "$1") == "$((x + mx)) $((y + my))" ]] || ((SECONDS >= deadline)); do
        xdotool mousemove $((px + 1)) "$py" mousemove "$px" "$py"
        sleep 0.1
    done
    xdotool mouseup 1
}

# Chooses an item of the open menu with the keyboard: DOWN presses of the
# arrow key (disabled items are skipped, as for a user), then Return.
choose() {
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
    wait_for "the menu to close" 10 menu_closed
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
