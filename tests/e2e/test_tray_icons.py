"""The notification icons: one per adapter, their colours following the
adapters' state, adapters coming and going, older Windows versions, and a
shell that announces a new taskbar. See tray_support.py for where the icons
sit and how their images are told apart."""

import os
import re
import subprocess
import unittest

from e2e_harness import APP, APP_IMAGE, ARTIFACTS_DIR, MAIN_WINDOW_TITLE, WAIT_WINDOW, wait_until
from program_ids import PROGRAM
from tray_support import (
    EXPECTED_ICON_DELAY, FRAME_ERRORS, LINKED, NO_ICON, NOT_LINKED, POLL_INTERVAL, POOR, RADIO_OFF,
    WAIT_ICON, TrayTestCase, adapter)

CARD_A = "Wireless LAN Card A"
CARD_B = "Wireless LAN Card B"


def card_a(**values):
    """The first adapter: linked at 54 Mbps, full quality unless told otherwise."""
    settings = {"quality": 15, "rate": 108}
    settings.update(values)
    return adapter(0, CARD_A, **settings)


def card_b(**values):
    """The second adapter: linked at 11 Mbps with a poor link unless told otherwise."""
    settings = {"quality": 3, "rate": 22}
    settings.update(values)
    return adapter(1, CARD_B, **settings)


def systray_events(lines, hwnd, kind):
    """The icon ids of the +systray trace lines of KIND (add_icon, hide_icon, ...) for window HWND."""
    pattern = re.compile(r"trace:systray:%s id=0x([0-9a-fA-F]+), hwnd=([0-9a-fA-F]+)" % kind)
    ids = []
    for line in lines:
        match = pattern.search(line)
        if match and int(match.group(2), 16) == hwnd:
            ids.append(int(match.group(1), 16))
    return ids


class TwoAdapters(TrayTestCase):

    def test_two_adapters_show_two_icons(self):
        mark = self.session.desktop_log_mark()
        self.start_tray([card_a(), card_b()], icons={0: LINKED, 1: POOR})
        self.screenshot("tray_two_icons")
        added = systray_events(self.session.desktop_log_since(mark), self.hwnd, "add_icon")
        self.assertEqual(sorted(added), [0, 1], "each slot's icon should be added once: %r" % added)

        # Slot 0 took the rightmost cell, slot 1 the one left of it.
        layout = self.layout()
        self.assertEqual(layout.slots(self.hwnd), [0, 1], "the program's icons from the right")
        self.assertEqual(layout.cell(self.hwnd, 0), 0, "the first adapter's icon should be rightmost")
        self.assertEqual(layout.cell(self.hwnd, 1), 1, "the second adapter's icon should be left of it")
        # The desktop's own tooltips agree: each cell holds its adapter's tip.
        self.assertTrue(self.tip_of(0).startswith(CARD_A + "\n"), self.tip_of(0))
        self.assertTrue(self.tip_of(1).startswith(CARD_B + "\n"), self.tip_of(1))

    def test_tooltips_show_description_speed_and_quality(self):
        self.start_tray([card_a(), card_b()], icons={0: LINKED, 1: POOR})
        self.assertEqual(self.tip_of(0), CARD_A + "\nSpeed: 54.0 Mbps\nExcellent Link Quality 100%")
        self.assertEqual(self.tip_of(1), CARD_B + "\nSpeed: 11.0 Mbps\nPoor Link Quality 20%")


