#!/usr/bin/env bash
# A Wine session for running ZEVARIDA.EXE: an X display (our own Xvfb when
# there is none), a 32-bit Wine prefix (or a 64-bit one, WS_WINEARCH), and a
# virtual desktop with taskbar and notification area that every program of the
# prefix joins.
#
# Used two ways:
#
#   source scripts/wine-session.sh      # then call the ws_* functions below
#
#   scripts/wine-session.sh up   DIR [--xvfb] [--fresh] [--keeper WINEPATH ARGS...]
#   scripts/wine-session.sh down DIR [--remove-prefix]
#   scripts/wine-session.sh env  DIR      # prints the session's variables
#
# DIR holds everything of one session: session.env (the variables to run more
# programs in it), prefix/ (the Wine prefix, unless WINEPREFIX is set), and the
# logs xvfb.log, wineboot.log and desktop.log. desktop.log is the output of the
# desktop process (explorer), started with WINEDEBUG=+systray so that it lists
# the notification icons that programs add and remove.
#
# `up` starts the desktop itself, running the keeper program given with
# --keeper (a Windows path and its arguments): Wine closes a virtual desktop a
# moment after its last program ends, and a keeper that stays (probe.exe hold)
# keeps the same desktop, taskbar and log for a whole test run. --xvfb starts an
# Xvfb even when DISPLAY is set; --fresh throws an existing prefix away first.
#
# Settings (environment): WS_DESKTOP_SIZE (800x600), WS_SCREEN (800x600x24,
# the Xvfb screen), WS_TIMEOUT (seconds to wait for each step, 60), WS_WINEARCH
# (win32, or win64 for a prefix of 64-bit Windows, where 32-bit programs run
# as on WOW64: C:\Program Files (x86), syswow64; made only where a case needs it).

WS_DESKTOP_NAME=shell
: "${WS_DESKTOP_SIZE:=800x600}"
: "${WS_SCREEN:=800x600x24}"
: "${WS_TIMEOUT:=60}"

ws_log() { echo "wine-session: $*" >&2; }

# Converts a Unix path to the Windows path Wine sees it under (drive Z: is /).
ws_winpath() {
    local p
    p=$(realpath -m -- "$1")
    echo "Z:${p//\//\\}"
}

# Starts Xvfb on a free display and sets DISPLAY and WS_XVFB_PID.
# ws_xvfb_start LOGFILE
ws_xvfb_start() {
    local log=$1 fifo_dir number="" i
    command -v Xvfb >/dev/null || { ws_log "Xvfb is missing (scripts/deps.sh installs it)"; return 1; }
    fifo_dir=$(mktemp -d)
    mkfifo "$fifo_dir/display"
    # Xvfb picks a free display itself and writes its number to fd 3.
    setsid Xvfb -displayfd 3 -screen 0 "$WS_SCREEN" -nolisten tcp -noreset \
        3>"$fifo_dir/display" </dev/null >"$log" 2>&1 &
    WS_XVFB_PID=$!
    read -r -t "$WS_TIMEOUT" number <"$fifo_dir/display" || true
    rm -rf "$fifo_dir"
    if [ -z "$number" ]; then
        ws_log "Xvfb did not start; see $log"
        kill "$WS_XVFB_PID" 2>/dev/null
        return 1
    fi
    export DISPLAY=":$number"
    # The display accepts connections once it has printed its number; wait
    # for the first client to get through all the same.
    for ((i = 0; i < WS_TIMEOUT * 10; i++)); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    ws_log "display $DISPLAY does not answer"
    return 1
}

ws_xvfb_stop() {
    local pid=${1:-$WS_XVFB_PID} i
    [ -n "$pid" ] || return 0
    # Only an Xvfb: after a reboot the number may belong to another program.
    grep -qa Xvfb "/proc/$pid/cmdline" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    return 0
}

# Makes sure WINEPREFIX holds a prefix of WS_WINEARCH with the shell desktop set up.
# ws_prefix_ensure LOGFILE
ws_prefix_ensure() {
    local log=$1
    export WINEARCH=${WS_WINEARCH:-win32}
    : "${WINEDEBUG:=-all}"
    export WINEDEBUG
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        ws_log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        # No network here: leave out the .NET and HTML engines, whose
        # installers would otherwise ask for downloads.
        WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >"$log" 2>&1 ||
            { ws_log "wineboot failed; see $log"; return 1; }
    fi
    wineserver -w
    ws_desktop_configure
}

# Every program of the prefix joins the desktop named "shell", a virtual
# desktop of WS_DESKTOP_SIZE with taskbar and notification area.
ws_desktop_configure() {
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$WS_DESKTOP_NAME" /f </dev/null >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$WS_DESKTOP_NAME" /d "$WS_DESKTOP_SIZE" /f \
            </dev/null >/dev/null 2>&1 ||
        { ws_log "could not write the desktop settings"; return 1; }
}

