"""The setup program dist/ZEVARIDA-setup.exe, in the session's 32-bit prefix
and in a 64-bit prefix of its own (where it installs into C:\\Program Files
(x86) and the system folder of 32-bit programs is syswow64), one life each:

- on Windows 98 and NT 4 (Wine's version setting for the setup program) it
  says why it cannot serve them, installs nothing and exits with 1150; a
  Cancel on its first page exits with 1;
- a silent install puts the files (byte for byte the build's, each signature
  verified) in place, with the Start menu folder, the Run value and the whole
  uninstall entry, and does not start the program;
- an upgrade while another process holds ZEVARIDA.EXE (a copy running for
  another user or session, which shows no mutex or window here) changes
  nothing and exits with 2;
- the installed program starts from its Run value's command line, as at
  logon, and shows its icon on our wlanapi.dll; a silent upgrade with /START
  over it ends it, writes every file again and starts one new instance;
- after "Remove Status Icon Permanently" an upgrade writes no Run value, and
  /AUTORUN=1 writes it;
- QuietUninstallString returns when the program's folder is gone, with 0,
  leaving no Start menu folder, Run value or entry, and the uninstaller goes
  a moment later.
Wine gives every program administrator rights, so the setup's refusal without
them (740) and the difference between an elevated and a user's start cannot
be shown here."""

import filecmp
import math
import os
import re
import subprocess
import time

from e2e_harness import (APP, DIST_DIR, MAIN_WINDOW_TITLE, REPO, SESSION_DIR, WAIT_EXIT, WAIT_WINDOW, WIN_BUILD_DIR,
                         Probe, session_down, session_up, wait_until, winpath)
from program_ids import PROGRAM
from test_dialogs import REMOVE_TITLE, DialogTestCase
from test_real_adapters import WLAN_LIBRARY, RealAdapterTestCase
from tray_support import LINKED
from win32 import IDCANCEL, IDOK, IDYES

SETUP_IMAGE = "ZEVARIDA-setup.exe"
SETUP = os.path.join(DIST_DIR, SETUP_IMAGE)
SETUP_TITLE = "Wireless LAN Status Tray Applet Setup"
SIGNER = os.path.join(WIN_BUILD_DIR, "signing", "signer.crt")
SIGN_SCRIPT = os.path.join(REPO, "scripts", "sign.sh")
RUN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zevarida"
# Each installed file and the file of the build it is a copy of.
FILES = {"ZEVARIDA.EXE": APP, "TavroApi.DLL": WLAN_LIBRARY,
         "TAVROCFG.CPL": os.path.join(DIST_DIR, "TAVROCFG.CPL"), "TAVROCSH.DLL": os.path.join(DIST_DIR, "TAVROCSH.DLL"),
         "README.TXT": os.path.join(WIN_BUILD_DIR, "package-readme", "README.TXT")}
SHORTCUTS = ["Read Me.lnk", "Uninstall.lnk", "Wireless LAN Status.lnk"]
# No Linux menu entries made of the shortcuts.
WINE_ENV = {"WINEDLLOVERRIDES": "winemenubuilder.exe=d"}
WAIT_SETUP = 90
EXIT_CANCELLED, EXIT_IN_USE, ERROR_OLD_WIN_VERSION = 1, 2, 1150
OLD_WINDOWS_MESSAGE = ("The Wireless LAN Status Tray Applet needs Windows XP with Service Pack 2 or a later Windows: "
                       "on this one it would find no wireless adapter. Nothing has been installed.")
with open(os.path.join(REPO, "CMakeLists.txt")) as cmake_lists:
    VERSION = re.search(r"project\(\w+ VERSION ([0-9.]+)", cmake_lists.read()).group(1)