class IconColours(TrayTestCase):

    def test_first_icon_follows_link_quality_and_radio(self):
        self.start_tray([card_a(quality=0), card_b(quality=15)], icons={0: NOT_LINKED, 1: LINKED})
        steps = [
            ("quality 12", card_a(quality=12), LINKED, "tray_green"),
            ("quality 3", card_a(quality=3), POOR, "tray_yellow"),
            ("quality 0", card_a(quality=0), NOT_LINKED, "tray_red"),
            ("radio 2 (off, switch on)", card_a(quality=0, radio=2), RADIO_OFF, "tray_radio_off"),
        ]
        took = []
        for what, first, state, shot in steps:
            self.set_adapters([first, card_b(quality=15)])
            took.append(self.wait_icons({0: state, 1: LINKED}, what="first adapter at %s" % what,
                                        screenshot=shot))
        print("icon changes took %s s (expected within %.0f s each)"
              % (", ".join("%.1f" % t for t in took), EXPECTED_ICON_DELAY))
        self.assertEqual(self.tip_of(0), CARD_A + "\nRadio Off")

    def test_crossed_images_for_frame_errors_and_radio_switch(self):
        # Linked but no frame received correctly: the X on green. A radio
        # switch that is off: crossed out like a radio that is off.
        self.start_tray([card_a(wep_rx_ok=0), card_b(radio=0)], icons={0: FRAME_ERRORS, 1: RADIO_OFF})
        self.screenshot("tray_frame_errors_and_switch_off")
        self.assertEqual(self.tip_of(0), CARD_A + "\nSpeed: 54.0 Mbps\nData Frame Errors - Check WEP Settings")
        # With the radio off nothing else is read: no quality, no rate yet.
        self.assertEqual(self.tip_of(1), CARD_B + "\nSpeed: 0.0 Mbps\nFAA Radio Switch Off")


class AdaptersComeAndGo(TrayTestCase):

    def test_removed_adapter_loses_its_icon_and_gets_it_back(self):
        self.start_tray([card_a(), card_b()], icons={0: LINKED, 1: POOR})

        mark = self.session.desktop_log_mark()
        self.set_adapters([card_a()])
        self.wait_icons({0: LINKED, 1: NO_ICON}, what="the second adapter removed", screenshot="tray_second_removed")
        self.assertIn(1, systray_events(self.session.desktop_log_since(mark), self.hwnd, "hide_icon"),
                      "the desktop should have hidden icon 1")
        self.set_adapters([card_a(), card_b()])
        self.wait_icons({0: LINKED, 1: POOR}, what="the second adapter back")

        # The first adapter gone: its slot empties, the second keeps its icon,
        # which moves into the rightmost cell.
        mark = self.session.desktop_log_mark()
        self.set_adapters([card_b()])
        self.wait_icons({0: NO_ICON, 1: POOR}, what="the first adapter removed", screenshot="tray_first_removed")
        self.assertIn(0, systray_events(self.session.desktop_log_since(mark), self.hwnd, "hide_icon"),
                      "the desktop should have hidden icon 0")
        self.assertEqual(self.layout().slots(self.hwnd), [1])
        self.set_adapters([card_a(), card_b()])
        self.wait_icons({0: LINKED, 1: POOR}, what="the first adapter back")
        self.assertEqual(self.layout().slots(self.hwnd), [1, 0], "the icon shown again goes to the left end")
        self.assertTrue(self.tip_of(0).startswith(CARD_A + "\n"), self.tip_of(0))


class OlderWindows(TrayTestCase):
    """Wine reports an older Windows to the program alone. Windows 98 to 2000
    do not read the program's manifest, XP reads part of it; the program
    starts on each. Before NT 5 the program hands the shell the original
    notify-icon record, whose tip holds the adapter's description only."""

    def check_version(self, version, shot, tip_is_description):
        self.assertTrue(self.session.set_windows_version(version), "could not set the Windows version")
        self.addCleanup(self.session.set_windows_version, None)
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + APP_IMAGE
        res = self.probe.run("reg-get", key, "Version")
        self.assertEqual(res.first.get("data"), version, res.describe())

        self.start_tray([card_a(), card_b()], icons={0: LINKED, 1: POOR})
        self.screenshot(shot)
        if tip_is_description:
            self.assertEqual(self.tip_of(0), CARD_A)
            self.assertEqual(self.tip_of(1), CARD_B)
        else:
            self.assertTrue(self.tip_of(0).startswith(CARD_A + "\nSpeed: "), self.tip_of(0))
            self.assertTrue(self.tip_of(1).startswith(CARD_B + "\nSpeed: "), self.tip_of(1))
        # And the icons still follow the adapters.
        self.set_adapters([card_a(quality=0), card_b(radio=2)])
        self.wait_icons({0: NOT_LINKED, 1: RADIO_OFF}, what="%s, after a change" % version)

    def test_windows_98_shows_icons(self):
        self.check_version("win98", "tray_win98", tip_is_description=True)

    def test_windows_nt4_shows_icons(self):
        self.check_version("nt40", "tray_nt40", tip_is_description=True)

    def test_windows_2000_and_xp_show_icons(self):
        for version in ("win2k", "winxp"):
            with self.subTest(version=version):
                self.check_version(version, "tray_" + version, tip_is_description=False)
                self.end_all_instances()