# Sets the Windows version Wine reports to one program (win98, nt40, win2k,
# winxp, ...); no version removes the setting.
# ws_set_windows_version EXE_NAME [VERSION]
ws_set_windows_version() {
    local key="HKCU\\Software\\Wine\\AppDefaults\\$1"
    if [ -n "${2:-}" ]; then
        wine reg add "$key" /v Version /d "$2" /f </dev/null >/dev/null 2>&1
    else
        wine reg delete "$key" /v Version /f </dev/null >/dev/null 2>&1 || true
    fi
}

# Starts the desktop (explorer) in the background, running the keeper command
# on it; its log goes to LOGFILE. Sets WS_DESKTOP_PID and waits until the
# desktop's X window is there.
# ws_desktop_start LOGFILE [WINDOWS_PROGRAM ARGS...]
ws_desktop_start() {
    local log=$1 i
    shift
    WINEDEBUG=+systray setsid wine explorer "/desktop=$WS_DESKTOP_NAME,$WS_DESKTOP_SIZE" "$@" \
        </dev/null >"$log" 2>&1 &
    WS_DESKTOP_PID=$!
    for ((i = 0; i < WS_TIMEOUT * 10; i++)); do
        xdotool search --name "Wine desktop" >/dev/null 2>&1 && return 0
        kill -0 "$WS_DESKTOP_PID" 2>/dev/null || break
        sleep 0.1
    done
    ws_log "the virtual desktop did not appear; see $log"
    return 1
}

# Ends every program of the prefix and the prefix's wineserver.
ws_wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    return 0
}

ws_write_env() {
    local file=$1
    {
        echo "DISPLAY=$DISPLAY"
        echo "WINEPREFIX=$WINEPREFIX"
        echo "WINEARCH=$WINEARCH"
        echo "WINEDEBUG=$WINEDEBUG"
        echo "WS_XVFB_PID=${WS_XVFB_PID:-}"
        echo "WS_DESKTOP_PID=${WS_DESKTOP_PID:-}"
        echo "WS_DESKTOP_LOG=${WS_DESKTOP_LOG:-}"
        echo "WS_DESKTOP_SIZE=$WS_DESKTOP_SIZE"
    } >"$file"
}

ws_cmd_up() {
    local dir=$1 own_xvfb=0 fresh=0 started
    shift
    local -a keeper=()
    while [ $# -gt 0 ]; do
        case $1 in
            --xvfb) own_xvfb=1 ;;
            --fresh) fresh=1 ;;
            --keeper) shift; keeper=("$@"); break ;;
            *) ws_log "unknown option $1"; return 2 ;;
        esac
        shift
    done
    mkdir -p "$dir"
    dir=$(realpath "$dir")
    [ -f "$dir/session.env" ] && { ws_log "stopping the previous session in $dir"; ws_cmd_down "$dir"; }
    : "${WINEPREFIX:=$dir/prefix}"
    export WINEPREFIX
    [ "$fresh" = 1 ] && rm -rf "$WINEPREFIX"

    started=$EPOCHREALTIME
    WS_XVFB_PID=
    if [ "$own_xvfb" = 1 ] || [ -z "${DISPLAY:-}" ]; then
        ws_xvfb_start "$dir/xvfb.log" || return 1
    fi
    ws_prefix_ensure "$dir/wineboot.log" || { ws_xvfb_stop; return 1; }
    WS_DESKTOP_LOG=$dir/desktop.log
    ws_desktop_start "$WS_DESKTOP_LOG" "${keeper[@]}" || { ws_wine_stop; ws_xvfb_stop; return 1; }
    ws_write_env "$dir/session.env"
    ws_log "session up in $(awk "BEGIN { printf \"%.1f\", $EPOCHREALTIME - $started }") s:" \
        "DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
}

ws_cmd_down() {
    local dir=$1 remove_prefix=0
    shift
    [ "${1:-}" = --remove-prefix ] && remove_prefix=1
    [ -f "$dir/session.env" ] || { ws_log "no session in $dir"; return 0; }
    local WS_XVFB_PID="" WS_DESKTOP_PID=""
    # shellcheck disable=SC1091
    set -a; . "$dir/session.env"; set +a
    ws_wine_stop
    ws_xvfb_stop "$WS_XVFB_PID"
    rm -f "$dir/session.env"
    [ "$remove_prefix" = 1 ] && rm -rf "$WINEPREFIX"
    return 0
}

ws_main() {
    local cmd=${1:-} dir=${2:-}
    if [ -z "$cmd" ] || [ -z "$dir" ]; then
        sed -n '9,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,3\}//' >&2
        return 2
    fi
    shift 2
    case $cmd in
        up) ws_cmd_up "$dir" "$@" ;;
        down) ws_cmd_down "$dir" "$@" ;;
        env) cat "$dir/session.env" ;;
        *) ws_log "unknown command $cmd"; return 2 ;;
    esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -uo pipefail
    ws_main "$@"
fi
