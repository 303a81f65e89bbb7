#!/usr/bin/env bash
# How this machine runs 32-bit x86 programs (the host tests and Wine's 32-bit
# side are such programs). Prints one word:
#   native    the kernel runs them itself
#   emulated  qemu's user-mode emulation runs them (binfmt_misc)
#   none      neither
# `scripts/i386.sh enable` (as root) registers qemu-i386 for them when the
# kernel cannot run them: some virtual machines run no 32-bit code at all.
set -euo pipefail

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT

# A 32-bit program that prints the machine its kernel reports: a 64-bit kernel
# running it natively says x86_64, qemu-i386 says i686.
how() {
    [ -x "$probe_dir/probe" ] ||
        printf '#include <stdio.h>\n#include <sys/utsname.h>\nint main(void){struct utsname u; uname(&u); puts(u.machine); return 0;}\n' |
        gcc -m32 -static -x c - -o "$probe_dir/probe" 2>/dev/null || { echo none; return; }
    case "$("$probe_dir/probe" 2>/dev/null)" in
        x86_64) echo native ;;
        i?86) echo emulated ;;
        *) echo none ;;
    esac
}

if [ "${1:-}" = enable ] && [ "$(how)" = none ]; then
    export DEBIAN_FRONTEND=noninteractive
    dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed" ||
        apt-get install -y -q qemu-user-static >&2
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    # ELF, 32-bit, little-endian, executable or shared object, machine 3 (i386).
    [ -e "$binfmt/qemu-i386" ] ||
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
            >"$binfmt/register"
fi
how
