"""The setup program dist/ZEVARIDA-setup.exe, silent (/S), in the session's
prefix (a new one in every run): what a first install puts in place, the
installed program started from its Run value's command line as at logon (on
our wlanapi.dll, so that it shows an icon), a second install over the running
program, and the uninstaller, after which nothing of ours is left."""

import filecmp
import os
import re
import subprocess
import time

from e2e_harness import APP, DIST_DIR, MAIN_WINDOW_TITLE, REPO, WAIT_WINDOW, WIN_BUILD_DIR, wait_until, winpath
from test_real_adapters import WLAN_LIBRARY, RealAdapterTestCase
from tray_support import LINKED

SETUP = os.path.join(DIST_DIR, "ZEVARIDA-setup.exe")
FOLDER = "C:\\Program Files\\Zevarida"
RUN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zevarida"
# Each installed file and the file of the build it is a copy of.
FILES = {"ZEVARIDA.EXE": APP, "TavroApi.DLL": WLAN_LIBRARY,
         "TAVROCFG.CPL": os.path.join(DIST_DIR, "TAVROCFG.CPL"), "TAVROCSH.DLL": os.path.join(DIST_DIR, "TAVROCSH.DLL"),
         "README.TXT": os.path.join(WIN_BUILD_DIR, "package-readme", "README.TXT")}
SHORTCUTS = ["Read Me.lnk", "Uninstall.lnk", "Wireless LAN Status.lnk"]
# Our wlanapi.dll instead of Wine's; no Linux menu entries made of the shortcuts.
WINE_ENV = {"WINEDLLOVERRIDES": "wlanapi=n;winemenubuilder.exe=d"}
WAIT_SETUP = 90
with open(os.path.join(REPO, "CMakeLists.txt")) as cmake_lists:
    VERSION = re.search(r"project\(\w+ VERSION ([0-9.]+)", cmake_lists.read()).group(1)


class SilentSetup(RealAdapterTestCase):

    def setUp(self):
        super().setUp()
        drive_c = os.path.join(self.session.env["WINEPREFIX"], "drive_c")
        self.folder = os.path.join(drive_c, "Program Files", "Zevarida")
        self.menu = os.path.join(drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Zevarida")
        self.assertFalse(os.path.exists(self.folder), "a copy is installed before the case")
        self.addCleanup(self.uninstall, check=False)

    def spawn(self, exe, *args):
        """Runs a program of the setup to its end; it must exit with 0."""
        started = time.monotonic()
        res = self.probe.run("spawn", "--timeout=%d" % WAIT_SETUP, exe, *args, env=WINE_ENV, timeout=WAIT_SETUP + 30)
        self.assertEqual((res.rc, res.first.get("exit")), (0, "0"), res.describe())
        print("note: %s %s took %.1f s" % (exe.rsplit("\\", 1)[-1], " ".join(args), time.monotonic() - started))

    def reg_values(self, key):
        """{name: data} of a key as `reg query` lists it, {} when the key is missing."""
        out = subprocess.run(["wine", "reg", "query", key], env=self.session.env, stdin=subprocess.DEVNULL,
                             capture_output=True, timeout=60).stdout.decode(errors="replace")
        return dict(m.groups() for m in re.finditer(r"^ {4}(\S+) {4}REG_\w+ {4}(.*?)\r?$", out, re.M))

    def running(self):
        """Waits for the program's window and its icon on our wlanapi.dll; returns the process id."""
        window = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(window.rc, 0, window.describe())
        self.hwnd = int(window.first["hwnd"], 16)
        self.wait_icons({0: LINKED}, what="the installed program")
        return int(window.first["pid"])

    def uninstall(self, check=True):
        """Runs the uninstaller silently and waits for its copy in the temporary folder to finish."""
        if os.path.exists(os.path.join(self.folder, "Uninstall.exe")):
            self.spawn(FOLDER + "\\Uninstall.exe", "/S")
            gone = wait_until(lambda: not self.reg_values(UNINSTALL_KEY), WAIT_SETUP, 1)
            self.assertTrue(gone or not check, "the uninstall entry is still there after %d s" % WAIT_SETUP)

    def test_installer_silent_install_run_upgrade_and_uninstall(self):
        self.install_fake_wlanapi()
        self.spawn(winpath(SETUP), "/S", "/NOSTART")
        for name, built in FILES.items():
            self.assertTrue(filecmp.cmp(os.path.join(self.folder, name), built, shallow=False), name)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted(list(FILES) + ["Uninstall.exe"]))
        self.assertEqual(sorted(os.listdir(self.menu)), SHORTCUTS)
        command = self.reg_values(RUN_KEY).get("ZEVARIDA.EXE")
        self.assertEqual(command, '"%s\\ZEVARIDA.EXE" /START' % FOLDER, "the program's own format")
        entry = self.reg_values(UNINSTALL_KEY)
        self.assertGreater(int(entry.pop("EstimatedSize", "0"), 16), 200, "KB")
        self.assertEqual(entry, {
            "DisplayName": "Wireless LAN Status Tray Applet", "DisplayVersion": VERSION,
            "Publisher": "Quorvane", "DisplayIcon": FOLDER + "\\ZEVARIDA.EXE,0", "InstallLocation": FOLDER,
            "UninstallString": '"%s\\Uninstall.exe"' % FOLDER, "QuietUninstallString": '"%s\\Uninstall.exe" /S' % FOLDER,
            "NoModify": "0x1", "NoRepair": "0x1"})
        self.assertEqual(self.app_pids(), [], "/NOSTART leaves the program stopped")

        # Started as at logon: the Run value's text is the whole command line.
        self.assertEqual(self.probe.run("start", "--line", command, env=WINE_ENV).rc, 0)
        first = self.running()

        # Over the running program: stopped, every file written again, started again.
        written = {name: os.stat(os.path.join(self.folder, name)).st_ctime_ns for name in FILES}
        self.spawn(winpath(SETUP), "/S")
        self.assertNotIn(first, self.app_pids(), "the first instance should have ended")
        second = self.running()
        self.assertEqual(self.app_pids(), [second], "exactly one instance")
        self.assertEqual([name for name in FILES if os.stat(os.path.join(self.folder, name)).st_ctime_ns
                          <= written[name]], [], "files not replaced")

        self.uninstall()
        self.assertEqual(self.wait_exit(second).rc, 0, "the program should have ended")
        self.assertEqual(self.app_pids(), [])
        self.assertEqual([p for p in (self.folder, self.menu) if os.path.exists(p)], [], "left behind")
        self.assertNotIn("ZEVARIDA.EXE", self.reg_values(RUN_KEY))
