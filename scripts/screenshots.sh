#!/usr/bin/env bash
# Takes the README's pictures of the program under Wine: the tray, the menu,
# each dialog, the pages of the configuration applet and the setup program's
# components page, into docs/pictures/.
#
# Usage: scripts/screenshots.sh [--no-build] [--applet] [FOLDER]
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" = "--no-build" ]; then
    shift
else
    "$ROOT/scripts/deps.sh"
    cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake"
    cmake --build "$ROOT/build/win" -j "$(nproc)"
fi
exec python3 "$ROOT/scripts/screenshots.py" "$@"
