"""The configuration applet: the page commands open our stand-in TAVROCFG.CPL
inside the program on the page they ask for, a second request brings the open
applet to the front, CONFIGURE and a later start open it without a click, and
the commands the system's wireless service takes over are greyed while it runs."""

import os
import time
import unittest

from applet_support import APPLET_TITLE, IDC_OPEN_SYSTEM_SETTINGS, IDC_SYSTEM_SETTINGS, WAIT_APPLET, WM_COMMAND, AppletMixin, read_applet_log
from e2e_harness import EXIT_CODE_ALREADY_RUNNING, MAIN_WINDOW_TITLE, PROBE, wait_until, winpath
from tray_support import LINKED, MF_GRAYED, TrayTestCase, adapter

ID_ADVANCED_CONFIGURATION = 32768
ID_VERSION_INFORMATION = 32774
ID_WEP_ENCRYPTION = 32782
ID_SITE_SURVEY = 32783

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
        self.choose_menu_item(ID_VERSION_INFORMATION)
        applet = self.wait_applet("after \"&Version Information...\"")
        self.assertEqual(int(applet["pid"]), pid, "the applet should run inside the program: %r" % applet)
        self.assertEqual(self.applet_page(applet), ("ABOUT", card["id"], "Wireless LAN Card A"))
        self.assertEqual(self.applet_log(), [self.configure_line("ABOUT", card["id"])])
        # What the applet's button opens for this page on the NT family.
        settings = self.probe.run("get-text", "hwnd:" + applet["hwnd"], IDC_SYSTEM_SETTINGS)
        self.assertEqual(settings.first.get("text"), "Network Connections (control.exe ncpa.cpl)", settings.describe())
        self.screenshot("config_applet_about")

        # Another process sends a page command while the applet is open.
        self.probe.run("post", MAIN_WINDOW_TITLE, WM_COMMAND, ID_SITE_SURVEY)
        self.wait_applet_log("popup")
        self.assertEqual(self.applet_log(), [self.configure_line("ABOUT", card["id"]), "popup"])
        self.assertEqual(len(self.probe.run("find-window", APPLET_TITLE).records), 1, "a second applet opened")
        front = self.probe.run("foreground")
        self.assertEqual(front.first.get("hwnd"), applet["hwnd"], "the applet should be in front: %r" % front.first)

        # The button starts the system's settings; Wine's control.exe has no
        # such applet and ends at once, and ours stays open.
        self.probe.run("post", "hwnd:" + applet["hwnd"], WM_COMMAND, IDC_OPEN_SYSTEM_SETTINGS)
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
                if item["id"] in (ID_ADVANCED_CONFIGURATION, ID_WEP_ENCRYPTION)}

    def test_service_greys_the_commands_it_takes_over(self):
        card = adapter(0, "Wireless LAN Card A", driver_version="0x0501", network_type_in_use=1)
        self.start_tray([card], icons={0: LINKED})
        self.assertEqual(self.config_items_grayed(), {ID_ADVANCED_CONFIGURATION: True, ID_WEP_ENCRYPTION: True},
                         "without a ControlFlags value the service manages the adapter")

        # The service's flag for the interface cleared: the next menu offers them.
        key = INTERFACES_KEY + card["id"]
        self.assertEqual(self.wine("reg", "add", key, "/v", "ControlFlags", "/t", "REG_DWORD", "/d", "0", "/f"), 0)
        self.addCleanup(self.wine, "reg", "delete", key, "/f")
        self.assertEqual(self.config_items_grayed(), {ID_ADVANCED_CONFIGURATION: False, ID_WEP_ENCRYPTION: False})


if __name__ == "__main__":
    unittest.main()
