#!/usr/bin/env python3
"""Checks the shipped binaries in dist/ against the Windows they are built for.

Lists every function each binary imports from a system DLL and looks it up in
windows-functions.txt, which says for each the first Windows 9x and NT version
that has it, and where that comes from. A binary for Windows 98/Me and NT 4
fails on a function that either of those lacks, or that 9x only exports as a
failing stub unless the list says why that failure does no harm; the real-
adapter library (dist/wlan/) is checked against XP instead; the setup program
that installs it is held to Windows 98 too, so that it can start there and say
why the applet cannot run. A function not in the list fails too: add it with
its source. Also holds each binary to its size limit, and fails when one of
them is missing or a binary has no limit. With --signer, every binary's
Authenticode signature must verify against that certificate (the build's,
scripts/sign.sh).

The setup program's uninstaller is not in dist/: the setup program writes it
at install time from its own executable header. 7-Zip rebuilds it from the
setup program the same way (`7z x`), and it is checked as the setup program is.

    check_shipped.py DIST_DIR [--signer CERT]
                                     (OBJDUMP names the objdump, default MinGW's;
                                      SEVENZIP the 7z, default 7z)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SIGN_SCRIPT = os.path.join(HERE, "..", "..", "scripts", "sign.sh")
OBJDUMP = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")
SEVENZIP = os.environ.get("SEVENZIP", "7z")
SETUP = "ZEVARIDA-setup.exe"
UNINSTALLER = "Uninstall.exe"
# Where the setup program writes it, as 7-Zip lists it.
UNINSTALLER_IN_SETUP = "$COMMONFILES/Zevarida/" + UNINSTALLER
BINARY_SUFFIXES = (".exe", ".dll", ".cpl")

NT_ORDER = ["3.1", "3.5", "3.51", "4.0", "5.0", "5.1", "5.2", "6.0", "6.1", "none"]
NINE_X_ORDER = ["95", "98", "me", "stub", "none"]


class Target:
    def __init__(self, name, nt, nine_x):
        self.name, self.nt, self.nine_x = name, nt, nine_x

    def lacks(self, entry):
        """Why `entry` cannot be relied on here, or None."""
        if NT_ORDER.index(entry["nt"]) > NT_ORDER.index(self.nt):
            return "NT %s has it only from %s" % (self.nt, entry["nt"])
        if self.nine_x is None:
            return None
        nine_x = entry["9x"]
        if nine_x == "stub":
            return None if entry["note"] else "Windows %s only has a failing stub" % self.nine_x
        if NINE_X_ORDER.index(nine_x) > NINE_X_ORDER.index(self.nine_x):
            return "Windows %s lacks it (from %s)" % (self.nine_x, nine_x)
        return None


OLD_WINDOWS = Target("Windows 98/Me and NT 4", nt="4.0", nine_x="98")
XP = Target("Windows XP", nt="5.1", nine_x=None)
# Folder of dist/, or the file's own path -> the Windows its binaries are for;
# everything else is old.
TARGETS = {"wlan": XP}
KB = 1024
# Path in dist/ -> the most bytes it may have.
SIZE_LIMITS = {
    "ZEVARIDA.EXE": 160 * KB,  # with its tray icons at four sizes and its manifest
    "TavroApi.DLL": 96 * KB,
    os.path.join("wlan", "TavroApi.DLL"): 96 * KB,
    "TAVROCFG.CPL": 128 * KB,
    "TAVROCSH.DLL": 16 * KB,
    "tavroctl.exe": 96 * KB,
    SETUP: 400 * KB,
}


def uninstaller_of(setup, folder):
    """The uninstaller that the setup program writes, rebuilt by 7-Zip into folder."""
    if not shutil.which(SEVENZIP):
        sys.exit("%s is needed to check the uninstaller (scripts/deps.sh installs p7zip-full)" % SEVENZIP)
    subprocess.run([SEVENZIP, "x", "-y", "-o" + folder, setup, UNINSTALLER_IN_SETUP], check=True,
                   capture_output=True)
    return os.path.join(folder, *UNINSTALLER_IN_SETUP.split("/"))


def size_problems(dist, relatives):
    """The failures of the size limits: each binary within its own, none missing."""
    problems = []
    for relative in sorted(set(relatives) | set(SIZE_LIMITS)):
        limit = SIZE_LIMITS.get(relative)
        path = os.path.join(dist, relative)
        if limit is None:
            problems.append("%s: no size limit in check_shipped.py" % relative)
        elif not os.path.exists(path):
            problems.append("%s: missing" % relative)
        else:
            size = os.path.getsize(path)
            print("%s: %d bytes (limit %d)" % (relative, size, limit))
            if size > limit:
                problems.append("%s: %d bytes, over the limit of %d" % (relative, size, limit))
    return problems


def signature_problems(checked, signer):
    """The binaries whose signature does not verify against the signer's certificate."""
    if not os.path.isfile(signer):
        return ["%s: missing; build the Windows binaries first" % signer]
    problems = []
    for relative, binary in checked:
        result = subprocess.run(["bash", SIGN_SCRIPT, "verify", signer, binary], capture_output=True, text=True)
        print("%s: signature %s" % (relative, "verified" if result.returncode == 0 else "NOT verified"))
        if result.returncode != 0:
            problems.append("%s: the signature does not verify against %s" % (relative, signer))
    return problems


