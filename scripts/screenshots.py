#!/usr/bin/env python3
"""Pictures of the program for the README, taken under Wine with the real
binaries: the tray with its icons and a tooltip, the open menu, each dialog,
each page of the configuration applet at 96 and at 144 DPI and the components
page of the setup program. Run by scripts/screenshots.sh; writes the PNGs
into docs/pictures/ (or the folder given as the first argument);
`--applet` takes the applet's pages alone.

It uses the end-to-end tests' harness and probe (tests/e2e) on a Wine session
of its own in build/screenshot-session, on a desktop of 1366 x 768 so that the
applet at 144 DPI fits as on a laptop's screen."""

import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
os.environ.setdefault("E2E_SESSION_DIR", os.path.join(ROOT, "build", "screenshot-session"))
SCREEN = (1366, 768)
os.environ.setdefault("WS_DESKTOP_SIZE", "%dx%d" % SCREEN)
os.environ.setdefault("WS_SCREEN", "%dx%dx24" % SCREEN)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import e2e_harness as harness  # noqa: E402
from applet_support import APPLET_TITLE  # noqa: E402
from program_ids import APPLET, PROGRAM  # noqa: E402
from tray_support import ICON_SIZE, TrayLayout, _rect, image_origin, key_down_lparam  # noqa: E402
from win32 import IDCANCEL, IDOK, VK_ESCAPE, WM_COMMAND, WM_KEYDOWN  # noqa: E402

SCENARIO = """# Two adapters for the pictures: one with an excellent link, one with a poor one.
[adapter]
index = 0
description = Wireless LAN Card A
quality = 15
rate = 108

[adapter]
index = 1
description = Wireless LAN Card B
quality = 3
rate = 22
"""

# (command, dialog, picture) for each dialog the menu opens.
DIALOGS = [
    ("ID_REMOVE_STATUS_ICON", "IDD_REMOVE_ICON", "dialog-remove-icon"),
    ("ID_COMPUTER_TO_COMPUTER", "IDD_ADHOC_NETWORK", "dialog-adhoc-network"),
    ("ID_OTHER_NETWORK", "IDD_OTHER_NETWORK", "dialog-other-network"),
    ("ID_ADD_PROFILE", "IDD_ADD_PROFILE", "dialog-add-profile"),
    ("ID_RENAME_PROFILE", "IDD_RENAME_PROFILE", "dialog-rename-profile"),
    ("ID_DELETE_PROFILE", "IDD_DELETE_PROFILE", "dialog-delete-profile"),
]
DEMO = os.path.join(ROOT, "tavroapi", "scenarios", "demo.scn")
# (command, picture, whether to wait for the first scan) for each page of the
# applet the menu opens, on the demo scenario's first adapter; the security
# and status pages first, while its link is up (it is lost 18 to 24 s into
# each 24 s round). The site survey's first list comes from a scan.
APPLET_PAGES = [
    ("ID_WEP_ENCRYPTION", "applet-security", False),
    ("ID_NETWORK_STATUS", "applet-status", False),
    ("ID_SITE_SURVEY", "applet-survey", True),
    ("ID_ADVANCED_CONFIGURATION", "applet-networks", False),
    ("ID_VERSION_INFORMATION", "applet-version", False),
]
# The DPIs of the applet's pictures and the ending of their names.
APPLET_DPIS = [(96, ""), (144, "-144dpi")]
SETUP = os.path.join(harness.DIST_DIR, "ZEVARIDA-setup.exe")
MARGIN = 8


