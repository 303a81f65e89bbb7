"""The configuration applet: the page commands open TAVROCFG.CPL inside the
program on the page they ask for, each page shows the demo scenario's data
with no text cut off, a Connect from the site survey marks its row
"Connected" when Windows (here the simulator) tells the outcome, what the
system would refuse is greyed with the reason beside it, every page shows
long names whole at 96, 120, 144 and 192 DPI and Ctrl+Page Down walks
through them, a second request brings the open applet to the front,
CONFIGURE and a later start open it without a click, and the commands the
system's wireless service takes over are greyed while it runs."""

import os
import shutil
import time
import unittest

from applet_support import APPLET_TITLE, WAIT_APPLET, AppletMixin, read_applet_log
from e2e_harness import EXIT_CODE_ALREADY_RUNNING, MAIN_WINDOW_TITLE, PROBE, SCENARIO, wait_until, winpath
from program_ids import APPLET, PROGRAM
from tray_support import LINKED, TrayTestCase, adapter
from win32 import BM_CLICK, MF_GRAYED

INTERFACES_KEY = "HKLM\\SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\"


class ConfigAppletTestCase(AppletMixin, TrayTestCase):

    def setUp(self):
        super().setUp()
        self.applet_log_path = os.path.join(self.workdir, "applet.log")

    def app_env(self, scenario=None):
        env = super().app_env(scenario)
        env["TAVROCFG_LOG"] = winpath(self.applet_log_path)
        return env

    def applet_log(self):
        return read_applet_log(self.applet_log_path)

    def configure_line(self, page, adapter_id):
        return 'Configure count=3 match="" adapter="%s" page="%s" reserved=0' % (adapter_id, page)

    def wait_applet_log(self, line):
        wait_until(lambda: line in self.applet_log(), WAIT_APPLET)


class PageCommands(ConfigAppletTestCase):

    def test_menu_opens_the_about_page_and_a_second_command_brings_it_forward(self):
        card = adapter(0, "Wireless LAN Card A")
        pid = self.start_tray([card], icons={0: LINKED})
        self.park_pointer_on(0)
        self.tray_click(0)
        self.choose_menu_item(PROGRAM.ID_VERSION_INFORMATION)
        applet = self.wait_applet("after \"&Version Information...\"")
        self.assertEqual(int(applet["pid"]), pid, "the applet should run inside the program: %r" % applet)
        self.assertEqual(self.applet_page(applet), ("ABOUT", card["id"], "Wireless LAN Card A"))
        self.assertEqual(self.applet_log(), [self.configure_line("ABOUT", card["id"])])
        # What the applet's button opens for this page on the NT family, in words.
        texts = self.applet_texts(applet)
        self.assertEqual((texts[APPLET.IDC_OPEN_SYSTEM_SETTINGS][0], texts[APPLET.IDC_SYSTEM_SETTINGS][0]),
                         ("&Open Network Connections", "The adapter's properties and Windows' own wireless settings."))
        self.screenshot("config_applet_about")

        # Another process sends a page command while the applet is open.
        self.post_command(PROGRAM.ID_SITE_SURVEY)
        self.wait_applet_log("popup")
        self.assertEqual(self.applet_log(), [self.configure_line("ABOUT", card["id"]), "popup"])
        self.assertEqual(len(self.probe.run("find-window", APPLET_TITLE).records), 1, "a second applet opened")
        front = self.probe.run("foreground")
        self.assertEqual(front.first.get("hwnd"), applet["hwnd"], "the applet should be in front: %r" % front.first)

        # The button starts the system's settings; Wine's control.exe has no
        # such applet and ends at once, and ours stays open.
        self.post_command(APPLET.IDC_OPEN_SYSTEM_SETTINGS, "hwnd:" + applet["hwnd"])
        self.wait_applet_log("system settings control.exe ncpa.cpl")
        self.assertEqual(self.applet_log()[2:], ["system settings control.exe ncpa.cpl"])
        self.assertEqual(self.probe.run("wait-window", APPLET_TITLE, 1).first.get("hwnd"), applet["hwnd"])

        self.close_applet(applet)
        self.assertEqual(self.applet_log()[-1], "closed")
        self.settle()
        window = self.main_window()
        self.assertEqual((window["visible"], window["enabled"]), ("0", "0"),
                         "the tray window should be hidden and disabled again: %r" % window)
        self.assertInstanceRuns(pid, self.window, "after the applet closed")


