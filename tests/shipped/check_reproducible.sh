#!/usr/bin/env bash
# ZEVARIDA.EXE and TAVROCFG.CPL built a second time from the same commit, in a
# tree of their own, must be the same bytes as the ones in dist/, signatures
# aside: a signature carries its signing time, and a throwaway certificate is
# new in every tree. Any file name, time or path that leaks into a binary
# makes the two differ.
#
#   check_reproducible.sh SOURCE_DIR DIST_DIR TREE
set -euo pipefail
[ $# -eq 3 ] || { sed -n '8p' "$0" | sed 's/^# *//' >&2; exit 2; }
source_dir=$1 dist=$2 tree=$3

cmake -S "$source_dir" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-mingw32.cmake" \
    -DDIST_DIR="$tree/dist" >"$tree.configure.log" 2>&1 || { cat "$tree.configure.log"; exit 1; }
cmake --build "$tree" --target ZEVARIDA TavroCfg -j "$(nproc)" >"$tree.build.log" 2>&1 ||
    { tail -40 "$tree.build.log"; exit 1; }

status=0
for file in ZEVARIDA.EXE TAVROCFG.CPL; do
    for build in first second; do
        [ $build = first ] && from=$dist/$file || from=$tree/dist/$file
        rm -f "$tree/$file.$build"
        osslsigncode remove-signature -in "$from" -out "$tree/$file.$build" >/dev/null
    done
    if cmp "$tree/$file.first" "$tree/$file.second"; then
        echo "$file: the same $(stat -c %s "$tree/$file.first") bytes in both builds"
    else
        echo "FAIL $file differs between $dist and $tree/dist"
        status=1
    fi
done
exit $status
