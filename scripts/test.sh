#!/usr/bin/env bash
# Builds both configurations and runs every test: the host tests (program on
# the simulated desktop, with sanitizers) and the end-to-end tests of the real
# Windows binaries under Wine. Installs what is missing first (as root).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$ROOT/scripts/deps.sh"

cmake -S "$ROOT" -B "$ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw32.cmake"
cmake --build "$ROOT/build/win" -j "$jobs"

cmake -S "$ROOT" -B "$ROOT/build/host" -DZEVARIDA_E2E=ON
cmake --build "$ROOT/build/host" -j "$jobs"

ctest --test-dir "$ROOT/build/host" --output-on-failure -j "$jobs"
