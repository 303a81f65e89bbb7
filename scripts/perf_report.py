"""Measures the poll tick on the host and ZEVARIDA.EXE under Wine, and prints
the figures as one Markdown table on standard output (progress goes to
standard error). scripts/perf-report.sh builds what this needs and calls it;
see there for the options.

What is measured, and how:
- the poll tick with four adapters: build/host/tests/bench/poll_tick_bench
  (optimised, no sanitizers, on the simulated desktop and the fake driver
  library of the host tests with their records off, the ticks coming from
  the window's timer through its dialog loop): its time per tick (median of
  the runs), its instructions per tick (callgrind, two tick counts, the
  difference divided by the ticks between them, so that start-up drops out)
  and its heap allocations per tick (the bench's own count of operator new,
  and DHAT's count of every heap block, malloc included, over the same two
  tick counts);
- the size of dist/ZEVARIDA.EXE;
- under Wine, on the Wine session of the end-to-end tests (Xvfb, a new
  prefix, the virtual desktop with its taskbar), the program on the two
  adapters of tavroapi/scenarios/two-adapters.scn: its CPU time over an
  idle period and its peak working set (probe.exe process-usage: what
  Windows tells another process, checked against /proc of the Wine process),
  the time from a stop request to its exit (probe.exe time-exit), and the
  time from a click on its first icon to its pop-up menu being visible
  (probe.exe time-menu), and the time from the status page's command to the
  configuration applet's window with its status page filled (probe.exe
  time-applet).
"""

import argparse
import os
import re
import signal
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, ".."))
E2E_DIR = os.path.join(REPO, "tests", "e2e")

# The Wine session of this report, beside the test runs' own.
os.environ.setdefault("E2E_SESSION_DIR", os.path.join(REPO, "build", "perf-session"))
sys.path.insert(0, E2E_DIR)
import e2e_harness as harness  # noqa: E402
from applet_support import APPLET_TITLE  # noqa: E402
from program_ids import APPLET, PROGRAM  # noqa: E402
from tray_support import ICON_SIZE, TrayLayout, image_origin, key_down_lparam  # noqa: E402
from win32 import IDOK, VK_ESCAPE, WM_COMMAND, WM_KEYDOWN  # noqa: E402

BENCH = os.path.join(REPO, "build", "host", "tests", "bench", "poll_tick_bench")
SCENARIO = os.path.join(REPO, "tavroapi", "scenarios", "two-adapters.scn")
STOP_MESSAGE = "ZEVARIDA.EXE STOP"
# Instruction and heap counts: two runs of the bench, this many ticks apart.
COUNT_TICKS = (1000, 11000)
# How long the program is left alone after its icons show, before the idle
# period starts (the start-up's late work, such as the first tooltips).
SETTLE_SECONDS = 5
# Between two clicks: longer than a double click takes, so that two real
# clicks never make one.
CLICK_GAP = 1.0
WAIT = 10
# The program opens the menu of a click this long after the press, unless a
# double click comes.
CLICK_WAIT_MS = PROGRAM.CLICK_DELAY_MS


def note(text):
    sys.stderr.write("perf-report: %s\n" % text)
    sys.stderr.flush()


class Failed(Exception):
    pass


# ------------------------------------------------------------------ numbers

def median_range(values, unit, digits):
    """'median unit (min-max)' of VALUES."""
    fmt = "%%.%df" % digits
    text = (fmt + " %s") % (statistics.median(values), unit)
    if len(values) > 1:
        text += (" (" + fmt + "-" + fmt + ")") % (min(values), max(values))
    return text


def grouped(n):
    return "{:,}".format(int(round(n))).replace(",", " ")


# ------------------------------------------------------------------ the machine

def first_line(args):
    try:
        out = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, timeout=60).stdout
        return out.decode(errors="replace").strip().splitlines()[0]
    except (OSError, IndexError, subprocess.SubprocessError):
        return "unknown"


def machine():
    model, processors = "unknown CPU", 0
    with open("/proc/cpuinfo") as f:
        for line in f:
            key, _, value = line.partition(":")
            if key.strip() == "model name" and model == "unknown CPU":
                model = value.strip()
            elif key.strip() == "processor":
                processors += 1
    system = "Linux"
    try:
        with open("/etc/os-release") as f:
            for line in f:
                if line.startswith("PRETTY_NAME="):
                    system = line.split("=", 1)[1].strip().strip('"')
    except OSError:
        pass
    return {
        "cpu": model,
        "cores": processors or os.cpu_count(),
        "os": "%s, Linux %s" % (system, os.uname().release),
        "wine": first_line(["wine", "--version"]),
        "valgrind": first_line(["valgrind", "--version"]),
        "compiler": first_line(["g++", "--version"]),
    }


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


