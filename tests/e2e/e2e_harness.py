"""End-to-end harness: runs ZEVARIDA.EXE under Wine on a virtual desktop.

One Wine session (Xvfb + 32-bit prefix + the "shell" virtual desktop, made by
scripts/wine-session.sh) serves a whole test run. Under CTest the fixture tests
e2e_setup and e2e_cleanup start and stop it (`e2e_harness.py setup|cleanup`);
a test module run directly (python3 -m unittest ...) starts its own session
when none is up and stops it at exit.

Everything is seen from inside the session through probe.exe (probe.cpp),
which the Windows build puts in <WIN_BUILD_DIR>/tests/e2e/.

Settings (environment):
  ZEVARIDA_DIST_DIR       where ZEVARIDA.EXE and TavroApi.DLL are (<repo>/dist)
  ZEVARIDA_WIN_BUILD_DIR  the Windows build tree (<repo>/build/win)
  E2E_APP                 the program to test (<dist>/ZEVARIDA.EXE)
  E2E_PROBE               probe.exe (<win build>/tests/e2e/probe.exe)
  E2E_SESSION_DIR         the session's folder (<repo>/build/e2e-session)
  E2E_ARTIFACTS_DIR       screenshots and logs for people (<repo>/build/e2e-artifacts)
  E2E_KEEP_PREFIX=1       reuse the prefix of an earlier run instead of a new one
  E2E_SCENARIO            the TavroApi scenario (<repo>/tavroapi/scenarios/demo.scn)

Command line: e2e_harness.py setup | cleanup | list
"""

import atexit
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from program_ids import PROGRAM
from win32 import WM_COMMAND, WM_NULL

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
SESSION_SCRIPT = os.path.join(REPO, "scripts", "wine-session.sh")

APP_IMAGE = "ZEVARIDA.EXE"
# The program titles its window by the screen's shape; every session's
# screen is wider than it is tall.
MAIN_WINDOW_TITLE = PROGRAM.text("IDS_TITLE_LANDSCAPE")
INSTANCE_MUTEX = "Quorvane Status Tray Applet"
EXIT_CODE_ALREADY_RUNNING = -1

# Generous waits (seconds): how long to poll for something that should happen.
WAIT_WINDOW = 10
WAIT_EXIT = 10
# How long to give the program to react to something that must change nothing.
SETTLE = float(os.environ.get("E2E_SETTLE", "0.5"))


def _setting(name, default):
    return os.path.abspath(os.environ.get(name) or default)


DIST_DIR = _setting("ZEVARIDA_DIST_DIR", os.path.join(REPO, "dist"))
WIN_BUILD_DIR = _setting("ZEVARIDA_WIN_BUILD_DIR", os.path.join(REPO, "build", "win"))
APP = _setting("E2E_APP", os.path.join(DIST_DIR, APP_IMAGE))
PROBE = _setting("E2E_PROBE", os.path.join(WIN_BUILD_DIR, "tests", "e2e", "probe.exe"))
SESSION_DIR = _setting("E2E_SESSION_DIR", os.path.join(REPO, "build", "e2e-session"))
ARTIFACTS_DIR = _setting("E2E_ARTIFACTS_DIR", os.path.join(REPO, "build", "e2e-artifacts"))
SCENARIO = _setting("E2E_SCENARIO", os.path.join(REPO, "tavroapi", "scenarios", "demo.scn"))
KEEP_PREFIX = os.environ.get("E2E_KEEP_PREFIX") == "1"


