#!/usr/bin/env bash
# Builds both configurations and runs every test: the host tests (program on
# the simulated desktop, with sanitizers) and the end-to-end tests of the real
# Windows binaries under Wine. Installs what is missing first (as root).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$ROOT/scripts/deps.sh"

# The host tests and Wine are 32-bit programs. A machine whose kernel runs no
# 32-bit code runs them under qemu's emulation (scripts/i386.sh): there
# AddressSanitizer cannot map its shadow memory, so it is left out, and the
# Wine cases that repeat themselves repeat less (each Wine process starts
# several times slower there): the soak case watches the program for 30 s
# instead of two minutes, two rounds of simultaneous starts instead of five,
# fifteen start/stop cycles instead of fifty.
host_options=()
case $("$ROOT/scripts/i386.sh") in
    native) ;;
    emulated)
        echo "test.sh: 32-bit programs run only under emulation on this machine:" \
             "host tests without AddressSanitizer, fewer repetitions in the Wine cases" >&2
        host_options=(-DZEVARIDA_ASAN=OFF)
        export E2E_SOAK_SECONDS=${E2E_SOAK_SECONDS:-30} E2E_START_ROUNDS=${E2E_START_ROUNDS:-2} \
               E2E_STOP_CYCLES=${E2E_STOP_CYCLES:-15} ;;
    *)
        echo "test.sh: this machine runs no 32-bit program (scripts/i386.sh enable needs root)" >&2
        exit 1 ;;
esac

cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake"
cmake --build "$ROOT/build/win" -j "$jobs"

cmake -S "$ROOT" -B "$ROOT/build/host" -DZEVARIDA_E2E=ON -DZEVARIDA_ASAN=ON "${host_options[@]}"
cmake --build "$ROOT/build/host" -j "$jobs"

ctest --test-dir "$ROOT/build/host" --output-on-failure -j "$jobs"