# ------------------------------------------------------------------ the poll tick

BENCH_LINE = re.compile(r"([\d.]+) ns per tick, ([\d.]+) allocations per tick \((\d+) ticks\)")


def run_bench(*args, tool=None):
    command = [BENCH] + [str(a) for a in args]
    if tool:
        command = ["valgrind", "--tool=" + tool] + tool_options(tool) + command
    result = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=600)
    out = result.stdout.decode(errors="replace")
    err = result.stderr.decode(errors="replace")
    if result.returncode != 0:
        raise Failed("%s exited %d: %s" % (" ".join(command), result.returncode, err.strip()[-500:]))
    match = BENCH_LINE.search(out)
    if not match:
        raise Failed("the bench printed no figures: %r" % out)
    return match, err


def tool_options(tool):
    if tool == "callgrind":
        return ["--callgrind-out-file=/dev/null"]
    if tool == "dhat":
        return ["--dhat-out-file=/dev/null"]
    return []


def count_with(tool, pattern):
    """What TOOL counts (PATTERN's groups, as numbers) for each of COUNT_TICKS."""
    counts = []
    for ticks in COUNT_TICKS:
        _, err = run_bench(ticks, tool=tool)
        match = re.search(pattern, err)
        if not match:
            raise Failed("valgrind --tool=%s printed no total: %s" % (tool, err.strip()[-500:]))
        counts.append([int(g.replace(",", "")) for g in match.groups()])
    return counts


def measure_tick(runs):
    rows = []
    note("poll tick: %d runs of the bench" % runs)
    times, allocations, ticks = [], [], 0
    for _ in range(runs):
        match, _ = run_bench()
        times.append(float(match.group(1)) / 1000.0)
        allocations.append(float(match.group(2)))
        ticks = int(match.group(3))
    rows.append(("Poll tick, 4 adapters: time", median_range(times, "µs per tick", 2),
                 "%d × %s ticks" % (runs, grouped(ticks)),
                 "`poll_tick_bench` (host build, -O2, no sanitizers, the simulated desktop and the fake driver "
                 "library with their records off); median (min-max) of the runs"))

    between = COUNT_TICKS[1] - COUNT_TICKS[0]
    note("poll tick: callgrind, %d and %d ticks" % COUNT_TICKS)
    try:
        (low,), (high,) = count_with("callgrind", r"Collected : (\d+)")
        rows.append(("Poll tick, 4 adapters: instructions", "%s instructions per tick" % grouped((high - low) / between),
                     "1 run each of %s and %s ticks" % tuple(grouped(t) for t in COUNT_TICKS),
                     "`valgrind --tool=callgrind` on the bench: the difference of the two runs' instruction "
                     "counts / %s, the simulated desktop's calls included" % grouped(between)))
    except Failed as e:
        rows.append(("Poll tick, 4 adapters: instructions", "failed", "-", str(e)))

    note("poll tick: DHAT, %d and %d ticks" % COUNT_TICKS)
    try:
        (low_bytes, low_blocks), (high_bytes, high_blocks) = count_with(
            "dhat", r"Total:\s+([\d,]+) bytes in ([\d,]+) blocks")
        heap = "%.2f operator new, %.2f heap blocks (%.1f bytes) per tick" % (
            max(allocations), (high_blocks - low_blocks) / between, (high_bytes - low_bytes) / between)
        how = ("operator new: the bench's own count (the largest of the runs); heap blocks: `valgrind "
               "--tool=dhat` (malloc, calloc, realloc and new), the difference of the two runs / %s"
               % grouped(between))
    except Failed as e:
        heap = "%.2f operator new per tick (DHAT failed)" % max(allocations)
        how = "the bench's count of operator new; DHAT: %s" % e
    rows.append(("Poll tick, 4 adapters: heap allocations", heap,
                 "%d runs; DHAT 1 run each of %s and %s ticks" % ((runs,) + tuple(grouped(t) for t in COUNT_TICKS)),
                 how))
    return rows


# ------------------------------------------------------------------ the file

def measure_size():
    size = os.path.getsize(harness.APP)
    return [("Size of `dist/ZEVARIDA.EXE`", "%s bytes (%.1f KiB)" % (grouped(size), size / 1024.0), "-",
             "the file as built by `build/win`")]


# ------------------------------------------------------------------ under Wine