# LoadImage as Wine's +resource channel traces it, for the program's own
# module (loaded at 0x400000): "LoadImageW (00400000,#0200,1,24,24,0x00000000)".
LOAD_IMAGE = re.compile(r"trace:resource:LoadImageW \(00400000,#([0-9a-fA-F]{4}),1,(\d+),(\d+),")
# Every image of the program but its own icon.
STATUS_IMAGES = sorted(number for name, number in PROGRAM.named("IDI_").items() if name != "IDI_APPLICATION_ICON")


class HighDpi(TrayTestCase):
    """At 150 % the shell draws notification-area icons at 24 x 24: the
    program loads its ten status images at the system's small-icon size,
    which its manifest lets Wine report at the screen's DPI."""

    def status_image_sizes(self, dpi):
        """The sizes the program asked of LoadImage for its status images, started at DPI."""
        self.assertTrue(self.session.set_dpi(dpi), "could not set LogPixels")
        self.addCleanup(self.session.set_dpi, 96)
        self.scenario.write([card_a()])
        os.makedirs(ARTIFACTS_DIR, exist_ok=True)
        trace_path = os.path.join(ARTIFACTS_DIR, "load_image_%d.log" % dpi)
        env = dict(self.session.env, WINEDEBUG="+resource", **self.app_env())
        with open(trace_path, "wb") as trace:
            wine = subprocess.Popen(["wine", APP], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=trace)
        res = self.probe.run("wait-window", MAIN_WINDOW_TITLE, WAIT_WINDOW)
        self.assertEqual(res.rc, 0, res.describe())

        def sizes():
            with open(trace_path, "rb") as f:
                found = LOAD_IMAGE.findall(f.read().decode(errors="replace"))
            return {int(i, 16): (int(w), int(h)) for i, w, h in found if int(i, 16) in STATUS_IMAGES}
        wait_until(lambda: len(sizes()) == len(STATUS_IMAGES), WAIT_ICON, POLL_INTERVAL)
        self.end_all_instances()
        wine.wait(WAIT_WINDOW)
        return sizes()

    def test_status_images_are_loaded_at_the_small_icon_size_of_the_screen(self):
        for dpi, size in ((96, 16), (144, 24)):
            with self.subTest(dpi=dpi):
                found = self.status_image_sizes(dpi)
                self.assertEqual(sorted(found), STATUS_IMAGES, "each status image loaded once: %r" % found)
                self.assertEqual(set(found.values()), {(size, size)}, "at %d DPI: %r" % (dpi, found))


class ShellRestart(TrayTestCase):

    def test_taskbar_created_leaves_icons_working(self):
        self.start_tray([card_a(), card_b()], icons={0: LINKED, 1: POOR})
        mark = self.session.desktop_log_mark()
        res = self.probe.run("post-registered", "hwnd:0x%08x" % self.hwnd, "TaskbarCreated")
        self.assertEqual(res.rc, 0, res.describe())

        # On its next poll the program adds its icons again; Wine's desktop
        # still holds them and refuses the second add.
        def added():
            return sorted(set(systray_events(self.session.desktop_log_since(mark), self.hwnd, "add_icon")))
        wait_until(lambda: added() == [0, 1], WAIT_ICON, POLL_INTERVAL)
        self.assertEqual(added(), [0, 1], "after TaskbarCreated the program should add both icons again")

        # The icons keep following the adapters, in the same cells.
        self.set_adapters([card_a(quality=0), card_b(quality=12)])
        self.wait_icons({0: NOT_LINKED, 1: LINKED}, what="after TaskbarCreated", screenshot="tray_after_taskbar_created")
        self.set_adapters([card_a(quality=4), card_b(radio=2)])
        self.wait_icons({0: POOR, 1: RADIO_OFF}, what="after TaskbarCreated, a second change")
        self.assertEqual(self.layout().slots(self.hwnd), [0, 1], "no icon should have been added twice")
        self.assertEqual(len(self.tray_tips()), 2, "the taskbar should hold two icons: %r" % self.tray_tips())


if __name__ == "__main__":
    unittest.main()