def winpath(path):
    """The Windows path under which Wine sees a Unix path (drive Z: is /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_until(condition, seconds, interval=0.2):
    """Calls CONDITION every INTERVAL seconds until it is true or SECONDS have
    passed; returns its last answer."""
    deadline = time.monotonic() + seconds
    while True:
        answer = condition()
        if answer or time.monotonic() >= deadline:
            return answer
        time.sleep(interval)


class HarnessError(Exception):
    pass


# ------------------------------------------------------------------ session

class Session:
    """The running Wine session: its environment and where its logs are."""

    def __init__(self, env_vars, owned):
        self.vars = env_vars
        self.owned = owned
        self.env = dict(os.environ)
        for key in ("WINEPREFIX", "WINEARCH", "WINEDEBUG", "DISPLAY", "WINEDLLOVERRIDES"):
            self.env.pop(key, None)
        self.env.update({k: v for k, v in env_vars.items() if not k.startswith("WS_")})
        self.env["WINEDEBUG"] = "-all"

    @property
    def display(self):
        return self.vars["DISPLAY"]

    @property
    def desktop_log(self):
        """The desktop's (explorer's) output, with its +systray trace."""
        return self.vars.get("WS_DESKTOP_LOG", "")

    def desktop_log_mark(self):
        """Where the desktop log ends now; see desktop_log_since."""
        try:
            return os.path.getsize(self.desktop_log)
        except OSError:
            return 0

    def desktop_log_since(self, mark):
        """The desktop log's lines written after desktop_log_mark() gave MARK."""
        try:
            with open(self.desktop_log, "rb") as f:
                f.seek(mark)
                return f.read().decode(errors="replace").splitlines()
        except OSError:
            return []

    def set_dpi(self, dpi):
        """The screen's DPI for programs started from now on (96 is 100 %, 144 is 150 %),
        as Wine reads it when a process starts: HKCU\\Control Panel\\Desktop, LogPixels."""
        args = ["wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                "/d", str(dpi), "/f"]
        result = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=60)
        return result.returncode == 0

    def set_windows_version(self, version, image=APP_IMAGE):
        """The Windows version Wine reports to IMAGE (win98, nt40, win2k, winxp; None: default)."""
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + image
        if version:
            args = ["wine", "reg", "add", key, "/v", "Version", "/d", version, "/f"]
        else:
            args = ["wine", "reg", "delete", key, "/v", "Version", "/f"]
        result = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=60)
        return result.returncode == 0


def _read_env(path):
    values = {}
    with open(path) as f:
        for line in f:
            key, sep, value = line.rstrip("\n").partition("=")
            if sep:
                values[key] = value
    return values


def _alive(pid):
    if not pid:
        return True
    try:
        os.kill(int(pid), 0)
        return True
    except (OSError, ValueError):
        return False


def _check_binaries():
    missing = [p for p in (APP, PROBE) if not os.path.isfile(p)]
    if missing:
        raise HarnessError(
            "missing %s; build the Windows binaries first: cmake -S %s -B %s "
            "-DCMAKE_TOOLCHAIN_FILE=%s/cmake/toolchain-mingw32.cmake && cmake --build %s"
            % (", ".join(missing), REPO, WIN_BUILD_DIR, REPO, WIN_BUILD_DIR))


def session_up(session_dir=SESSION_DIR, arch="win32"):
    """Starts a session in SESSION_DIR, the run's unless another is given (a new
    prefix unless E2E_KEEP_PREFIX=1); ARCH win64 makes it a prefix of 64-bit Windows."""
    _check_binaries()
    for tool in ("wine", "wineserver", "Xvfb", "xdotool", "import"):
        if not shutil.which(tool):
            raise HarnessError("%s is missing; scripts/deps.sh installs it" % tool)
    os.makedirs(session_dir, exist_ok=True)
    env = dict(os.environ, WS_WINEARCH=arch)
    env["WINEPREFIX"] = os.path.join(session_dir, "prefix")
    env.pop("WINEDEBUG", None)
    args = ["bash", SESSION_SCRIPT, "up", session_dir, "--xvfb"]
    if not KEEP_PREFIX:
        args.append("--fresh")
    # The keeper holds the desktop open for the whole run.
    args += ["--keeper", winpath(PROBE), "hold"]
    with tempfile.TemporaryFile() as log:
        result = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                timeout=300)
        log.seek(0)
        text = log.read().decode(errors="replace")
    sys.stderr.write(text)
    if result.returncode != 0:
        raise HarnessError("the Wine session did not start (exit %d)" % result.returncode)
    session = Session(_read_env(os.path.join(session_dir, "session.env")), owned=True)
    # The taskbar is up once the desktop's shell has made it.
    rec = Probe(session).run("wait-window", "class:Shell_TrayWnd", WAIT_WINDOW * 2)
    if rec.rc != 0:
        raise HarnessError("the virtual desktop shows no taskbar: %s" % rec.describe())
    return session


def session_down(session_dir=SESSION_DIR):
    args = ["bash", SESSION_SCRIPT, "down", session_dir]
    if not KEEP_PREFIX:
        args.append("--remove-prefix")
    with tempfile.TemporaryFile() as log:
        subprocess.run(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log, timeout=120)
        log.seek(0)
        sys.stderr.write(log.read().decode(errors="replace"))


_session = None


def session():
    """The session of this run: the fixture's if one is up, else a new one."""
    global _session
    if _session is not None:
        return _session
    _check_binaries()
    env_file = os.path.join(SESSION_DIR, "session.env")
    if os.path.isfile(env_file):
        values = _read_env(env_file)
        if _alive(values.get("WS_XVFB_PID")) and _alive(values.get("WS_DESKTOP_PID")):
            _session = Session(values, owned=False)
            return _session
        sys.stderr.write("e2e: the session in %s has ended; starting a new one\n" % SESSION_DIR)
    _session = session_up()
    atexit.register(session_down)
    return _session