# Each page command on the demo scenario's first adapter: the page it opens,
# texts of its controls and, for a page with a list, the list and one of its
# rows. The pages after the site survey show its Connect.
DEMO_PAGES = [
    (PROGRAM.ID_NETWORK_STATUS, "STATUS",
     {APPLET.IDC_NETWORK: "HomeNet-5G", APPLET.IDC_CHANNEL: "36 (5 GHz)", APPLET.IDC_MAC: "00:0C:41:7A:11:00"},
     None, None),
    (PROGRAM.ID_SITE_SURVEY, "TEST", {APPLET.IDC_SURVEY_STATUS: "14 networks in range."}, APPLET.IDC_SURVEY_LIST,
     ["Fibre-4A2F", "52 %", "-74 dBm", "149", "5 GHz", "WPA3-Personal", "1", "", "Saved"]),
    (PROGRAM.ID_ADVANCED_CONFIGURATION, "CONFIGURE",
     {APPLET.IDC_AUTO_CONFIG: "On: Windows configures this adapter", APPLET.IDC_RADIO: "On"}, APPLET.IDC_PROFILE_LIST,
     ["4", "Tavern (guest)", "Open", "All users"]),
    (PROGRAM.ID_WEP_ENCRYPTION, "WEP",
     {APPLET.IDC_LINK_NETWORK: "Tavern Guest", APPLET.IDC_LINK_AUTH: "Open", APPLET.IDC_LINK_CIPHER: "None"},
     None, None),
    (PROGRAM.ID_VERSION_INFORMATION, "ABOUT",
     {APPLET.IDC_VERSION_DRIVER: "12.4.1.7", APPLET.IDC_VERSION_WLAN: "Not used (simulated adapters)"}, None, None),
]
# The buttons of the saved networks that a group policy's network greys.
ORDER_BUTTONS = (APPLET.IDC_MOVE_UP, APPLET.IDC_MOVE_DOWN, APPLET.IDC_REMOVE)
CONNECTED_COLUMN, SECURITY_COLUMN = 7, 5
DEMO_ID = "{7A5E0D11-DE40-4000-8000-000000000000}"


