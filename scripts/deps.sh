#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Does nothing
# when everything is already there. Usage: scripts/deps.sh [build|test|run]
set -euo pipefail

need_packages=(cmake make g++ g++-multilib lib32asan8 lib32ubsan1 googletest
               g++-mingw-w64-i686 nsis p7zip-full osslsigncode openssl wine wine32:i386 wine64 xvfb xdotool
               imagemagick python3 clang-format)

missing=()
for p in "${need_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# A package can be installed while its commands are gone (a machine kept
# between sessions): those packages are installed again.
reinstall=()
for pair in i686-w64-mingw32-g++:g++-mingw-w64-i686-win32 i686-w64-mingw32-ar:binutils-mingw-w64-i686 \
            i686-w64-mingw32-windres:binutils-mingw-w64-i686 cmake:cmake; do
    command -v "${pair%%:*}" >/dev/null || reinstall+=("${pair#*:}")
done
if [ ${#reinstall[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ]; then
    echo "installing again: ${reinstall[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "${reinstall[@]}"
    update-alternatives --auto i686-w64-mingw32-g++ >/dev/null 2>&1 || true
    update-alternatives --auto i686-w64-mingw32-gcc >/dev/null 2>&1 || true
fi
if [ ${#missing[@]} -eq 0 ]; then
    # 32-bit programs may need emulation on this machine (scripts/i386.sh).
    [ "$(id -u)" -ne 0 ] || "$(dirname "${BASH_SOURCE[0]}")/i386.sh" enable >/dev/null
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]}; run this script as root to install them" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
"$(dirname "${BASH_SOURCE[0]}")/i386.sh" enable >/dev/null
