#!/usr/bin/env bash
# Builds the Windows binaries and runs ZEVARIDA.EXE under Wine, on a virtual
# desktop with taskbar and notification area, with the demo scenario.
#
# Usage: scripts/run.sh [--no-build] [--scenario FILE] [ARGUMENTS FOR ZEVARIDA.EXE...]
#
#   --no-build       skip installing packages and building
#   --scenario FILE  the TavroApi scenario (tavroapi/scenarios/demo.scn)
#
# With a DISPLAY the desktop opens as a window on it; without one the script
# starts its own Xvfb and prints how to look at it. It runs until the program
# ends or Ctrl+C, then ends every program of its Wine prefix and its Xvfb.
# The prefix (build/run-prefix, or ZEVARIDA_WINEPREFIX) is made on the first
# run and kept for the next ones. WINEDEBUG passes through (default -all).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=1
scenario=$ROOT/tavroapi/scenarios/demo.scn
while [ $# -gt 0 ]; do
    case $1 in
        --no-build) build=0; shift ;;
        --scenario) scenario=$2; shift 2 ;;
        -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) break ;;
    esac
done

if [ "$build" = 1 ]; then
    "$ROOT/scripts/deps.sh"
    cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake"
    cmake --build "$ROOT/build/win" -j "$(nproc)"
fi

app=$ROOT/dist/ZEVARIDA.EXE
[ -f "$app" ] || { echo "run.sh: $app is missing; run without --no-build to build it" >&2; exit 1; }
[ -f "$scenario" ] || { echo "run.sh: no scenario file $scenario" >&2; exit 1; }

# shellcheck source=wine-session.sh
source "$ROOT/scripts/wine-session.sh"

session_dir=$ROOT/build/run-session
mkdir -p "$session_dir"
# One run at a time: ending a run ends every program of the prefix.
exec 9>"$session_dir/lock"
if ! flock -n 9; then
    echo "run.sh: another run.sh is using this prefix; end it first (Ctrl+C there)" >&2
    exit 1
fi

export WINEPREFIX=${ZEVARIDA_WINEPREFIX:-$ROOT/build/run-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
WS_XVFB_PID=
app_pid=

cleanup() {
    trap - EXIT INT TERM
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    ws_wine_stop
    ws_xvfb_stop "$WS_XVFB_PID"
}
trap cleanup EXIT
trap 'echo; echo "run.sh: stopping"; exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    ws_xvfb_start "$session_dir/xvfb.log"
    own_display=1
else
    own_display=0
fi

ws_prefix_ensure "$session_dir/wineboot.log"

export TAVROAPI_SCENARIO
TAVROAPI_SCENARIO=$(ws_winpath "$scenario")

echo
echo "ZEVARIDA.EXE runs on the virtual desktop ($WS_DESKTOP_SIZE) of display $DISPLAY,"
echo "  scenario: ${scenario#"$ROOT"/}"
echo "  Wine prefix: $WINEPREFIX"
if [ "$own_display" = 1 ]; then
    echo "  This is an Xvfb display with no screen; to look at it:"
    echo "    screenshot: DISPLAY=$DISPLAY import -window root shot.png"
    if command -v x11vnc >/dev/null; then
        echo "    live view:  x11vnc -display $DISPLAY -localhost -nopw -forever &"
        echo "                then point a VNC viewer at localhost:5900"
    else
        echo "    live view:  install x11vnc, run x11vnc -display $DISPLAY -localhost -nopw,"
        echo "                then point a VNC viewer at localhost:5900"
    fi
fi
echo "  The notification icons are at the bottom right of the desktop."
echo "  Ctrl+C ends it."
echo

cd "$ROOT/dist"
wine "$app" "$@" </dev/null &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
# Wine hands back the low byte of the exit code: 255 is -1.
echo "run.sh: ZEVARIDA.EXE ended (exit code $status)"
if [ "$status" = 255 ]; then
    echo "run.sh: -1 is what it returns when another instance runs or it was told to STOP"
fi
exit 0
