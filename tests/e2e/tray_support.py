"""What the cases about the notification icons and the pop-up menu share.

- ScenarioFile: the simulated adapters (TavroApi.DLL's scenario), rewritten
  while the program runs the way the DLL wants it: a new file renamed over
  the old one.
- Screen: one screenshot as raw pixels, and icon_state(), which tells from a
  few pixels which of the program's images an icon shows.
- TrayLayout: where each icon of the program sits in the taskbar.
- TrayTestCase: the base of those cases: starts the program on a scenario,
  waits for icon colours, clicks icons, reads and drives the pop-up menu.

Where the icons are. Wine's desktop (explorer) lays the notification icons out
in its taskbar from the right edge leftwards, one cell of ICON_CELL pixels
each (the 16-pixel image and a 2-pixel border all round), in the order they
were shown: the first icon shown takes the rightmost cell. When an icon is
hidden or deleted, the icons shown after it move one cell to the right; one
shown again goes to the left end. The program adds its icons slot by slot on
its first poll, so with two adapters slot 0 (the first adapter) is the
rightmost icon and slot 1 the one left of it. The desktop's +systray trace
(desktop.log) lists every show_icon and hide_icon with the icon id (= slot)
and owner window, and TrayLayout replays it to know the cells at any moment.
The tooltips of the taskbar, read inside the desktop's process (probe.exe
read-tooltips), give each icon's rectangle with its text and confirm it.
"""

import os
import shutil
import re
import subprocess
import tempfile
import time

from e2e_harness import AppTestCase, wait_until, winpath
from win32 import (MF_GRAYED, MFS_CHECKED, MFS_HILITE, MFT_RADIOCHECK, MFT_SEPARATOR, VK_CONTROL, VK_DOWN,
                   VK_ESCAPE, VK_RETURN, VK_SHIFT, VK_UP, WM_KEYDOWN)

# Polling: how often to look, and the generous limit for something the
# program does within about two seconds (it polls the adapters every second).
POLL_INTERVAL = 0.2
WAIT_ICON = 6.0
# How long the program should take at most for an icon change; a slower
# change is reported (not failed) so that a trend shows in the logs.
EXPECTED_ICON_DELAY = 2.0
# How long a pop-up menu takes at most to open after a click (500 ms timer).
WAIT_MENU = 4.0

ICON_SIZE = 16
ICON_CELL = ICON_SIZE + 2 * 2

GREEN = (0, 255, 0)
YELLOW = (255, 255, 0)
RED = (255, 0, 0)

# The states icon_state() tells apart (res/icons/README.md has the pixels).
LINKED = "green"            # quality 5..15
POOR = "yellow"             # quality 1..4
NOT_LINKED = "red"          # quality 0
RADIO_OFF = "radio-off"     # red X, no square
FRAME_ERRORS = "frame-errors"  # red X on green
NO_ICON = "none"            # the cell shows only the taskbar
UNKNOWN = "unknown"         # something else (a pressed image, half painted, ...)

# The red X of the crossed-out images.
_CROSS = ((3, 3), (12, 3), (7, 7), (8, 8), (3, 12), (12, 12))

# Scan codes and the extended-key bit for the keys posted to a menu.
_KEY_LPARAM = {
    VK_RETURN: 0x1C << 16,
    VK_ESCAPE: 0x01 << 16,
    VK_UP: (0x48 << 16) | (1 << 24),
    VK_DOWN: (0x50 << 16) | (1 << 24),
}


def key_down_lparam(vk):
    """The lParam of a WM_KEYDOWN of the key VK pressed once."""
    return 1 | _KEY_LPARAM[vk]


# ------------------------------------------------------------------ scenario

def adapter(index, description, **values):
    """One [adapter] section: index, description, id derived from the index,
    and any other keys of the scenario format (quality=3, radio=2, ...)."""
    section = {"index": index, "description": description,
               "id": "{7A5E0D11-E2E0-4000-8000-0000000000%02X}" % index}
    section.update(values)
    return section


