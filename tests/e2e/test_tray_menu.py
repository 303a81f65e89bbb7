"""Clicks on the notification icons: the pop-up menu, its variants, the
radio commands, and a double click that opens no menu.

The clicks are what the desktop sends the program (WM_TRAYICON with the
mouse message), posted by probe.exe with the X pointer parked on the icon.
The open menu is read inside the program's process (probe.exe read-menu,
see probehook.cpp) and driven by keyboard: Down until the item is
highlighted, then Return, or Escape to close it."""

import time
import unittest

from applet_support import APPLET_TITLE, AppletMixin
from program_ids import PROGRAM
from tray_support import (
    LINKED, POOR, RADIO_OFF, TrayTestCase, adapter)

ID_A = "{7A5E0D11-E2E0-4000-8000-000000000000}"
ID_B = "{7A5E0D11-E2E0-4000-8000-000000000001}"

SEPARATOR = None


def radio_items(radio_on, greyed=False):
    """The two radio items: the check mark on the radio's state, both greyed
    while the radio switch is off."""
    return [(PROGRAM.ID_RADIO_ON, "Wireless Radio On", greyed, radio_on),
            (PROGRAM.ID_RADIO_OFF, "Wireless Radio Off", greyed, not radio_on)]


# The pop-ups of IDR_TRAY_MENU (res/ZEVARIDA.rc): (id, text, greyed, checked).
def tray_menu(radio_on=True, radio_greyed=False):
    return radio_items(radio_on, radio_greyed) + [
        SEPARATOR,
        (PROGRAM.ID_REMOVE_STATUS_ICON, "&Remove Status Icon...", False, False),
        SEPARATOR,
        (PROGRAM.ID_NETWORK_STATUS, "&Wireless Network Status...", False, False),
        (PROGRAM.ID_SITE_SURVEY, "&Site Surveyus...", False, False),
        (PROGRAM.ID_ADVANCED_CONFIGURATION, "&Advanced Configuration...", False, False),
        (PROGRAM.ID_WEP_ENCRYPTION, "WEP &Encryption...", False, False),
        (PROGRAM.ID_SECURITY, "Sec&urity...", False, False),
        (PROGRAM.ID_VERSION_INFORMATION, "&Version Information...", False, False),
    ]


def new_tray_menu(radio_on=True):
    return radio_items(radio_on) + [
        SEPARATOR,
        (PROGRAM.ID_REMOVE_STATUS_ICON, "&Remove Status Icon...", False, False),
        SEPARATOR,
        (PROGRAM.ID_NETWORK_STATUS, "&Wireless Network Status...", False, False),
        (PROGRAM.ID_ADVANCED_CONFIGURATION, "&Advanced Configuration...", False, False),
        (PROGRAM.ID_WEP_ENCRYPTION, "WEP &Encryption...", False, False),
        (PROGRAM.ID_VERSION_INFORMATION, "&Version Information...", False, False),
        SEPARATOR,
        (PROGRAM.ID_DIAGNOSTICS, "&Diagnostics...", True, False),
        (PROGRAM.ID_SCAN_WIRELESS_NETWORK, "&Scan Wireless Network", True, False),
        SEPARATOR,
        (PROGRAM.ID_COMPUTER_TO_COMPUTER, "&Computer to Computer...", False, False),
        (PROGRAM.ID_OTHER_NETWORK, "&Other Network...", False, False),
    ]


PROFILE_MENU = [
    (PROGRAM.ID_NETWORK_PROFILES, "Wireless Network Profiles", True, False),
    SEPARATOR,
]


def two_cards(**first):
    settings = {"quality": 15, "rate": 108}
    settings.update(first)
    return [adapter(0, "Wireless LAN Card A", **settings), adapter(1, "Wireless LAN Card B", quality=3, rate=22)]


def one_card(**values):
    settings = {"quality": 15, "rate": 108}
    settings.update(values)
    return [adapter(0, "Wireless LAN Card A", **settings)]


def set_radio_lines(adapter_id, on):
    return ["SetRadioState adapter=%s on=%d via=CWrapNetAdapter result=0" % (adapter_id, on),
            "SetRadioState adapter=%s on=%d via=CWrapDriverInterface result=0" % (adapter_id, on)]


