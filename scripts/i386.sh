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

# qemu before 8 walks its page table a page at a time for every mapping Wine
# makes, so each Wine process took about fifty seconds to start; qemu 8 and
# later keep mappings in an interval tree and start one in well under a
# second. Debian 12 has qemu 7.2; its backports have a current one.
qemu=/usr/bin/qemu-i386
qemu_recent() {
    local version
    version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) &&
        dpkg --compare-versions "$version" ge 1:8 && [ -x "$qemu" ]
}

install_qemu() {
    export DEBIAN_FRONTEND=noninteractive
    qemu_recent && return
    local codename list
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    list=/etc/apt/sources.list.d/$codename-backports.list
    if [ "$codename" = bookworm ] && [ ! -e "$list" ]; then
        echo "deb http://deb.debian.org/debian $codename-backports main" >"$list"
        apt-get update -q >&2
    fi
    apt-get install -y -q --no-install-recommends -t "$codename-backports" qemu-user >&2 ||
        apt-get install -y -q --no-install-recommends qemu-user >&2
}

register_qemu() {
    local binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    # An older registration (qemu-user-static 7.2) is replaced by ours.
    if [ -e "$binfmt/qemu-i386" ] && ! grep -qx "interpreter $qemu" "$binfmt/qemu-i386"; then
        echo -1 >"$binfmt/qemu-i386"
    fi
    # ELF, 32-bit, little-endian, executable or shared object, machine 3 (i386).
    [ -e "$binfmt/qemu-i386" ] ||
        printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
            >"$binfmt/register"
}

if [ "${1:-}" = enable ] && [ "$(how)" != native ]; then
    install_qemu
    register_qemu
fi
how