class Pictures:
    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.session = harness.session()
        self.probe = harness.Probe(self.session)
        self.shot = os.path.join(tempfile.mkdtemp(prefix="zevarida-pictures-"), "screen.png")

    def run(self, *args, env=None):
        res = self.probe.run(*args, env=env)
        if res.rc != 0:
            raise harness.HarnessError(res.describe())
        return res

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                       env=dict(os.environ, DISPLAY=self.session.display))

    def save(self, name, left, top, right, bottom):
        """Saves that part of the screen, with a margin, as NAME.png."""
        subprocess.run(["import", "-window", "root", self.shot], check=True,
                       env=dict(os.environ, DISPLAY=self.session.display))
        left, top = max(left - MARGIN, 0), max(top - MARGIN, 0)
        right, bottom = min(right + MARGIN, SCREEN[0]), min(bottom + MARGIN, SCREEN[1])
        path = os.path.join(self.out_dir, name + ".png")
        subprocess.run(["convert", self.shot, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                        "+repage", path], check=True)
        print("wrote", os.path.relpath(path, ROOT))

    def take(self, applet_only=False):
        if applet_only:
            self.take_applet()
            return
        workdir = tempfile.mkdtemp(prefix="zevarida-pictures-")
        scenario = os.path.join(workdir, "pictures.scn")
        with open(scenario, "w") as f:
            f.write(SCENARIO)
        self.probe.run("kill", harness.APP_IMAGE)
        self.run("start", harness.winpath(harness.APP), env={"TAVROAPI_SCENARIO": harness.winpath(scenario)})
        window = self.run("wait-window", harness.MAIN_WINDOW_TITLE, 10).first
        hwnd = int(window["hwnd"], 16)
        time.sleep(3)  # two polls: both icons shown in their colours

        taskbar = _rect(self.run("find-window", "class:Shell_TrayWnd").first["rect"])
        x, y = image_origin(taskbar, TrayLayout.from_log(self.session.desktop_log).cell(hwnd, 0))
        self.xdotool("mousemove", x + ICON_SIZE // 2, y + ICON_SIZE // 2)
        time.sleep(2)  # the tooltip
        self.save("tray", taskbar[2] - 260, taskbar[1] - 70, taskbar[2], taskbar[3])

        self.run("tray-click", "hwnd:0x%08x" % hwnd, 0, "left")
        self.run("wait-menu", "hwnd:0x%08x" % hwnd, 4)
        menu = self.run("menus").first
        menu_rect = _rect(menu["rect"])
        self.save("menu", menu_rect[0], menu_rect[1], max(menu_rect[2], taskbar[2]), taskbar[3])
        self.run("post", "hwnd:" + menu["hwnd"], WM_KEYDOWN, VK_ESCAPE, key_down_lparam(VK_ESCAPE))
        self.run("wait-menu", "hwnd:0x%08x" % hwnd, 4, "gone")

        for command, dialog, name in DIALOGS:
            self.window(command, PROGRAM.caption(dialog), name)
        self.probe.run("kill", harness.APP_IMAGE)
        self.take_applet()
        self.take_setup()

    def window(self, command, title, name, pause=0.5, ready=None):
        """Opens a window by the menu's command COMMAND (its name), saves its picture once READY
        (a test of the window) says so, and closes it."""
        self.run("post", harness.MAIN_WINDOW_TITLE, WM_COMMAND, getattr(PROGRAM, command), 0)
        opened = self.run("wait-window", title, 10).first
        if ready:
            harness.wait_until(lambda: ready(opened), 10)
        time.sleep(pause)
        self.save(name, *_rect(opened["rect"]))
        self.run("post", "hwnd:" + opened["hwnd"], WM_COMMAND, IDCANCEL, 0)
        self.run("wait-gone", "hwnd:" + opened["hwnd"], 10)

    def scanned(self, applet):
        """Whether the site survey's first scan is done: the line under its list tells its result."""
        controls = self.run("children", "hwnd:" + applet["hwnd"]).records
        lines = [c.get("text", "") for c in controls if c.get("id") == str(APPLET.IDC_SURVEY_STATUS)]
        return bool(lines) and lines[0] not in ("", "Scanning...")

    def set_dpi(self, dpi):
        """The DPI Wine gives the programs started from now on."""
        if not self.session.set_dpi(dpi):
            raise harness.HarnessError("could not set LogPixels to %d" % dpi)

    def take_applet(self):
        """Each page of the applet on the demo scenario at each DPI; the
        installation page, which no menu command opens, from a start with
        INSTALL. The program has run two of the demo's 24-second rounds
        and a second of the third first, so the signal graph shows them and
        the first adapter's link is up again (it is lost 18 to 24 s into
        each round) for the pages that show it."""
        env = {"TAVROAPI_SCENARIO": harness.winpath(DEMO)}
        for dpi, ending in APPLET_DPIS:
            self.set_dpi(dpi)
            self.run("start", harness.winpath(harness.APP), env=env)
            self.run("wait-window", harness.MAIN_WINDOW_TITLE, 10)
            time.sleep(49)
            for command, name, scans in APPLET_PAGES:
                self.window(command, APPLET_TITLE, name + ending, pause=1.5,
                            ready=self.scanned if scans else None)
            self.probe.run("kill", harness.APP_IMAGE)
            self.run("start", harness.winpath(harness.APP), "INSTALL", env=env)
            opened = self.run("wait-window", APPLET_TITLE, 10).first
            time.sleep(1)
            self.save("applet-install" + ending, *_rect(opened["rect"]))
            self.probe.run("kill", harness.APP_IMAGE)
        self.set_dpi(96)

    def take_setup(self):
        """The setup program's components page (Next on its welcome page); it
        is ended there, before it installs anything."""
        pid = self.run("start", harness.winpath(SETUP)).first["pid"]

        def shown():
            # Its caption changes with the page; its window is found by its process.
            records = self.probe.run("windows", pid).records
            return next((r for r in records if r.get("visible") == "1"), None)
        window = harness.wait_until(shown, 10)
        if not window:
            raise harness.HarnessError("the setup program shows no window")
        self.run("post", "hwnd:" + window["hwnd"], WM_COMMAND, IDOK, 0)
        time.sleep(1)
        self.save("installer-components", *_rect(window["rect"]))
        self.probe.run("kill", os.path.basename(SETUP))


def main(argv):
    applet_only = "--applet" in argv
    folders = [a for a in argv[1:] if a != "--applet"]
    out_dir = os.path.abspath(folders[0]) if folders else os.path.join(ROOT, "docs", "pictures")
    os.makedirs(out_dir, exist_ok=True)
    try:
        Pictures(out_dir).take(applet_only)
    except harness.HarnessError as e:
        print("screenshots: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