class TrayMenu(TrayTestCase):

    def test_click_opens_tray_menu(self):
        self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.park_pointer_on(0)
        self.tray_click(0, "left")
        menu, items = self.read_menu()
        self.screenshot("menu_tray")
        self.assertMenu(items, tray_menu(radio_on=True), "the menu of a left click")
        self.close_menu()
        self.assertEqual(self.radio_log(), [], "Escape should choose nothing")

    def test_right_click_opens_tray_menu_at_pointer(self):
        # Away from the screen's edges, where nothing pushes the menu aside:
        # its bottom-left corner is at the pointer.
        self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.move_pointer(300, 320)
        self.tray_click(1, "right")
        menu, items = self.read_menu()
        self.assertMenu(items, tray_menu(radio_on=True), "the menu of a right click")
        left, top, right, bottom = (int(v) for v in menu["rect"].split(","))
        self.assertEqual((left, bottom), (300, 320), "the menu's bottom-left corner: rect %s" % menu["rect"])
        self.close_menu()

    def test_radio_off_and_on_from_menu(self):
        # One adapter: the radio items show its state alone (see
        # RadioItemsOfTheShownIcon for two).
        self.start_tray(one_card(), icons={0: LINKED})
        self.park_pointer_on(0)
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.assertMenu(items, tray_menu(radio_on=True), "the menu before switching")
        self.choose_menu_item(PROGRAM.ID_RADIO_OFF)

        lines = self.wait_radio_log(2)
        self.assertEqual(lines, set_radio_lines(ID_A, 0),
                         "Wireless Radio Off should switch the adapter off, the adapter object first")
        self.wait_icons({0: RADIO_OFF}, what="after Wireless Radio Off", screenshot="menu_radio_off")
        # The DLL keeps the radio off: later polls read it back.
        self.assertIconsStay({0: RADIO_OFF}, "after Wireless Radio Off")

        self.park_pointer_on(0)
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.assertMenu(items, tray_menu(radio_on=False), "the menu with the radio off")
        self.choose_menu_item(PROGRAM.ID_RADIO_ON)
        lines = self.wait_radio_log(4)
        self.assertEqual(lines, set_radio_lines(ID_A, 0) + set_radio_lines(ID_A, 1))
        self.wait_icons({0: LINKED}, what="after Wireless Radio On", screenshot="menu_radio_on_again")

    def test_radio_command_acts_on_the_clicked_icon(self):
        self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.park_pointer_on(1)
        self.tray_click(1, "left")
        self.choose_menu_item(PROGRAM.ID_RADIO_OFF)
        self.assertEqual(self.wait_radio_log(2), set_radio_lines(ID_B, 0),
                         "the command should switch the adapter of the clicked icon")
        self.wait_icons({0: LINKED, 1: RADIO_OFF}, what="after Wireless Radio Off on the second icon")

    def test_radio_switch_off_greys_radio_items(self):
        self.start_tray(one_card(radio=0), icons={0: RADIO_OFF})
        self.park_pointer_on(0)
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.assertMenu(items, tray_menu(radio_on=False, radio_greyed=True), "the menu with the radio switch off")
        self.close_menu()


class RadioItemsOfTheShownIcon(TrayTestCase):
    """With two adapters in different radio states, the open menu of one
    icon must keep showing that icon's radio state while the program polls."""

    def test_open_menu_keeps_radio_items_of_its_icon(self):
        self.start_tray(two_cards(radio=0), icons={0: RADIO_OFF, 1: POOR})
        self.park_pointer_on(0)
        self.tray_click(0, "left")
        self.read_menu()
        # More than two poll periods with the menu open.
        time.sleep(2.5)
        _, items = self.read_menu()
        self.close_menu()
        self.assertMenu(items, tray_menu(radio_on=False, radio_greyed=True),
                        "the first icon's menu, two polls after it opened")


class MenuVariants(TrayTestCase):
    """Ctrl+Shift held at the process's first press on an icon selects the
    second pair of menus for the rest of the process."""

    def test_ctrl_shift_at_first_press_selects_new_menus(self):
        self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.park_pointer_on(0)
        self.hold_keys("ctrl", "shift")
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.release_keys("ctrl", "shift")
        self.screenshot("menu_new_tray")
        self.assertMenu(items, new_tray_menu(radio_on=True), "left click after Ctrl+Shift at the first press")
        self.close_menu()

        self.tray_click(0, "right")
        _, items = self.read_menu()
        self.screenshot("menu_profile")
        self.assertMenu(items, PROFILE_MENU, "right click in the second variant")
        self.close_menu()

        # The keys are up now; the variant stays.
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.assertMenu(items, new_tray_menu(radio_on=True), "a later left click")
        self.close_menu()

    def test_ctrl_shift_after_first_press_changes_nothing(self):
        self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.park_pointer_on(0)
        self.tray_click(0, "left")
        self.read_menu()
        self.close_menu()
        self.hold_keys("ctrl", "shift")
        self.tray_click(0, "right")
        _, items = self.read_menu()
        self.release_keys("ctrl", "shift")
        self.assertMenu(items, tray_menu(radio_on=True), "Ctrl+Shift at a later press")
        self.close_menu()


class DoubleClick(AppletMixin, TrayTestCase):

    def test_double_click_opens_no_menu(self):
        pid = self.start_tray(two_cards(), icons={0: LINKED, 1: POOR})
        self.park_pointer_on(0)
        self.tray_click(0, "double")
        res = self.probe.run("wait-menu", "hwnd:0x%08x" % self.hwnd, 1.5)
        self.assertNotEqual(res.rc, 0, "a double click should open no menu: %s" % res.describe())
        # It asks for the status page of that adapter instead.
        applet = self.wait_applet("after a double click")
        self.assertEqual(self.applet_page(applet)[:2], ("STATUS", two_cards()[0]["id"]))
        visible = [r["title"] for r in self.probe.run("windows", pid).records if r.get("visible") == "1"]
        self.assertEqual(visible, [APPLET_TITLE], "a double click should show the applet alone")
        self.close_applet(applet)
        # A single click afterwards opens the menu as before.
        self.tray_click(0, "left")
        _, items = self.read_menu()
        self.assertMenu(items, tray_menu(radio_on=True), "a click after the double click")
        self.close_menu()


if __name__ == "__main__":
    unittest.main()