class ScenarioFile:
    """The scenario file the program's TavroApi.DLL reads (TAVROAPI_SCENARIO)."""

    def __init__(self, path):
        self.path = path
        self.writes = 0

    def write(self, adapters):
        """Replaces the file by one with these adapters: written beside it,
        then renamed over it, so the DLL never reads half a file."""
        lines = ["# Written by the end-to-end tests (%s)." % os.path.basename(self.path)]
        for section in adapters:
            lines.append("")
            lines.append("[adapter]")
            for key, value in section.items():
                lines.append("%s = %s" % (key, value))
        self.writes += 1
        temp = "%s.%d.tmp" % (self.path, self.writes)
        with open(temp, "w", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(temp, self.path)


# ------------------------------------------------------------------ screen

class Screen:
    """One screenshot of the whole X screen, as raw pixels."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = data

    @classmethod
    def grab(cls, display):
        env = dict(os.environ, DISPLAY=display)
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             timeout=30, check=True).stdout
        # Binary PPM: "P6", width, height, maximum value, one white space, pixels.
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", raw)
        if not match:
            raise ValueError("import gave no PPM image")
        width, height = int(match.group(1)), int(match.group(2))
        return cls(width, height, raw[match.end():])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


def icon_state(screen, origin):
    """Which image the 16x16 icon at ORIGIN (its top-left pixel) shows."""
    ox, oy = origin

    def at(x, y):
        return screen.pixel(ox + x, oy + y)

    # (0,0) is see-through in every image: it shows the taskbar behind.
    background = at(0, 0)
    square = at(2, 2)
    crossed = all(at(x, y) == RED for x, y in _CROSS)
    if square == GREEN:
        return FRAME_ERRORS if crossed else LINKED
    if square == YELLOW:
        return POOR
    if square == RED:
        return NOT_LINKED
    if square == background:
        if crossed:
            return RADIO_OFF
        if all(at(x, y) == background for y in range(ICON_SIZE) for x in range(ICON_SIZE)):
            return NO_ICON
    return UNKNOWN


# ------------------------------------------------------------------ layout

_SYSTRAY_LINE = re.compile(r"trace:systray:(show_icon|hide_icon) id=0x([0-9a-fA-F]+), hwnd=([0-9a-fA-F]+)")


class TrayLayout:
    """The notification icons in the order of their cells, rightmost first,
    as the desktop's +systray trace tells it (see the module's notes)."""

    def __init__(self, shown):
        self.shown = shown  # [(owner window, icon id)], index = cell from the right

    @classmethod
    def from_log(cls, path):
        shown = []
        try:
            with open(path, "rb") as f:
                text = f.read().decode(errors="replace")
        except OSError:
            text = ""
        for match in _SYSTRAY_LINE.finditer(text):
            key = (int(match.group(3), 16), int(match.group(2), 16))
            if match.group(1) == "show_icon":
                if key not in shown:
                    shown.append(key)
            elif key in shown:
                shown.remove(key)
        return cls(shown)

    def cell(self, hwnd, slot):
        """The cell (0 = rightmost) of the icon SLOT of window HWND, or None."""
        try:
            return self.shown.index((hwnd, slot))
        except ValueError:
            return None

    def slots(self, hwnd):
        """The window's icons that are shown, in cell order."""
        return [slot for owner, slot in self.shown if owner == hwnd]


def cell_rect(taskbar, cell):
    """The screen rectangle (left, top, right, bottom) of a cell of the
    taskbar whose rectangle is TASKBAR."""
    left, top, right, bottom = taskbar
    x = right - ICON_CELL * (cell + 1)
    y = top + (bottom - top - ICON_CELL) // 2
    return (x, y, x + ICON_CELL, y + ICON_CELL)