def read_list(path):
    entries = {}
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = line.split(None, 5)
            if len(fields) < 5 or fields[2] not in NINE_X_ORDER or fields[3] not in NT_ORDER:
                sys.exit("%s:%d: expected DLL FUNCTION 9X NT SOURCE [NOTE]" % (path, number))
            dll, function, nine_x, nt, source = fields[:5]
            entries[(dll.upper(), function)] = {
                "9x": nine_x, "nt": nt, "source": source,
                "note": fields[5] if len(fields) > 5 else ""}
    return entries


def imports_of(binary):
    """(DLL, function) pairs from the import tables; ordinals as '#N'."""
    dump = subprocess.run([OBJDUMP, "-p", binary], check=True, capture_output=True, text=True).stdout
    found, dll = [], None
    for line in dump.splitlines():
        named = re.match(r"\tDLL Name: (\S+)", line)
        if named:
            dll = re.sub(r"\.DLL$", "", named.group(1).upper())
            continue
        if not line.strip():
            dll = None
            continue
        entry = re.match(r"\t[0-9a-f]+\t +(\d+)(?:  (\S+))?", line)
        if dll and entry:
            found.append((dll, entry.group(2) or "#" + entry.group(1)))
    return found


def binaries(dist):
    for folder, _, files in sorted(os.walk(dist)):
        for name in sorted(files):
            if name.lower().endswith(BINARY_SUFFIXES):
                yield os.path.join(folder, name)


def check_imports(relative, binary, entries, ours, unverified):
    """Prints the imports of one binary; returns the failures."""
    failures = []
    target = TARGETS.get(relative) or TARGETS.get(os.path.dirname(relative).split(os.sep)[0], OLD_WINDOWS)
    imports = [(dll, f) for dll, f in imports_of(binary) if dll not in ours]
    print("%s (for %s): %d imports" % (relative, target.name, len(imports)))
    for dll, function in sorted(imports):
        entry = entries.get((dll, function))
        problem = "not in windows-functions.txt" if entry is None else target.lacks(entry)
        shown = "%s (9x %s, NT %s, %s)" % (function, entry["9x"], entry["nt"], entry["source"]) \
            if entry else function
        print("  %-9s %s%s" % (dll, shown, "  <- " + problem if problem else ""))
        if entry and entry["source"] == "unverified":
            unverified.add((dll, function))
        if problem:
            failures.append("%s: %s!%s: %s" % (relative, dll, function, problem))
    return failures


def main():
    args = sys.argv[1:]
    signer = None
    if len(args) == 3 and args[1] == "--signer":
        signer = args.pop()
        args.pop()
    if len(args) != 1:
        sys.exit(__doc__)
    dist = args[0]
    entries = read_list(os.path.join(HERE, "windows-functions.txt"))
    shipped = [(os.path.relpath(b, dist), b) for b in binaries(dist)]
    ours = {re.sub(r"\.[^.]*$", "", os.path.basename(b).upper()) for _, b in shipped}
    failures = []
    unverified = set()
    with tempfile.TemporaryDirectory() as folder:
        checked = list(shipped)
        if os.path.exists(os.path.join(dist, SETUP)):
            checked.append((UNINSTALLER, uninstaller_of(os.path.join(dist, SETUP), folder)))
        for relative, binary in checked:
            failures += check_imports(relative, binary, entries, ours, unverified)
        if signer:
            failures += signature_problems(checked, signer)
    print("%d of the imported functions rest on list entries no document confirmed yet" % len(unverified))
    failures += size_problems(dist, [relative for relative, _ in shipped])
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
