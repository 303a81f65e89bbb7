"""The program on the real-adapter TavroApi.DLL (dist/wlan/) instead of the
simulator, copied with ZEVARIDA.EXE into a folder of their own. On Wine's
WLAN API, which lists no interface, it shows no icon and ends cleanly on a
later start with STOP, closing its WLAN client handle. On our wlanapi.dll
(fakewlanapi.cpp) with one connected interface, the icon, its tooltip and the
radio commands work through the library's exports, the configuration applet's
status page shows the fake's network, the icon stays linked while the fake
refuses the connection reading (location consent) and comes back after the
fake's service stops and runs again, a second interface plugged in while
the program runs gets its icon within two seconds (the service reports it;
the program itself refreshes its collection only every two minutes) and
loses it as fast, and the site survey shows Windows' reason for a scan and
for a connect that failed."""

import os
import shutil
import subprocess
import time
import unittest

from applet_support import AppletMixin
from e2e_harness import (APP, APP_IMAGE, DIST_DIR, EXIT_CODE_ALREADY_RUNNING, MAIN_WINDOW_TITLE, WAIT_EXIT,
                         WAIT_WINDOW, WIN_BUILD_DIR, wait_until, winpath)
from program_ids import APPLET, PROGRAM
from tray_support import LINKED, NO_ICON, RADIO_OFF, TrayLayout, TrayTestCase
from win32 import BM_CLICK

WLAN_LIBRARY = os.path.join(DIST_DIR, "wlan", "TavroApi.DLL")
FAKE_WLANAPI = os.path.join(WIN_BUILD_DIR, "tests", "e2e", "wlanapi.dll")
APPLET_FILE = os.path.join(DIST_DIR, "TAVROCFG.CPL")
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
        """Puts our wlanapi.dll in the prefix's system folder for 32-bit programs
        (syswow64 in a 64-bit prefix), the one place the library loads it from,
        and Wine's own back when the case ends."""
        windows = os.path.join(self.session.env["WINEPREFIX"], "drive_c", "windows")
        system = os.path.join(windows, "syswow64")
        if not os.path.isdir(system):
            system = os.path.join(windows, "system32")
        installed = os.path.join(system, "wlanapi.dll")
        if os.path.exists(installed):
            # Kept in memory: tearDown empties the work folder before the cleanups run.
            with open(installed, "rb") as f:
                wine_own = f.read()

            def put_back():
                with open(installed, "wb") as f:
                    f.write(wine_own)
            self.addCleanup(put_back)
        else:
            self.addCleanup(os.remove, installed)
        shutil.copy(FAKE_WLANAPI, installed)

    def set_fake_mode(self, mode):
        """Tells the fake's service what to be: "refuse", "stopped" or "running",
        then words of what it has: "second" (a second interface),
        "fail-connect=N" (a connect fails with the WLAN_REASON_CODE N)
        (the file FAKEWLAN_CONTROL names, written whole and moved into place)."""
        control = os.path.join(self.workdir, "fakewlan.mode")
        with open(control + ".new", "w") as f:
            f.write(mode)
        os.replace(control + ".new", control)
        return {"FAKEWLAN_CONTROL": winpath(control)}


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