def image_origin(taskbar, cell):
    """The top-left pixel of the 16x16 image drawn in that cell."""
    x, y, _, _ = cell_rect(taskbar, cell)
    return (x + (ICON_CELL - ICON_SIZE) // 2, y + (ICON_CELL - ICON_SIZE) // 2)


def _rect(text):
    return tuple(int(v) for v in text.split(","))


def unescape_tip(text):
    """Undoes probehook.dll's escaping of line breaks, tabs and backslashes."""
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


# ------------------------------------------------------------------ the cases' base

class TrayTestCase(AppTestCase):
    """A case that runs the program on its own scenario and call log."""

    def setUp(self):
        super().setUp()
        self.workdir = tempfile.mkdtemp(prefix="zevarida-e2e-")
        # Registered first, so it runs after every cleanup a case adds.
        self.addCleanup(shutil.rmtree, self.workdir, ignore_errors=True)
        self.scenario = ScenarioFile(os.path.join(self.workdir, "adapters.scn"))
        self.radio_log_path = os.path.join(self.workdir, "radio.log")
        self.hwnd = None
        self.window = None
        self._taskbar = None

    # -- the program

    def app_env(self, scenario=None):
        return {"TAVROAPI_SCENARIO": winpath(scenario or self.scenario.path),
                "TAVROAPI_LOG": winpath(self.radio_log_path)}

    def start_tray(self, adapters, icons=None):
        """Writes the scenario, starts the program and waits until the icons
        show the states ICONS ({slot: state}); returns the process id."""
        self.scenario.write(adapters)
        pid, window = self.start_first_instance()
        self.window = window
        self.hwnd = int(window["hwnd"], 16)
        if icons:
            self.wait_icons(icons, what="after the start")
        return pid

    def set_adapters(self, adapters):
        self.scenario.write(adapters)

    def radio_log(self):
        """The lines TavroApi.DLL appended to its call log (SetRadioState, Refresh)."""
        try:
            with open(self.radio_log_path) as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        except OSError:
            return []

    def wait_radio_log(self, count, seconds=WAIT_ICON):
        """Waits until the call log has at least COUNT SetRadioState lines; returns them."""
        def lines():
            return [line for line in self.radio_log() if line.startswith("SetRadioState")]
        wait_until(lambda: len(lines()) >= count, seconds, POLL_INTERVAL)
        return lines()

    # -- the notification area

    def taskbar(self):
        if self._taskbar is None:
            res = self.probe.run("find-window", "class:Shell_TrayWnd")
            self.assertEqual(res.rc, 0, "no taskbar: %s" % res.describe())
            self._taskbar = _rect(res.first["rect"])
        return self._taskbar

    def layout(self):
        return TrayLayout.from_log(self.session.desktop_log)

    def icon_origin(self, slot, layout=None):
        """Where the image of the program's icon SLOT is drawn, or None when it is not shown."""
        cell = (layout or self.layout()).cell(self.hwnd, slot)
        return None if cell is None else image_origin(self.taskbar(), cell)

    def icon_states(self, slots):
        """{slot: state} for the program's icons SLOTS, from one screenshot."""
        layout = self.layout()
        screen = Screen.grab(self.session.display)
        states = {}
        for slot in slots:
            origin = self.icon_origin(slot, layout)
            states[slot] = NO_ICON if origin is None else icon_state(screen, origin)
        return states

    def wait_icons(self, expected, what, seconds=WAIT_ICON, screenshot=None):
        """Polls screenshots until the icons show EXPECTED ({slot: state});
        fails with what was seen after SECONDS. Returns the time it took."""
        started = time.monotonic()
        while True:
            states = self.icon_states(expected)
            elapsed = time.monotonic() - started
            if states == expected:
                break
            if elapsed >= seconds:
                shot = self.screenshot("FAILED-" + self.id().rsplit(".", 1)[-1])
                self.fail("%s: the icons should show %r within %.0f s; they show %r (cells %r; %s)"
                          % (what, expected, seconds, states, self.layout().slots(self.hwnd), shot))
            time.sleep(POLL_INTERVAL)
        if elapsed > EXPECTED_ICON_DELAY:
            print("note: %s: the icons took %.1f s to show %r" % (what, elapsed, expected))
        if screenshot:
            self.screenshot(screenshot)
        return elapsed

    def assertIconsStay(self, expected, what, seconds=2.2):
        """Checks for SECONDS (more than two poll periods) that the icons keep showing EXPECTED."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            states = self.icon_states(expected)
            self.assertEqual(states, expected, "%s: the icons should keep showing %r" % (what, expected))
            time.sleep(POLL_INTERVAL * 2)

    def tray_tips(self):
        """[(rect, text)] of the taskbar's tooltips of icons now shown, read in the desktop's process."""
        res = self.probe.run("read-tooltips", "class:Shell_TrayWnd")
        self.assertEqual(res.rc, 0, "could not read the taskbar's tooltips: %s" % res.describe())
        tips = []
        for record in res.records:
            if "tool" not in record:
                continue
            rect = _rect(record["rect"])
            if rect[2] > rect[0] and rect[3] > rect[1]:
                tips.append((rect, unescape_tip(record.get("text", ""))))
        return tips

    def tip_of(self, slot):
        """The tooltip text of the program's icon SLOT (found by its cell)."""
        cell = self.layout().cell(self.hwnd, slot)
        self.assertIsNotNone(cell, "icon %d is not shown" % slot)
        rect = cell_rect(self.taskbar(), cell)
        texts = [text for tip_rect, text in self.tray_tips() if tip_rect == rect]
        self.assertEqual(len(texts), 1, "one tooltip expected at %r (icon %d): %r" % (rect, slot, self.tray_tips()))
        return texts[0]

    # -- the pointer, the keyboard and clicks

    def xdotool(self, *args):
        env = dict(os.environ, DISPLAY=self.session.display)
        subprocess.run(["xdotool"] + [str(a) for a in args], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=True)

    def move_pointer(self, x, y):
        """Moves the X pointer and waits until the program's side (GetCursorPos) sees it there."""
        self.xdotool("mousemove", x, y)

        def there():
            res = self.probe.run("cursor")
            return res.rc == 0 and (int(res.first["x"]), int(res.first["y"])) == (x, y)
        if not wait_until(there, 3, 0.1):
            self.fail("the pointer does not reach (%d, %d): %s" % (x, y, self.probe.run("cursor").describe()))

    def park_pointer_on(self, slot):
        """Moves the pointer to the middle of icon SLOT; returns the point."""
        origin = self.icon_origin(slot)
        self.assertIsNotNone(origin, "icon %d is not shown" % slot)
        point = (origin[0] + ICON_SIZE // 2, origin[1] + ICON_SIZE // 2)
        self.move_pointer(*point)
        return point

    def hold_keys(self, *names):
        """Holds keys down (xdotool names: ctrl, shift) until released or the case ends;
        waits until GetAsyncKeyState reports them."""
        self.xdotool("keydown", *names)
        self.addCleanup(self.xdotool, "keyup", *names)
        vks = {"ctrl": VK_CONTROL, "shift": VK_SHIFT}
        if not wait_until(lambda: self.probe.run("key-state", *[vks[n] for n in names]).rc == 0, 3, 0.1):
            self.fail("Wine does not see the keys %r held" % (names,))

    def release_keys(self, *names):
        self.xdotool("keyup", *names)

    def tray_click(self, slot, how="left"):
        """What the desktop sends when icon SLOT is clicked (left, right or double)."""
        res = self.probe.run("tray-click", "hwnd:0x%08x" % self.hwnd, slot, how)
        self.assertEqual(res.rc, 0, "could not post the click: %s" % res.describe())

    # -- the pop-up menu

    def read_menu(self, seconds=WAIT_MENU):
        """The pop-up menu open on the program's thread: (menu record, [item records]),
        with the numbers of the items converted; fails if none opens within SECONDS."""
        res = self.probe.run("read-menu", "hwnd:0x%08x" % self.hwnd, seconds)
        self.assertEqual(res.rc, 0, "no pop-up menu within %s s: %s" % (seconds, res.describe()))
        menu = res.records[0]
        items = []
        for record in res.records[1:]:
            self.assertNotIn("error", record, "an item could not be read: %s" % res.describe())
            items.append({"index": int(record["index"]), "id": int(record["id"]),
                          "type": int(record["type"], 16), "state": int(record["state"], 16),
                          "text": record.get("text", "")})
        self.assertEqual(int(menu["count"]), len(items), "the menu's item count: %s" % res.describe())
        return menu, items

    def menu_key(self, menu, vk):
        res = self.probe.run("post", "hwnd:" + menu["hwnd"], WM_KEYDOWN, vk, key_down_lparam(vk))
        self.assertEqual(res.rc, 0, "could not post key %d to the menu: %s" % (vk, res.describe()))

    def choose_menu_item(self, command):
        """Chooses the item COMMAND of the open menu as a user would by
        keyboard: Down until it is highlighted, then Return."""
        menu, items = self.read_menu()
        ids = [item["id"] for item in items]
        self.assertIn(command, ids, "the menu has no item %d" % command)
        for _ in range(len(items) + 1):
            self.menu_key(menu, VK_DOWN)
            menu, items = self.read_menu()
            lit = [item["id"] for item in items if item["state"] & MFS_HILITE]
            if lit == [command]:
                break
        else:
            self.fail("Down never highlighted item %d: %r" % (command, items))
        self.menu_key(menu, VK_RETURN)
        self.wait_menu_closed("after choosing item %d" % command)

    def close_menu(self):
        menu, _ = self.read_menu()
        self.menu_key(menu, VK_ESCAPE)
        self.wait_menu_closed("after Escape")

    def wait_menu_closed(self, what, seconds=WAIT_MENU):
        res = self.probe.run("wait-menu", "hwnd:0x%08x" % self.hwnd, seconds, "gone")
        self.assertEqual(res.rc, 0, "%s: the menu is still open after %s s: %s" % (what, seconds, res.describe()))

    def assertMenu(self, items, expected, what):
        """Compares the items with EXPECTED: (id, text, greyed, checked) for a
        command, None for a separator. Commands are plain strings (a radio
        check mark allowed); Wine reports separators greyed, which is not checked."""
        seen = []
        for item in items:
            if item["type"] & MFT_SEPARATOR:
                seen.append(None if item["id"] == 0 and item["text"] == "" else ("separator", item))
                continue
            self.assertEqual(item["type"] & ~MFT_RADIOCHECK, 0,
                             "%s: item %r should be a plain text item" % (what, item))
            checked = bool(item["state"] & MFS_CHECKED)
            if checked:
                self.assertTrue(item["type"] & MFT_RADIOCHECK,
                                "%s: item %r should carry a radio check mark, not a tick" % (what, item))
            seen.append((item["id"], item["text"], bool(item["state"] & MF_GRAYED), checked))
        self.assertEqual(seen, expected, "%s: the menu's items" % what)
