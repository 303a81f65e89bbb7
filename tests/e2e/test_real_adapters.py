"""The program on the real-adapter TavroApi.DLL (dist/wlan/) instead of the
simulator: copied with ZEVARIDA.EXE into a folder of their own, it starts,
asks Wine's WLAN API for interfaces, shows no icon because Wine lists none,
and ends cleanly on a later start with STOP, closing its WLAN client handle."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from e2e_harness import (APP, APP_IMAGE, AppTestCase, DIST_DIR, EXIT_CODE_ALREADY_RUNNING, MAIN_WINDOW_TITLE,
                         SESSION_DIR, WAIT_EXIT, WAIT_WINDOW, winpath)
from tray_support import TrayLayout

WLAN_LIBRARY = os.path.join(DIST_DIR, "wlan", "TavroApi.DLL")
# Long enough for the first two poll ticks (one a second) to have run.
TICKS = 2.5


class RealAdapters(AppTestCase):

    def setUp(self):
        super().setUp()
        self.assertTrue(os.path.isfile(WLAN_LIBRARY), "build the Windows binaries first: %s" % WLAN_LIBRARY)
        self.folder = tempfile.mkdtemp(prefix="real-adapters-", dir=SESSION_DIR)
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copy(APP, os.path.join(self.folder, APP_IMAGE))
        shutil.copy(WLAN_LIBRARY, os.path.join(self.folder, "TavroApi.DLL"))
        self.exe = os.path.join(self.folder, APP_IMAGE)

    def start_with_wlan_trace(self):
        """Starts the copy with Wine's wlanapi trace going to a file; returns (process, trace path)."""
        trace = os.path.join(self.folder, "wlanapi.log")
        env = dict(self.session.env, WINEDEBUG="-all,+wlanapi")
        env.pop("TAVROAPI_SCENARIO", None)
        with open(trace, "wb") as log:
            process = subprocess.Popen(["wine", self.exe], env=env, cwd=self.folder, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=log)
        self.addCleanup(lambda: process.poll() is None and process.kill())
        return process, trace

    def test_real_adapter_library_shows_no_icon_under_wine_and_ends_on_stop(self):
        process, trace = self.start_with_wlan_trace()
        window = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(window.rc, 0, "no window %r: %s" % (MAIN_WINDOW_TITLE, window.describe()))
        hwnd = int(window.first["hwnd"], 16)
        time.sleep(TICKS)
        self.assertIsNone(process.poll(), "the program ended on its own")
        self.assertEqual(TrayLayout.from_log(self.session.desktop_log).slots(hwnd), [],
                         "Wine lists no WLAN interface, so no icon should show")

        stop = self.probe.run("spawn", "--timeout=%d" % WAIT_EXIT, winpath(self.exe), "STOP")
        self.assertEqual(stop.rc, 0, stop.describe())
        self.assertEqual(int(stop.first["exit"]), EXIT_CODE_ALREADY_RUNNING)
        self.assertEqual(self.wait_window_gone().rc, 0, "the window is still there after STOP")
        try:
            code = process.wait(timeout=WAIT_EXIT)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end after STOP")
        self.assertEqual(code, 0, "the instance's exit code")
        self.assertEqual(self.app_pids(), [])

        with open(trace, "rb") as f:
            calls = f.read().decode(errors="replace")
                # The newest client version was asked for and given, the interfaces
        # enumerated (Wine answers with an empty list, which is freed), and
        # the handle closed when the program's last library object went.
        self.assertIn("WlanOpenHandle (2,", calls)
        self.assertNotIn("WlanOpenHandle (1,", calls)
        self.assertIn("WlanEnumInterfaces", calls)
        self.assertIn("WlanFreeMemory", calls)
        self.assertIn("WlanCloseHandle", calls)
        self.assertLess(calls.index("WlanOpenHandle"), calls.index("WlanCloseHandle"))


if __name__ == "__main__":
    unittest.main()