# ------------------------------------------------------------------ probe.exe

class ProbeResult:
    """What one probe.exe run printed: its exit code and its records."""

    # Fields whose value runs to the end of the line.
    LAST_FIELDS = ("title=", "text=", "data=")

    def __init__(self, args, rc, stdout, stderr):
        self.args = args
        self.rc = rc
        self.stdout = stdout
        self.stderr = stderr
        self.records = [self.parse(line) for line in stdout.splitlines() if line.strip()]

    @classmethod
    def parse(cls, line):
        record = {}
        rest = line
        while rest:
            if rest.startswith(cls.LAST_FIELDS):
                key, _, value = rest.partition("=")
                record[key] = value
                break
            token, _, rest = rest.partition(" ")
            key, sep, value = token.partition("=")
            record[key] = value if sep else True
        return record

    @property
    def first(self):
        return self.records[0] if self.records else {}

    def describe(self):
        return "probe %s -> exit %d, out %r, err %r" % (
            " ".join(str(a) for a in self.args), self.rc, self.stdout.strip(), self.stderr.strip())


class BackgroundProbe:
    """A probe.exe run that goes on while the case acts; finish() waits for its result."""

    def __init__(self, args, env):
        self.args = args
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        self.process = subprocess.Popen(["wine", PROBE] + args, env=env, cwd=SESSION_DIR,
                                        stdin=subprocess.DEVNULL, stdout=self.out, stderr=self.err)

    def finish(self, timeout=90):
        try:
            rc = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            rc = -999
        self.out.seek(0)
        self.err.seek(0)
        result = ProbeResult(self.args, rc, self.out.read().decode(errors="replace"),
                             self.err.read().decode(errors="replace"))
        self.out.close()
        self.err.close()
        return result


class Probe:
    def __init__(self, session):
        self.session = session

    def start(self, *args):
        """Starts probe.exe with ARGS without waiting for it."""
        return BackgroundProbe([str(a) for a in args], dict(self.session.env))

    def run(self, *args, env=None, timeout=90):
        args = [str(a) for a in args]
        run_env = dict(self.session.env)
        if env:
            run_env.update(env)
        # Output goes through files, never pipes: a program that Wine starts
        # in the background could otherwise hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                rc = subprocess.run(["wine", PROBE] + args, env=run_env, cwd=SESSION_DIR,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                rc = -999
            out.seek(0)
            err.seek(0)
            return ProbeResult(args, rc, out.read().decode(errors="replace"),
                               err.read().decode(errors="replace"))


# ------------------------------------------------------------------ test base

