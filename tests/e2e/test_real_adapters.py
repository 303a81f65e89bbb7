"""The program on the real-adapter TavroApi.DLL (dist/wlan/) instead of the
simulator, copied with ZEVARIDA.EXE into a folder of their own. On Wine's
WLAN API, which lists no interface, it shows no icon and ends cleanly on a
later start with STOP, closing its WLAN client handle. On our wlanapi.dll
(fakewlanapi.cpp) with one connected interface, the icon, its tooltip and the
radio commands work through the library's exports."""

import os
import shutil
import subprocess
import time
import unittest

from e2e_harness import (APP, APP_IMAGE, DIST_DIR, EXIT_CODE_ALREADY_RUNNING, MAIN_WINDOW_TITLE, WAIT_EXIT,
                         WAIT_WINDOW, WIN_BUILD_DIR, winpath)
from tray_support import LINKED, RADIO_OFF, TrayLayout, TrayTestCase

WLAN_LIBRARY = os.path.join(DIST_DIR, "wlan", "TavroApi.DLL")
FAKE_WLANAPI = os.path.join(WIN_BUILD_DIR, "tests", "e2e", "wlanapi.dll")
ID_RADIO_ON = 32778
ID_RADIO_OFF = 32779
# Long enough for the first two poll ticks (one a second) to have run.
TICKS = 2.5


class RealAdapterTestCase(TrayTestCase):
    """Runs a copy of the program with the real-adapter library beside it."""

    def setUp(self):
        super().setUp()
        self.assertTrue(os.path.isfile(WLAN_LIBRARY), "build the Windows binaries first: %s" % WLAN_LIBRARY)
        shutil.copy(APP, os.path.join(self.workdir, APP_IMAGE))
        shutil.copy(WLAN_LIBRARY, os.path.join(self.workdir, "TavroApi.DLL"))
        self.exe = os.path.join(self.workdir, APP_IMAGE)
        self.trace = os.path.join(self.workdir, "wlanapi.log")

    def start_copy(self, **env_vars):
        """Starts the copy with Wine's wlanapi trace going to a file; returns the process."""
        env = dict(self.session.env, WINEDEBUG="-all,+wlanapi", **env_vars)
        with open(self.trace, "wb") as log:
            process = subprocess.Popen(["wine", self.exe], env=env, cwd=self.workdir, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=log)
        self.addCleanup(lambda: process.poll() is None and process.kill())
        window = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(window.rc, 0, "no window %r: %s" % (MAIN_WINDOW_TITLE, window.describe()))
        self.window = window.first
        self.hwnd = int(self.window["hwnd"], 16)
        return process

    def stop_copy(self, process):
        """A later start with STOP; returns the instance's exit code."""
        stop = self.probe.run("spawn", "--timeout=%d" % WAIT_EXIT, winpath(self.exe), "STOP")
        self.assertEqual(stop.rc, 0, stop.describe())
        self.assertEqual(int(stop.first["exit"]), EXIT_CODE_ALREADY_RUNNING)
        self.assertEqual(self.wait_window_gone().rc, 0, "the window is still there after STOP")
        try:
            code = process.wait(timeout=WAIT_EXIT)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end after STOP")
        self.assertEqual(self.app_pids(), [])
        return code

    def install_fake_wlanapi(self):
        """Puts our wlanapi.dll in the prefix's system folder, the one place the
        library loads it from, and Wine's own back when the case ends."""
        system = os.path.join(self.session.env["WINEPREFIX"], "drive_c", "windows", "system32")
        installed = os.path.join(system, "wlanapi.dll")
        kept = os.path.join(self.workdir, "wlanapi.dll.wine")
        if os.path.exists(installed):
            shutil.copy(installed, kept)
            self.addCleanup(shutil.copy, kept, installed)
        else:
            self.addCleanup(os.remove, installed)
        shutil.copy(FAKE_WLANAPI, installed)


class WineWlan(RealAdapterTestCase):

    def test_real_adapter_library_shows_no_icon_under_wine_and_ends_on_stop(self):
        process = self.start_copy()
        time.sleep(TICKS)
        self.assertIsNone(process.poll(), "the program ended on its own")
        self.assertEqual(TrayLayout.from_log(self.session.desktop_log).slots(self.hwnd), [],
                         "Wine lists no WLAN interface, so no icon should show")
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")

        with open(self.trace, "rb") as f:
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


class OneInterface(RealAdapterTestCase):

    def test_one_connected_interface_shows_its_icon_and_switches_its_radio(self):
        self.install_fake_wlanapi()
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n")
        self.wait_icons({0: LINKED}, what="on the interface")
        self.assertEqual(self.tip_of(0), "E2E Wireless LAN Card\nSpeed: 54.0 Mbps\nExcellent Link Quality 100%")

        # The menu's radio commands switch the interface's software radio,
        # and the icon follows what the library reads back.
        for command, state in ((ID_RADIO_OFF, RADIO_OFF), (ID_RADIO_ON, LINKED)):
            self.park_pointer_on(0)
            self.tray_click(0)
            self.choose_menu_item(command)
            self.wait_icons({0: state}, what="after command %d" % command)
            self.assertIconsStay({0: state}, "after command %d" % command)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")


if __name__ == "__main__":
    unittest.main()