class OneInterface(AppletMixin, RealAdapterTestCase):

    def test_one_connected_interface_shows_its_icon_and_switches_its_radio(self):
        self.install_fake_wlanapi()
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n")
        self.wait_icons({0: LINKED}, what="on the interface")
        self.assertEqual(self.tip_of(0), "E2E Wireless LAN Card\nSpeed: 54.0 Mbps\nExcellent Link Quality 100%")

        # The menu's radio commands switch the interface's software radio,
        # and the icon follows what the library reads back.
        for command, state in ((PROGRAM.ID_RADIO_OFF, RADIO_OFF), (PROGRAM.ID_RADIO_ON, LINKED)):
            self.park_pointer_on(0)
            self.tray_click(0)
            self.choose_menu_item(command)
            self.wait_icons({0: state}, what="after command %d" % command)
            self.assertIconsStay({0: state}, "after command %d" % command)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")

    def test_status_page_shows_the_network_of_the_fake(self):
        self.install_fake_wlanapi()
        shutil.copy(APPLET_FILE, os.path.join(self.workdir, "TAVROCFG.CPL"))
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n")
        self.wait_icons({0: LINKED}, what="on the interface")
        self.tray_click(0, "double")
        applet = self.wait_applet("after a double click")

        def shown():
            # The page is a child dialog of the applet's window.
            controls = self.probe.run("children", "hwnd:" + applet["hwnd"]).records
            return {int(c["id"]): c.get("text", "") for c in controls if c.get("id", "").isdigit()}
        wait_until(lambda: shown().get(APPLET.IDC_NETWORK), WAIT_WINDOW)
        texts = shown()
        shown_values = tuple(texts.get(i) for i in (APPLET.IDC_NETWORK, APPLET.IDC_ACCESS_POINT, APPLET.IDC_CHANNEL))
        self.assertEqual(shown_values, ("E2E-Home", "02:E2:E0:00:00:01", "36 (5 GHz)"), "the status page: %r" % texts)
        self.close_applet(applet)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")

    def test_site_survey_shows_windows_reason_for_a_failed_scan_and_a_failed_connect(self):
        self.install_fake_wlanapi()
        shutil.copy(APPLET_FILE, os.path.join(self.workdir, "TAVROCFG.CPL"))
        # WLAN_REASON_CODE_UNKNOWN for the scan, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE for the connect.
        control = self.set_fake_mode("running fail-scan=0x10001 fail-connect=0x2800B")
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n", **control)
        self.wait_icons({0: LINKED}, what="on the interface")
        self.post_command(PROGRAM.ID_SITE_SURVEY)
        applet = self.wait_applet("after the site survey command")

        def status():
            return self.applet_texts(applet)[APPLET.IDC_SURVEY_STATUS][0]
        # The first list comes from a scan, which the service reports failed
        # a second later: its reason stands in place of a count.
        failed_scan = "Windows could not scan for networks. The reason is not known."
        self.assertTrue(wait_until(lambda: status() == failed_scan, WAIT_WINDOW), status())
        names = [cells[0] for cells in self.applet_list(applet, APPLET.IDC_SURVEY_LIST)]
        self.assertEqual(sorted(names), ["E2E-Cafe", "E2E-Home"], "the list Windows keeps")

        # Connect answers at once; the service reports the failure half a second later.
        self.applet_list(applet, APPLET.IDC_SURVEY_LIST, names.index("E2E-Cafe"))
        connect = self.applet_texts(applet)[APPLET.IDC_CONNECT]
        self.assertTrue(connect[1], "Connect should be offered for an open network")
        self.probe.run("post", "hwnd:" + connect[2], BM_CLICK)
        failed = '2 networks in range. Could not connect to "E2E-Cafe". The network is not available.'
        self.assertTrue(wait_until(lambda: status() == failed, WAIT_WINDOW), status())
        self.close_applet(applet)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")

    def test_refused_connection_stays_linked_and_a_restarted_service_brings_the_icon_back(self):
        self.install_fake_wlanapi()
        control = self.set_fake_mode("refuse")
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n", **control)
        self.wait_icons({0: LINKED}, what="with the connection reading refused (-55 dBm)")
        self.assertIconsStay({0: LINKED}, "with the connection reading refused")
        self.set_fake_mode("stopped")
        self.wait_icons({0: NO_ICON}, what="while the service is stopped", seconds=10)
        self.set_fake_mode("running")
        self.wait_icons({0: LINKED}, what="after the service runs again", seconds=10)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")


class PluggedInterface(RealAdapterTestCase):

    def test_a_second_interface_plugged_in_gets_its_icon_within_two_seconds(self):
        self.install_fake_wlanapi()
        control = self.set_fake_mode("running")
        process = self.start_copy(WINEDLLOVERRIDES="wlanapi=n", **control)
        self.wait_icons({0: LINKED, 1: NO_ICON}, what="on the first interface")
        self.set_fake_mode("running second")
        elapsed = self.wait_icons({0: LINKED, 1: LINKED}, what="after a second interface is plugged in", seconds=2)
        print("note: the second interface's icon showed after %.1f s" % elapsed)
        self.assertEqual(self.tip_of(1).split("\n")[0], "E2E Second Card")
        self.assertEqual(self.tip_of(0).split("\n")[0], "E2E Wireless LAN Card", "the first slot names its own adapter")
        self.set_fake_mode("running")
        self.wait_icons({0: LINKED, 1: NO_ICON}, what="after it is pulled out", seconds=2)
        self.assertEqual(self.stop_copy(process), 0, "the instance's exit code")


if __name__ == "__main__":
    unittest.main()