class AppTestCase(unittest.TestCase):
    """A case that runs ZEVARIDA.EXE; no instance is left over between cases."""

    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.session = session()
        cls.probe = Probe(cls.session)

    def setUp(self):
        self.end_all_instances()
        gone = self.probe.run("wait-gone", MAIN_WINDOW_TITLE, WAIT_EXIT)
        self.assertEqual(gone.rc, 0, "a window %r is left from before this case: %s"
                         % (MAIN_WINDOW_TITLE, gone.describe()))

    def tearDown(self):
        self.end_all_instances()

    # -- the program

    def app_env(self, scenario=None):
        scenario = scenario or SCENARIO
        return {"TAVROAPI_SCENARIO": winpath(scenario)} if os.path.exists(scenario) else {}

    def start_app(self, *args, scenario=None):
        """Starts ZEVARIDA.EXE without waiting; returns its process id."""
        res = self.probe.run("start", winpath(APP), *args, env=self.app_env(scenario))
        self.assertEqual(res.rc, 0, "could not start %s: %s" % (APP_IMAGE, res.describe()))
        return int(res.first["pid"])

    def spawn_app(self, *args, scenario=None):
        """Runs ZEVARIDA.EXE to its end; returns its exit code."""
        res = self.probe.run("spawn", "--timeout=%d" % WAIT_EXIT, winpath(APP), *args,
                             env=self.app_env(scenario))
        self.assertEqual(res.rc, 0, "%s %s did not end: %s" % (APP_IMAGE, " ".join(args), res.describe()))
        return int(res.first["exit"])

    def start_first_instance(self, *args):
        """Starts the first instance and waits for its window; returns (pid, window record)."""
        pid = self.start_app(*args)
        res = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(res.rc, 0, "the first start shows no window %r within %d s: %s"
                         % (MAIN_WINDOW_TITLE, WAIT_WINDOW, res.describe()))
        return pid, res.first

    def main_window(self):
        """The record of the window titled MAIN_WINDOW_TITLE, or None."""
        res = self.probe.run("find-window", MAIN_WINDOW_TITLE)
        return res.first if res.rc == 0 else None

    def app_pids(self):
        res = self.probe.run("pids", APP_IMAGE)
        return [int(r["pid"]) for r in res.records if "pid" in r]

    def wait_window_gone(self, seconds=WAIT_EXIT):
        return self.probe.run("wait-gone", MAIN_WINDOW_TITLE, seconds)

    def wait_exit(self, pid, seconds=WAIT_EXIT):
        return self.probe.run("wait-exit", pid, seconds)

    def end_all_instances(self):
        self.probe.run("kill", APP_IMAGE)

    def wine(self, *args):
        """Runs a program of Wine's (sc, reg) in the session; returns its exit code."""
        return subprocess.run(["wine"] + list(args), env=self.session.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60).returncode

    def post_command(self, command, window=MAIN_WINDOW_TITLE):
        """Posts WM_COMMAND COMMAND to WINDOW (the program's unless told), as a menu or button does;
        returns the probe's result."""
        return self.probe.run("post", window, WM_COMMAND, command, 0)

    def settle(self):
        """Gives the program a moment to react to something that must change nothing."""
        window = self.main_window()
        if window:
            self.probe.run("send", "hwnd:" + window["hwnd"], WM_NULL)
        time.sleep(SETTLE)

    # -- assertions

    def assertInstanceEnded(self, pid, why):
        gone = self.wait_window_gone()
        self.assertEqual(gone.rc, 0, "%s: the window %r is still there after %d s: %s"
                         % (why, MAIN_WINDOW_TITLE, WAIT_EXIT, gone.describe()))
        ended = self.wait_exit(pid)
        self.assertEqual(ended.rc, 0, "%s: process %d still runs after %d s: %s"
                         % (why, pid, WAIT_EXIT, ended.describe()))
        self.assertNotIn(pid, self.app_pids(), "%s: process %d is still listed" % (why, pid))

    def assertInstanceRuns(self, pid, window, why):
        now = self.main_window()
        self.assertIsNotNone(now, "%s: the window %r is gone" % (why, MAIN_WINDOW_TITLE))
        self.assertEqual(now["hwnd"], window["hwnd"],
                         "%s: the window %r is another one now" % (why, MAIN_WINDOW_TITLE))
        self.assertEqual(self.app_pids(), [pid],
                         "%s: the first instance (pid %d) should be the only %s" % (why, pid, APP_IMAGE))

    # -- for people to look at

    def screenshot(self, name):
        """Saves the whole X screen as ARTIFACTS_DIR/NAME.png; returns the path."""
        os.makedirs(ARTIFACTS_DIR, exist_ok=True)
        path = os.path.join(ARTIFACTS_DIR, name + ".png")
        env = dict(os.environ, DISPLAY=self.session.display)
        result = subprocess.run(["import", "-window", "root", path], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(result.returncode, 0, "import could not take the screenshot %s" % path)
        return path


# ------------------------------------------------------------------ command line

TEST_MODULES = ["test_single_instance", "test_tray_icons", "test_tray_menu", "test_config_applet",
                "test_dialogs", "test_robustness", "test_real_adapters", "test_installer"]


def list_tests():
    """Prints 'CTEST_NAME UNITTEST_ID' for every case, for the CMake file."""
    sys.path.insert(0, HERE)
    loader = unittest.TestLoader()
    names = {}
    order = {}
    for module_index, module in enumerate(TEST_MODULES):
        suite = loader.loadTestsFromName(module)
        stack = [suite]
        while stack:
            item = stack.pop()
            if isinstance(item, unittest.TestSuite):
                stack.extend(item)
                continue
            test_id = item.id()
            method = test_id.rsplit(".", 1)[1]
            name = "e2e_" + method[len("test_"):]
            if name in names:
                raise HarnessError("two cases named %s: %s and %s" % (name, names[name], test_id))
            names[name] = test_id
            # Listed in the order they are written.
            order[name] = (module_index, getattr(type(item), method).__code__.co_firstlineno)
    for name in sorted(names, key=lambda n: order[n]):
        print(name, names[name])


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    try:
        if command == "setup":
            started = time.time()
            session_up()
            print("e2e: session up in %.1f s (%s)" % (time.time() - started, SESSION_DIR))
        elif command == "cleanup":
            session_down()
            print("e2e: session stopped")
        elif command == "list":
            list_tests()
        else:
            print(__doc__)
            return 2
    except HarnessError as e:
        print("e2e: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