class Program:
    """ZEVARIDA.EXE running in the session, on the two-adapter scenario."""

    def __init__(self, session, probe):
        self.session = session
        self.probe = probe
        self.env = {"TAVROAPI_SCENARIO": harness.winpath(SCENARIO)}
        self.pid = None
        self.hwnd = None

    def run(self, *args, **kwargs):
        res = self.probe.run(*args, **kwargs)
        if res.rc != 0:
            raise Failed(res.describe())
        return res

    def start(self):
        """Starts the program and waits until it shows both icons; returns its pid."""
        res = self.run("start", harness.winpath(harness.APP), env=self.env)
        self.pid = int(res.first["pid"])
        window = self.run("wait-window", harness.MAIN_WINDOW_TITLE, WAIT).first
        self.hwnd = int(window["hwnd"], 16)
        deadline = time.monotonic() + WAIT
        while set(TrayLayout.from_log(self.session.desktop_log).slots(self.hwnd)) != {0, 1}:
            if time.monotonic() >= deadline:
                raise Failed("the program shows no two icons within %d s" % WAIT)
            time.sleep(0.2)
        return self.pid

    def stop(self):
        """Ends the program (a stop message, then by force); waits until it is gone."""
        if self.pid is None:
            return
        self.probe.run("broadcast-registered", STOP_MESSAGE)
        if self.probe.run("wait-exit", self.pid, WAIT).rc != 0:
            self.probe.run("kill", harness.APP_IMAGE)
        self.pid = None

    def window_arg(self):
        return "hwnd:0x%08x" % self.hwnd

    def usage(self):
        record = self.run("process-usage", self.pid).first
        return {k: float(v) for k, v in record.items() if k != "pid" and v is not True}

    def unix_pid(self):
        """The Linux process that runs the program in this session's prefix."""
        prefix = os.path.realpath(self.session.vars["WINEPREFIX"])
        found = []
        for name in os.listdir("/proc"):
            if not name.isdigit():
                continue
            try:
                with open("/proc/%s/comm" % name) as f:
                    if f.read().strip() != harness.APP_IMAGE:
                        continue
                with open("/proc/%s/environ" % name, "rb") as f:
                    env = dict(item.split(b"=", 1) for item in f.read().split(b"\0") if b"=" in item)
            except OSError:
                continue
            if os.path.realpath(env.get(b"WINEPREFIX", b"").decode(errors="replace")) == prefix:
                found.append(int(name))
        if len(found) != 1:
            raise Failed("%d Linux processes of %s in %s" % (len(found), harness.APP_IMAGE, prefix))
        return found[0]

    def park_pointer_on_icon(self, slot):
        layout = TrayLayout.from_log(self.session.desktop_log)
        cell = layout.cell(self.hwnd, slot)
        if cell is None:
            raise Failed("icon %d is not shown" % slot)
        taskbar = tuple(int(v) for v in self.run("find-window", "class:Shell_TrayWnd").first["rect"].split(","))
        x, y = image_origin(taskbar, cell)
        x, y = x + ICON_SIZE // 2, y + ICON_SIZE // 2
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=dict(os.environ, DISPLAY=self.session.display),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30,
                       check=True)
        deadline = time.monotonic() + 3
        while True:
            cursor = self.probe.run("cursor").first
            if (int(cursor.get("x", -1)), int(cursor.get("y", -1))) == (x, y):
                return
            if time.monotonic() >= deadline:
                raise Failed("the pointer does not reach the icon at (%d, %d)" % (x, y))
            time.sleep(0.1)

    def close_menu(self, menu_hwnd):
        self.run("post", "hwnd:" + menu_hwnd, WM_KEYDOWN, VK_ESCAPE, key_down_lparam(VK_ESCAPE))
        self.run("wait-menu", self.window_arg(), WAIT, "gone")


class LinuxUsage:
    """CPU time and memory of a Linux process, from /proc."""

    def __init__(self, pid):
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        ticks = os.sysconf("SC_CLK_TCK")
        # utime and stime are fields 14 and 15 of stat, 12 and 13 after the name.
        self.cpu_ms = (int(fields[11]) + int(fields[12])) * 1000.0 / ticks
        self.status = {}
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                self.status[key] = value.strip()

    def kib(self, key):
        return int(self.status.get(key, "0 kB").split()[0])


def cpu_ms(usage):
    return usage["thread_user_ms"] + usage["thread_kernel_ms"]