class SetupLife(DialogTestCase, RealAdapterTestCase):
    """The life of the setup program in the class's session; PROGRAM_FILES is
    where a 32-bit program installs there."""

    PROGRAM_FILES = "C:\\Program Files"

    def setUp(self):
        super().setUp()
        drive_c = os.path.join(self.session.env["WINEPREFIX"], "drive_c")
        self.folder_name = self.PROGRAM_FILES + "\\Zevarida"
        self.folder = self.unix(self.folder_name)
        self.uninstaller = self.unix(self.PROGRAM_FILES + "\\Common Files\\Zevarida\\Uninstall.exe")
        self.menu = os.path.join(drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Zevarida")
        self.assertFalse(os.path.exists(self.folder), "a copy is installed before the case")
        self.addCleanup(self.uninstall, check=False)

    def unix(self, windows_path):
        """Where a C: path of the prefix lies on the host."""
        drive_c = os.path.join(self.session.env["WINEPREFIX"], "drive_c")
        return os.path.join(drive_c, *windows_path[len("C:\\"):].split("\\"))

    # -- running the setup program and the uninstaller

    def setup(self, *args, expect=0):
        """Runs the setup program silently to its end; it must exit with EXPECT."""
        self.run_to_end(winpath(SETUP), *args, expect=expect)

    def run_to_end(self, *command, expect):
        started = time.monotonic()
        res = self.probe.run("spawn", "--timeout=%d" % WAIT_SETUP, *command, env=WINE_ENV, timeout=WAIT_SETUP + 30)
        self.assertEqual((res.rc, res.first.get("exit")), (0, str(expect)), res.describe())
        print("note: %s took %.1f s" % (" ".join(command), time.monotonic() - started))

    def start_setup_window(self):
        """Starts the setup program with its windows, from a probe.exe that waits
        for its exit code; returns that probe and the program's first window."""
        spawned = self.probe.start("spawn", "--timeout=%d" % WAIT_SETUP, winpath(SETUP))
        window = self.probe.run("wait-window", SETUP_TITLE, WAIT_WINDOW)
        self.assertEqual(window.rc, 0, window.describe())
        return spawned, window.first

    def exit_code(self, spawned):
        ended = spawned.finish(WAIT_SETUP + 30)
        self.assertEqual(ended.rc, 0, ended.describe())
        return int(ended.first["exit"])

    def reg_values(self, key):
        """{name: data} of a key in the 32-bit programs' view, {} when the key is missing."""
        out = subprocess.run(["wine", "reg", "query", key, "/reg:32"], env=self.session.env, stdin=subprocess.DEVNULL,
                             capture_output=True, timeout=60).stdout.decode(errors="replace")
        return dict(m.groups() for m in re.finditer(r"^ {4}(\S+) {4}REG_\w+ {4}(.*?)\r?$", out, re.M))

    def uninstall(self, check=True):
        """Runs the entry's QuietUninstallString as a package manager does."""
        command = self.reg_values(UNINSTALL_KEY).get("QuietUninstallString")
        if command:
            self.run_to_end("--line", command, expect=0)
        self.assertTrue(not check or command, "no QuietUninstallString")

    # -- what is installed

    def running(self):
        """Waits for the program's window and its icon on our wlanapi.dll; returns the process id."""
        window = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(window.rc, 0, window.describe())
        self.hwnd = int(window.first["hwnd"], 16)
        self.wait_icons({0: LINKED}, what="the installed program")
        return int(window.first["pid"])

    def change_times(self):
        paths = [os.path.join(self.folder, name) for name in FILES] + [self.uninstaller]
        return {path: os.stat(path).st_ctime_ns for path in paths}

    def installed_state(self):
        """Everything the setup program writes, to see that a refused one wrote nothing."""
        return (self.change_times(), self.reg_values(UNINSTALL_KEY), self.run_value(), sorted(os.listdir(self.menu)))

    def assertInstalled(self):
        for name, built in FILES.items():
            self.assertTrue(filecmp.cmp(os.path.join(self.folder, name), built, shallow=False), name)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted(FILES), "the uninstaller lives outside the folder")
        self.assertEqual(sorted(os.listdir(self.menu)), SHORTCUTS)
        self.assertEqual(self.run_value(), '"%s\\ZEVARIDA.EXE" /START' % self.folder_name, "the program's own format")
        entry = self.reg_values(UNINSTALL_KEY)
        size = sum(os.path.getsize(p) for p in [os.path.join(self.folder, name) for name in FILES] + [self.uninstaller])
        uninstaller = self.PROGRAM_FILES + "\\Common Files\\Zevarida\\Uninstall.exe"
        major, minor = VERSION.split(".")[:2]
        self.assertEqual(entry, {
            "DisplayName": "Wireless LAN Status Tray Applet", "DisplayVersion": VERSION,
            "VersionMajor": hex(int(major)), "VersionMinor": hex(int(minor)), "InstallDate": time.strftime("%Y%m%d"),
            "Publisher": "Quorvane", "DisplayIcon": self.folder_name + "\\ZEVARIDA.EXE,0",
            "InstallLocation": self.folder_name, "EstimatedSize": hex(math.ceil(size / 1024)),
            "UninstallString": '"%s" _?=%s' % (uninstaller, self.folder_name),
            "QuietUninstallString": '"%s" /S _?=%s' % (uninstaller, self.folder_name),
            "NoModify": "0x1", "NoRepair": "0x1"})

    def assertSigned(self, paths):
        for path in paths:
            result = subprocess.run(["bash", SIGN_SCRIPT, "verify", SIGNER, path], capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, "%s: %s" % (path, result.stderr))

    # -- the life

    def refused_on_old_windows(self):
        """Windows 98 and NT 4 get the message and exit code 1150; nothing is installed."""
        self.addCleanup(self.session.set_windows_version, None, SETUP_IMAGE)
        for version in ("win98", "nt40"):
            self.assertTrue(self.session.set_windows_version(version, SETUP_IMAGE))
            spawned, box = self.start_setup_window()
            texts = [c.get("text", "") for c in self.probe.run("children", "hwnd:" + box["hwnd"]).records]
            self.assertTrue(any(t.startswith(OLD_WINDOWS_MESSAGE) for t in texts), "%s: %r" % (version, texts))
            self.post_command(IDOK, "hwnd:" + box["hwnd"])
            self.assertEqual(self.exit_code(spawned), ERROR_OLD_WIN_VERSION, version)
            self.assertEqual((os.path.exists(self.folder), self.reg_values(UNINSTALL_KEY)), (False, {}), version)
        self.session.set_windows_version(None, SETUP_IMAGE)

    def cancelled(self):
        """Cancel on the first page, then "Yes" to the question whether to quit: exit code 1."""
        spawned, wizard = self.start_setup_window()
        self.post_command(IDCANCEL, "hwnd:" + wizard["hwnd"])

        def question():
            for window in self.probe.run("windows", wizard["pid"]).records:
                if window.get("visible") == "1" and window.get("hwnd") != wizard["hwnd"]:
                    ids = [c.get("id") for c in self.probe.run("children", "hwnd:" + window["hwnd"]).records]
                    if str(IDYES) in ids:
                        return window["hwnd"]
            return None
        box = wait_until(question, WAIT_WINDOW)
        self.assertIsNotNone(box, "no question whether to quit")
        self.post_command(IDYES, "hwnd:" + box)
        self.assertEqual(self.exit_code(spawned), EXIT_CANCELLED)
        self.assertFalse(os.path.exists(self.folder))

    def upgrade_refused_while_held(self):
        """ZEVARIDA.EXE held as another session's running copy holds it: exit 2, nothing changed."""
        before = self.installed_state()
        holder = self.probe.start("hold-image", self.folder_name + "\\ZEVARIDA.EXE", WAIT_SETUP)
        self.addCleanup(lambda: holder.process.poll() is None and holder.process.kill())

        def holding():
            holder.out.seek(0)
            return b"holding" in holder.out.read()
        self.assertTrue(wait_until(holding, WAIT_WINDOW), "probe.exe hold-image did not map the file")
        self.setup("/S", expect=EXIT_IN_USE)
        self.assertEqual(self.installed_state(), before, "a refused upgrade changed something")
        holder.process.kill()
        holder.finish()

    def run_life(self):
        self.refused_on_old_windows()
        self.cancelled()
        self.install_fake_wlanapi()
        self.setup("/S")
        self.assertInstalled()
        self.assertEqual(self.app_pids(), [], "a silent install starts the program only with /START")
        self.assertSigned([SETUP, self.uninstaller] + [os.path.join(self.folder, name) for name in FILES
                                                       if name != "README.TXT"])
        self.upgrade_refused_while_held()

        # Started as at logon: the Run value's text is the whole command line.
        self.assertEqual(self.probe.run("start", "--line", self.run_value()).rc, 0)
        first = self.running()

        # Over the running program: stopped, every file written again, started
        # again through the desktop's shell.
        written = self.change_times()
        self.setup("/S", "/START")
        self.assertNotIn(first, self.app_pids(), "the first instance should have ended")
        second = self.running()
        self.assertEqual(self.app_pids(), [second], "exactly one instance")
        self.assertEqual([path for path, time_ns in self.change_times().items() if time_ns <= written[path]], [],
                         "files not replaced")

        # "Remove Status Icon Permanently": the Run value goes, and an upgrade
        # keeps that; the switch writes it again.
        self.post_command(PROGRAM.ID_REMOVE_STATUS_ICON)
        dialog = self.probe.run("wait-window", REMOVE_TITLE, WAIT_WINDOW)
        self.assertEqual(dialog.rc, 0, dialog.describe())
        self.click(dialog.first, PROGRAM.IDC_REMOVE_PERMANENTLY)
        self.click(dialog.first, IDOK)
        self.assertInstanceEnded(second, "after \"&Yes\" with the box ticked")
        self.assertIsNone(self.run_value())
        self.setup("/S")
        self.assertIsNone(self.run_value(), "an upgrade turned autorun on again")
        self.setup("/S", "/AUTORUN=1")
        self.assertEqual(self.run_value(), '"%s\\ZEVARIDA.EXE" /START' % self.folder_name)

        # The entry's quiet command returns when the folder is gone, with 0.
        self.uninstall()
        self.assertEqual([p for p in (self.folder, self.menu) if os.path.exists(p)], [], "left behind")
        self.assertEqual((self.reg_values(UNINSTALL_KEY), self.run_value()), ({}, None))
        self.assertTrue(wait_until(lambda: not os.path.exists(os.path.dirname(self.uninstaller)), WAIT_EXIT),
                        "the uninstaller's folder is still there")
        self.assertEqual(self.app_pids(), [])


class SetupIn32BitPrefix(SetupLife):

    def test_installer_refuses_old_windows_installs_upgrades_and_uninstalls_in_a_32_bit_prefix(self):
        self.run_life()


class SetupIn64BitPrefix(SetupLife):
    """The same in a 64-bit prefix, made for this case alone (15 to 60 s)."""

    PROGRAM_FILES = "C:\\Program Files (x86)"
    SESSION = SESSION_DIR + "-win64"

    @classmethod
    def setUpClass(cls):
        cls.session = session_up(cls.SESSION, arch="win64")
        cls.probe = Probe(cls.session)

    @classmethod
    def tearDownClass(cls):
        session_down(cls.SESSION)

    def test_installer_refuses_old_windows_installs_upgrades_and_uninstalls_in_a_64_bit_prefix(self):
        self.run_life()