class DemoPages(ConfigAppletTestCase):

    def test_each_page_shows_the_demo_scenario_uncut_and_connect_reaches_the_library(self):
        shutil.copy(SCENARIO, self.scenario.path)
        self.start_first_instance()
        cut = {}
        for command, keyword, texts, list_id, row in DEMO_PAGES:
            # The command as the menu posts it; the window is there once its page keyword is.
            applet = self.probe.run("time-applet", MAIN_WINDOW_TITLE, command, APPLET_TITLE, APPLET.IDC_PAGE,
                                    WAIT_APPLET).first
            self.assertIn("hwnd", applet, keyword)
            shown = self.page_texts(applet, keyword)
            self.screenshot("config_applet_" + keyword.lower())
            self.assertEqual({i: shown[i][0] for i in [APPLET.IDC_PAGE, APPLET.IDC_ADAPTER_ID] + list(texts)},
                             {**texts, APPLET.IDC_PAGE: keyword, APPLET.IDC_ADAPTER_ID: DEMO_ID}, keyword)
            clipped = self.probe.run("clipped", "hwnd:" + applet["hwnd"])
            if clipped.rc != 0:
                cut[keyword] = clipped.stdout
            rows = self.applet_list(applet, list_id) if list_id else []
            self.assertEqual(row in rows, bool(list_id), "%s: %r not in %r" % (keyword, row, rows))
            if keyword == "TEST":
                self.refused_networks_say_why(applet, rows)
                self.connect_from_survey(applet, rows)
            if keyword == "CONFIGURE":
                self.group_policy_network_is_greyed(applet)
            self.close_applet(applet)
        self.assertEqual(cut, {}, "texts cut off by their controls")

    def page_texts(self, applet, keyword):
        """The texts of the applet's controls; on the status page once the
        first adapter has its link, which it lacks six of every 24 seconds;
        on the site survey once the scan it starts with is done."""
        texts = {}

        def ready():
            texts.update(self.applet_texts(applet))
            if keyword == "STATUS":
                return texts[APPLET.IDC_NETWORK][0] == "HomeNet-5G"
            return keyword != "TEST" or texts[APPLET.IDC_SURVEY_STATUS][0] != "Scanning..."
        wait_until(ready, 10)
        return texts

    def select_network(self, applet, rows, name):
        """Selects the row of the network NAME; the texts of the page afterwards."""
        self.applet_list(applet, APPLET.IDC_SURVEY_LIST, [cells[0] for cells in rows].index(name))
        return self.applet_texts(applet)

    def refused_networks_say_why(self, applet, rows):
        security = {cells[0]: cells[SECURITY_COLUMN] for cells in rows}
        self.assertEqual((security["OldPrinter"], security["Workshop-AdHoc"], security["Tavern Guest"]),
                         ("WEP", "WEP", "Open"), "WEP networks read as WEP")
        cases = [("Workshop-AdHoc", False, "Windows cannot join this network. The basic service set (BSS) type "
                                           "is not allowed on this wireless adapter."),
                 ("Neighbour-Family", False, "A secured network is joined with its saved network; "
                                             "Windows has none for it."),
                 ("OldPrinter", True, "")]
        for name, offered, why in cases:
            texts = self.select_network(applet, rows, name)
            self.assertEqual((texts[APPLET.IDC_CONNECT][1], texts[APPLET.IDC_SURVEY_WHY][0]), (offered, why), name)

    def connect_from_survey(self, applet, rows):
        texts = self.select_network(applet, rows, "Tavern Guest")
        self.assertTrue(texts[APPLET.IDC_CONNECT][1], "Connect should be offered for a network with a saved profile")
        self.probe.run("post", "hwnd:" + texts[APPLET.IDC_CONNECT][2], BM_CLICK)
        line = "TavroNetConnect adapter=%s ssid=Tavern Guest result=0" % DEMO_ID
        self.assertTrue(wait_until(lambda: line in self.radio_log(), WAIT_APPLET), self.radio_log())
        # Windows tells the outcome a moment later: the row follows without Refresh.
        started = time.monotonic()

        def marked():
            now = {cells[0]: cells[CONNECTED_COLUMN] for cells in self.applet_list(applet, APPLET.IDC_SURVEY_LIST)}
            return now["Tavern Guest"] == "Connected" and now["HomeNet-5G"] == ""
        self.assertTrue(wait_until(marked, WAIT_APPLET), self.applet_list(applet, APPLET.IDC_SURVEY_LIST))
        print("note: the row read \"Connected\" %.1f s after Connect" % (time.monotonic() - started))
        self.assertEqual(self.applet_texts(applet)[APPLET.IDC_SURVEY_STATUS][0],
                         '14 networks in range. Connected to "Tavern Guest".')
        scans = [line for line in self.radio_log() if line.startswith("TavroNetScan ")]
        self.assertEqual(len(scans), 1, "the first list's scan, and no Refresh: %r" % scans)

    def group_policy_network_is_greyed(self, applet):
        rows = self.applet_list(applet, APPLET.IDC_PROFILE_LIST, 0)
        self.assertEqual(rows[0][1:], ["Office-Corp", "WPA2-Enterprise, AES (CCMP)", "Group policy"])
        texts = self.applet_texts(applet)
        self.assertEqual([texts[i][1] for i in ORDER_BUTTONS], [False, False, False])
        self.assertEqual(texts[APPLET.IDC_PROFILE_WHY][0], "Set by a group policy: only the policy can change it.")
        texts = self.applet_texts(applet) if self.applet_list(applet, APPLET.IDC_PROFILE_LIST, 1) else texts
        self.assertEqual([texts[i][1] for i in ORDER_BUTTONS], [False, True, True])
        self.assertEqual(texts[APPLET.IDC_PROFILE_WHY][0], "Saved networks set by a group policy stay first.")


