#!/usr/bin/env bash
# Measures the program and prints the figures as one Markdown table: the poll
# tick on the host (time, instructions and heap allocations per tick), the
# size of dist/ZEVARIDA.EXE, and under Wine its idle CPU time and peak
# working set, the time from a stop request to its exit, from a click on its
# icon to its menu and from the status page's command to the configuration
# applet showing that page. It is a report, not a test: nothing is checked.
#
# Usage: scripts/perf-report.sh [--idle-seconds S] [--runs N] [--no-build]
#
#   --idle-seconds S  how long the program is left idle under Wine (600)
#   --runs N          runs of each timed figure, of which the median is shown (5)
#   --no-build        skip installing packages and building
#
# Builds build/win (the Windows binaries and probe.exe) and the bench of
# build/host, installing what is missing (scripts/deps.sh, valgrind). The Wine
# session is the end-to-end tests' (scripts/wine-session.sh through
# tests/e2e/e2e_harness.py), in build/perf-session with a new prefix, and is
# ended at the end. The table goes to standard output, progress to standard
# error; scripts/perf_report.py says how each figure is taken.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=1
report_args=()
while [ $# -gt 0 ]; do
    case $1 in
        --no-build) build=0; shift ;;
        --idle-seconds|--runs)
            [ $# -ge 2 ] || { echo "perf-report.sh: $1 needs a number" >&2; exit 2; }
            report_args+=("$1" "$2"); shift 2 ;;
        -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "perf-report.sh: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
done

if [ "$build" = 1 ]; then
    "$ROOT/scripts/deps.sh" >&2
    if ! command -v valgrind >/dev/null; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "perf-report.sh: valgrind is missing; run as root to install it" >&2
            exit 1
        fi
        echo "installing: valgrind" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt-get install -y -q valgrind >&2 || { apt-get update -q >&2 && apt-get install -y -q valgrind >&2; }
    fi
    {
        cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake"
        cmake --build "$ROOT/build/win" -j "$(nproc)"
        cmake -S "$ROOT" -B "$ROOT/build/host"
        cmake --build "$ROOT/build/host" -j "$(nproc)" --target poll_tick_bench
    } >&2
fi

for f in dist/ZEVARIDA.EXE dist/TavroApi.DLL build/win/tests/e2e/probe.exe build/host/tests/bench/poll_tick_bench; do
    [ -f "$ROOT/$f" ] || { echo "perf-report.sh: $f is missing; run without --no-build" >&2; exit 1; }
done
command -v valgrind >/dev/null || { echo "perf-report.sh: valgrind is missing; run without --no-build" >&2; exit 1; }

# One report at a time: its session ends every program of its prefix.
mkdir -p "$ROOT/build"
exec 9>"$ROOT/build/perf-report.lock"
flock -n 9 || { echo "perf-report.sh: another perf-report.sh runs in this tree" >&2; exit 1; }

export ZEVARIDA_DIST_DIR=$ROOT/dist
export ZEVARIDA_WIN_BUILD_DIR=$ROOT/build/win
export E2E_SESSION_DIR=$ROOT/build/perf-session
export PYTHONDONTWRITEBYTECODE=1
exec python3 "$ROOT/scripts/perf_report.py" "${report_args[@]}"