def measure_idle(program, idle_seconds):
    rows = []
    program.start()
    time.sleep(SETTLE_SECONDS)
    unix_pid = program.unix_pid()
    before, linux_before = program.usage(), LinuxUsage(unix_pid)
    note("idle: %d s from %s UTC" % (idle_seconds, time.strftime("%H:%M:%S", time.gmtime())))
    started = time.monotonic()
    time.sleep(idle_seconds)
    after, linux_after = program.usage(), LinuxUsage(unix_pid)
    elapsed = time.monotonic() - started

    idle_ms = cpu_ms(after) - cpu_ms(before)
    linux_ms = linux_after.cpu_ms - linux_before.cpu_ms
    # Wine 8 answers GetProcessTimes about another process with zeros (or the
    # caller's own times); the threads' times are read from /proc and hold.
    whole_ms = after["process_user_ms"] + after["process_kernel_ms"]
    own_ms = after["own_user_ms"] + after["own_kernel_ms"]
    if whole_ms == 0 or abs(whole_ms - own_ms) < 0.05 or abs(whole_ms - cpu_ms(after)) > 20:
        process_times = ("GetProcessTimes answers %.0f ms, the probe's own time being %.0f ms (Wine 8 "
                         "answers with the caller's times): not used" % (whole_ms, own_ms))
    else:
        process_times = "GetProcessTimes agrees: %.0f ms in all" % whole_ms
    tick_ms = 1000.0 / os.sysconf("SC_CLK_TCK")
    rows.append(("Idle CPU time under Wine, 2 adapters", "%.0f ms in %.0f s (%.3f %% of one core)" % (
                     idle_ms, elapsed, idle_ms / (elapsed * 1000.0) * 100.0),
                 "1 run of %d s" % idle_seconds,
                 "`probe.exe process-usage` before and after: user + kernel time of the process's threads "
                 "(GetThreadTimes; threads: %d; Wine reads them from /proc, in steps of %.0f ms); the idle period "
                 "starts %d s after both icons show. /proc of the Wine process: %.0f ms. %s"
                 % (after["threads"], tick_ms, SETTLE_SECONDS, linux_ms, process_times)))
    rows.append(("Start-up CPU time under Wine", "%.0f ms" % cpu_ms(before), "1 run",
                 "the same sum at the start of the idle period (from the start until %d s after both icons "
                 "show); /proc: %.0f ms" % (SETTLE_SECONDS, linux_before.cpu_ms)))
    rows.append(("Peak working set under Wine", "%.1f MiB (%s bytes)" % (
                     after["peak_working_set"] / 1048576.0, grouped(after["peak_working_set"])),
                 "1 run",
                 "GetProcessMemoryInfo PeakWorkingSetSize after the idle period: the peak of the process's "
                 "life, start-up included (working set then: %.1f MiB). Wine reads it from /proc of its "
                 "process (VmHWM %s kB, VmRSS %s kB), so Wine's own libraries count too" % (after["working_set"] / 1048576.0,
                                                   grouped(linux_after.kib("VmHWM")),
                                                   grouped(linux_after.kib("VmRSS")))))
    return rows


def measure_menu(program, runs):
    rows = []
    program.park_pointer_on_icon(0)
    for how, name, what in (
            ("left", "posted click",
             "`probe.exe time-menu ... left`: posts WM_TRAYICON with WM_LBUTTONDOWN and WM_LBUTTONUP for icon 0 "
             "(as the end-to-end tests do), then looks every millisecond for a visible `#32768` window of the "
             "program's thread"),
            ("input", "real click",
             "`probe.exe time-menu ... input`: a left click by SendInput with the pointer on icon 0, which "
             "Wine's notification area passes on; the menu is looked for the same way")):
        note("click to menu, %s: %d runs" % (name, runs))
        times = []
        try:
            for _ in range(runs):
                time.sleep(CLICK_GAP)
                res = program.run("time-menu", program.window_arg(), 0, WAIT, how)
                times.append(float(res.first["menu_ms"]))
                program.close_menu(res.first["hwnd"])
            value = median_range(times, "ms", 1)
            value += ", of which %.1f ms after the program's %d ms click wait" % (
                statistics.median(times) - CLICK_WAIT_MS, CLICK_WAIT_MS)
        except Failed as e:
            value, what = "failed", str(e)
        rows.append(("Click to menu under Wine, %s" % name, value, "%d" % len(times),
                     what + "; the program's wait that tells a click from a double click (CLICK_DELAY_MS) "
                     "is part of it"))
    return rows