# A scenario of long names: a 64-character description, a network name of
# 32 wide letters that the adapter is connected to and that a saved network
# carries, a name beyond ASCII, a WEP network and one of a group policy.
WIDE_NAME = "W" * 32
LONG_DESCRIPTION = ("WWWWWWW " * 8)[:63] + "W"
LONG_NAMES = """[adapter]
index = 0
description = %(description)s
id = {7A5E0D11-E2E0-4000-8000-000000000000}
ssid = %(wide)s
bssid = 00:1A:2B:3C:4D:5E
mac = 00:0C:41:7A:11:00
channel = 36
phy = ac
authentication = wpa2-psk
rssi = -60
tx_rate = 866.7
rx_rate = 866.7
autoconfig = on
driver = 12.4.1.7
[network]
ssid = %(wide)s
channel = 36
authentication = wpa2-psk
rssi = -60
[network]
ssid = Caf\u00e9 Jard\u00edn
channel = 1
rssi = -70
[network]
ssid = OldPrinter
channel = 11
authentication = wep
rssi = -80
[network]
ssid = Office-Corp
channel = 44
authentication = wpa2
access_points = 3
rssi = -69
[profile]
ssid = Office-Corp
authentication = wpa2
eap = peap
group_policy = yes
[profile]
ssid = %(wide)s
authentication = wpa2-psk
""" % {"description": LONG_DESCRIPTION, "wide": WIDE_NAME}
PAGE_ORDER = ["STATUS", "TEST", "CONFIGURE", "SECURITY", "ABOUT", "INSTALL"]
# The work areas the window must fit: an 800 x 600 screen at 96 DPI, a
# 1366 x 768 one at 144 DPI (its taskbar 48 pixels at 100 %, 72 at 150 %).
WORK_AREAS = {96: (800, 600 - 48), 144: (1366, 768 - 72)}


class PagesAtEachDpi(ConfigAppletTestCase):

    def set_dpi(self, dpi):
        self.assertTrue(self.session.set_dpi(dpi), "could not set LogPixels to %d" % dpi)

    def tearDown(self):
        self.set_dpi(96)
        super().tearDown()

    def test_every_page_shows_long_names_whole_at_each_dpi(self):
        with open(self.scenario.path, "w", encoding="utf-8", newline="\n") as f:
            f.write(LONG_NAMES)
        cut, sizes = {}, {}
        for dpi in (96, 120, 144, 192):
            self.set_dpi(dpi)
            self.start_first_instance()
            applet = self.probe.run("time-applet", MAIN_WINDOW_TITLE, PROGRAM.ID_NETWORK_STATUS, APPLET_TITLE,
                                    APPLET.IDC_PAGE, WAIT_APPLET).first
            self.assertIn("hwnd", applet, dpi)
            window = self.probe.run("find-window", "hwnd:" + applet["hwnd"]).first
            left, top, right, bottom = (int(v) for v in window["rect"].split(","))
            sizes[dpi] = (right - left, bottom - top)
            for keyword in PAGE_ORDER:
                self.assertTrue(wait_until(lambda: self.applet_page(applet)[0] == keyword, WAIT_APPLET),
                                "%d DPI: Ctrl+Page Down should lead to %s, not %s" % (dpi, keyword, self.applet_page(applet)[0]))
                texts = self.applet_texts(applet)
                if keyword == "STATUS":
                    linked = wait_until(lambda: self.applet_texts(applet)[APPLET.IDC_NETWORK][0] == WIDE_NAME, 10)
                    self.assertTrue(linked)
                    self.assertEqual(self.applet_texts(applet)[APPLET.IDC_DESCRIPTION][0], LONG_DESCRIPTION)
                clipped = self.probe.run("clipped", "hwnd:" + applet["hwnd"])
                if clipped.rc != 0:
                    cut["%d %s" % (dpi, keyword)] = clipped.stdout
                self.screenshot("applet_%d_%s" % (dpi, keyword.lower()))
                self.xdotool("key", "ctrl+Next")
            self.close_applet(applet)
            self.end_all_instances()
        print("note: window sizes by DPI: %r" % sizes)
        self.assertEqual(cut, {}, "texts cut off by their controls")
        for dpi, (width, height) in WORK_AREAS.items():
            self.assertLessEqual(sizes[dpi][0], width, "%d DPI: %r" % (dpi, sizes))
            self.assertLessEqual(sizes[dpi][1], height, "%d DPI: %r" % (dpi, sizes))
        # The window scales with the DPI: half as large again at 144 as at 96.
        self.assertAlmostEqual(sizes[144][0] / sizes[96][0], 1.5, delta=0.15)


