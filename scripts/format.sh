#!/usr/bin/env bash
# Formats the C++ sources as .clang-format says; with --check, changes
# nothing and names each file that differs (exit 1). The stand-ins for
# Windows' own headers (tests/simdesk/include/windows.h and
# tests/wlan/include/wlanapi.h) keep the layout of the headers they copy.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h' ':!tests/simdesk/include/windows.h' ':!tests/wlan/include/')
else
    mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
                         grep -v -e '^./tests/simdesk/include/windows.h$' -e '^./tests/wlan/include/' | sort)
fi
if [ "${1:-}" = --check ]; then
    exec clang-format --dry-run -Werror "${files[@]}"
fi
exec clang-format -i "${files[@]}"