def measure_stop(program, runs):
    rows = []
    for how, name, what in (
            ("start", "a second start `ZEVARIDA.EXE STOP`",
             "`probe.exe time-exit PID ... start ZEVARIDA.EXE STOP`: from CreateProcess of the second start "
             "(which sends the stop message, then ends) until the first instance's process has ended"),
            ("broadcast", "the stop message alone",
             "`probe.exe time-exit PID ... broadcast \"%s\"`: from sending the registered message to every "
             "top-level window, as the second start does, until the process has ended" % STOP_MESSAGE)):
        note("stop to exit, %s: %d runs" % (name, runs))
        times, second = [], []
        try:
            for _ in range(runs):
                pid = program.start()
                time.sleep(1)
                if how == "start":
                    res = program.run("time-exit", pid, WAIT, "start", harness.winpath(harness.APP), "STOP",
                                      env=program.env)
                    second.append(float(res.first["second_ms"]))
                else:
                    res = program.run("time-exit", pid, WAIT, "broadcast", STOP_MESSAGE)
                program.pid = None
                times.append(float(res.first["exit_ms"]))
            value = median_range(times, "ms", 1)
            if second:
                what += "; the second start itself ended after %s" % median_range(second, "ms", 1)
        except Failed as e:
            value, what = "failed", str(e)
            program.stop()
        rows.append(("Stop to exit under Wine, %s" % name, value, "%d" % len(times),
                     what + "; each run on a new first instance, 1 s after both its icons show"))
    return rows


def measure_applet(program, runs):
    """From the status page's command to the applet's window with its state line filled."""
    note("opening the applet on its status page: %d runs" % runs)
    window, filled = [], []
    try:
        for _ in range(runs):
            time.sleep(CLICK_GAP)
            res = program.run("time-applet", program.window_arg(), PROGRAM.ID_NETWORK_STATUS, APPLET_TITLE,
                              APPLET.IDC_STATE, WAIT)
            window.append(float(res.first["window_ms"]))
            filled.append(float(res.first["filled_ms"]))
            program.run("post", "hwnd:" + res.first["hwnd"], WM_COMMAND, IDOK)
            program.run("wait-gone", "hwnd:" + res.first["hwnd"], WAIT)
        value = median_range(filled, "ms", 1)
        what = "the window itself existed after %s" % median_range(window, "ms", 1)
    except Failed as e:
        value, what = "failed", str(e)
    return [("Opening the applet on its status page under Wine", value, "%d" % len(filled),
             "`probe.exe time-applet`: posts the command of \"&Wireless Network Status...\" (ID_NETWORK_STATUS) to the "
             "program's window, then looks every millisecond for the window \"%s\" and its status page's state "
             "line with a text: the program loads `TAVROCFG.CPL`, which reads the adapter and its link from "
             "`TavroApi.DLL`; %s; each run closes it again" % (APPLET_TITLE, what))]


def measure_wine(idle_seconds, runs):
    note("starting the Wine session in %s" % harness.SESSION_DIR)
    session = harness.session_up()
    try:
        probe = harness.Probe(session)
        probe.run("kill", harness.APP_IMAGE)
        program = Program(session, probe)
        rows = []
        try:
            rows += measure_idle(program, idle_seconds)
            rows += measure_menu(program, runs)
            rows += measure_applet(program, runs)
        except Failed as e:
            rows.append(("Under Wine", "failed", "-", str(e)))
        program.stop()
        rows += measure_stop(program, runs)
        return rows
    finally:
        probe.run("kill", harness.APP_IMAGE)
        harness.session_down()


# ------------------------------------------------------------------ the table

def table(rows):
    def cell(text):
        return str(text).replace("|", "\\|").replace("\n", " ")

    lines = ["| Figure | Value | Runs | How it is measured |", "|---|---|---|---|"]
    for row in rows:
        lines.append("| " + " | ".join(cell(c) for c in row) + " |")
    return "\n".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(prog="perf_report.py", description=__doc__.split("\n\n")[0])
    parser.add_argument("--idle-seconds", type=int, default=600)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args(argv)
    if args.idle_seconds < 1 or args.runs < 1:
        parser.error("--idle-seconds and --runs take a positive number")
    # Ctrl+C and kill end the Wine session on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    started = time.monotonic()
    host = machine()
    load_before = load_average()
    rows = measure_tick(args.runs) + measure_size()
    try:
        rows += measure_wine(args.idle_seconds, args.runs)
    except harness.HarnessError as e:
        rows.append(("Under Wine", "failed", "-", str(e)))
    rows.append(("Machine", "%s, %d cores; %s; %s" % (host["cpu"], host["cores"], host["os"], host["wine"]), "-",
                 "/proc/cpuinfo, /etc/os-release, `wine --version`; %s; %s; load average %s at the start, "
                 "%s at the end" % (host["compiler"], host["valgrind"], load_before, load_average())))
    print(table(rows))
    note("done in %.0f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