class StartWithoutClick(ConfigAppletTestCase):

    def test_configure_word_and_a_later_start_open_the_configure_page(self):
        card = adapter(0, "Wireless LAN Card A")
        self.scenario.write([card])
        started = time.monotonic()
        pid, self.window = self.start_first_instance("CONFIGURE")
        applet = self.wait_applet("after a start with CONFIGURE")
        print("note: the applet opened %.1f s after the start" % (time.monotonic() - started))
        self.assertEqual(self.applet_page(applet), ("CONFIGURE", card["id"], "Wireless LAN Card A"))
        self.close_applet(applet)

        code = self.spawn_app()
        self.assertEqual(code, EXIT_CODE_ALREADY_RUNNING, "a later start should end with -1, got %d" % code)
        applet = self.wait_applet("after a later start")
        self.assertEqual(int(applet["pid"]), pid, "the running instance should open it: %r" % applet)
        self.assertEqual(self.applet_page(applet)[0], "CONFIGURE")
        self.close_applet(applet)
        self.assertEqual([line for line in self.applet_log() if line.startswith("Configure")],
                         [self.configure_line("CONFIGURE", card["id"])] * 2)


# The commands that the wireless service takes over.
SERVICE_COMMANDS = (PROGRAM.ID_ADVANCED_CONFIGURATION, PROGRAM.ID_WEP_ENCRYPTION)


class WirelessService(ConfigAppletTestCase):
    """A service named WZCSVC running, an adapter the service would take over."""

    def setUp(self):
        super().setUp()
        binpath = '"%s" service WZCSVC' % winpath(PROBE)
        self.assertEqual(self.wine("sc", "create", "WZCSVC", "binpath=", binpath), 0, "sc create WZCSVC failed")
        self.addCleanup(self.wine, "sc", "delete", "WZCSVC")
        self.assertEqual(self.wine("sc", "start", "WZCSVC"), 0, "sc start WZCSVC failed")
        self.addCleanup(self.wine, "sc", "stop", "WZCSVC")

    def config_items_grayed(self):
        self.park_pointer_on(0)
        self.tray_click(0)
        _, items = self.read_menu()
        self.close_menu()
        return {item["id"]: bool(item["state"] & MF_GRAYED) for item in items
                if item["id"] in SERVICE_COMMANDS}

    def test_service_greys_the_commands_it_takes_over(self):
        card = adapter(0, "Wireless LAN Card A", driver_version="0x0501", network_type_in_use=1)
        self.start_tray([card], icons={0: LINKED})
        self.assertEqual(self.config_items_grayed(), dict.fromkeys(SERVICE_COMMANDS, True),
                         "without a ControlFlags value the service manages the adapter")

        # The service's flag for the interface cleared: the next menu offers them.
        key = INTERFACES_KEY + card["id"]
        self.assertEqual(self.wine("reg", "add", key, "/v", "ControlFlags", "/t", "REG_DWORD", "/d", "0", "/f"), 0)
        self.addCleanup(self.wine, "reg", "delete", key, "/f")
        self.assertEqual(self.config_items_grayed(), dict.fromkeys(SERVICE_COMMANDS, False))


if __name__ == "__main__":
    unittest.main()
